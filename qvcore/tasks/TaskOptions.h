// The Options task (Tools > Options...): the framework's system settings sheet, with the
// program's "System Controls" and "Select Orders" pages. The orders page changes the issue
// file's keys, which no one may do under a running View Issues window: the command is
// disabled while View Issues runs.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwOptionsTask.h"

class kwPropertySheet;

class TaskOptions : public kwOptionsTask {
public:
    static constexpr unsigned short ID = QV_CMD_OPTIONS;
    static constexpr const char* DESCRIPTION =
        "Sets date format, audit settings, report defaults and other settings";

    TaskOptions();
    ~TaskOptions() override;

    bool IsEnabled() const override;

    // The Options sheet's creation callback: the sheet leaves changes to the pages, then
    // "System Controls" and "Select Orders" are added.
    static void AddSystemPages(kwPropertySheet* sheet);
    // The Customize sheet's creation callback: "User Controls".
    static void AddUserPages(kwPropertySheet* sheet);
};
