// Options: disabled while View Issues runs (a stand-in task with its command number), and
// its sheet made of "System Controls" then "Select Orders" with modifications left to the
// pages; Customize gets "User Controls".
#include "qvcore/tasks/TaskOptions.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/sheets/kwPropertyPage.h"
#include "kwapp/sheets/kwPropertySheet.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <memory>

namespace {
class ViewIssuesStandIn : public kwTask {
public:
    ViewIssuesStandIn() : kwTask("View Issues", 12, QV_CMD_VIEW_ISSUES, 0, {}, {}) {}
    void Start() override { NotifyStart(); }
};
} // namespace

TEST(TaskOptions, DisabledWhileViewIssuesRuns) {
    kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
    auto* options = &app.AddTask(std::make_unique<TaskOptions>());
    options->SetCreateCallback(&TaskOptions::AddSystemPages);
    EXPECT_TRUE(options->IsEnabled()) << "no View Issues task";
    auto* viewIssues = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
    EXPECT_TRUE(options->IsEnabled()) << "View Issues exists but is not running";
    viewIssues->Start();
    EXPECT_FALSE(options->IsEnabled()) << "View Issues is running";
    viewIssues->End();
    EXPECT_TRUE(options->IsEnabled()) << "and enabled again when it ends";
}

TEST(TaskOptions, SheetPagesInOrder) {
    TestApplication();
    TestCompany company(false);
    kwPropertySheet system(QStringLiteral("Options"));
    TaskOptions::AddSystemPages(&system);
    EXPECT_FALSE(system.HandleModifications());
    ASSERT_EQ(system.PageCount(), 2);
    EXPECT_EQ(system.Page(0)->Title(), "System Controls");
    EXPECT_EQ(system.Page(0)->TemplateId(), 25200);
    EXPECT_EQ(system.Page(1)->Title(), "Select Orders");
    EXPECT_EQ(system.Page(1)->TemplateId(), 25210);

    kwPropertySheet user(QStringLiteral("Customize"));
    TaskOptions::AddUserPages(&user);
    ASSERT_EQ(user.PageCount(), 1);
    EXPECT_EQ(user.Page(0)->Title(), "User Controls");
    EXPECT_EQ(user.Page(0)->TemplateId(), 25100);
}
