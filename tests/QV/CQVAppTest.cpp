// The main program started headless: its tasks, its frame and menus, a start without
// windows, the close that View Issues may refuse, the company commands and About.
#include "QV/app/CQVApp.h"

#include "../suite/kwapp/KwappTestSupport.h"
#include "QV/app/CMainFrame.h"
#include "TestCompany.h"
#include "kwapp/dialogs/kwAboutDialog.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/messages/kwMessageBox.h"
#include "kwapp/tasks/kwDocViewTask.h"
#include "kwapp/tasks/kwDocument.h"
#include "kwapp/tasks/kwView.h"
#include "kwapp/widgets/kwCtrl.h"
#include "kwapp/widgets/kwSplashScreen.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"
#include "qvcore/prefs/Prefs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>

namespace {
// Stands in for View Issues until its window exists: a document task under 7010.
class ViewIssuesStandIn : public kwDocViewTask {
public:
    ViewIssuesStandIn()
        : kwDocViewTask("View Issues", 12, 7010, [] { return std::make_unique<kwDocument>(); }, {},
                        [](kwDocument& document) { return new kwView(document); }, SINGLE_DOCUMENT, {}, {}) {}
    void Start() override {
        ++starts;
        kwDocViewTask::Start();
    }
    bool Shutdown() override {
        ++shutdowns;
        return kwDocViewTask::Shutdown();
    }
    int starts = 0;
    int shutdowns = 0;
};

class QVStart : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        ::unsetenv("QV_HELP_DIR");
        xw_clear_shown_messages();
        kwFolderDialog::ClearScript();
    }
    void TearDown() override {
        kwMessageBox::Uninstall();
        xw_clear_shown_messages();
        // The splash closes itself from the event loop, which tests do not run for long;
        // no shown window may outlive the test's application object.
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (qobject_cast<kwSplashScreen*>(widget)) widget->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Starts the program on the test company; message boxes are answered by script.
    bool Start(std::vector<std::string> arguments = {}) {
        arguments.insert(arguments.begin(), {"--data", company.Folder()});
        std::string error;
        EXPECT_TRUE(app.SetArguments(arguments, &error)) << error;
        const bool started = app.InitInstance();
        kwMessageBox::Uninstall();
        return started;
    }
    CMainFrame* Frame() const { return dynamic_cast<CMainFrame*>(app.MainWindow()); }
    static QStringList Entries(QWidget* menu) {
        QStringList entries;
        for (QAction* action : menu->actions())
            entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        return entries;
    }
    bool Enabled(unsigned short id) const {
        QAction* action = Frame()->FindCommandAction(id);
        EXPECT_NE(action, nullptr) << "no item for " << id;
        return action && action->isEnabled();
    }

    kwapptest::UserFolders folders;
    TestCompany company{false};
    CQVApp app;
};
} // namespace

TEST_F(QVStart, RegistersItsTasksInOrderAndShowsTheFrame) {
    EXPECT_EQ(app.Name(), "Quorvel");
    EXPECT_EQ(app.Abbreviation(), "QV");
    EXPECT_EQ(app.ProgramVersion().ToString(), "13.1.24");
    EXPECT_EQ(app.MinDataVersion().ToString(), "9.8.26");
    ASSERT_TRUE(Start());

    struct Expected {
        unsigned short id;
        const char* name;
        kwTask::FlagsType flags;
    };
    const Expected expected[] = {
        {7400, "Customize", kwTask::COMMON},
        {7500, "Options", kwTask::COMMON | kwTask::SECURED | kwTask::SETUP},
        {7098, "New Issue", kwTask::SECURED},
    };
    ASSERT_EQ(app.Tasks().size(), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i) {
        const kwTask* task = app.Tasks()[i];
        EXPECT_EQ(task->ID(), expected[i].id) << "task " << i;
        EXPECT_EQ(task->Name(), expected[i].name) << "task " << i;
        EXPECT_EQ(task->Flags(), expected[i].flags) << "task " << i;
    }
    EXPECT_EQ(app.FindTask(7100), nullptr) << "the framework has no Formulas task, so neither has the program";
    EXPECT_EQ(app.FindTask(7010), nullptr) << "View Issues is not registered until its window exists";
    EXPECT_NE(dynamic_cast<kwTask*>(app.FindTask(7098)), nullptr);

    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->windowTitle(), "Quorvel - Demo Company");
    EXPECT_EQ(Frame()->ToolBar()->TaskIds(), (std::vector<unsigned short>{7098})) << "New Issue's button";
    EXPECT_EQ(kwApplication::LastCompany(), kwCompany::Folder()) << "remembered for the next start";
}

TEST_F(QVStart, MenusFollowTheProgramsResourceWithTheToolsExtension) {
    ASSERT_TRUE(Start());
    QMenuBar* bar = Frame()->menuBar();
    EXPECT_EQ(Entries(bar), (QStringList{"&File", "&Edit", "Too&ls", "&Window", "&Help"}));
    EXPECT_EQ(Entries(Frame()->FindMenu("&File")),
              (QStringList{"&New Issue...", "-", "&New Company...", "&Open Company...", "&Company Settings", "-", "&Print...",
                           "Print Set&up...", "P&rintouts...", "-", "E&xit"}));
    EXPECT_EQ(Entries(Frame()->FindMenu("&Company Settings")),
              (QStringList{"&General...", "&File Locations...", "&Custom Descriptions...", "C&ustom Fields..."}));
    EXPECT_EQ(Entries(Frame()->FindMenu("&Edit")),
              (QStringList{"&Undo", "&Redo", "Cu&t", "&Copy", "&Paste"}));
    EXPECT_EQ(Entries(Frame()->FindMenu("Too&ls")),
              (QStringList{"&Applications...", "&View Issues...", "&Build Query...", "&Select Grid Columns...", "-",
                           "&Formulas...", "Mac&ros...", "&Background Tasks...", "Ca&lculator...", "-",
                           "File &Doctor...", "-", "&Customize...", "&Options..."}))
        << "the issue tools at positions 1 to 3, under Applications";
    EXPECT_EQ(Entries(Frame()->FindMenu("&Help")),
              (QStringList{"&Help Topics", "&What's This?", "-", "&Maxtrel Services...", "&Release Notes...",
                           "Maxtrel System &Log...", "-", "Maxtrel on the We&b", "&About Quorvel..."}));
    EXPECT_EQ(Frame()->FindCommandAction(7010)->statusTip(), "Views and modifies existing issues");
    EXPECT_EQ(Frame()->FindCommandAction(1999)->statusTip(), "Exits the Quorvel application");
    EXPECT_EQ(Frame()->FindCommandAction(1010)->statusTip(), "Enters a new issue");
    EXPECT_EQ(Frame()->FindCommandAction(7030)->statusTip(), "Creates and modifies list of grid columns");

    const std::pair<unsigned short, const char*> keys[] = {
        {2020, "Ctrl+C"}, {1010, "Ctrl+N"}, {1020, "Ctrl+O"}, {1210, "Ctrl+P"}, {1040, "Ctrl+S"},
        {2030, "Ctrl+V"}, {2010, "Ctrl+X"}, {2050, "Ctrl+Y"}, {2040, "Ctrl+Z"},
    };
    for (const auto& [id, key] : keys) {
        QAction* action = Frame()->FindCommandAction(id);
        ASSERT_NE(action, nullptr) << id;
        EXPECT_EQ(action->shortcut(), QKeySequence(QString::fromLatin1(key))) << id;
    }
}

TEST_F(QVStart, MenuItemsOfFunctionsNotBuiltAreDisabled) {
    ASSERT_TRUE(Start());
    Frame()->UpdateCommandUI();
    for (unsigned short id : {7005, 7010, 7020, 7030, 7100, 7110, 7120, 7130, 7500, 1130, 1140, 1150, 1155,
                              1210, 1230, 1240, 9010, 9100, 9120, 9210, 9220, 9230, 1020, 1040})
        EXPECT_FALSE(Enabled(id)) << id << " has no function yet";
    const bool newIssueBuilt = ::dlsym(RTLD_DEFAULT, "qv_new_issue") != nullptr;
    EXPECT_EQ(app.IsCommandEnabled(7098), newIssueBuilt) << "New Issue waits for qv_new_issue";
    EXPECT_EQ(Frame()->ToolBar()->TaskAction(7098)->isEnabled(), newIssueBuilt);
    EXPECT_EQ(Enabled(1010), newIssueBuilt) << "File New (Ctrl+N) enters a new issue";
    for (unsigned short id : {1100, 1110, 1999, 7200, 7400, 9020, 9110, 9999})
        EXPECT_TRUE(Enabled(id)) << id;
    for (unsigned short id : {2010, 2020, 2030, 2040, 2050})
        EXPECT_FALSE(Enabled(id)) << id << ": nothing to edit has the focus";
}

TEST_F(QVStart, BackgroundOrMacroStartProcessesTheMacroAndOpensNoWindow) {
    auto visibleWindows = [] {
        int count = 0;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (widget->isVisible()) ++count;
        return count;
    };
    const int before = visibleWindows();
    EXPECT_FALSE(Start({"--background"})) << "start-up ends after the macro step";
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(visibleWindows(), before) << "no splash, no frame";
    EXPECT_EQ(app.ExitCode(), 0);
    EXPECT_NE(app.FindTask(7098), nullptr) << "the tasks were registered first";
}

TEST_F(QVStart, MacroStartReportsWhatCannotRunAndOpensNoWindow) {
    const std::string macro = company.Path("nightly.mac");
    std::ofstream(macro) << "7098\n";
    const qsizetype widgetsBefore = QApplication::topLevelWidgets().size();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Start({"--macro", macro}));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), widgetsBefore) << "no splash, no frame";
    EXPECT_NE(errors.find("\"New Issue\" (7098) cannot run without a window"), std::string::npos) << errors;
    EXPECT_EQ(app.ExitCode(), 1);
}

TEST_F(QVStart, ViewIssuesWithUnsavedWorkCanKeepTheFrameOpen) {
    ASSERT_TRUE(Start());
    auto* viewIssues = new ViewIssuesStandIn();
    ASSERT_TRUE(Frame()->close()) << "View Issues exists but does not run: the frame closes";
    EXPECT_EQ(viewIssues->shutdowns, 0);
    Frame()->show();

    viewIssues->Start();
    ASSERT_EQ(viewIssues->Status(), kwTask::RUNNING);
    viewIssues->Document()->SetModifiedFlag();
    xw_script_answers({XW_ANSWER_CANCEL});
    EXPECT_FALSE(Frame()->close());
    EXPECT_TRUE(Frame()->isVisible()) << "the user kept the unsaved work";
    EXPECT_EQ(viewIssues->shutdowns, 1);
    EXPECT_EQ(Frame()->MdiArea()->subWindowList().size(), 1) << "everything stays as it was";

    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(Frame()->close());
    EXPECT_EQ(xw_shown_messages().size(), 1u) << "asked once, not again by the window";
}

TEST_F(QVStart, AutoStartOpensViewIssuesOnlyForAnOperatorWithTheRight) {
    std::ofstream(company.Path("operators.json"), std::ios::trunc) << R"({ "security": true, "operators": [
        { "id": "ADMIN", "name": "Alex", "privilege": 1 },
        { "id": "DANA", "name": "Dana", "privilege": 0, "denied": { "QV": [7010] } } ] })";
    Prefs::Load();
    Prefs::SetAutoStartViewer(true);
    ASSERT_TRUE(Prefs::SaveUser());

    auto* denied = new ViewIssuesStandIn();
    ASSERT_TRUE(Start({"--operator", "DANA"}));
    EXPECT_EQ(denied->starts, 0) << "DANA may not use View Issues";
    EXPECT_TRUE(Frame()->isVisible()) << "the frame opens all the same";
}

TEST_F(QVStart, AutoStartOpensViewIssuesWhenAllowed) {
    Prefs::Load();
    Prefs::SetAutoStartViewer(true);
    ASSERT_TRUE(Prefs::SaveUser());
    auto* allowed = new ViewIssuesStandIn();
    ASSERT_TRUE(Start());
    EXPECT_EQ(allowed->starts, 1);
    EXPECT_EQ(Frame()->MdiArea()->subWindowList().size(), 1);
}

TEST_F(QVStart, OpenCompanyRefusesAFolderThatIsNoCompany) {
    ASSERT_TRUE(Start());
    const std::string before = kwCompany::Folder();
    const std::string plain = folders.Root() + "/just-files";
    std::filesystem::create_directories(plain);
    kwFolderDialog::ScriptAnswers({plain});
    Frame()->FindCommandAction(1110)->trigger();
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "\"" + plain + "\" is not a company folder: it has no company settings (company.json).");
    EXPECT_EQ(kwCompany::Folder(), before);

    xw_clear_shown_messages();
    const std::string fresh = folders.Root() + "/Northwind";
    kwFolderDialog::ScriptAnswers({fresh});
    Frame()->FindCommandAction(1100)->trigger();
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(Frame()->windowTitle(), "Quorvel - Northwind") << "the new company is the current one";
}

TEST_F(QVStart, AboutShowsNameVersionAndCompany) {
    ASSERT_TRUE(Start({"--operator", "LEE"}));
    std::map<int, QString> shown;
    QTimer::singleShot(0, [&] {
        auto* about = qobject_cast<kwAboutDialog*>(QApplication::activeModalWidget());
        if (!about) return;
        for (int id : {kwAboutDialog::IDC_NAME, kwAboutDialog::IDC_VERSION, kwAboutDialog::IDC_COMPANY,
                       kwAboutDialog::IDC_OPERATOR})
            shown[id] = kwFindCtrl<QLabel>(about, id)->text();
        if (const char* folder = std::getenv("QV_SCREENSHOT_DIR"))
            about->grab().save(QString::fromLocal8Bit(folder) + "/qv-about.png");
        about->accept();
    });
    Frame()->FindCommandAction(9999)->trigger();
    EXPECT_EQ(shown[kwAboutDialog::IDC_NAME], "Quorvel");
    EXPECT_EQ(shown[kwAboutDialog::IDC_VERSION], "13.1.24");
    EXPECT_EQ(shown[kwAboutDialog::IDC_COMPANY], "Demo Company");
    EXPECT_EQ(shown[kwAboutDialog::IDC_OPERATOR], "LEE (Lee Okafor)");
}

TEST_F(QVStart, MainWindowRendersWithMenusToolbarAndStatusBar) {
    ASSERT_TRUE(Start());
    Frame()->resize(900, 560);
    QCoreApplication::processEvents();
    const QPixmap picture = Frame()->grab();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), Frame()->size());
    if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
        picture.save(QString::fromLocal8Bit(folder) + "/qv-main.png");
        QMenu* tools = Frame()->FindMenu("Too&ls");
        tools->popup(Frame()->mapToGlobal(QPoint(120, 30)));
        QCoreApplication::processEvents();
        tools->grab().save(QString::fromLocal8Bit(folder) + "/qv-tools-menu.png");
        tools->hide();
    }
}
