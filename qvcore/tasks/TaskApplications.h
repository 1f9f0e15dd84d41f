// The Applications task (Tools > Applications...): which of the suite's installed
// applications this program offers in its inquiry and report commands, and whether those
// commands show the application's name. The choice is kept in the user's preferences;
// saving it rebuilds the commands (everyone who listens with AddAppListChangedHandler: the
// inquiry and report drop-downs), refreshes menus and toolbar, and tells the other running
// programs of the suite with the "QV.UpdateAppList" broadcast, so they rebuild theirs.
#pragma once

#include "qvcore/tasks/qvCommands.h"

#include "kwapp/tasks/kwTask.h"

#include "kwcommon/kwSeam.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class TaskApplications : public kwTask {
public:
    static constexpr unsigned short ID = QV_CMD_APPLICATIONS;
    static constexpr unsigned short BITMAP = 24;
    static constexpr FlagsType FLAGS = 0x0C;
    static constexpr const char* KEY_NOT_AVAILABLE = "AppsNotAvailable";
    static constexpr const char* KEY_DISPLAY_NAME = "DisplayAppName";
    static constexpr const char* BROADCAST = "<MessageTypeDescriptor MessageId='QV.UpdateAppList'/>";
    static constexpr const char* BROADCAST_ID = "QV.UpdateAppList";
    // Tasks whose running disables the command: 6001, and the inquiry (5000) and report
    // (6000) tasks numbered from their base + 10.
    static constexpr unsigned short BLOCKING_TASK = 6001;
    static constexpr unsigned short INQUIRY_BASE = 5000;
    static constexpr unsigned short REPORT_BASE = 6000;

    using AppList = std::vector<std::pair<std::string, std::string>>; // (code, name)

    TaskApplications();
    ~TaskApplications() override;

    void Start() override;
    bool IsEnabled() const override;

    // The installed applications that may be offered at all (not hidden), in the order the
    // company lists them.
    static AppList InstalledApplications();
    // The application-list callback of the inquiry and report commands: the installed
    // applications sorted by name, without those marked not available.
    static void FillAppList(AppList* list);
    // The preferences as last loaded.
    static const std::vector<std::string>& NotAvailable();
    static bool HideAppName();
    // Reads "AppsNotAvailable" and "DisplayAppName" again (another program changed them).
    static void LoadPrefs();
    // Writes them; false (nothing more written) when the first write fails.
    static bool SavePrefs(const std::vector<std::string>& notAvailable, bool hideName);

    // The inquiry and report drop-downs connect here to be rebuilt whenever the list
    // changes, in this program or (through the broadcast) in another one.
    // Answers an id for RemoveAppListChangedHandler (owners that go before the program).
    static int AddAppListChangedHandler(std::function<void()> handler);
    static void RemoveAppListChangedHandler(int id);
    // Rebuilds: the handlers, then the frame's menus and toolbar.
    static void AppListChanged();
    // Sends the broadcast; false when there is no bus.
    static bool Broadcast();
    // A broadcast received: true when it was the application list's (and it was acted on).
    static bool OnSuiteMessage(const std::string& message);

    // The dialog stands in for tests: answers whether the user saved, with the choice.
    using Panel = kwSeam<bool(const AppList& applications, std::vector<std::string>* notAvailable, bool* showNames)>;
    static Panel& PanelSeam();

private:
    using PullDownCounter = short (*)(short base);
    PullDownCounter _pullDowns = nullptr;
};
