// Read-modify-write of the settings file happens under the file's writer lock and the new
// file is placed through the stored-file helper, so two programs saving at once keep each
// other's values and a crash leaves the old file whole.
#include "kwapp/app/kwUserSettings.h"

#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_log.h"

#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
// The file's values; a missing file has none. false when it is damaged: not JSON, or not
// an object.
bool ReadAll(const std::string& path, nlohmann::json* doc, std::string* error) {
    const kwJsonRead read = kwJsonLoadFile(path, doc, error, [](const kwJsonNode& root) { root.ExpectObject(); });
    if (read == kwJsonRead::Missing) *doc = nlohmann::json::object();
    return read != kwJsonRead::Malformed;
}

template <class Change> bool Modify(Change change) {
    const std::string path = kwUserSettings::FilePath();
    const std::string folder = fs::path(path).parent_path().string();
    std::error_code ec;
    fs::create_directories(folder, ec);
    kwFileWriteLock lock(path);
    if (!lock.Held()) return false;
    kwStoredFile::RemoveAbandonedTemporaries(folder);
    nlohmann::json doc;
    std::string error;
    if (!ReadAll(path, &doc, &error)) {
        // Kept for whoever wants to look at it; the settings start again.
        x_log(0, (error + " (set aside as " + path + ".bad)").c_str());
        if (!kwStoredFile::SetAside(path)) return false;
        doc = nlohmann::json::object();
    }
    change(doc);
    std::string text;
    if (!kwJsonDump(doc, &text, 2, ' ', false)) return false; // text that is not UTF-8
    return kwStoredFile::Write(path, text, nullptr, 0600);
}
} // namespace

std::string kwUserSettings::FilePath() {
    std::string folder;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) folder = xdg;
    else if (const char* home = std::getenv("HOME"); home && *home)
        folder = std::string(home) + "/.config";
    else folder = "/tmp";
    return folder + "/quorvel/kwapp.json";
}

std::optional<std::string> kwUserSettings::Get(const std::string& key, std::string* error) {
    const std::string path = FilePath();
    nlohmann::json doc;
    std::string fault;
    std::optional<std::string> value;
    if (ReadAll(path, &doc, &fault) &&
        kwJsonLoad(path, &fault, [&] {
            if (const auto member = kwJsonNode(doc, path).Find(key.c_str())) value = member->Text();
        }))
        return value;
    if (error) *error = fault;
    x_log(0, fault.c_str());
    return std::nullopt;
}

bool kwUserSettings::Put(const std::string& key, const std::string& value) {
    if (key.empty()) return false;
    return Modify([&](nlohmann::json& doc) { doc[key] = value; });
}

bool kwUserSettings::Remove(const std::string& key) {
    return Modify([&](nlohmann::json& doc) { doc.erase(key); });
}
