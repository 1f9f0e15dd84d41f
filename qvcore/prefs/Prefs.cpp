// Preferences in static storage, loaded from and saved to the suite's preference store.
#include "qvcore/prefs/Prefs.h"

#include "qvkit/qvVersion.h"

#include "kwcommon/prefs/xpref.h"
#include "kwcommon/values/kwDate.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr const char* VERSION_KEY = "Controls Version";
constexpr const char* CONTROLS_KEY = "Controls";
constexpr const char* FORM_REPORT_KEY = "Form Report";
constexpr const char* COLUMNAR_REPORT_KEY = "Columnar Report";
constexpr const char* GRID_COLUMNS_KEY = "Grid Columns";
constexpr const char* CURRENT_VERSION = "1.1.0";
// Only major and minor version count: a stored 1.1.7 has the same layout as 1.1.0.
constexpr size_t VERSION_COMPARED = 3;

constexpr const char* DEFAULT_FORM_NAME = "QV Form View";
constexpr const char* DEFAULT_LIST_NAME = "QV Table View";
constexpr const char* DEFAULT_GRID_COLUMNS =
    "IATTACH,ISSUE,FORMESS,FOLLOWU,URGENCY,CLASSIF,STATUS,NOTDATE,DUEDATE,RESPONS,PROBLEM";
constexpr size_t GRID_COLUMNS_MAX = 512;
constexpr size_t REPORT_NAME_MAX = 255;

constexpr user_pref_def DefaultUser() {
    user_pref_def user{};
    user.snoozeDays = 7;
    user.disallowWeekend = 1;
    return user;
}

constexpr sys_pref_def DefaultSystem() {
    sys_pref_def sys{};
    sys.autoFilter = 1;
    return sys;
}

// Cut to at most `limit` bytes without splitting a UTF-8 character.
std::string CutText(const std::string& text, size_t limit) {
    if (text.size() <= limit) return text;
    size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

bool VersionMatches(short scope, const std::string& application) {
    char version[6] = {};
    if (!xpref_get_string(scope, application.c_str(), VERSION_KEY, version, sizeof(version))) {
        return false;
    }
    return std::strncmp(version, CURRENT_VERSION, VERSION_COMPARED) == 0;
}

std::string ReadText(short scope, const std::string& application, const char* key, size_t maxLength,
                     bool* found) {
    std::vector<char> buffer(maxLength + 1, '\0');
    *found = xpref_get_string(scope, application.c_str(), key, buffer.data(),
                              static_cast<int>(buffer.size())) != 0;
    return *found ? std::string(buffer.data()) : std::string();
}
} // namespace

user_pref_def Prefs::_user = DefaultUser();
sys_pref_def Prefs::_sys = DefaultSystem();
std::string Prefs::_form_name = DEFAULT_FORM_NAME;
std::string Prefs::_list_name = DEFAULT_LIST_NAME;

const char* Prefs::QueryName() {
    return _user.queryName;
}

void Prefs::SetQueryName(const char* name) {
    const std::string cut = CutText(name ? name : "", sizeof(_user.queryName) - 1);
    std::memset(_user.queryName, 0, sizeof(_user.queryName));
    std::memcpy(_user.queryName, cut.data(), cut.size());
}

bool Prefs::AutoStartViewer() {
    return _user.autoStartViewer != 0;
}
void Prefs::SetAutoStartViewer(bool on) {
    _user.autoStartViewer = on;
}
bool Prefs::DeleteWhenClosed() {
    return _user.deleteWhenClosed != 0;
}
void Prefs::SetDeleteWhenClosed(bool on) {
    _user.deleteWhenClosed = on;
}
bool Prefs::NotifyOnNew() {
    return _user.notifyOnNew != 0;
}
void Prefs::SetNotifyOnNew(bool on) {
    _user.notifyOnNew = on;
}
bool Prefs::NotifyOnChange() {
    return _user.notifyOnChange != 0;
}
void Prefs::SetNotifyOnChange(bool on) {
    _user.notifyOnChange = on;
}
bool Prefs::DisallowWeekend() {
    return _user.disallowWeekend != 0;
}
void Prefs::SetDisallowWeekend(bool on) {
    _user.disallowWeekend = on;
}
short Prefs::SnoozeDays() {
    return _user.snoozeDays;
}
void Prefs::SetSnoozeDays(short days) {
    _user.snoozeDays = days;
}

short Prefs::SnoozeDays(const kwDate& date) {
    const short days = SnoozeDays();
    if (!DisallowWeekend()) return days;
    kwDate landing = date;
    landing.AddDays(days);
    switch (landing.DayOfWeek()) {
    case 7:
        return static_cast<short>(days + 2); // Saturday -> Monday
    case 1:
        return static_cast<short>(days + 1); // Sunday -> Monday
    default:
        return days;
    }
}

bool Prefs::AutoFilter() {
    return _sys.autoFilter != 0;
}
void Prefs::SetAutoFilter(bool on) {
    _sys.autoFilter = on;
}
bool Prefs::AutoFilterPrivileged() {
    return _sys.autoFilterPrivileged != 0;
}
void Prefs::SetAutoFilterPrivileged(bool on) {
    _sys.autoFilterPrivileged = on;
}

std::string Prefs::FormName() {
    return _form_name;
}
std::string Prefs::ListName() {
    return _list_name;
}
void Prefs::SetFormName(const std::string& name) {
    _form_name = CutText(name, REPORT_NAME_MAX);
}
void Prefs::SetListName(const std::string& name) {
    _list_name = CutText(name, REPORT_NAME_MAX);
}

std::string Prefs::ApplicationName() {
    // The product name itself, not the main program's string table (whose entry 3 is the
    // same constant): the tools that read the preferences do not carry that table.
    return QV_PRODUCT_NAME;
}

void Prefs::SetDefaults() {
    _user = DefaultUser();
    _sys = DefaultSystem();
    _form_name = DEFAULT_FORM_NAME;
    _list_name = DEFAULT_LIST_NAME;
}

void Prefs::Load() {
    SetDefaults();
    const std::string application = ApplicationName();

    if (VersionMatches(XPREF_USER, application)) {
        user_pref_def stored{};
        if (xpref_get_data(XPREF_USER, application.c_str(), CONTROLS_KEY, &stored,
                           sizeof(stored))) {
            // A block written by anyone but this program may lack the terminator.
            stored.queryName[sizeof(stored.queryName) - 1] = '\0';
            _user = stored;
        }
    }

    if (VersionMatches(XPREF_SYSTEM, application)) {
        sys_pref_def stored{};
        if (xpref_get_data(XPREF_SYSTEM, application.c_str(), CONTROLS_KEY, &stored,
                           sizeof(stored))) {
            _sys = stored;
        }
        bool found = false;
        std::string name =
            ReadText(XPREF_SYSTEM, application, FORM_REPORT_KEY, REPORT_NAME_MAX, &found);
        _form_name = found ? name : DEFAULT_FORM_NAME;
        name = ReadText(XPREF_SYSTEM, application, COLUMNAR_REPORT_KEY, REPORT_NAME_MAX, &found);
        _list_name = found ? name : DEFAULT_LIST_NAME;
    }
}

bool Prefs::SaveUser() {
    const std::string application = ApplicationName();
    if (!xpref_put_string(XPREF_USER, application.c_str(), VERSION_KEY, CURRENT_VERSION)) {
        return false;
    }
    return xpref_put_data(XPREF_USER, application.c_str(), CONTROLS_KEY, &_user, sizeof(_user)) !=
           0;
}

bool Prefs::SaveSystem() {
    const std::string application = ApplicationName();
    if (!xpref_put_string(XPREF_SYSTEM, application.c_str(), VERSION_KEY, CURRENT_VERSION)) {
        return false;
    }
    bool ok =
        xpref_put_data(XPREF_SYSTEM, application.c_str(), CONTROLS_KEY, &_sys, sizeof(_sys)) != 0;
    ok = xpref_put_string(XPREF_SYSTEM, application.c_str(), FORM_REPORT_KEY, _form_name.c_str()) !=
             0 &&
         ok;
    ok = xpref_put_string(XPREF_SYSTEM, application.c_str(), COLUMNAR_REPORT_KEY,
                          _list_name.c_str()) != 0 &&
         ok;
    return ok;
}

void Prefs::GetGridColumns(std::vector<std::string>& columns) {
    bool found = false;
    std::string text =
        ReadText(XPREF_USER, ApplicationName(), GRID_COLUMNS_KEY, GRID_COLUMNS_MAX, &found);
    if (!found || text.empty()) text = DEFAULT_GRID_COLUMNS;
    columns = ParsePrefString(text);
}

void Prefs::GetGridColumnDefaults(std::vector<std::string>& columns) {
    columns = ParsePrefString(DEFAULT_GRID_COLUMNS);
}

bool Prefs::PutGridColumns(std::vector<std::string>& columns) {
    const std::string text = BuildPrefString(columns);
    return xpref_put_string(XPREF_USER, ApplicationName().c_str(), GRID_COLUMNS_KEY,
                            text.c_str()) != 0;
}

std::vector<std::string> ParsePrefString(const std::string& text) {
    std::vector<std::string> names;
    size_t position = 0;
    while (position < text.size()) {
        position = text.find_first_not_of(", ", position);
        if (position == std::string::npos) break;
        const size_t end = std::min(text.find_first_of(", ", position), text.size());
        names.push_back(text.substr(position, end - position));
        position = end + 1;
    }
    return names;
}

std::string BuildPrefString(std::vector<std::string>& names) {
    std::string text;
    for (size_t i = 0; i < names.size(); ++i) {
        if (i > 0) text += ',';
        text += names[i];
    }
    return text;
}
