// The current company: folder, settings, operator, and the demo company's first-run copy.
#include "kwcommon/kwCompany.h"

#include "kwcommon/company/kwSeedCompany.h"
#include "kwcommon/kwCompanyChoice.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
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
    std::string demoSource; // handed in by the program
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
    const std::string settingsPath = (root / "company.json").string();
    nlohmann::json settings;
    std::string name, dateFormat;
    const kwJsonRead read = kwJsonLoadFile(settingsPath, &settings, error, [&](const kwJsonNode& node) {
        node.ExpectObject();
        name = node.Text("name", root.filename().string());
        dateFormat = node.Text("dateFormat", "MM/DD/YYYY");
        if (!ValidDateFormat(dateFormat))
            node.Member("dateFormat").Fail("must combine MM, DD and YYYY (or YY) with one separator, not \"" +
                                           dateFormat + "\"");
    });
    if (read == kwJsonRead::Missing && error) {
        // A folder that is not there is no folder without its settings.
        *error = fs::exists(root, ec) ? "\"" + root.string() + "\" is not a company folder: company.json is missing."
                                      : "\"" + root.string() + "\" does not exist.";
    }
    if (read != kwJsonRead::Ok) return false;
    CompanyState& state = State();
    state.open = true;
    state.folder = fs::weakly_canonical(root, ec).string();
    if (state.folder.empty()) state.folder = root.string();
    while (state.folder.size() > 1 && state.folder.back() == '/') state.folder.pop_back();
    state.name = name;
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

void kwCompany::SetDemoSourceFolder(const std::string& folder) { State().demoSource = folder; }

std::string kwCompany::DemoSourceFolder() {
    if (const char* env = std::getenv("QV_DEMO_SOURCE"); env && *env) return env;
    // Installed layouts keep the demo next to the programs; a build uses what the program
    // handed in.
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        // Beside the programs, or in the installed data folder (<prefix>/share/quorvel).
        for (const fs::path& candidate :
             {exe.parent_path() / "demo", exe.parent_path().parent_path() / "share/quorvel/demo"}) {
            if (fs::exists(candidate / "company.json", ec)) return candidate.string();
        }
    }
    return State().demoSource;
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
    if (source.empty() || !fs::exists(source / "company.json", ec)) {
        if (error) *error = "The demo company was not found at \"" + source.string() + "\".";
        return false;
    }
    const fs::path final = target;
    fs::create_directories(final.parent_path(), ec);
    kwStoredFile::RemoveAbandonedTemporaries(final.parent_path().string());
    const std::string partial = kwStoredFile::TemporaryPath(final.string());
    fs::copy(source, partial, fs::copy_options::recursive, ec);
    if (ec) {
        if (error) *error = "Cannot copy the demo company to \"" + partial + "\": " + ec.message();
        fs::remove_all(partial, ec);
        return false;
    }
    // The demo records go into the copy before it takes its real name: a load that fails
    // leaves no company behind that looks whole.
    std::string seedError;
    if (!kwSeedCompany(partial, &seedError)) {
        if (error) *error = seedError;
        fs::remove_all(partial, ec);
        return false;
    }
    std::string placeError;
    bool placed = false;
    if (!kwStoredFile::PlaceFolder(partial, final.string(), &placeError, &placed)) {
        if (error) *error = "Cannot put the demo company in \"" + final.string() + "\": " + placeError;
        return false;
    }
    // Not placed: another process finished its copy first (as good as ours), or the folder
    // holds something else.
    if (!placed && !fs::exists(final / "company.json", ec)) {
        if (error) *error = "Cannot put the demo company in \"" + final.string() + "\": the folder is not empty.";
        return false;
    }
    return true;
}

bool kwCompany::Resolve(const std::string& explicitFolder, std::string* folder, std::string* error) {
    std::optional<std::string> dataOption;
    if (!explicitFolder.empty()) dataOption = explicitFolder;
    return kwCompanyChoice::Choose(dataOption, folder, nullptr, error);
}
