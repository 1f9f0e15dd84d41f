// The View Issues task is found by its command number each time: it may be made, replaced
// or removed while New Issue exists.
#include "qvcore/tasks/TaskNewIssue.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/tasks/kwDocViewTask.h"

TaskNewIssue::TaskNewIssue() : kwNewIssueTask(ID) {}

TaskNewIssue::~TaskNewIssue() = default;

bool TaskNewIssue::DefaultToolItem() const { return true; }

void TaskNewIssue::Start() {
    kwNewIssueTask::Start();
    End();
}

void TaskNewIssue::End() {
    kwNewIssueTask::End();
    kwApplication* app = KWGetApp();
    if (!app) return;
    auto* viewIssues = dynamic_cast<kwDocViewTask*>(app->FindTask(VIEW_ISSUES_ID));
    if (viewIssues && viewIssues->Status() == kwTask::RUNNING) viewIssues->RefreshData();
}
