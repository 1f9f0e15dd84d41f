// The company choice rule and the memory of the last company opened: see kwCompanyChoice.h.
#include "kwcommon/kwCompanyChoice.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

bool kwCompanyChoice::CheckDataOption(const std::optional<std::string>& dataOption, std::string* error) {
    if (!dataOption || !dataOption->empty()) return true;
    // An empty name is a slip (an unset shell variable, say), never a wish for the default.
    if (error) *error = "--data names no company folder: the folder name is empty.";
    return false;
}

std::string kwCompanyChoice::WorkingFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    const bool demo = fs::equivalent(folder, kwCompany::DemoSourceFolder(), ec);
    if (ec || !demo) return folder;
    // The demo shipped with the program is a template: work goes to the user's copy of it.
    const std::string copy = kwCompany::UserDataFolder() + "/demo";
    if (!kwCompany::CopyDemo(copy, error)) return {};
    return copy;
}

bool kwCompanyChoice::IsCompanyFolder(const std::string& folder) {
    std::string text;
    if (!kwStoredFile::Read((fs::path(folder) / "company.json").string(), &text)) return false;
    const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    return !doc.is_discarded() && doc.is_object();
}

std::string kwCompanyChoice::LastOpenedFile() {
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) folder = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home) folder = std::string(home) + "/.config";
    else folder = "/tmp/quorvel-" + std::to_string(getuid()) + "-config";
    return folder + "/quorvel/last-company";
}

std::string kwCompanyChoice::LastOpened() {
    std::string text;
    if (!kwStoredFile::Read(LastOpenedFile(), &text)) return {};
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.empty() || text.find('\n') != std::string::npos || !IsCompanyFolder(text)) return {};
    return text;
}

bool kwCompanyChoice::RememberOpened(const std::string& folder) {
    if (folder.empty() || folder.find('\n') != std::string::npos) return false;
    const std::string file = LastOpenedFile();
    std::error_code ec;
    fs::create_directories(fs::path(file).parent_path(), ec);
    return kwStoredFile::Write(file, folder + "\n");
}

bool kwCompanyChoice::Choose(const std::optional<std::string>& dataOption, std::string* folder,
                       Source* source, std::string* error) {
    if (!CheckDataOption(dataOption, error)) return false;
    std::string chosen;
    Source from = Source::Demo;
    if (dataOption) {
        chosen = *dataOption;
        from = Source::DataOption;
    } else if (const char* env = std::getenv("QV_DATA"); env && *env) {
        chosen = env;
        from = Source::Environment;
    } else if (std::string last = LastOpened(); !last.empty()) {
        chosen = std::move(last);
        from = Source::LastOpened;
    } else {
        chosen = kwCompany::UserDataFolder() + "/demo";
        if (!kwCompany::CopyDemo(chosen, error)) return false;
    }
    chosen = WorkingFolder(chosen, error);
    if (chosen.empty()) return false;
    *folder = chosen;
    if (source) *source = from;
    return true;
}
