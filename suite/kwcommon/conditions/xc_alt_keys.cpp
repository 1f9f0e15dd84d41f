// The alternate-key control file of the company: reading, merging and writing it.
#include "kwcommon/conditions/xc_alt_keys.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_log.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <sys/file.h>
#include <unistd.h>
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

short ReadStates(KeyStates* states) {
    states->clear();
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    std::error_code ec;
    if (!std::filesystem::exists(ControlPath(), ec)) return ec ? XIO_IO_ERROR : XIO_OK;
    std::ifstream in(ControlPath(), std::ios::binary);
    if (!in) return XIO_IO_ERROR;
    std::stringstream text;
    text << in.rdbuf();
    const nlohmann::json json = nlohmann::json::parse(text.str(), nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        x_log(0, ("The alternate-key control file is malformed: " + ControlPath()).c_str());
        return XIO_CORRUPT;
    }
    for (const auto& [abbrev, keys] : json.items()) {
        if (!keys.is_object()) continue;
        for (const auto& [key, active] : keys.items()) {
            if (!active.is_boolean()) continue;
            char* end = nullptr;
            const long number = std::strtol(key.c_str(), &end, 10);
            if (end == key.c_str() || *end || number < 1 || number > 32767) continue;
            (*states)[Abbrev(abbrev.c_str())][static_cast<short>(number)] = active.get<bool>();
        }
    }
    return XIO_OK;
}

short WriteStates(const KeyStates& states) {
    nlohmann::json json = nlohmann::json::object();
    for (const auto& [abbrev, keys] : states) {
        nlohmann::json entry = nlohmann::json::object();
        for (const auto& [key, active] : keys)
            entry[std::to_string(key)] = active;
        json[abbrev] = entry;
    }
    const std::string text = json.dump(2) + "\n";
    // Written beside the file and renamed over it: a reader sees the old or the new file,
    // never half of one.
    const std::string path = ControlPath();
    const std::string temp = path + "." + std::to_string(::getpid()) + ".tmp";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return XIO_IO_ERROR;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (!ok || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return XIO_IO_ERROR;
    }
    return XIO_OK;
}

// Serialises read-merge-write between processes and workstations.
class ControlLock {
public:
    ControlLock() {
        _fd = ::open(kwCompany::Path("altkeys.lck").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (_fd >= 0 && ::flock(_fd, LOCK_EX) != 0) {
            ::close(_fd);
            _fd = -1;
        }
    }
    ~ControlLock() {
        if (_fd >= 0) ::close(_fd);
    }
    ControlLock(const ControlLock&) = delete;
    ControlLock& operator=(const ControlLock&) = delete;
    bool Held() const { return _fd >= 0; }

private:
    int _fd = -1;
};

short MergeAndWrite(const KeyStates& changes) {
    if (!kwCompany::IsOpen()) return XIO_FAILED;
    ControlLock lock;
    if (!lock.Held()) return XIO_IO_ERROR;
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
