// The preference store on JSON files: read without a lock (files are only ever replaced
// whole), written under a lock through the stored-file helper.
#include "kwcommon/prefs/xpref.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_log.h"

#include <algorithm>
#include <chrono>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
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

// The section objects of a store (already checked by ReadStore): where `root` keeps them
// for the scope, made on request.
json* Sections(json& root, short scope, bool make) {
    const char* part = scope == XPREF_SYSTEM ? "sections" : "companies";
    auto it = root.find(part);
    if (it == root.end()) {
        if (!make) return nullptr;
        it = root.emplace(part, json::object()).first;
    }
    if (scope == XPREF_SYSTEM) return &*it;
    const std::string company = kwCompany::IsOpen() ? kwCompany::Folder() : std::string();
    auto companyIt = it->find(company);
    if (companyIt == it->end()) {
        if (!make) return nullptr;
        companyIt = it->emplace(company, json::object()).first;
    }
    return &*companyIt;
}

// The checked path of a value, for messages: the same walk as Sections, on kwJsonNode.
kwJsonNode ValueNode(const kwJsonNode& root, short scope, const char* section, const char* key) {
    kwJsonNode sections = root.Member(scope == XPREF_SYSTEM ? "sections" : "companies");
    if (scope != XPREF_SYSTEM) sections = sections.Member(kwCompany::IsOpen() ? kwCompany::Folder().c_str() : "");
    return sections.Member(section).Member(key);
}

// Logs a fault of a store once, not on every read of it.
void LogFault(const std::string& error) {
    static std::mutex mutex;
    static std::string last;
    std::lock_guard<std::mutex> guard(mutex);
    if (error == last) return;
    last = error;
    x_log(0, error.c_str());
}

// The shape of a store: an object whose scope parts, companies and sections are objects.
void CheckStore(const kwJsonNode& root) {
    root.ExpectObject();
    root.Whole("format", STORE_FORMAT, 0, 32767);
    if (const auto sections = root.Find("sections"))
        sections->ForEachMember([](const std::string&, const kwJsonNode& section) { section.ExpectObject(); });
    if (const auto companies = root.Find("companies")) {
        companies->ForEachMember([](const std::string&, const kwJsonNode& company) {
            company.ForEachMember([](const std::string&, const kwJsonNode& section) { section.ExpectObject(); });
        });
    }
}

// Reads, parses and checks the shape of a store file; Malformed fills error.
kwJsonRead ReadStore(const std::string& path, json* root, std::string* error) {
    return kwJsonLoadFile(path, root, error, CheckStore);
}

// A stored value is a text or { "hex": "<pairs of hex digits>" }; anything else is damage,
// logged with its place.
bool SoundValue(const json& value) {
    if (value.is_string()) return true;
    if (!value.is_object() || value.size() != 1) return false;
    const auto hex = value.find("hex");
    if (hex == value.end() || !hex->is_string()) return false;
    const std::string& digits = hex->get_ref<const std::string&>();
    return digits.size() % 2 == 0 && digits.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

const json* FindValue(short scope, const char* section, const char* key, json* holder) {
    if (!ValidName(section) || !ValidName(key)) return nullptr;
    const std::string path = xpref_store_path(scope);
    if (path.empty()) return nullptr;
    std::string error;
    switch (ReadStore(path, holder, &error)) {
    case kwJsonRead::Missing:
        return nullptr;
    case kwJsonRead::Malformed:
        LogFault(error + " (its preferences are not used)");
        return nullptr;
    case kwJsonRead::Ok:
        break;
    }
    json* sections = Sections(*holder, scope, false);
    if (!sections) return nullptr;
    auto sectionIt = sections->find(section);
    if (sectionIt == sections->end()) return nullptr;
    auto valueIt = sectionIt->find(key);
    if (valueIt == sectionIt->end()) return nullptr;
    if (!SoundValue(*valueIt)) {
        kwJsonLoad(path, &error, [&] {
            ValueNode(kwJsonNode(*holder, path), scope, section, key)
                .Fail("must be a text or {\"hex\": \"<hex digits>\"}");
        });
        LogFault(error);
        return nullptr;
    }
    return &*valueIt;
}

// Read-modify-write of one store under its lock (a companion ".lock" file, byte 0). change
// answers false to leave the store as it is.
short ChangeStore(short scope, const char* section, const char* key,
                  const std::function<bool(json& sectionObject)>& change) {
    if (!ValidName(section) || !ValidName(key)) return 0;
    const std::string path = xpref_store_path(scope);
    if (path.empty()) return 0;
    const std::string folder = kwStoredFile::FolderOf(path);
    if (scope == XPREF_USER && !MakeFolders(folder)) return 0;
    try {
        kwFileLock lock;
        if (!lock.Open(path + ".lock") || !lock.Acquire(0, LOCK_PATIENCE)) return 0;
        kwStoredFile::RemoveAbandonedTemporaries(folder);
        json root;
        std::string error;
        switch (ReadStore(path, &root, &error)) {
        case kwJsonRead::Ok:
            break;
        case kwJsonRead::Missing:
            root = json::object();
            break;
        case kwJsonRead::Malformed:
            // Kept for whoever wants to look at it; the store starts again.
            LogFault(error + " (set aside as " + path + ".bad)");
            if (!kwStoredFile::SetAside(path)) return 0;
            root = json::object();
            break;
        }
        root["format"] = STORE_FORMAT;
        json* sections = Sections(root, scope, true);
        json& sectionObject = (*sections)[section];
        if (!sectionObject.is_object()) sectionObject = json::object();
        if (!change(sectionObject)) return 0;
        if (sectionObject.empty()) sections->erase(section);
        std::string text;
        if (!kwJsonDump(root, &text, 1, '\t')) return 0;
        return kwStoredFile::Write(path, text, nullptr, scope == XPREF_USER ? 0600 : 0644) ? 1 : 0;
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
