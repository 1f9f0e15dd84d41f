// The New Issue task (command 7098): the framework's new-issue task, which calls the
// library's exported qv_new_issue; when it ends, a running View Issues window is refreshed
// so that it shows the issue just entered.
#pragma once

#include "kwapp/tasks/kwNewIssueTask.h"

class TaskNewIssue : public kwNewIssueTask {
public:
    static constexpr unsigned short ID = 7098;
    static constexpr unsigned short VIEW_ISSUES_ID = 7010;

    TaskNewIssue();
    ~TaskNewIssue() override;

    bool DefaultToolItem() const override;
    // Runs the new-issue entry, then End.
    void Start() override;
    void End() override;
};
