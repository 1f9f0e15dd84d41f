// The framework's Formulas task (Tools > Formulas...): the formula editor for the running
// application's own formulas. Programs that offer several applications replace it.
#pragma once

#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/tasks/kwTask.h"

class kwFormulasTask : public kwTask {
public:
    static constexpr unsigned short DEFAULT_ID = kwCommonCommands::ID_FORMULAS;
    explicit kwFormulasTask(unsigned short id = DEFAULT_ID);
    ~kwFormulasTask() override;

    void Start() override;
};
