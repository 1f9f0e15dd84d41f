// The alternate-key control file of the company: reading, merging and writing it.
#include "kwcommon/conditions/xc_alt_keys.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_log.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

using KeyStates = std::map<std::string, std::map<short, bool>>;

struct ControlFile {
    short mode = 0;
    KeyStates states;  // as last read
    KeyStates pending; // activations not yet written
};

std::map<short, ControlFile>& Handles() {
    static std::map<short, ControlFile> handles;
    return handles;
}

std::vector<short>& OpenOrder() {
    static std::vector<short> order;
    return order;
}

ControlFile* Find(short handle) {
    auto it = Handles().find(handle);
    return it == Handles().end() ? nullptr : &it->second;
}

ControlFile* Current() {
    return OpenOrder().empty() ? nullptr : Find(OpenOrder().back());
}

std::string Abbrev(const char* abbrev) {
    std::string upper = abbrev ? abbrev : "";
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return upper;
}

std::string ControlPath() {
    return kwCompany::Path("altkeys.json");
}

// { "<abbrev>": { "<key number>": true | false } }
void ParseStates(const kwJsonNode& root, KeyStates* states) {
    root.ForEachMember([&](const std::string& abbrev, const kwJsonNode& keys) {
        keys.ForEachMember([&](const std::string& key, const kwJsonNode& active) {
            char* end = nullptr;
            const long number = std::strtol(key.c_str(), &end, 10);
            if (end == key.c_str() || *end || number < 1 || number > 32767)
                keys.Fail("holds \"" + key + "\", which is no key number from 1 to 32767");
            (*states)[Abbrev(abbrev.c_str())][static_cast<short>(number)] = active.Flag();
        });
    });
}

short ReadStates(KeyStates* states) {
    states->clear();
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    const std::string path = ControlPath();
    nlohmann::json doc;
    std::string error;
    const kwJsonRead result =
        kwJsonLoadFile(path, &doc, &error, [&](const kwJsonNode& root) { ParseStates(root, states); });
    if (result != kwJsonRead::Malformed) return XIO_OK;
    states->clear();
    x_log(0, ("The alternate-key control file is malformed: " + error).c_str());
    return XIO_CORRUPT;
}

short WriteStates(const KeyStates& states) {
    nlohmann::json json = nlohmann::json::object();
    for (const auto& [abbrev, keys] : states) {
        nlohmann::json entry = nlohmann::json::object();
        for (const auto& [key, active] : keys)
            entry[std::to_string(key)] = active;
        json[abbrev] = entry;
    }
    std::string text, error;
    if (!kwJsonDump(json, &text)) return XIO_BAD_VALUE;
    if (!kwStoredFile::Write(ControlPath(), text, &error)) {
        x_log(0, error.c_str());
        return XIO_IO_ERROR;
    }
    return XIO_OK;
}

// Read-merge-write under the control file's writer lock, so workstations changing other
// keys at the same time keep each other's changes.
short MergeAndWrite(const KeyStates& changes) {
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    kwFileWriteLock lock(ControlPath());
    if (!lock.Held()) return XIO_LOCKED;
    KeyStates states;
    if (short status = ReadStates(&states)) return status; // never overwrite what we cannot read
    for (const auto& [abbrev, keys] : changes) {
        for (const auto& [key, active] : keys)
            states[abbrev][key] = active;
    }
    return WriteStates(states);
}

std::optional<bool> Lookup(const KeyStates& states, const std::string& abbrev, short key) {
    auto file = states.find(abbrev);
    if (file == states.end()) return std::nullopt;
    auto entry = file->second.find(key);
    if (entry == file->second.end()) return std::nullopt;
    return entry->second;
}

short SetActive(const char* abbrev, short key, bool active) {
    if (key < 1 || Abbrev(abbrev).empty()) return XIO_BAD_KEY;
    if (ControlFile* control = Current()) {
        control->pending[Abbrev(abbrev)][key] = active;
        return XIO_OK;
    }
    KeyStates change;
    change[Abbrev(abbrev)][key] = active;
    return MergeAndWrite(change);
}

} // namespace

short xc_alt_key_active(const char* abbrev, short key) {
    if (key == 0) return 1;
    if (key < 0) return 0;
    const std::string name = Abbrev(abbrev);
    if (const ControlFile* control = Current()) {
        if (auto pending = Lookup(control->pending, name, key)) return *pending ? 1 : 0;
        return Lookup(control->states, name, key).value_or(true) ? 1 : 0;
    }
    KeyStates states;
    ReadStates(&states); // an unreadable file leaves every key as the dictionary has it
    return Lookup(states, name, key).value_or(true) ? 1 : 0;
}

short xc_activate_alt_key(const char* abbrev, short key) {
    return SetActive(abbrev, key, true);
}

short xc_deactivate_alt_key(const char* abbrev, short key) {
    return SetActive(abbrev, key, false);
}

short xc_open_control_file(short mode) {
    ControlFile control;
    control.mode = mode;
    if (short status = ReadStates(&control.states)) return static_cast<short>(-status);
    short handle = 1;
    while (Find(handle))
        ++handle;
    Handles()[handle] = std::move(control);
    OpenOrder().push_back(handle);
    return handle;
}

short xc_rd_control_file(short handle) {
    ControlFile* control = Find(handle);
    if (!control) return XIO_FAILED;
    KeyStates states;
    if (short status = ReadStates(&states)) return status;
    control->states = std::move(states);
    return XIO_OK;
}

short xc_wr_control_file(short handle) {
    ControlFile* control = Find(handle);
    if (!control) return XIO_FAILED;
    if (control->mode != 1) return XIO_NOT_AUTHORISED;
    if (short status = MergeAndWrite(control->pending)) return status;
    for (const auto& [abbrev, keys] : control->pending) {
        for (const auto& [key, active] : keys)
            control->states[abbrev][key] = active;
    }
    control->pending.clear();
    return XIO_OK;
}

short xc_cls_control_file(short handle) {
    if (!Handles().erase(handle)) return XIO_FAILED;
    auto& order = OpenOrder();
    order.erase(std::remove(order.begin(), order.end(), handle), order.end());
    return XIO_OK;
}
