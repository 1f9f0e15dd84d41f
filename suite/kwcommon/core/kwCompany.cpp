// The current company: folder, settings, operator, and the demo company's first-run copy.
#include "kwcommon/kwCompany.h"

#include "kwcommon/company/kwSeedCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/kwStoredFile.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <pwd.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
struct CompanyState {
    bool open = false;
    std::string folder;
    std::string name;
    std::string dateFormat = "MM/DD/YYYY";
    nlohmann::json settings = nlohmann::json::object();
    std::string operatorId;
    bool operatorSet = false;
};

CompanyState& State() {
    static CompanyState state;
    return state;
}

std::string LoginName() {
    if (const char* user = std::getenv("USER"); user && *user) return user;
    if (const passwd* entry = getpwuid(getuid())) return entry->pw_name;
    return "USER";
}

bool ValidDateFormat(const std::string& format) {
    // One of each of MM, DD and YYYY/YY, separated by one character.
    bool month = false, day = false, year = false;
    size_t i = 0;
    char separator = 0;
    while (i < format.size()) {
        if (format.compare(i, 4, "YYYY") == 0) { if (year) return false; year = true; i += 4; }
        else if (format.compare(i, 2, "YY") == 0) { if (year) return false; year = true; i += 2; }
        else if (format.compare(i, 2, "MM") == 0) { if (month) return false; month = true; i += 2; }
        else if (format.compare(i, 2, "DD") == 0) { if (day) return false; day = true; i += 2; }
        else {
            if (separator && format[i] != separator) return false;
            separator = format[i];
            ++i;
        }
    }
    return month && day && year;
}
} // namespace

bool kwCompany::Open(const std::string& folder, std::string* error) {
    std::error_code ec;
    const fs::path root = fs::absolute(folder, ec);
    const fs::path settingsPath = root / "company.json";
    std::string text;
    if (!kwStoredFile::Read(settingsPath.string(), &text)) {
        // The real reason: a folder that is missing or that the user may not read is no
        // missing file.
        const int reason = errno;
        struct stat folderInfo {};
        if (error) {
            if (::stat(root.c_str(), &folderInfo) != 0 && errno == ENOENT)
                *error = "\"" + root.string() + "\" does not exist.";
            else if (reason == ENOENT)
                *error = "\"" + root.string() + "\" is not a company folder: company.json is missing.";
            else
                *error = settingsPath.string() + " cannot be read: " + std::strerror(reason) + ".";
        }
        return false;
    }
    nlohmann::json settings;
    try {
        settings = nlohmann::json::parse(text);
    } catch (const nlohmann::json::exception& e) {
        if (error) *error = settingsPath.string() + ": " + e.what();
        return false;
    }
    if (!settings.is_object()) {
        if (error) *error = settingsPath.string() + ": the settings must be a JSON object.";
        return false;
    }
    std::string dateFormat = "MM/DD/YYYY";
    if (auto it = settings.find("dateFormat"); it != settings.end()) {
        if (!it->is_string() || !ValidDateFormat(it->get<std::string>())) {
            if (error) *error = settingsPath.string() + ": dateFormat must combine MM, DD and YYYY (or YY) with one separator.";
            return false;
        }
        dateFormat = it->get<std::string>();
    }
    CompanyState& state = State();
    state.open = true;
    state.folder = fs::weakly_canonical(root, ec).string();
    if (state.folder.empty()) state.folder = root.string();
    while (state.folder.size() > 1 && state.folder.back() == '/') state.folder.pop_back();
    state.name = settings.value("name", root.filename().string());
    state.dateFormat = dateFormat;
    state.settings = std::move(settings);
    return true;
}

bool kwCompany::IsOpen() { return State().open; }

void kwCompany::Close() {
    CompanyState& state = State();
    state.open = false;
    state.folder.clear();
    state.name.clear();
    state.dateFormat = "MM/DD/YYYY";
    state.settings = nlohmann::json::object();
}

const std::string& kwCompany::Folder() { return State().folder; }
std::string kwCompany::Path(std::string_view relative) { return State().folder + "/" + std::string(relative); }
std::string kwCompany::DictionaryFolder() { return Path("dict"); }

std::string kwCompany::MiscellaneousFolder() {
    const std::string folder = Path("misc");
    std::error_code ec;
    fs::create_directories(folder, ec);
    return folder;
}

std::string kwCompany::LogFile() { return Path("kwlog.txt"); }
const std::string& kwCompany::Name() { return State().name; }
const std::string& kwCompany::DateFormat() { return State().dateFormat; }

void kwCompany::SetDateFormat(const std::string& format) {
    if (ValidDateFormat(format)) State().dateFormat = format;
}

const nlohmann::json& kwCompany::Settings() { return State().settings; }

const std::string& kwCompany::CurrentOperatorId() {
    CompanyState& state = State();
    if (!state.operatorSet) {
        const char* env = std::getenv("QV_OPERATOR");
        state.operatorId = (env && *env) ? env : LoginName();
        state.operatorSet = true;
    }
    return state.operatorId;
}

void kwCompany::SetCurrentOperatorId(const std::string& id) {
    State().operatorId = id;
    State().operatorSet = true;
}

std::string kwCompany::DemoSourceFolder() {
    if (const char* env = std::getenv("QV_DEMO_SOURCE"); env && *env) return env;
    // Installed layouts keep the demo next to the programs; a build uses the sources.
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        // Beside the programs, or in the installed data folder (<prefix>/share/quorvel).
        for (const fs::path& candidate :
             {exe.parent_path() / "demo", exe.parent_path().parent_path() / "share/quorvel/demo"}) {
            if (fs::exists(candidate / "company.json", ec)) return candidate.string();
        }
    }
#ifdef QV_DEMO_DIR
    return QV_DEMO_DIR;
#else
    return "data/demo";
#endif
}

std::string kwCompany::UserDataFolder() {
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) return std::string(xdg) + "/quorvel";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/quorvel";
    return "/tmp/quorvel-" + LoginName();
}

bool kwCompany::CopyDemo(const std::string& target, std::string* error) {
    std::error_code ec;
    if (fs::exists(fs::path(target) / "company.json", ec)) return true;
    const fs::path source = DemoSourceFolder();
    if (!fs::exists(source / "company.json", ec)) {
        if (error) *error = "The demo company was not found at \"" + source.string() + "\".";
        return false;
    }
    const fs::path final = target;
    fs::create_directories(final.parent_path(), ec);
    const fs::path partial = final.string() + ".partial-" + std::to_string(getpid());
    fs::remove_all(partial, ec);
    fs::copy(source, partial, fs::copy_options::recursive, ec);
    if (ec) {
        if (error) *error = "Cannot copy the demo company to \"" + partial.string() + "\": " + ec.message();
        fs::remove_all(partial, ec);
        return false;
    }
    // The demo records go into the copy before it takes its real name: a load that fails
    // leaves no company behind that looks whole.
    std::string seedError;
    if (!kwSeedCompany(partial.string(), &seedError)) {
        if (error) *error = seedError;
        fs::remove_all(partial, ec);
        return false;
    }
    // An empty leftover folder from an earlier failed run would block the rename.
    if (fs::exists(final, ec) && fs::is_empty(final, ec)) fs::remove(final, ec);
    fs::rename(partial, final, ec);
    if (ec) {
        std::error_code ignored;
        fs::remove_all(partial, ignored);
        // Another process may have finished the copy first: that one is as good.
        if (fs::exists(final / "company.json", ignored)) return true;
        if (error) *error = "Cannot put the demo company in \"" + final.string() + "\": " + ec.message();
        return false;
    }
    return true;
}

bool kwCompany::Resolve(const std::string& explicitFolder, std::string* folder, std::string* error) {
    std::optional<std::string> dataOption;
    if (!explicitFolder.empty()) dataOption = explicitFolder;
    return kwCompanyChoice::Choose(dataOption, folder, nullptr, error);
}
