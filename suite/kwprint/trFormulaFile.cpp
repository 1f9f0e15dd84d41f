// Changes hold the file's companion lock from the read to the write; readers do not lock:
// a write places a whole new file, so a reader sees the old one or the new one.
#include "kwprint/trFormulaFile.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_text.h"

#include <chrono>
#include <functional>

namespace {

using Formulas = std::vector<trFormulaFile::Entry>;

// Reads and checks the whole document; a missing file is an empty one.
bool Load(nlohmann::json* doc, std::string* error) {
    const std::string path = trFormulaFile::Path();
    const kwJsonRead read = kwJsonLoadFile(path, doc, error, [](const kwJsonNode& root) {
        root.ExpectObject();
        if (root.Member("version").Whole(1, 1000) != 1) root.Member("version").Fail("must be 1");
        if (const auto apps = root.Find("applications")) {
            apps->ExpectObject();
            apps->ForEachMember([](const std::string&, const kwJsonNode& list) {
                list.ExpectArray();
                list.ForEachItem([](size_t, const kwJsonNode& item) {
                    item.ExpectObject();
                    const std::string name = item.Member("name").Text();
                    if (name.empty() || name.size() > trFormulaFile::MAX_NAME)
                        item.Member("name").Fail("must hold 1 to 30 characters");
                    item.Member("file").Text();
                    item.Member("expression").Text();
                    item.Text("description", "");
                });
            });
        }
    });
    if (read == kwJsonRead::Malformed) return false;
    if (read == kwJsonRead::Missing) *doc = nlohmann::json{{"version", 1}, {"applications", nlohmann::json::object()}};
    if (!doc->contains("applications")) (*doc)["applications"] = nlohmann::json::object();
    return true;
}

Formulas EntriesOf(const nlohmann::json& doc, const std::string& application) {
    Formulas entries;
    const auto& apps = doc["applications"];
    if (!apps.contains(application)) return entries;
    for (const auto& item : apps[application])
        entries.push_back({item["name"].get<std::string>(), item["file"].get<std::string>(),
                           item["expression"].get<std::string>(),
                           item.value("description", std::string())});
    return entries;
}

int IndexOf(const Formulas& entries, const std::string& name) {
    for (size_t i = 0; i < entries.size(); ++i)
        if (x_equal_nocase(entries[i].name, name)) return static_cast<int>(i);
    return -1;
}

// Runs change on the application's formulas under the file's lock and writes the result.
bool Change(const std::string& application, std::string* error, const std::function<bool(Formulas&)>& change) {
    const std::string path = trFormulaFile::Path();
    kwFileLock lock;
    if (!lock.Open(path + ".lck") || !lock.Acquire(0, std::chrono::milliseconds(1000))) {
        *error = path + " is being changed on another workstation; try again in a moment.";
        return false;
    }
    nlohmann::json doc;
    if (!Load(&doc, error)) return false;
    Formulas entries = EntriesOf(doc, application);
    if (!change(entries)) return false;
    nlohmann::json list = nlohmann::json::array();
    for (const auto& entry : entries) {
        nlohmann::json item{{"name", entry.name}, {"file", entry.file}, {"expression", entry.expression}};
        if (!entry.description.empty()) item["description"] = entry.description;
        list.push_back(item);
    }
    if (entries.empty()) doc["applications"].erase(application);
    else doc["applications"][application] = list;
    std::string text;
    if (!kwJsonDump(doc, &text)) {
        *error = path + ": a formula holds text that is not UTF-8.";
        return false;
    }
    return kwStoredFile::Write(path, text, error);
}

} // namespace

std::string trFormulaFile::Path() { return kwCompany::Path(FILE_NAME); }

bool trFormulaFile::Read(const std::string& application, std::vector<Entry>* entries, std::string* error) {
    nlohmann::json doc;
    if (!Load(&doc, error)) return false;
    *entries = EntriesOf(doc, application);
    return true;
}

bool trFormulaFile::Find(const std::string& application, const std::string& name, Entry* entry, std::string* error) {
    Formulas entries;
    if (!Read(application, &entries, error)) return false;
    const int index = IndexOf(entries, name);
    if (index < 0) {
        *error = "There is no formula \"" + name + "\" for " + application + ".";
        return false;
    }
    *entry = entries[static_cast<size_t>(index)];
    return true;
}

bool trFormulaFile::Put(const std::string& application, const std::string& oldName, const Entry& entry,
                        std::string* error) {
    if (entry.name.empty() || entry.name.size() > MAX_NAME) {
        *error = "A formula's name must hold 1 to 30 characters.";
        return false;
    }
    return Change(application, error, [&](Formulas& entries) {
        const int old = oldName.empty() ? -1 : IndexOf(entries, oldName);
        if (!oldName.empty() && old < 0) {
            *error = "The formula \"" + oldName + "\" has been deleted on another workstation.";
            return false;
        }
        const int taken = IndexOf(entries, entry.name);
        if (taken >= 0 && taken != old) {
            *error = "A formula named \"" + entries[static_cast<size_t>(taken)].name + "\" already exists.";
            return false;
        }
        if (old >= 0) entries[static_cast<size_t>(old)] = entry;
        else entries.push_back(entry);
        return true;
    });
}

bool trFormulaFile::Remove(const std::string& application, const std::string& name, std::string* error) {
    return Change(application, error, [&](Formulas& entries) {
        const int index = IndexOf(entries, name);
        if (index >= 0) entries.erase(entries.begin() + index); // already gone elsewhere: fine
        return true;
    });
}
