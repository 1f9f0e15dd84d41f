// The inquiry and report commands of the program and their drop-downs on the frame. Each
// command is a task of the application (5000 + i starts an inquiry, 6000 + i prints a
// report), so menus, macros, rights and the "running" state work as for every task; the
// drop-downs only show them.
#include "kwinq/kwInqRptCommands.h"

#include "kwinq/kwInqDefinitions.h"
#include "kwinq/kwInqWindow.h"
#include "kwinq/xi.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/frame/kwToolBar.h"
#include "kwapp/tasks/kwTask.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/paths/kwPath.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xa.h"

#include "kwprint/tr_design.h"
#include "kwprint/trReportDesign.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <cstring>

namespace {

struct CommandsState {
    std::vector<kwInqCommand> commands;
    bool showName = true;
};

CommandsState& State() {
    static CommandsState state;
    return state;
}

// An inquiry command: runs while its window is open.
class kwInquiryTask : public kwTask {
public:
    explicit kwInquiryTask(const kwInqCommand& command)
        : kwTask(command.name, SECURED, command.id, 0, command.application + " - " + command.name,
                 "Shows the " + command.applicationName + " inquiry " + command.name),
          _application(command.application), _inquiry(command.name) {}

    void Start() override {
        if (_window) {
            // A second start brings the open window forward.
            if (_window->mdiArea()) _window->mdiArea()->setActiveSubWindow(_window);
            return;
        }
        QMdiSubWindow* window = kwInqOpenWindow(_application, _inquiry, static_cast<short>(ID()), nullptr, 0);
        if (!window) return;
        _window = window;
        NotifyStart();
        QObject::connect(window, &QObject::destroyed, _receiver.get(), [this] { End(); });
    }
    bool AllowInMTI() const override { return true; }

private:
    std::string _application;
    std::string _inquiry;
    QPointer<QMdiSubWindow> _window;
    // Receives the window's end; going with the task, it disconnects it.
    std::unique_ptr<QObject> _receiver = std::make_unique<QObject>();
};

// A report command: prints the report's design on the default printer.
class kwReportTask : public kwTask {
public:
    explicit kwReportTask(const kwInqCommand& command)
        : kwTask(command.name, SECURED, command.id, 0, command.application + " - " + command.name,
                 "Prints the " + command.applicationName + " report " + command.name),
          _application(command.application), _report(command.name) {}

    void Start() override {
        NotifyStart();
        Print();
        End();
    }

private:
    void Print() {
        const auto definitions = kwInqDefinitions::Company();
        const kwRptDefinition* report = definitions->FindReport(_application, _report);
        if (!report) {
            xw_message_box(XW_ERROR, "Report", "The report \"" + _report + "\" of " + _application +
                                                   " is no longer defined.");
            return;
        }
        std::string path, error;
        if (!kwPath::LocateReport(report->design, path, true)) {
            xw_message_box(XW_ERROR, "Report",
                           "The report design \"" + report->design + "\" is not in the reports folder.");
            return;
        }
        const auto design = trReportDesign::Load(path, &error);
        if (!design) {
            xw_message_box(XW_ERROR, "Report", error);
            return;
        }
        kwioDataFile file;
        if (file.PromptedOpen(design->file, static_cast<short>(ID()), "", 1, false, false, false) != 0) return;
        const short handle = tr_init_design(0);
        tr_print_def def{};
        std::strncpy(def.designName, path.c_str(), sizeof def.designName - 1);
        def.taskId = static_cast<int16_t>(ID());
        def.recordType = design->recordType;
        def.fileNumber = file.FileNum();
        std::strncpy(def.fileName, design->file.c_str(), sizeof def.fileName - 1);
        tr_print_result result;
        def.result = &result;
        if (!tr_print_design(handle, &def)) {
            tr_term_design(handle);
            return;
        }
        if (kwApplication* app = KWGetApp(); app && app->MainWindow())
            app->MainWindow()->SetMessageText(QString::fromStdString(_report + " printed: " + result.output));
    }

    std::string _application;
    std::string _report;
};

std::vector<std::pair<std::string, std::string>> DefaultApplications() {
    std::vector<std::pair<std::string, std::string>> list;
    std::vector<x_kw_apl_info> applications = xa_get_kw_apl();
    std::erase_if(applications, [](const x_kw_apl_info& info) { return info.hidden != 0; });
    std::stable_sort(applications.begin(), applications.end(), [](const x_kw_apl_info& a, const x_kw_apl_info& b) {
        return std::strcmp(a.name, b.name) < 0;
    });
    for (const x_kw_apl_info& info : applications) list.emplace_back(info.code, info.name);
    return list;
}

std::string Upper(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

void DestroyCommands(short kinds) {
    kwApplication* app = KWGetApp();
    auto& commands = State().commands;
    std::erase_if(commands, [&](const kwInqCommand& command) {
        if (!(command.kind & kinds)) return false;
        if (app) app->DestroyTask(command.id);
        return true;
    });
}

kwToolDropDown DropDownOf(short kind) {
    kwToolDropDown dropDown;
    dropDown.key = kind == XI_INQUIRIES ? "inquiries" : "reports";
    dropDown.title = kind == XI_INQUIRIES ? "Inquiries" : "Reports";
    for (const kwInqCommand& command : State().commands) {
        if (command.kind != kind) continue;
        const std::string title = State().showName ? command.applicationName : command.application;
        if (dropDown.groups.empty() || dropDown.groups.back().title != title) dropDown.groups.push_back({title, {}});
        dropDown.groups.back().commands.emplace_back(command.id, command.name);
    }
    return dropDown;
}

} // namespace

const std::vector<kwInqCommand>& kwInqCommands() { return State().commands; }

void NewInqRptCommands(const std::string& abbreviation, bool showName, const xi_appl_list_fill& fill, short /*flags*/) {
    kwApplication* app = KWGetApp();
    DestroyCommands(XI_INQUIRIES | XI_REPORTS);
    State().showName = showName;
    if (!app) return;

    std::vector<std::pair<std::string, std::string>> applications;
    if (fill) fill(applications);
    else applications = DefaultApplications();
    // The program's own inquiries and reports come first.
    const std::string own = Upper(abbreviation);
    std::stable_partition(applications.begin(), applications.end(),
                          [&](const auto& application) { return Upper(application.first) == own; });

    const auto definitions = kwInqDefinitions::Company();
    unsigned short inquiryOffset = XI_FIRST_OFFSET, reportOffset = XI_FIRST_OFFSET;
    for (const auto& [code, name] : applications) {
        for (const kwInqDefinition* inquiry : definitions->InquiriesOf(code)) {
            if (XI_INQUIRY_BASE + inquiryOffset >= XI_REPORT_BASE) break;
            kwInqCommand command{static_cast<unsigned short>(XI_INQUIRY_BASE + inquiryOffset++), XI_INQUIRIES,
                                 Upper(code), name, inquiry->name};
            app->AddTask(std::make_unique<kwInquiryTask>(command));
            State().commands.push_back(command);
        }
    }
    for (const auto& [code, name] : applications) {
        for (const kwRptDefinition* report : definitions->ReportsOf(code)) {
            if (XI_REPORT_BASE + reportOffset >= 7000) break;
            kwInqCommand command{static_cast<unsigned short>(XI_REPORT_BASE + reportOffset++), XI_REPORTS, Upper(code),
                                 name, report->name};
            app->AddTask(std::make_unique<kwReportTask>(command));
            State().commands.push_back(command);
        }
    }
}

void AddInqRptDropDowns() {
    kwApplication* app = KWGetApp();
    kwAppFrame* frame = app ? app->MainWindow() : nullptr;
    if (!frame || !frame->ToolBar()) return;
    for (short kind : {XI_INQUIRIES, XI_REPORTS}) {
        const kwToolDropDown dropDown = DropDownOf(kind);
        if (dropDown.groups.empty()) frame->ToolBar()->RemoveDropDown(dropDown.key);
        else frame->ToolBar()->SetDropDown(dropDown);
    }
}

void DelInqRptDropDowns(short dropDowns, short commands) {
    kwApplication* app = KWGetApp();
    kwAppFrame* frame = app ? app->MainWindow() : nullptr;
    if (frame && frame->ToolBar()) {
        if (dropDowns & XI_INQUIRIES) frame->ToolBar()->RemoveDropDown("inquiries");
        if (dropDowns & XI_REPORTS) frame->ToolBar()->RemoveDropDown("reports");
    }
    DestroyCommands(commands);
}

extern "C" short xi_num_pulldown(short base) {
    short highest = 0;
    for (const kwInqCommand& command : State().commands) {
        if (command.id < base || command.id >= base + 1000) continue;
        if (!KWGetApp() || !KWGetApp()->FindTask(command.id)) continue;
        highest = std::max<short>(highest, static_cast<short>(command.id - base));
    }
    return highest;
}
