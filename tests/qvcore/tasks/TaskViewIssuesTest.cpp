// View Issues as a task of the framework: its start opens the issue file first, its window
// is a document window of the main frame on the grid, and refresh, shutdown and a cleared
// object manager act on that window.
#include "qvcore/tasks/TaskViewIssues.h"

#include "../../suite/kwapp/KwappTestSupport.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/viewissues/viDocument.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "kwapp/tasks/kwMDIChildWnd.h"
#include "kwdm/kwdmObjectManager.h"
#include "kwdm/view/kwdmViewCtrl.h"

#include "kwcommon/x_message.h"

#include <QDir>
#include <QMdiArea>

#include <fstream>

namespace {
const kwMenuEntry viewMenu[] = {{kwMenuEntry::Popup, 0, "&File"}, {kwMenuEntry::End, 0, nullptr}};
const kwResourceRegistrar menu("VI.EXE", 1, viewMenu);

class ViewIssuesTask : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        Prefs::SetDefaults();
        app.InitInstance();
        auto made = std::make_unique<kwAppFrame>(0, 0, false);
        ASSERT_TRUE(made->LoadFrame(1, 0, nullptr, nullptr));
        frame = made.get();
        app.SetMainWindow(std::move(made));
        task = &app.AddTask(std::make_unique<TaskViewIssues>());
        xw_clear_shown_messages();
    }
    void TearDown() override {
        xw_clear_shown_messages();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    kwapptest::UserFolders folders;
    TestCompany company{false};
    kwApplication app{"View Tester", "VI", kwBase::Version("13.1.24"), kwBase::Version("9.8.26")};
    kwAppFrame* frame = nullptr;
    TaskViewIssues* task = nullptr;
};

} // namespace

TEST_F(ViewIssuesTask, StartsAWindowOnTheGridAndShutsItDown) {
    EXPECT_EQ(app.FindTask(7010), task);
    EXPECT_EQ(task->Name(), "View Issues");
    EXPECT_EQ(task->Flags(), kwTask::SECURED | kwTask::TOOL_ITEM);
    EXPECT_TRUE(task->Shutdown()) << "no window: shutting down is fine";

    task->Start();
    ASSERT_EQ(task->Status(), kwTask::RUNNING);
    ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    auto* document = dynamic_cast<viDocument*>(task->Document());
    ASSERT_NE(document, nullptr);
    ASSERT_NE(document->GridControl(), nullptr);
    EXPECT_TRUE(document->GridControl()->IsCreated());
    EXPECT_NE(task->DocMgr()->FindView(viDocument::GridViewName), nullptr);
    task->RefreshData();

    QWidget* window = frame->MdiArea()->subWindowList()[0];
    window->resize(800, 420);
    const QString shots = QCoreApplication::applicationDirPath() + "/screenshots";
    QDir().mkpath(shots);
    EXPECT_TRUE(window->grab().save(shots + "/view-issues-window.png"));

    EXPECT_TRUE(task->Shutdown());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 0) << "the window closed";
    EXPECT_EQ(task->Status(), kwTask::IDLE);

    task->ClearDocument();
    EXPECT_NE(task->DocMgr(), nullptr);
    EXPECT_EQ(task->DocMgr()->FindQuery(viDocument::QueryName), nullptr) << "defined again on the next open";
}

TEST_F(ViewIssuesTask, AnIssueFileThatDoesNotOpenKeepsTheTaskFromStarting) {
    std::ofstream(company.Path("ISSUES.QVI"), std::ios::binary) << "this is not an issue file";
    task->Start();
    EXPECT_EQ(task->Status(), kwTask::IDLE);
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 0);
    bool told = false;
    for (const auto& shown : xw_shown_messages()) told = told || shown.text == "Unable to open Issue File";
    EXPECT_TRUE(told);
}
