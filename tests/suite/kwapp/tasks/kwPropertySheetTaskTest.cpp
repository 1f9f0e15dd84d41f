// Sheet tasks: the framework's pages first, then the program's from the creation callback;
// a sheet with nothing to show is disabled.
#include "kwapp/tasks/kwCustomizeTask.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/sheets/kwPropertyPage.h"
#include "kwapp/sheets/kwPropertySheet.h"
#include "kwapp/sheets/kwToolBarPage.h"
#include "kwapp/tasks/kwOptionsTask.h"

#include <gtest/gtest.h>

#include <QListWidget>

TEST(kwPropertySheetTask, CallbackPagesFollowTheFrameworksAndEnableTheTask) {
    kwapptest::App();
    kwapptest::UserFolders folders;
    kwApplication app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
    auto* options = &app.AddTask(std::make_unique<kwOptionsTask>());
    auto* customize = &app.AddTask(std::make_unique<kwCustomizeTask>());
    EXPECT_FALSE(options->IsEnabled()) << "no pages: nothing to show";
    EXPECT_TRUE(customize->IsEnabled()) << "the Toolbar page is always there";

    int calls = 0;
    options->SetCreateCallback([&](kwPropertySheet* sheet) {
        ++calls;
        sheet->SetHandleModifications(false);
        sheet->AddPage(new kwPropertyPage(QStringLiteral("System")));
    });
    EXPECT_TRUE(options->IsEnabled());
    kwPropertySheet sheet(QStringLiteral("Options"));
    options->BuildSheet(sheet);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(sheet.PageCount(), 1);
    EXPECT_FALSE(sheet.HandleModifications());

    customize->SetCreateCallback([](kwPropertySheet* s) { s->AddPage(new kwPropertyPage(QStringLiteral("Mine"))); });
    kwPropertySheet custom(QStringLiteral("Customize"));
    customize->BuildSheet(custom);
    ASSERT_EQ(custom.PageCount(), 2);
    EXPECT_EQ(custom.Page(0)->Title(), "Toolbar");
    EXPECT_EQ(custom.Page(1)->Title(), "Mine");

    // The Toolbar page lists every task and stores the choice.
    custom.show();
    auto* list = qobject_cast<QListWidget*>(custom.Page(0)->Ctrl(kwToolBarPage::IDC_TASK_LIST));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), "Customize");
    list->item(1)->setCheckState(Qt::Checked);
    EXPECT_TRUE(custom.Page(0)->IsModified());
    EXPECT_TRUE(custom.PressOK());
    EXPECT_TRUE(customize->OnToolBar());
    EXPECT_FALSE(options->OnToolBar());
}
