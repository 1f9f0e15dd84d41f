// The framework's Customize task (Tools > Customize...): the user's own settings sheet. The
// framework's Toolbar page comes first; the program adds its pages through the creation
// callback.
#pragma once

#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/tasks/kwPropertySheetTask.h"

class kwCustomizeTask : public kwPropertySheetTask {
public:
    static constexpr unsigned short DEFAULT_ID = kwCommonCommands::ID_CUSTOMIZE;
    explicit kwCustomizeTask(unsigned short id = DEFAULT_ID);
    ~kwCustomizeTask() override;

protected:
    void AddFrameworkPages(kwPropertySheet& sheet) override;
    bool HasFrameworkPages() const override { return true; }
};
