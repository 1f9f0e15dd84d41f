// Document tasks: windows in the frame's MDI area, one document or many, shutting down
// with unsaved changes, refreshing open documents.
#include "kwapp/tasks/kwDocViewTask.h"

#include "../KwappTestSupport.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/resources/kwResourceRegistrar.h"
#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwMDIChildWnd.h"
#include "kwapp/tasks/kwView.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <QMdiArea>

namespace {
const kwMenuEntry taskMenu[] = {{kwMenuEntry::Popup, 0, "&File"}, {kwMenuEntry::End, 0, nullptr}};
const kwResourceRegistrar menu("DV.EXE", 1, taskMenu);

int g_refreshes = 0;

class CountingDocument : public kwDocument {
public:
    void Refresh() override {
        ++g_refreshes;
        kwDocument::Refresh();
    }
    bool OnSaveDocument() override { return saveWorks; }
    bool saveWorks = true;
};

class DocViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        app.InitInstance();
        auto made = std::make_unique<kwAppFrame>(0, 0, false);
        ASSERT_TRUE(made->LoadFrame(1, 0, nullptr, nullptr));
        frame = made.get();
        app.SetMainWindow(std::move(made));
        xw_clear_shown_messages();
        g_refreshes = 0;
    }
    void TearDown() override { xw_clear_shown_messages(); }

    kwDocViewTask* MakeTask(short kind) {
        return &app.AddTask(std::make_unique<kwDocViewTask>(
            "Issues", kwTask::TOOL_ITEM, 7010, [] { return std::make_unique<CountingDocument>(); },
            kwDocViewTask::FrameFactory{}, [](kwDocument& document) { return new kwView(document); }, kind,
            std::string(), std::string()));
    }

    kwapptest::UserFolders folders;
    kwApplication app{"Doc Tester", "DV", kwBase::Version("1.0"), kwBase::Version("1.0")};
    kwAppFrame* frame = nullptr;
};
} // namespace

TEST_F(DocViewTest, SingleDocumentTaskBringsItsWindowForwardInsteadOfOpeningAnother) {
    kwDocViewTask* task = MakeTask(kwDocViewTask::SINGLE_DOCUMENT);
    EXPECT_TRUE(task->Shutdown()) << "nothing open: shutting down is fine";
    EXPECT_EQ(task->Document(), nullptr);
    task->Start();
    EXPECT_EQ(task->Status(), kwTask::RUNNING);
    ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(frame->MdiArea()->subWindowList()[0]->windowTitle(), "Issues") << "titled after the task";
    frame->MdiArea()->subWindowList()[0]->showMinimized();
    EXPECT_TRUE(app.OnCommand(7010));
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 1) << "still one window";
    EXPECT_FALSE(frame->MdiArea()->subWindowList()[0]->isMinimized()) << "brought back";
}

TEST_F(DocViewTest, ShutdownAsksEveryDocumentWithUnsavedChanges) {
    kwDocViewTask* task = MakeTask(kwDocViewTask::MULTIPLE_DOCUMENTS);
    task->Start();
    task->Start();
    ASSERT_EQ(task->DocumentCount(), 2u);
    auto* document = static_cast<CountingDocument*>(task->Document());
    document->SetTitle("Open issues");
    document->SetModifiedFlag();

    xw_script_answers({XW_ANSWER_CANCEL});
    EXPECT_FALSE(task->Shutdown());
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "Do you want to save the changes to Open issues?");

    document->saveWorks = false;
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_FALSE(task->Shutdown()) << "a save that fails keeps the document open";
    EXPECT_TRUE(document->IsModified());

    document->saveWorks = true;
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_TRUE(task->Shutdown());
    EXPECT_FALSE(document->IsModified());
    EXPECT_TRUE(task->Shutdown()) << "asked once: a saved document does not ask again";

    task->RefreshData();
    EXPECT_EQ(g_refreshes, 2) << "every open document reads its data again";

    EXPECT_TRUE(task->CloseAll());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(task->DocumentCount(), 0u);
    EXPECT_EQ(task->Status(), kwTask::IDLE);
    task->RefreshData();
    EXPECT_EQ(g_refreshes, 2) << "no document, nothing refreshed";
}

TEST_F(DocViewTest, DestroyingTheTaskClosesItsWindows) {
    kwDocViewTask* task = MakeTask(kwDocViewTask::MULTIPLE_DOCUMENTS);
    task->Start();
    ASSERT_EQ(frame->MdiArea()->subWindowList().size(), 1);
    app.DestroyTask(7010);
    EXPECT_EQ(frame->MdiArea()->subWindowList().size(), 0);
}
