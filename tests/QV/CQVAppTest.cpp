// The main program started headless: its tasks, its frame and menus, a start without
// windows, the close that View Issues may refuse, the company commands and About.
#include "QV/app/CQVApp.h"
#include "qvcore/tasks/qvCommands.h"

#include "../suite/kwapp/KwappTestSupport.h"
#include "QV/app/CMainFrame.h"
#include "TestCompany.h"
#include "kwinq/kwInqRptCommands.h"
#include "kwinq/xi.h"
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
#include "qvcore/newissue/_niGeneral.h"
#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/tasks/TaskFormulas.h"
#include "qvcore/tasks/TaskOptions.h"
#include "kwapp/tasks/kwPropertySheetTask.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>

namespace {
using C = kwCommonCommands;

// Stands in for View Issues where a test counts its starts and shutdowns: a document task
// under 7010 in place of the program's own.
class ViewIssuesStandIn : public kwDocViewTask {
public:
    ViewIssuesStandIn()
        : kwDocViewTask("View Issues", 12, QV_CMD_VIEW_ISSUES, [] { return std::make_unique<kwDocument>(); }, {},
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
        {QV_CMD_CUSTOMIZE, "Customize", kwTask::COMMON},
        {QV_CMD_FORMULAS, "Formula Setup", 0x24},
        {QV_CMD_NEW_ISSUE, "New Issue", kwTask::SECURED},
        {QV_CMD_OPTIONS, "Options", kwTask::COMMON | kwTask::SECURED | kwTask::SETUP},
        {QV_CMD_APPLICATIONS, "Applications", 0x0C},
        {QV_CMD_VIEW_ISSUES, "View Issues", kwTask::SECURED | kwTask::TOOL_ITEM},
    };
    // Then the inquiry and report commands of the installed applications.
    const std::vector<kwInqCommand>& commands = kwInqCommands();
    ASSERT_FALSE(commands.empty()) << "the demo company defines inquiries and reports";
    ASSERT_EQ(app.Tasks().size(), std::size(expected) + commands.size());
    for (size_t i = 0; i < std::size(expected); ++i) {
        const kwTask* task = app.Tasks()[i];
        EXPECT_EQ(task->ID(), expected[i].id) << "task " << i;
        EXPECT_EQ(task->Name(), expected[i].name) << "task " << i;
        EXPECT_EQ(task->Flags(), expected[i].flags) << "task " << i;
    }
    for (size_t i = 0; i < commands.size(); ++i) {
        const kwTask* task = app.Tasks()[std::size(expected) + i];
        EXPECT_EQ(task->ID(), commands[i].id);
        EXPECT_EQ(task->Name(), commands[i].name);
    }
    EXPECT_EQ(commands.front().id, XI_INQUIRY_BASE + XI_FIRST_OFFSET);
    EXPECT_EQ(commands.front().application, "AP") << "Accounts Payable sorts first by name";
    EXPECT_NE(dynamic_cast<kwDocViewTask*>(app.FindTask(QV_CMD_VIEW_ISSUES)), nullptr) << "View Issues is a document task";
    EXPECT_NE(dynamic_cast<TaskFormulas*>(app.FindTask(QV_CMD_FORMULAS)), nullptr)
        << "the framework's Formulas task is replaced by the program's";
    EXPECT_NE(dynamic_cast<TaskOptions*>(app.FindTask(QV_CMD_OPTIONS)), nullptr);
    EXPECT_EQ(app.FindTask(QV_CMD_OPTIONS)->Description(), "Sets date format, audit settings, report defaults and other settings");
    auto* customize = dynamic_cast<kwPropertySheetTask*>(app.FindTask(QV_CMD_CUSTOMIZE));
    ASSERT_NE(customize, nullptr);
    EXPECT_TRUE(customize->HasCreateCallback()) << "User Controls joins the Customize sheet";
    EXPECT_NE(dynamic_cast<kwTask*>(app.FindTask(QV_CMD_NEW_ISSUE)), nullptr);

    ASSERT_NE(Frame(), nullptr);
    EXPECT_TRUE(Frame()->isVisible());
    EXPECT_EQ(Frame()->windowTitle(), "Quorvel - Demo Company");
    EXPECT_EQ(Frame()->ToolBar()->TaskIds(),
              (std::vector<unsigned short>{QV_CMD_NEW_ISSUE, QV_CMD_APPLICATIONS, QV_CMD_VIEW_ISSUES}))
        << "the buttons of New Issue, Applications and View Issues";
    EXPECT_NE(Frame()->ToolBar()->DropDownAction("inquiries"), nullptr) << "the inquiry drop-down";
    EXPECT_NE(Frame()->ToolBar()->DropDownAction("reports"), nullptr) << "the report drop-down";
    EXPECT_EQ(kwApplication::LastCompany(), kwCompany::Folder()) << "remembered for the next start";
}

TEST_F(QVStart, MenusFollowTheProgramsResourceWithTheToolsExtension) {
    ASSERT_TRUE(Start());
    QMenuBar* bar = Frame()->menuBar();
    EXPECT_EQ(Entries(bar), (QStringList{"&File", "&Edit", "Too&ls", "&Window", "&Help"}));
    EXPECT_EQ(Entries(Frame()->FindMenu("&File")),
              (QStringList{"&New Issue...", "-", "&New Company...", "&Open Company...", "&Company Settings", "-", "&Print...", "Print to &Default Printer",
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
    EXPECT_EQ(Frame()->FindCommandAction(QV_CMD_VIEW_ISSUES)->statusTip(), "Views and modifies existing issues");
    EXPECT_EQ(Frame()->FindCommandAction(C::ID_APP_EXIT)->statusTip(), "Exits the Quorvel application");
    EXPECT_EQ(Frame()->FindCommandAction(C::ID_FILE_NEW)->statusTip(), "Enters a new issue");
    EXPECT_EQ(Frame()->FindCommandAction(QV_CMD_SELECT_COLUMNS)->statusTip(), "Creates and modifies list of grid columns");

    const std::pair<unsigned short, const char*> keys[] = {
        {C::ID_EDIT_COPY, "Ctrl+C"}, {C::ID_FILE_NEW, "Ctrl+N"}, {C::ID_FILE_OPEN, "Ctrl+O"}, {C::ID_FILE_PRINT, "Ctrl+P"}, {C::ID_FILE_SAVE, "Ctrl+S"},
        {C::ID_EDIT_PASTE, "Ctrl+V"}, {C::ID_EDIT_CUT, "Ctrl+X"}, {C::ID_EDIT_REDO, "Ctrl+Y"}, {C::ID_EDIT_UNDO, "Ctrl+Z"},
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
    for (unsigned short id : {QV_CMD_BUILD_QUERY, QV_CMD_SELECT_COLUMNS, C::ID_MACROS, C::ID_BACKGROUND_TASKS, C::ID_CALCULATOR, C::ID_COMPANY_GENERAL, C::ID_COMPANY_FILE_LOCATIONS, C::ID_CUSTOM_FIELDS,
                              C::ID_FILE_PRINT, C::ID_PRINT_SETUP, C::ID_PRINTOUTS, C::ID_HELP_TOPICS, C::ID_SERVICES, C::ID_RELEASE_NOTES, C::ID_WEB_HOME_PAGE, C::ID_WEB_USERS_GROUP, C::ID_WEB_NEWS, C::ID_FILE_OPEN, C::ID_FILE_SAVE})
        EXPECT_FALSE(Enabled(id)) << id << " has no function yet";
    const bool newIssueBuilt = ::dlsym(RTLD_DEFAULT, "qv_new_issue") != nullptr;
    EXPECT_EQ(app.IsCommandEnabled(QV_CMD_NEW_ISSUE), newIssueBuilt) << "New Issue waits for qv_new_issue";
    EXPECT_EQ(Frame()->ToolBar()->TaskAction(QV_CMD_NEW_ISSUE)->isEnabled(), newIssueBuilt);
    EXPECT_EQ(Enabled(C::ID_FILE_NEW), newIssueBuilt) << "File New (Ctrl+N) enters a new issue";
    for (unsigned short id : {C::ID_NEW_COMPANY, C::ID_OPEN_COMPANY, C::ID_APP_EXIT, QV_CMD_VIEW_ISSUES, C::ID_FILE_DOCTOR, QV_CMD_CUSTOMIZE, C::ID_WHATS_THIS, C::ID_SYSTEM_LOG, C::ID_APP_ABOUT,
                              QV_CMD_APPLICATIONS, QV_CMD_FORMULAS, QV_CMD_OPTIONS, C::ID_CUSTOM_DESCRIPTIONS})
        EXPECT_TRUE(Enabled(id)) << id;
    for (unsigned short id : {C::ID_EDIT_CUT, C::ID_EDIT_COPY, C::ID_EDIT_PASTE, C::ID_EDIT_UNDO, C::ID_EDIT_REDO})
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
    EXPECT_NE(app.FindTask(QV_CMD_NEW_ISSUE), nullptr) << "the tasks were registered first";
}

TEST_F(QVStart, MacroStartReportsWhatCannotRunAndOpensNoWindow) {
    const std::string macro = company.Path("nightly.mac");
    std::ofstream(macro) << QV_CMD_NEW_ISSUE << "\n";
    const qsizetype widgetsBefore = QApplication::topLevelWidgets().size();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(Start({"--macro", macro}));
    const std::string errors = testing::internal::GetCapturedStderr();
    EXPECT_EQ(app.MainWindow(), nullptr);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), widgetsBefore) << "no splash, no frame";
    EXPECT_NE(errors.find("\"New Issue\" (" + std::to_string(QV_CMD_NEW_ISSUE) + ") cannot run without a window"), std::string::npos) << errors;
    EXPECT_EQ(app.ExitCode(), 1);
}

TEST_F(QVStart, ViewIssuesWithUnsavedWorkCanKeepTheFrameOpen) {
    ASSERT_TRUE(Start());
    app.DestroyTask(QV_CMD_VIEW_ISSUES);
    auto* viewIssues = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
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

TEST_F(QVStart, TheTitleNamesTheProgramOnceThenTheCompanyThenTheActiveWindow) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(Frame()->windowTitle(), "Quorvel - Demo Company");
    auto* viewIssues = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
    viewIssues->Start();
    ASSERT_EQ(Frame()->MdiArea()->subWindowList().size(), 1);
    Frame()->MdiArea()->setActiveSubWindow(Frame()->MdiArea()->subWindowList().first());
    const QString child = Frame()->MdiArea()->subWindowList().first()->windowTitle();
    EXPECT_EQ(Frame()->windowTitle(), "Quorvel - Demo Company - [" + child + "]");
    EXPECT_EQ(QCoreApplication::applicationName(), "Quorvel");
    EXPECT_EQ(Frame()->windowTitle().count("Quorvel"), 1) << "the program's name is not repeated";
    Frame()->MdiArea()->closeAllSubWindows();
}

TEST_F(QVStart, AutoStartOpensViewIssuesOnlyForAnOperatorWithTheRight) {
    std::ofstream(company.Path("operators.json"), std::ios::trunc) << R"({ "security": true, "operators": [
        { "id": "ADMIN", "name": "Alex", "privilege": 1 },
        { "id": "DANA", "name": "Dana", "privilege": 0, "denied": { "QV": [7010] } } ] })";
    Prefs::Load();
    Prefs::SetAutoStartViewer(true);
    ASSERT_TRUE(Prefs::SaveUser());

    auto* denied = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
    ASSERT_TRUE(Start({"--operator", "DANA"}));
    EXPECT_EQ(denied->starts, 0) << "DANA may not use View Issues";
    EXPECT_TRUE(Frame()->isVisible()) << "the frame opens all the same";
}

TEST_F(QVStart, AutoStartOpensViewIssuesWhenAllowed) {
    Prefs::Load();
    Prefs::SetAutoStartViewer(true);
    ASSERT_TRUE(Prefs::SaveUser());
    auto* allowed = &app.AddTask(std::make_unique<ViewIssuesStandIn>());
    ASSERT_TRUE(Start());
    EXPECT_EQ(allowed->starts, 1);
    EXPECT_EQ(Frame()->MdiArea()->subWindowList().size(), 1);
}

TEST_F(QVStart, OpenCompanyRefusesAFolderThatIsNoCompany) {
    ASSERT_TRUE(Start());
    const std::string before = kwCompany::Folder();
    const std::string plain = folders.Root() + "/just-files";
    std::filesystem::create_directories(plain);
    kwFolderDialog::Script plainFolder({plain});
    Frame()->FindCommandAction(C::ID_OPEN_COMPANY)->trigger();
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "\"" + plain + "\" is not a company folder: it has no company settings (company.json).");
    EXPECT_EQ(kwCompany::Folder(), before);

    xw_clear_shown_messages();
    const std::string fresh = folders.Root() + "/Northwind";
    kwFolderDialog::Script freshFolder({fresh});
    Frame()->FindCommandAction(C::ID_NEW_COMPANY)->trigger();
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
    Frame()->FindCommandAction(C::ID_APP_ABOUT)->trigger();
    EXPECT_EQ(shown[kwAboutDialog::IDC_NAME], "Quorvel");
    EXPECT_EQ(shown[kwAboutDialog::IDC_VERSION], "13.1.24");
    EXPECT_EQ(shown[kwAboutDialog::IDC_COMPANY], "Demo Company");
    EXPECT_EQ(shown[kwAboutDialog::IDC_OPERATOR], "LEE (Lee Okafor)");
}

TEST_F(QVStart, ANewIssueSavedFromTheFileMenuIsNamedInTheStatusBar) {
    ASSERT_TRUE(Start());
    bool shown = false;
    QTimer::singleShot(0, [&] {
        auto* sheet = qobject_cast<niPropSheet*>(QApplication::activeModalWidget());
        if (!sheet) return;
        shown = true;
        kwFindCtrl<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION)->setPlainText("From the menu");
        sheet->PressOK();
    });
    Frame()->FindCommandAction(C::ID_FILE_NEW)->trigger();
    ASSERT_TRUE(shown) << "File > New Issue opened the sheet";
    EXPECT_EQ(Frame()->statusBar()->currentMessage(), "Issue 1 saved.");
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
