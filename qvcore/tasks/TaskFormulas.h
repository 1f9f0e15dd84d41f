// The Formulas task (Tools > Formulas...): the suite's formula editor for one application
// of the suite, chosen among those the program offers (the Applications task's list).
// It replaces the framework's own Formulas task, and exists only where that one does.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwTask.h"

#include <string>

struct xf_setup_def;

class TaskFormulas : public kwTask {
public:
    static constexpr unsigned short ID = QV_CMD_FORMULAS;
    static constexpr FlagsType FLAGS = 0x24;
    static constexpr const char* PURPOSE = "formulas";

    TaskFormulas();
    ~TaskFormulas() override;

    void Start() override;

    // The setup definition for an application's code.
    static void FillSetup(xf_setup_def* def, const std::string& application);
};
