// The preference store on JSON files: read without a lock (files are only ever replaced
// whole), written under a lock with write-sync-rename.
#include "kwcommon/prefs/xpref.h"

#include "kwcommon/kwCompany.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using nlohmann::json;

namespace {
constexpr int STORE_FORMAT = 1;
// How long a writer waits for another process's write to finish before giving up.
constexpr auto LOCK_PATIENCE = std::chrono::seconds(10);

bool IsUtf8(const char* text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p) {
        int follow;
        if (*p < 0x80) {
            follow = 0;
        } else if ((*p & 0xE0) == 0xC0 && *p >= 0xC2) {
            follow = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            follow = 2;
        } else if ((*p & 0xF8) == 0xF0 && *p <= 0xF4) {
            follow = 3;
        } else {
            return false;
        }
        ++p;
        for (int i = 0; i < follow; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) return false;
        }
    }
    return true;
}

bool ValidName(const char* name) {
    return name && *name && IsUtf8(name);
}

std::string UserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return std::string(xdg) + "/quorvel";
    const char* home = std::getenv("HOME");
    std::string base = home && *home ? home : "";
    if (base.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry && entry->pw_dir) base = entry->pw_dir;
    }
    if (base.empty()) return {};
    return base + "/.config/quorvel";
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
    }
    return true;
}

// The section objects of a store: where `root` keeps them for the scope, made on request.
json* Sections(json& root, short scope, bool make) {
    if (!root.is_object()) return nullptr;
    if (scope == XPREF_SYSTEM) {
        auto it = root.find("sections");
        if (it == root.end()) {
            if (!make) return nullptr;
            it = root.emplace("sections", json::object()).first;
        }
        return it->is_object() ? &*it : nullptr;
    }
    auto companies = root.find("companies");
    if (companies == root.end()) {
        if (!make) return nullptr;
        companies = root.emplace("companies", json::object()).first;
    }
    if (!companies->is_object()) return nullptr;
    const std::string company = kwCompany::IsOpen() ? kwCompany::Folder() : std::string();
    auto it = companies->find(company);
    if (it == companies->end()) {
        if (!make) return nullptr;
        it = companies->emplace(company, json::object()).first;
    }
    return it->is_object() ? &*it : nullptr;
}

// Reads and parses a store file.
enum class ReadResult { Ok, Missing, Malformed };

ReadResult ReadStore(const std::string& path, json* root) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? ReadResult::Missing : ReadResult::Malformed;
    std::string text;
    char buffer[8192];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            ::close(fd);
            return ReadResult::Malformed;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    *root = json::parse(text, nullptr, false);
    if (root->is_discarded() || !root->is_object()) return ReadResult::Malformed;
    return ReadResult::Ok;
}

const json* FindValue(short scope, const char* section, const char* key, json* holder) {
    if (!ValidName(section) || !ValidName(key)) return nullptr;
    const std::string path = xpref_store_path(scope);
    if (path.empty() || ReadStore(path, holder) != ReadResult::Ok) return nullptr;
    const json* sections = Sections(*holder, scope, false);
    if (!sections) return nullptr;
    auto sectionIt = sections->find(section);
    if (sectionIt == sections->end() || !sectionIt->is_object()) return nullptr;
    auto valueIt = sectionIt->find(key);
    if (valueIt == sectionIt->end()) return nullptr;
    return &*valueIt;
}

// An exclusive lock on the store's companion lock file for the life of the object. The
// open-file-description lock dies with its holder, so a crashed writer never blocks others.
class StoreLock {
public:
    explicit StoreLock(const std::string& storePath) {
        const std::string lockPath = storePath + ".lock";
        _fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (_fd < 0) return;
        struct flock request {};
        request.l_type = F_WRLCK;
        request.l_whence = SEEK_SET;
        request.l_start = 0;
        request.l_len = 1;
        const auto giveUp = std::chrono::steady_clock::now() + LOCK_PATIENCE;
        while (::fcntl(_fd, F_OFD_SETLK, &request) != 0) {
            if ((errno != EAGAIN && errno != EACCES && errno != EINTR) ||
                std::chrono::steady_clock::now() > giveUp) {
                ::close(_fd);
                _fd = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        _locked = true;
    }
    ~StoreLock() {
        if (_fd >= 0) ::close(_fd); // closing the description releases the lock
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool Locked() const { return _locked; }

private:
    int _fd = -1;
    bool _locked = false;
};

bool WriteAll(int fd, const std::string& text) {
    const char* data = text.data();
    size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

bool ReplaceStore(const std::string& path, const json& root, mode_t mode) {
    std::string text = root.dump(1, '\t') + "\n";
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) return false;
    bool ok = ::fchmod(fd, mode) == 0 && WriteAll(fd, text) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) ok = ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself must reach the disk, or a crash could bring the old store back.
    const int folder = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
    return true;
}

// Temporary files of writers that died before their rename. Temporary files only come into
// being under the store's lock, so whatever is there while we hold it is abandoned.
void RemoveAbandonedTemporaries(const std::string& path) {
    const std::string folder = FolderOf(path);
    const std::string prefix = path.substr(folder.size() + 1) + ".";
    DIR* directory = ::opendir(folder.c_str());
    if (!directory) return;
    while (const dirent* entry = ::readdir(directory)) {
        const std::string name = entry->d_name;
        // mkstemp's six characters; ".lock" and ".bad" are shorter.
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0) {
            ::unlink((folder + "/" + name).c_str());
        }
    }
    ::closedir(directory);
}

// Read-modify-write of one store under its lock. change answers false to leave the store
// as it is.
short ChangeStore(short scope, const char* section, const char* key,
                  const std::function<bool(json& sectionObject)>& change) {
    if (!ValidName(section) || !ValidName(key)) return 0;
    const std::string path = xpref_store_path(scope);
    if (path.empty()) return 0;
    if (scope == XPREF_USER && !MakeFolders(FolderOf(path))) return 0;
    try {
        StoreLock lock(path);
        if (!lock.Locked()) return 0;
        RemoveAbandonedTemporaries(path);
        json root;
        switch (ReadStore(path, &root)) {
        case ReadResult::Ok:
            break;
        case ReadResult::Missing:
            root = json::object();
            break;
        case ReadResult::Malformed:
            // Kept for whoever wants to look at it; the store starts again.
            if (::rename(path.c_str(), (path + ".bad").c_str()) != 0 && errno != ENOENT) return 0;
            root = json::object();
            break;
        }
        root["format"] = STORE_FORMAT;
        json* sections = Sections(root, scope, true);
        if (!sections) {
            // The right kind of file with a wrong shape inside: start the scope's part again.
            if (scope == XPREF_SYSTEM) {
                root["sections"] = json::object();
            } else {
                root["companies"] = json::object();
            }
            sections = Sections(root, scope, true);
            if (!sections) return 0;
        }
        json& sectionObject = (*sections)[section];
        if (!sectionObject.is_object()) sectionObject = json::object();
        if (!change(sectionObject)) return 0;
        if (sectionObject.empty()) sections->erase(section);
        return ReplaceStore(path, root, scope == XPREF_USER ? 0600 : 0644) ? 1 : 0;
    } catch (const std::exception&) {
        return 0;
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
} // namespace

std::string xpref_store_path(short scope) {
    if (scope == XPREF_USER) {
        const std::string folder = UserConfigFolder();
        return folder.empty() ? std::string() : folder + "/preferences.json";
    }
    if (scope == XPREF_SYSTEM) {
        return kwCompany::IsOpen() ? kwCompany::Path("preferences.json") : std::string();
    }
    return {};
}

short xpref_get_string(short scope, const char* section, const char* key, char* value, int size) {
    if (!value || size <= 0) return 0;
    try {
        json holder;
        const json* found = FindValue(scope, section, key, &holder);
        if (!found || !found->is_string()) return 0;
        const std::string& text = found->get_ref<const std::string&>();
        size_t length = std::min(text.size(), static_cast<size_t>(size - 1));
        if (length < text.size()) {
            while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
                --length;
            }
        }
        std::memcpy(value, text.data(), length);
        value[length] = '\0';
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

short xpref_put_string(short scope, const char* section, const char* key, const char* value) {
    if (!value || !IsUtf8(value)) return 0;
    const std::string text = value;
    return ChangeStore(scope, section, key, [&](json& sectionObject) {
        sectionObject[key] = text;
        return true;
    });
}

short xpref_get_data(short scope, const char* section, const char* key, void* data, int size) {
    if (!data || size <= 0) return 0;
    try {
        json holder;
        const json* found = FindValue(scope, section, key, &holder);
        if (!found || !found->is_object()) return 0;
        auto hex = found->find("hex");
        if (hex == found->end() || !hex->is_string()) return 0;
        const std::string& digits = hex->get_ref<const std::string&>();
        if (digits.size() != 2 * static_cast<size_t>(size)) return 0;
        std::string bytes(static_cast<size_t>(size), '\0');
        for (size_t i = 0; i < bytes.size(); ++i) {
            const int high = HexDigit(digits[2 * i]);
            const int low = HexDigit(digits[2 * i + 1]);
            if (high < 0 || low < 0) return 0;
            bytes[i] = static_cast<char>(high * 16 + low);
        }
        std::memcpy(data, bytes.data(), bytes.size()); // only a whole, valid value lands
        return 1;
    } catch (const std::exception&) {
        return 0;
    }
}

short xpref_put_data(short scope, const char* section, const char* key, const void* data,
                     int size) {
    if (!data || size < 0) return 0;
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(2 * static_cast<size_t>(size));
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (int i = 0; i < size; ++i) {
        hex += digits[bytes[i] >> 4];
        hex += digits[bytes[i] & 0x0F];
    }
    return ChangeStore(scope, section, key, [&](json& sectionObject) {
        sectionObject[key] = json{{"hex", hex}};
        return true;
    });
}

short xpref_delete(short scope, const char* section, const char* key) {
    return ChangeStore(scope, section, key, [&](json& sectionObject) {
        sectionObject.erase(key);
        return true;
    });
}
