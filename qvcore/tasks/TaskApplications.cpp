// The inquiry library's pull-down counter is looked up among the loaded libraries: it is
// there when the program runs with the inquiry library, and the command then also waits
// for its inquiry and report tasks. The preferences are read at construction and again
// whenever another program says it changed them.
#include "qvcore/tasks/TaskApplications.h"

#include "qvcore/options/DlgApplications.h"
#include "qvcore/prefs/Prefs.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/app/kwMessageService.h"
#include "kwapp/debug/kwDebugOutput.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/frame/kwToolBar.h"

#include "kwcommon/prefs/xpref.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xa.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>

namespace {
std::vector<std::string> g_notAvailable;
bool g_hideName = false;

std::vector<std::pair<int, std::function<void()>>>& Handlers() {
    static std::vector<std::pair<int, std::function<void()>>> handlers;
    return handlers;
}
int g_nextHandler = 1;

bool Running(unsigned short id) {
    const kwApplication* app = KWGetApp();
    const kwTask* task = app ? app->FindTask(id) : nullptr;
    return task && task->Status() == kwTask::RUNNING;
}
} // namespace

TaskApplications::TaskApplications() : kwTask("Applications", FLAGS, ID, BITMAP, {}, {}) {
    _pullDowns = reinterpret_cast<PullDownCounter>(::dlsym(RTLD_DEFAULT, "xi_num_pulldown"));
    LoadPrefs();
}

TaskApplications::~TaskApplications() = default;

void TaskApplications::LoadPrefs() {
    const std::string section = Prefs::ApplicationName();
    char value[513] = {};
    if (xpref_get_string(XPREF_USER, section.c_str(), KEY_NOT_AVAILABLE, value, sizeof value))
        g_notAvailable = ParsePrefString(value);
    else
        g_notAvailable.clear();
    char display[16] = {};
    g_hideName = xpref_get_string(XPREF_USER, section.c_str(), KEY_DISPLAY_NAME, display, sizeof display) &&
                 x_equal_nocase(display, "No");
}

bool TaskApplications::SavePrefs(const std::vector<std::string>& notAvailable, bool hideName) {
    const std::string section = Prefs::ApplicationName();
    std::vector<std::string> codes = notAvailable;
    const std::string joined = BuildPrefString(codes);
    if (!xpref_put_string(XPREF_USER, section.c_str(), KEY_NOT_AVAILABLE, joined.c_str())) return false;
    g_notAvailable = notAvailable;
    g_hideName = hideName;
    return xpref_put_string(XPREF_USER, section.c_str(), KEY_DISPLAY_NAME, hideName ? "No" : "Yes") != 0;
}

const std::vector<std::string>& TaskApplications::NotAvailable() { return g_notAvailable; }
bool TaskApplications::HideAppName() { return g_hideName; }

TaskApplications::AppList TaskApplications::InstalledApplications() {
    AppList list;
    // The company hands all its installed applications, however many.
    for (const x_kw_apl_info& info : xa_get_kw_apl()) {
        if (info.hidden != 0) continue;
        list.emplace_back(std::string(info.code, strnlen(info.code, sizeof info.code)),
                          std::string(info.name, strnlen(info.name, sizeof info.name)));
    }
    return list;
}

void TaskApplications::FillAppList(AppList* list) {
    AppList all = InstalledApplications();
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    for (auto& entry : all) {
        if (std::find(g_notAvailable.begin(), g_notAvailable.end(), entry.first) == g_notAvailable.end())
            list->push_back(std::move(entry));
    }
}

int TaskApplications::AddAppListChangedHandler(std::function<void()> handler) {
    Handlers().emplace_back(g_nextHandler, std::move(handler));
    return g_nextHandler++;
}

void TaskApplications::RemoveAppListChangedHandler(int id) {
    auto& handlers = Handlers();
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(), [id](const auto& h) { return h.first == id; }),
                   handlers.end());
}

void TaskApplications::AppListChanged() {
    const auto handlers = Handlers(); // a handler may remove itself
    for (const auto& [id, handler] : handlers) handler();
    if (kwApplication* app = KWGetApp(); app && app->MainWindow()) {
        app->MainWindow()->UpdateMenus();
        if (kwToolBar* bar = app->MainWindow()->ToolBar()) bar->Update();
    }
}

bool TaskApplications::Broadcast() {
    kwMessageService service(kwMessageService::EVENT_CHANNEL);
    return service.SendMessage(BROADCAST);
}

bool TaskApplications::OnSuiteMessage(const std::string& message) {
    if (message.find(std::string("MessageId='") + BROADCAST_ID + "'") == std::string::npos) return false;
    LoadPrefs();
    AppListChanged();
    kwOutputDebugString("QV.UpdateAppList: the application list was rebuilt.\n");
    return true;
}

TaskApplications::Panel& TaskApplications::PanelSeam() {
    static Panel seam;
    return seam;
}

void TaskApplications::Start() {
    const AppList applications = InstalledApplications();
    std::vector<std::string> notAvailable = g_notAvailable;
    bool showNames = !g_hideName;
    NotifyStart();
    bool saved;
    if (const auto& panel = PanelSeam()) {
        saved = panel(applications, &notAvailable, &showNames);
    } else {
        kwApplication* app = KWGetApp();
        DlgApplications dialog(applications, notAvailable, showNames, app ? app->MainWindow() : nullptr);
        saved = dialog.DoModal() == DlgApplications::IDOK;
        notAvailable = dialog.NotAvailable();
        showNames = dialog.ShowNames();
    }
    if (saved) {
        if (SavePrefs(notAvailable, !showNames)) {
            AppListChanged();
            Broadcast();
        } else {
            xw_wr_message(0, XW_ERROR, "Unable to save the choice of applications in your preferences.", 0);
        }
    }
    End();
}

bool TaskApplications::IsEnabled() const {
    if (!kwTask::IsEnabled()) return false;
    if (Running(BLOCKING_TASK)) return false;
    if (!_pullDowns) return true;
    for (unsigned short base : {INQUIRY_BASE, REPORT_BASE}) {
        const short count = _pullDowns(static_cast<short>(base));
        for (int i = 10; i <= count + 1; ++i)
            if (Running(static_cast<unsigned short>(base + i))) return false;
    }
    return true;
}
