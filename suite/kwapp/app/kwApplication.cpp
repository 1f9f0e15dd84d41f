// The application object: task registry, command routing, start-up and the company.
#include "kwapp/app/kwApplication.h"

#include "kwapp/app/kwCommonCommands.h"
#include "kwapp/app/kwObjectRegistry.h"
#include "kwapp/app/kwUserSettings.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/resources/kwDynLinkLibrary.h"
#include "kwapp/tasks/kwTask.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio_dict.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include <QApplication>
#include <QCoreApplication>
#include <QStringList>
#include <QTimer>

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {
kwApplication* g_app = nullptr;
// Where earlier versions kept the last company, in the user settings.
constexpr const char* kOldLastCompanyKey = "company.last";

std::string Trim(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}
} // namespace

kwApplication* KWGetApp() { return g_app; }

kwApplication::kwApplication(const std::string& name, const std::string& abbreviation,
                             const kwBase::Version& programVersion,
                             const kwBase::Version& minDataVersion)
    : _name(name), _abbreviation(abbreviation), _programVersion(programVersion),
      _minDataVersion(minDataVersion) {
    if (!g_app) g_app = this;
}

kwApplication::~kwApplication() {
    // Windows first: they may still refer to their tasks' documents.
    _mainWindow.reset();
    ReleaseLibraryLinks();
    // The last added goes first: a task may refer to one added before it.
    while (!_tasks.empty()) _tasks.pop_back();
    if (g_app == this) g_app = nullptr;
}

bool kwApplication::SetArguments(const std::vector<std::string>& arguments, std::string* error) {
    kwCommandLine parsed;
    if (!parsed.Parse(arguments, error)) return false;
    _commandLine = parsed;
    return true;
}

int kwApplication::Run(int argc, char** argv) {
    // --help and --version answer at once: no display, no company.
    const std::string invokedAs =
        argc > 0 && argv[0] ? std::filesystem::path(argv[0]).filename().string() : _abbreviation;
    if (kwCommandLine::AsksForHelp(argc, argv)) {
        std::cout << kwCommandLine::Usage(invokedAs);
        return 0;
    }
    if (kwCommandLine::AsksForVersion(argc, argv)) {
        std::cout << _name << " " << _programVersion.ToString() << "\n";
        return 0;
    }
    std::unique_ptr<QCoreApplication> qt;
    if (!QCoreApplication::instance()) {
        // A run without windows must not need a display.
        bool windowless = false;
        for (int i = 1; i < argc; ++i) {
            const std::string argument = argv[i];
            if (argument == "--background" || argument == "--macro" ||
                argument.rfind("--macro=", 0) == 0)
                windowless = true;
        }
        if (windowless) qt = std::make_unique<QCoreApplication>(argc, argv);
        else qt = std::make_unique<QApplication>(argc, argv);
    }
    const QStringList list = QCoreApplication::arguments();
    std::vector<std::string> arguments;
    for (qsizetype i = 1; i < list.size(); ++i)
        arguments.push_back(list[i].toStdString());
    const std::string program =
        list.isEmpty() ? _abbreviation : std::filesystem::path(list[0].toStdString()).filename().string();
    std::string error;
    if (!SetArguments(arguments, &error) || !kwCompanyChoice::CheckDataOption(_commandLine.dataFolder, &error)) {
        std::cerr << program << ": " << error << "\n" << kwCommandLine::Usage(program);
        return 2;
    }
    _exitCode = 0;
    StartExitTimer();
    if (InitInstance()) {
        _exitCode = QCoreApplication::exec();
    } else if (!_macroProcessed && !_endedWithoutError && _exitCode == 0) {
        _exitCode = 1; // a start-up step failed and has said why
    }
    return ExitInstance();
}

bool kwApplication::InitInstance() {
    xw_set_application_name(_name);
    kwSetMainModuleName(_abbreviation + ".EXE");
    return true;
}

int kwApplication::ExitInstance() {
    _mainWindow.reset();
    ReleaseLibraryLinks();
    return _exitCode;
}

bool kwApplication::InitForeground() {
    kwAppFrame* frame = MainWindow();
    if (!frame) return false;
    frame->RestorePlacement();
    frame->StartCommandUpdates();
    if (_exitRequested) QTimer::singleShot(0, frame, [frame] { frame->close(); });
    else StartExitTimer();
    return true;
}

void kwApplication::StartExitTimer() {
    if (_exitTimerStarted || _commandLine.exitAfterMs < 0 || !QCoreApplication::instance()) return;
    _exitTimerStarted = true;
    QTimer::singleShot(_commandLine.exitAfterMs, QCoreApplication::instance(), [this] { ExitAfterElapsed(); });
}

void kwApplication::ExitAfterElapsed() {
    _exitRequested = true;
    // A question still open (start-up may ask one) takes its cautious answer, so an
    // unattended run never waits for a user.
    for (int guard = 0; guard < 16; ++guard) {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->close()) break;
    }
    if (_mainWindow) _mainWindow->close();
}

bool kwApplication::ProcessMacro() {
    _macroProcessed = true;
    if (_commandLine.macroFile.empty()) return true;
    const std::string& file = _commandLine.macroFile;
    auto report = [&](const std::string& text) {
        const std::string line = _abbreviation + " macro " + file + ": " + text;
        std::cerr << line << std::endl;
        if (kwCompany::IsOpen()) x_log(0, line.c_str());
    };
    std::ifstream in(file);
    if (!in) {
        report("the file cannot be read.");
        _exitCode = 1;
        return false;
    }
    bool ok = true;
    std::string text;
    for (int lineNumber = 1; std::getline(in, text); ++lineNumber) {
        const size_t comment = text.find_first_of("#;");
        const std::string line = Trim(comment == std::string::npos ? text : text.substr(0, comment));
        if (line.empty()) continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        unsigned int id = 0;
        auto [end, ec] = std::from_chars(line.data(), line.data() + line.size(), id);
        if (ec != std::errc() || end != line.data() + line.size() || id == 0 || id > 65535) {
            report(where + "\"" + line + "\" is not a command number.");
            ok = false;
            continue;
        }
        kwTask* task = FindTask(static_cast<unsigned short>(id));
        if (!task) {
            report(where + "there is no command " + line + ".");
            ok = false;
        } else if (!task->BackgroundTaskAppl()) {
            report(where + "\"" + task->Name() + "\" (" + line + ") cannot run without a window.");
            ok = false;
        } else if (!task->IsEnabled() || !task->SecurityAccessAllowed()) {
            report(where + "\"" + task->Name() + "\" (" + line + ") is not available.");
            ok = false;
        } else {
            task->Start();
        }
    }
    _exitCode = ok ? 0 : 1;
    return ok;
}

kwTask* kwApplication::FindTask(unsigned short id) const {
    for (const auto& task : _tasks)
        if (task->ID() == id) return task.get();
    return nullptr;
}

std::vector<kwTask*> kwApplication::Tasks() const {
    std::vector<kwTask*> tasks;
    tasks.reserve(_tasks.size());
    for (const auto& task : _tasks) tasks.push_back(task.get());
    return tasks;
}

void kwApplication::AdoptTask(std::unique_ptr<kwTask> task) {
    if (!task) return;
    _tasks.push_back(std::move(task));
    if (_mainWindow) _mainWindow->UpdateCommandUI();
}

bool kwApplication::DestroyTask(unsigned short id) {
    auto it = std::find_if(_tasks.begin(), _tasks.end(), [id](const auto& task) { return task->ID() == id; });
    if (it == _tasks.end()) return false;
    // Out of the list before it goes, so nothing its destructor calls finds it.
    std::unique_ptr<kwTask> task = std::move(*it);
    _tasks.erase(it);
    task.reset();
    if (_mainWindow) _mainWindow->UpdateCommandUI();
    return true;
}

void kwApplication::TaskStatusChanged(kwTask* /*task*/) {
    if (_mainWindow) _mainWindow->UpdateCommandUI();
}

void kwApplication::NewCommonCommands(bool documentCommands) {
    kwCommonCommands::Install(*this, documentCommands);
}

void kwApplication::AddCommand(unsigned short id, std::function<void()> run,
                               std::function<bool()> enabled) {
    if (!run) return;
    _commands[id] = Command{std::move(run), std::move(enabled)};
}

void kwApplication::RemoveCommand(unsigned short id) { _commands.erase(id); }

bool kwApplication::HasHandler(unsigned short id) const {
    return FindTask(id) != nullptr || _commands.count(id) != 0;
}

bool kwApplication::IsCommandEnabled(unsigned short id) const {
    if (kwTask* task = FindTask(id)) return task->IsEnabled() && task->SecurityAccessAllowed();
    auto found = _commands.find(id);
    if (found == _commands.end()) return false;
    return !found->second.enabled || found->second.enabled();
}

bool kwApplication::OnCommand(unsigned short id) {
    if (kwTask* task = FindTask(id)) {
        if (!task->IsEnabled()) return false;
        if (!task->SecurityAccessAllowed()) {
            const std::string text = "You do not have the rights to use \"" + task->Name() + "\".";
            xw_wr_message(0, XW_ERROR, text.c_str(), 0);
            return false;
        }
        if (task->Status() == kwTask::RUNNING && !task->AllowInMTI()) return false;
        task->Start();
        return true;
    }
    auto found = _commands.find(id);
    if (found == _commands.end()) return false;
    if (found->second.enabled && !found->second.enabled()) return false;
    // The handler may remove commands; keep it alive while it runs.
    const std::function<void()> run = found->second.run;
    run();
    return true;
}

std::string kwApplication::PromptFromTables(unsigned short id) {
    const short resourceId = static_cast<short>(id);
    std::string prompt = KWLoadString(kwMainModuleName(), resourceId);
    if (prompt.empty()) prompt = KWLoadString(KWAPP_MODULE, resourceId);
    return prompt;
}

std::string kwApplication::CommandPrompt(unsigned short id) const {
    if (kwTask* task = FindTask(id)) return task->Description();
    return PromptFromTables(id);
}

void kwApplication::SetMainWindow(std::unique_ptr<kwAppFrame> frame) {
    _mainWindow = std::move(frame);
}

std::string kwApplication::WorkingCompanyFolder(const std::string& folder, std::string* error) {
    return kwCompanyChoice::WorkingFolder(folder, error);
}

bool kwApplication::OpenCompany(const std::string& requested, std::string* error) {
    const std::string folder = WorkingCompanyFolder(requested, error);
    if (folder.empty()) return false;
    if (!kwCompanyChoice::IsCompanyFolder(folder)) {
        if (error)
            *error = "\"" + folder +
                     "\" is not a company folder: it has no company settings (company.json).";
        return false;
    }
    if (_mainWindow && !_mainWindow->CloseAllDocuments()) {
        if (error) error->clear(); // the user kept a window open; nothing to report
        return false;
    }
    const std::string previous = kwCompany::IsOpen() ? kwCompany::Folder() : std::string();
    if (!kwCompany::Open(folder, error)) return false;
    if (!MayWorkOnCompany()) {
        std::string ignored;
        if (!previous.empty()) kwCompany::Open(previous, &ignored);
        if (error) error->clear(); // the user chose not to log on; nothing to report
        return false;
    }
    kwDictionaryLoader::ClearCache();
    RememberCompany(kwCompany::Folder());
    for (const auto& handler : _companyChanged)
        handler();
    if (_mainWindow) {
        _mainWindow->UpdateFrameTitle();
        _mainWindow->UpdateCommandUI();
    }
    return true;
}

void kwApplication::AddCompanyChangedHandler(std::function<void()> handler) {
    if (handler) _companyChanged.push_back(std::move(handler));
}

std::string kwApplication::LastCompany() {
    if (std::string last = kwCompanyChoice::LastOpened(); !last.empty()) return last;
    // Kept by an earlier version in the user settings: moved to where every program of the
    // suite reads it.
    const std::optional<std::string> old = kwUserSettings::Get(kOldLastCompanyKey);
    if (!old || old->empty() || !kwCompanyChoice::IsCompanyFolder(*old)) return {};
    if (kwCompanyChoice::RememberOpened(*old)) kwUserSettings::Remove(kOldLastCompanyKey);
    return *old;
}

void kwApplication::RememberCompany(const std::string& folder) { kwCompanyChoice::RememberOpened(folder); }

void kwApplication::CreateLibraryLinks() {
    kwObjectRegistry& registry = kwObjectRegistry::Instance();
    for (const std::string& name : registry.NamesOf(kwObjectRegistry::LIBRARY_LINK)) {
        bool made = false;
        for (const auto& link : _libraryLinkNames)
            if (link == name) made = true;
        if (made) continue;
        if (auto object = registry.Create(name)) {
            _libraryLinks.push_back(std::move(object));
            _libraryLinkNames.push_back(name);
        }
    }
}

void kwApplication::ReleaseLibraryLinks() {
    // Last made, first released: a library may rely on one linked before it.
    while (!_libraryLinks.empty())
        _libraryLinks.pop_back();
    _libraryLinkNames.clear();
}
