// Start-up of the main program. Each failing step returns failure and the framework ends the
// program; the step that failed has already said why.
#include "QV/app/CQVApp.h"

#include "QV/app/CMainFrame.h"
#include "QV/resources/QVResources.h"
#include "QV/strings/QVStrings.h"
#include "kwapp/app/kwMessageService.h"
#include "kwapp/app/xs_option_allowed.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/tasks/kwPropertySheetTask.h"
#include "kwapp/tasks/kwTask.h"
#include "kwapp/widgets/kwSplashScreen.h"
#include "kwinq/xi.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/strings/qvcoreStrings.h"
#include "qvcore/tasks/TaskApplications.h"
#include "qvcore/tasks/TaskFormulas.h"
#include "qvcore/tasks/TaskNewIssue.h"
#include "qvcore/tasks/TaskOptions.h"
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

namespace {
// The inquiry and report commands of the applications the Applications task offers, shown
// by name unless it hides the names.
void MakeInqRptCommands(const std::string& abbreviation) {
    NewInqRptCommands(abbreviation, !TaskApplications::HideAppName(),
                      [](std::vector<std::pair<std::string, std::string>>& list) { TaskApplications::FillAppList(&list); },
                      2);
}

void RebuildInqRptCommands(const std::string& abbreviation) {
    DelInqRptDropDowns(XI_INQUIRIES | XI_REPORTS, XI_INQUIRIES | XI_REPORTS);
    MakeInqRptCommands(abbreviation);
    AddInqRptDropDowns();
}
} // namespace

CQVApp::~CQVApp() {
    if (_appListHandler) TaskApplications::RemoveAppListChangedHandler(_appListHandler);
}

void CQVApp::RegisterTasks() {
    // Formulas: the program's task chooses the application, where the framework has one.
    if (DestroyTask(ID_FORMULAS)) AddTask(std::make_unique<TaskFormulas>());

    // New Issue: the library's task replaces the framework's, in every case.
    DestroyTask(ID_NEW_ISSUE);
    AddTask(std::make_unique<TaskNewIssue>());

    // Options: the program's task, whose rule knows about View Issues, in every case.
    DestroyTask(ID_OPTIONS);
    AddTask(std::make_unique<TaskOptions>());

    if (auto* customize = dynamic_cast<kwPropertySheetTask*>(FindTask(ID_CUSTOMIZE)))
        customize->SetCreateCallback(&TaskOptions::AddUserPages);
    if (auto* options = dynamic_cast<kwPropertySheetTask*>(FindTask(ID_OPTIONS))) {
        options->SetCreateCallback(&TaskOptions::AddSystemPages);
        options->SetDescription(TaskOptions::DESCRIPTION);
    }

    AddTask(std::make_unique<TaskApplications>());
    AddTask(std::make_unique<TaskViewIssues>());

    // The inquiry and report commands of the applications offered.
    MakeInqRptCommands(Abbreviation());
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
    // So are the inquiries and reports, which also follow the applications offered.
    AddCompanyChangedHandler([this] { RebuildInqRptCommands(Abbreviation()); });
    if (!_appListHandler)
        _appListHandler = TaskApplications::AddAppListChangedHandler([this] { RebuildInqRptCommands(Abbreviation()); });

    // Another program of the suite changed the applications offered: rebuild ours.
    _suiteEvents = std::make_unique<kwMessageService>(kwMessageService::EVENT_CHANNEL);
    _suiteEvents->Listen([](const std::string& message) { TaskApplications::OnSuiteMessage(message); });

    MainWindow()->ShowFrame();
    MainWindow()->update();

    if (Prefs::AutoStartViewer() && xs_option_allowed(ID_VIEW_ISSUES, Abbreviation().c_str())) {
        if (kwTask* viewIssues = FindTask(ID_VIEW_ISSUES)) viewIssues->Start();
    }
    return true;
}
