// Read-modify-write of the settings file happens under an exclusive lock on a companion
// file, and the new file is renamed into place, so two programs saving at once keep each
// other's values and a crash leaves the old file whole.
#include "kwapp/app/kwUserSettings.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {
nlohmann::json ReadAll(const std::string& path) {
    std::ifstream in(path);
    if (!in) return nlohmann::json::object();
    std::stringstream text;
    text << in.rdbuf();
    nlohmann::json doc = nlohmann::json::parse(text.str(), nullptr, false);
    if (doc.is_discarded() || !doc.is_object()) return nlohmann::json::object();
    return doc;
}

class LockFile {
public:
    explicit LockFile(const std::string& path) {
        _fd = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (_fd >= 0 && ::flock(_fd, LOCK_EX) != 0) {
            ::close(_fd);
            _fd = -1;
        }
    }
    ~LockFile() {
        if (_fd >= 0) ::close(_fd); // closing releases the lock
    }
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;
    bool Held() const { return _fd >= 0; }

private:
    int _fd = -1;
};

bool WriteAll(const std::string& path, const nlohmann::json& doc) {
    const std::string temporary = path + ".tmp-" + std::to_string(::getpid());
    std::string text;
    try {
        text = doc.dump(2);
    } catch (const nlohmann::json::exception&) {
        return false; // text that is not UTF-8
    }
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}

template <class Change> bool Modify(Change change) {
    const std::string path = kwUserSettings::FilePath();
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    LockFile lock(path);
    if (!lock.Held()) return false;
    nlohmann::json doc = ReadAll(path);
    change(doc);
    return WriteAll(path, doc);
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

std::optional<std::string> kwUserSettings::Get(const std::string& key) {
    const nlohmann::json doc = ReadAll(FilePath());
    auto it = doc.find(key);
    if (it == doc.end() || !it->is_string()) return std::nullopt;
    return it->get<std::string>();
}

bool kwUserSettings::Put(const std::string& key, const std::string& value) {
    if (key.empty()) return false;
    return Modify([&](nlohmann::json& doc) { doc[key] = value; });
}

bool kwUserSettings::Remove(const std::string& key) {
    return Modify([&](nlohmann::json& doc) { doc.erase(key); });
}
