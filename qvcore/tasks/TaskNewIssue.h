// The New Issue task: the framework's new-issue task, which calls the
// library's exported qv_new_issue; when it ends, a running View Issues window is refreshed
// so that it shows the issue just entered.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwNewIssueTask.h"

class TaskNewIssue : public kwNewIssueTask {
public:
    static constexpr unsigned short ID = QV_CMD_NEW_ISSUE;
    static constexpr unsigned short VIEW_ISSUES_ID = QV_CMD_VIEW_ISSUES;

    TaskNewIssue();
    ~TaskNewIssue() override;

    bool DefaultToolItem() const override;
    // Runs the new-issue entry, then End.
    void Start() override;
    void End() override;
};
