// The main frame built from a menu resource: menus, modifications, accelerators, prompts,
// the task toolbar, document windows and the window list.
#include "kwapp/frame/kwAppFrame.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "kwapp/tasks/kwDocViewTask.h"
#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwView.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/strings/kwStringTableRegistrar.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolButton>

namespace {
using E = kwMenuEntry;
const kwMenuEntry testMenu[] = {
    {E::Popup, 0, "&File"},
        {E::Item, 1110, "&Open Company..."},
        {E::Popup, 0, "&Settings"},
            {E::Item, 1130, "&General..."},
        {E::End, 0, nullptr},
        {E::Separator, 0, nullptr},
        {E::Item, 1999, "E&xit"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Edit"},
        {E::Item, 2020, "&Copy\tCtrl+C"},
    {E::End, 0, nullptr},
    {E::Popup, 0, "&Window"},
        {E::Item, 8010, "&Cascade"},
    {E::End, 0, nullptr},
};
const kwAccelEntry testKeys[] = {{"Ctrl+C", 2020}, {"Ctrl+N", 1010}};
const kwResourceRegistrar menu("ZZ.EXE", 1, testMenu);
const kwResourceRegistrar keys("ZZ.EXE", 1, testKeys);
const kwStringEntry testStrings[] = {{57344, "Tester Frame"}, {1999, "Leaves the tester"}};
const kwStringTableRegistrar strings("ZZ.EXE", testStrings);

class PlainTask : public kwTask {
public:
    PlainTask(unsigned short id, FlagsType flags, unsigned short bitmap = 0)
        : kwTask("Plain " + std::to_string(id), flags, id, bitmap, {}, {}) {}
};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        app.InitInstance();
        auto made = std::make_unique<kwAppFrame>(0, 0, true);
        ASSERT_TRUE(made->LoadFrame(1, kwAppFrame::FWS_ADDTOTITLE, nullptr, nullptr));
        frame = made.get();
        app.SetMainWindow(std::move(made));
        xw_clear_shown_messages();
    }
    void TearDown() override { xw_clear_shown_messages(); }

    QStringList Titles(QWidget* container) const {
        QStringList titles;
        for (QAction* action : container->actions())
            titles << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return titles;
    }

    kwapptest::UserFolders folders;
    TestCompany company{false};
    kwApplication app{"Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0")};
    kwAppFrame* frame = nullptr;
};
} // namespace

TEST_F(FrameTest, MenuBarFollowsTheResourceAndDisablesWhatNothingHandles) {
    EXPECT_EQ(Titles(frame->menuBar()), (QStringList{"&File", "&Edit", "&Window"}));
    EXPECT_EQ(Titles(frame->FindMenu("&File")), (QStringList{"&Open Company...", "&Settings", "-", "E&xit"}));
    EXPECT_EQ(frame->FindCommandAction(2020)->text(), "&Copy") << "the key hint comes from the accelerators";
    for (unsigned short id : {1110, 1130, 1999, 2020, 8010})
        EXPECT_FALSE(frame->FindCommandAction(id)->isEnabled()) << id << " has no handler yet";

    int exits = 0;
    app.AddCommand(1999, [&] { ++exits; });
    frame->UpdateCommandUI();
    QAction* exitItem = frame->FindCommandAction(1999);
    ASSERT_TRUE(exitItem->isEnabled());
    exitItem->trigger();
    EXPECT_EQ(exits, 1) << "the item runs its command through the application";
    EXPECT_EQ(exitItem->statusTip(), "Leaves the tester") << "the program's own prompt";
    EXPECT_EQ(frame->FindCommandAction(1110)->statusTip(), "Opens an existing company") << "the framework's";
    EXPECT_EQ(frame->findChild<QLabel*>()->text(), "Ready");

    exitItem->showStatusText(frame);
    EXPECT_EQ(frame->statusBar()->currentMessage(), "Leaves the tester");
    EXPECT_TRUE(frame->windowTitle().startsWith("Tester Frame - ")) << frame->windowTitle().toStdString();
}

TEST_F(FrameTest, MenuModificationsPlaceMenusAndItemsAndReplaceTheirGroup) {
    CMenuModifier& modifier = frame->MenuModifier();
    modifier.StartNewMenuGroup("ZZ");
    modifier.AppendAddMenuModification({}, "Too&ls", CMenuModifier::ORDER_BEFORE, "&Window", 0);
    modifier.AppendAddMenuModification({}, "&Edit", CMenuModifier::ORDER_APPEND, {}, 0);
    modifier.AppendAddItemModification("Too&ls", 7010, "&View...", CMenuModifier::ORDER_APPEND, 0, 0, 0);
    modifier.AppendAddItemModification("Too&ls", 7005, "&First...", CMenuModifier::ORDER_POSITION, 0, 0, 0);
    modifier.AppendAddItemModification("&File", 1100, "&New...", CMenuModifier::ORDER_BEFORE, 0, 1110, 0);
    modifier.AppendAddItemModification("&File", 0, {}, CMenuModifier::ORDER_AFTER, CMenuModifier::MF_SEPARATOR, 1110, 0);
    modifier.AppendAddItemModification("settings", 1140, "&Files...", CMenuModifier::ORDER_POSITION, 0, 0, 9);
    modifier.AppendAddItemModification("&File", 1999, "Again", CMenuModifier::ORDER_APPEND, 0, 0, 0);
    modifier.AppendAddItemModification("No Such Menu", 4000, "Lost", CMenuModifier::ORDER_APPEND, 0, 0, 0);
    frame->UpdateMenus();

    EXPECT_EQ(Titles(frame->menuBar()), (QStringList{"&File", "&Edit", "Too&ls", "&Window"}))
        << "Tools before Window; an existing menu is not added twice";
    EXPECT_EQ(Titles(frame->FindMenu("Too&ls")), (QStringList{"&First...", "&View..."}));
    EXPECT_EQ(Titles(frame->FindMenu("&File")),
              (QStringList{"&New...", "&Open Company...", "-", "&Settings", "-", "E&xit"}))
        << "before and after the reference item; a command already there is not added again";
    EXPECT_EQ(Titles(frame->FindMenu("&Settings")), (QStringList{"&General...", "&Files..."}))
        << "a submenu found by its plain title; a position past the end appends";
    EXPECT_FALSE(frame->FindCommandAction(7010)->isEnabled()) << "added items follow the same enabling";

    modifier.StartNewMenuGroup("ZZ");
    modifier.AppendAddItemModification("&Window", 8020, "&Tile", CMenuModifier::ORDER_APPEND, 0, 0, 0);
    frame->UpdateMenus();
    EXPECT_EQ(frame->FindMenu("Too&ls"), nullptr) << "starting the group again replaced it";
    EXPECT_EQ(Titles(frame->FindMenu("&Window")), (QStringList{"&Cascade", "&Tile"}));
    frame->UpdateMenus();
    EXPECT_EQ(Titles(frame->FindMenu("&Window")), (QStringList{"&Cascade", "&Tile"})) << "updates do not pile up";
}

TEST_F(FrameTest, AcceleratorsReachTheirCommandsWithOrWithoutAMenuItem) {
    EXPECT_EQ(frame->FindCommandAction(2020)->shortcut(), QKeySequence("Ctrl+C"));
    QAction* newKey = frame->FindCommandAction(1010);
    ASSERT_NE(newKey, nullptr) << "a key without a menu item gets its own action";
    EXPECT_EQ(newKey->shortcut(), QKeySequence("Ctrl+N"));
    EXPECT_FALSE(newKey->isEnabled());
    int news = 0;
    app.AddCommand(1010, [&] { ++news; });
    frame->UpdateCommandUI();
    newKey->trigger();
    EXPECT_EQ(news, 1);
    frame->UpdateMenus();
    int withKey = 0;
    for (QAction* action : frame->findChildren<QAction*>())
        if (action->shortcut() == QKeySequence("Ctrl+N")) ++withKey;
    EXPECT_EQ(withKey, 1) << "rebuilding the menus does not duplicate accelerators";
}

TEST_F(FrameTest, ToolbarShowsTaskButtonsInTaskOrderAndKeepsTheUsersChoice) {
    app.AddTask(std::make_unique<PlainTask>(7098, kwTask::TOOL_ITEM));
    app.AddTask(std::make_unique<PlainTask>(7400, 0));
    app.AddTask(std::make_unique<PlainTask>(7010, kwTask::TOOL_ITEM));
    frame->ToolBar()->Update();
    EXPECT_EQ(frame->ToolBar()->TaskIds(), (std::vector<unsigned short>{7098, 7010}));
    EXPECT_FALSE(frame->ToolBar()->TaskAction(7098)->icon().isNull()) << "a task without a bitmap gets a letter";

    app.FindTask(7400)->SetToolItemInfo(true);
    app.FindTask(7098)->DeleteToolItem();
    ASSERT_TRUE(kwToolBar::SaveChoices());
    frame->ToolBar()->Update();
    EXPECT_EQ(frame->ToolBar()->TaskIds(), (std::vector<unsigned short>{7400, 7010}));

    // A new run starts with the stored choices.
    app.DestroyTask(7098);
    app.DestroyTask(7400);
    app.AddTask(std::make_unique<PlainTask>(7098, kwTask::TOOL_ITEM));
    app.AddTask(std::make_unique<PlainTask>(7400, 0));
    frame->ToolBar()->Update();
    EXPECT_EQ(frame->ToolBar()->TaskIds(), (std::vector<unsigned short>{7010, 7400}));
}

TEST_F(FrameTest, DropDownsHoldTheirCommandsInGroupsAcrossToolbarUpdates) {
    app.AddTask(std::make_unique<PlainTask>(5010, 0));
    app.AddTask(std::make_unique<PlainTask>(5011, 0));
    app.AddTask(std::make_unique<PlainTask>(7010, kwTask::TOOL_ITEM));
    kwToolBar* toolBar = frame->ToolBar();
    toolBar->SetDropDown({"inquiries", "Inquiries", 0, {{"Payables", {{5010, "Vendors"}, {5011, "Invoices"}}}, {"", {{5099, "Gone"}}}}});
    toolBar->Update();
    EXPECT_EQ(toolBar->TaskIds(), (std::vector<unsigned short>{7010})) << "a drop-down is no task button";
    QAction* dropDown = toolBar->DropDownAction("inquiries");
    ASSERT_NE(dropDown, nullptr) << "kept across Update";
    auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(dropDown));
    ASSERT_TRUE(button && button->menu());
    EXPECT_EQ(Titles(button->menu()), (QStringList{"Payables", "Gone"})) << "a group without a title stands in the menu";
    QMenu* group = button->menu()->actions().front()->menu();
    EXPECT_EQ(Titles(group), (QStringList{"Vendors", "Invoices"}));
    emit button->menu()->aboutToShow();
    EXPECT_FALSE(button->menu()->actions().back()->isEnabled()) << "a command nothing handles is disabled";
    group->actions().front()->trigger();
    EXPECT_EQ(app.FindTask(5010)->Status(), kwTask::RUNNING) << "the item starts its task";

    toolBar->SetDropDown({"inquiries", "Inquiries", 0, {{"", {{5011, "Invoices"}}}}});
    button = qobject_cast<QToolButton*>(toolBar->widgetForAction(toolBar->DropDownAction("inquiries")));
    EXPECT_EQ(Titles(button->menu()), QStringList{"Invoices"}) << "the same key replaces";
    EXPECT_EQ(toolBar->DropDowns().size(), 1u);
    EXPECT_TRUE(toolBar->RemoveDropDown("inquiries"));
    EXPECT_FALSE(toolBar->RemoveDropDown("inquiries"));
    EXPECT_EQ(toolBar->DropDownAction("inquiries"), nullptr);
}

TEST_F(FrameTest, DocumentWindowsAreListedAndCloseOnlyWithConsent) {
    auto* task = &app.AddTask(std::make_unique<kwDocViewTask>(
        "Notes", 0, 7010, [] { return std::make_unique<kwDocument>(); }, kwDocViewTask::FrameFactory{},
        [](kwDocument& document) { return new kwView(document); }, kwDocViewTask::MULTIPLE_DOCUMENTS,
        std::string(), std::string()));
    task->Start();
    task->Start();
    ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 2);
    EXPECT_TRUE(frame->windowTitle().endsWith(" - [Notes]")) << frame->windowTitle().toStdString();

    QMenu* window = frame->FindMenu("&Window");
    emit window->aboutToShow();
    QStringList titles = Titles(window);
    EXPECT_EQ(titles, (QStringList{"&Cascade", "-", "&1 Notes", "&2 Notes"}));
    emit window->aboutToShow();
    EXPECT_EQ(Titles(window).size(), 4) << "the list is rebuilt, not appended";

    task->Document()->SetModifiedFlag();
    xw_script_answers({XW_ANSWER_CANCEL});
    EXPECT_FALSE(frame->CloseAllDocuments()) << "the user kept the changed document";
    EXPECT_EQ(task->DocumentCount(), 2u);
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(frame->CloseAllDocuments());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(task->DocumentCount(), 0u);
    EXPECT_EQ(task->Status(), kwTask::IDLE) << "the task ends with its last window";
}
