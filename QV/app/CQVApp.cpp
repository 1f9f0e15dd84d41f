// Start-up of the main program. Each failing step returns failure and the framework ends the
// program; the step that failed has already said why.
#include "QV/app/CQVApp.h"

#include "QV/app/CMainFrame.h"
#include "QV/resources/QVResources.h"
#include "QV/strings/QVStrings.h"
#include "kwapp/app/xs_option_allowed.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/tasks/kwTask.h"
#include "kwapp/widgets/kwSplashScreen.h"
#include "kwinq/xi.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"
#include "qvcore/tasks/TaskNewIssue.h"
#include "qvcore/tasks/TaskViewIssues.h"
#include "qvkit/paths/kclDemoCompany.h"
#include "qvkit/qvVersion.h"

#include <memory>

CQVApp::CQVApp()
    : kwMainApp(qvLiteral(QVS_APPLICATION_NAME, -1, QV_MODULE).str(),
                qvLiteral(QVS_ABBREVIATION, -1, QV_MODULE).str(), kwBase::Version(QV_VERSION),
                kwBase::Version(qvLiteral(QVL_LOWEST_DATA_VERSION, -1, QVCORE_MODULE).str())) {
    kclUseDemoCompany();
}

CQVApp::~CQVApp() = default;

void CQVApp::RegisterTasks() {
    // The tasks whose windows the program does not carry yet (Formulas, Applications, Build
    // Query, Select Columns, and the option pages of Customize and Options)
    // are not registered: their menu items stay disabled, and the framework's Customize and
    // Options sheets keep only what the framework gives them.

    // New Issue: the library's task replaces the framework's, in every case.
    DestroyTask(ID_NEW_ISSUE);
    AddTask(std::make_unique<TaskNewIssue>());
    AddTask(std::make_unique<TaskViewIssues>());

    // The inquiry and report commands of the installed applications (the Applications task
    // that chooses them and the show-name setting are not here yet: the defaults hold).
    NewInqRptCommands(Abbreviation(), true, {}, 2);
}

bool CQVApp::InitInstance() {
    if (!kwMainApp::InitInstance()) return false;
    NewCommonCommands(false);
    RegisterTasks();

    // Without a window the macro is all there is to do.
    if (InBackground() || MacroStatus() == MACRO_RUN) {
        ProcessMacro();
        return false;
    }

    _splash = new kwSplashScreen();

    auto frame = std::make_unique<CMainFrame>();
    if (!frame->LoadFrame(IDR_MAINFRAME, FRAME_STYLE, nullptr, nullptr)) return false;
    SetMainWindow(std::move(frame));
    AddInqRptDropDowns();
    MainWindow()->ToolBar()->Update();
    if (!InitForeground()) return false;

    Prefs::Load();
    // Preferences are kept per company: another company brings its own.
    AddCompanyChangedHandler([] { Prefs::Load(); });
    // So are the inquiries and reports.
    AddCompanyChangedHandler([this] {
        DelInqRptDropDowns(XI_INQUIRIES | XI_REPORTS, XI_INQUIRIES | XI_REPORTS);
        NewInqRptCommands(Abbreviation(), true, {}, 2);
        AddInqRptDropDowns();
    });

    MainWindow()->ShowFrame();
    MainWindow()->update();

    if (Prefs::AutoStartViewer() && xs_option_allowed(ID_VIEW_ISSUES, Abbreviation().c_str())) {
        if (kwTask* viewIssues = FindTask(ID_VIEW_ISSUES)) viewIssues->Start();
    }
    return true;
}
