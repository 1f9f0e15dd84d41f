// New Issue: registered under 7098 with a toolbar button, enabled only while the library
// provides qv_new_issue, and refreshing a running View Issues window when it ends.
#include "qvcore/tasks/TaskNewIssue.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/tasks/kwDocViewTask.h"
#include "kwapp/tasks/kwDocument.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <dlfcn.h>

namespace {
int g_refreshes = 0;

// Stands in for View Issues: a document task that counts refreshes and can be marked running.
class ViewIssuesStandIn : public kwDocViewTask {
public:
    ViewIssuesStandIn()
        : kwDocViewTask("View Issues", 12, QV_CMD_VIEW_ISSUES, {}, {}, {}, SINGLE_DOCUMENT, {}, {}) {}
    void RefreshData() override { ++g_refreshes; }
    void MarkRunning() { NotifyStart(); }
};
} // namespace

TEST(TaskNewIssue, IsTheFrameworksNewIssueTaskWithAToolbarButton) {
    kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
    auto* task = &app.AddTask(std::make_unique<TaskNewIssue>());
    EXPECT_EQ(app.FindTask(QV_CMD_NEW_ISSUE), task);
    EXPECT_EQ(task->EntryName(), "qv_new_issue");
    EXPECT_TRUE(task->DefaultToolItem());
    EXPECT_TRUE(task->OnToolBar());
    const bool exported = ::dlsym(RTLD_DEFAULT, "qv_new_issue") != nullptr;
    EXPECT_EQ(task->IsEnabled(), exported) << "enabled exactly when the library exports qv_new_issue";
}

TEST(TaskNewIssue, EndRefreshesViewIssuesOnlyWhileItRuns) {
    kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
    auto* task = &app.AddTask(std::make_unique<TaskNewIssue>());
    g_refreshes = 0;
    task->End();
    EXPECT_EQ(g_refreshes, 0) << "no View Issues task: nothing more happens";

    auto* viewIssues = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
    task->End();
    EXPECT_EQ(g_refreshes, 0) << "View Issues is not running";
    viewIssues->MarkRunning();
    task->End();
    EXPECT_EQ(g_refreshes, 1) << "the running window shows the issue just entered";
    EXPECT_EQ(task->Status(), kwTask::IDLE);
}
