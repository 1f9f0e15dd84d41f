// The framework's Options task (Tools > Options...): the system settings sheet, whose pages
// the program adds through its creation callback.
#pragma once

#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/tasks/kwPropertySheetTask.h"

class kwOptionsTask : public kwPropertySheetTask {
public:
    static constexpr unsigned short DEFAULT_ID = kwCommonCommands::ID_OPTIONS;
    explicit kwOptionsTask(unsigned short id = DEFAULT_ID);
    ~kwOptionsTask() override;
};
