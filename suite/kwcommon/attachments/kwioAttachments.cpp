// The attachment store: per-record lists in the company folder, copies of the attached
// files beside them, and a lock file that keeps two users from changing one list.
#include "kwcommon/attachments/kwioAttachments.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_value_def.h"
#include "kwcommon/xio.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr const char* kListFile = "list.json";
constexpr const char* kLockFile = "list.lck";
constexpr size_t kReadablePart = 40;
constexpr size_t kStoredNameMax = 150;
constexpr int kFolderProbes = 64;

std::string Lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

uint64_t Fnv1a(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
}

// Folder and file names: letters, digits and a few marks only, so any key or file name
// gives a name every file system takes.
std::string SafeName(const std::string& text, size_t maxBytes) {
    std::string out;
    for (unsigned char c : text) {
        if (out.size() >= maxBytes) break;
        out += (std::isalnum(c) || c == '-' || c == '_' || c == '.') ? static_cast<char>(c) : '_';
    }
    // A leading dot would hide the name and collide with the store's temporary files.
    if (!out.empty() && out[0] == '.') out[0] = '_';
    return out;
}

// A file name as shown: bytes that are not UTF-8 (possible on Linux) become '?'.
std::string DisplayName(const std::string& name) {
    std::string out;
    size_t i = 0;
    while (i < name.size()) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        size_t length = c < 0x80           ? 1
                        : (c >> 5) == 0x6  ? 2
                        : (c >> 4) == 0xe  ? 3
                        : (c >> 3) == 0x1e ? 4
                                           : 0;
        bool valid = length > 0 && i + length <= name.size();
        for (size_t k = 1; valid && k < length; ++k)
            valid = (static_cast<unsigned char>(name[i + k]) & 0xc0) == 0x80;
        if (!valid) {
            out += '?';
            ++i;
            continue;
        }
        out.append(name, i, length);
        i += length;
    }
    return out;
}

bool PlainStoredName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos &&
           name != kListFile && name != kLockFile;
}

short StatusOfErrno(int error) {
    switch (error) {
    case ENOENT:
        return XIO_ABSENT;
    case EACCES:
    case EPERM:
    case EROFS:
        return XIO_NOT_AUTHORISED;
    case ENOSPC:
    case EDQUOT:
        return XIO_DISK_FULL;
    default:
        return XIO_IO_ERROR;
    }
}

void TellUser(const std::string& text) {
    x_log(0, text.c_str());
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
}

// Copies source into target through the stored-file helper's temporary file, flushed and
// placed without replacing anything, so a stored copy is never seen half-written. errno
// tells a failure.
bool CopyFile(int source, const std::string& target, int64_t* size) {
    const std::string temp = kwStoredFile::TemporaryPath(target);
    const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (out < 0) return false;
    char buffer[1 << 16];
    int64_t total = 0;
    bool ok = true;
    while (ok) {
        const ssize_t got = ::read(source, buffer, sizeof(buffer));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            ok = got == 0;
            break;
        }
        const char* data = buffer;
        size_t left = static_cast<size_t>(got);
        while (left > 0) {
            const ssize_t put = ::write(out, data, left);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                if (put == 0) errno = ENOSPC;
                ok = false;
                break;
            }
            data += put;
            left -= static_cast<size_t>(put);
        }
        total += got;
    }
    const int reason = errno;
    if (::close(out) != 0 && ok) ok = false;
    if (!ok) {
        ::unlink(temp.c_str());
        errno = reason;
        return false;
    }
    bool placed = false;
    if (!kwStoredFile::PlaceFile(temp, target, kwStoredFile::Place::NoReplace, nullptr, &placed)) return false;
    if (!placed) {
        errno = EEXIST;
        return false;
    }
    *size = total;
    return true;
}

// list.json:
// { "file": "QVI", "recordType": 1, "key": "<key text>", "next": 3,
//   "attachments": [ { "name": "scan.pdf", "stored": "1-scan.pdf", "size": 1234,
//                      "addedBy": "ADMIN", "added": <seconds since 1970> }, ... ] }
struct ListFile {
    std::string key;
    int64_t next = 1;
    std::vector<kwioAttachment> attachments;
};

void ParseList(const kwJsonNode& root, ListFile* list) {
    root.ExpectObject();
    list->key = root.Text("key", "");
    list->next = std::max<int64_t>(root.Whole("next", 1, INT64_MIN, INT64_MAX), 1);
    std::set<std::string> stored;
    root.Member("attachments").ForEachItem([&](size_t, const kwJsonNode& entry) {
        entry.ExpectObject();
        kwioAttachment item;
        item.name = entry.Member("name").Text();
        const kwJsonNode storedNode = entry.Member("stored");
        item.storedName = storedNode.Text();
        item.size = entry.Whole("size", 0, 0, INT64_MAX);
        item.addedBy = entry.Text("addedBy", "");
        item.added = std::chrono::system_clock::time_point(
            std::chrono::seconds(entry.Whole("added", 0, INT64_MIN / 1000000000, INT64_MAX / 1000000000)));
        // A stored name is only ever a plain name in this folder: never a way out of it.
        if (!PlainStoredName(item.storedName) || !stored.insert(item.storedName).second)
            storedNode.Fail("\"" + item.storedName + "\" is no stored copy of this list");
        list->attachments.push_back(std::move(item));
    });
}

// Reads a record's list; Missing leaves *list empty. Malformed fills error.
kwJsonRead ReadListFile(const std::string& path, ListFile* list, std::string* error) {
    nlohmann::json doc;
    const kwJsonRead result = kwJsonLoadFile(path, &doc, error, [&](const kwJsonNode& root) { ParseList(root, list); });
    if (result == kwJsonRead::Malformed) *list = ListFile{};
    return result;
}

std::string KeyOfList(const std::string& listPath) {
    ListFile list;
    std::string error;
    return ReadListFile(listPath, &list, &error) == kwJsonRead::Ok ? list.key : std::string();
}

} // namespace

kwioAttachments::kwioAttachments(short fileNumber, short recordType)
    : _file(fileNumber), _byBuffer(true), _recordType(recordType) {}

kwioAttachments::kwioAttachments(std::string fileAbbrev, short recordType, std::string recordKey)
    : _abbrev(std::move(fileAbbrev)), _recordType(recordType), _key(std::move(recordKey)) {
    for (char& c : _abbrev)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

kwioAttachments::~kwioAttachments() {
    Free();
}

std::string kwioAttachments::KeyTextOf(short fileNumber, short recordType, std::string* abbrev) {
    xio_def file{};
    xio_key_def key{};
    if (xio_get_def(fileNumber, &file, 0) != XIO_OK ||
        xio_get_key_def(fileNumber, 0, &key, recordType) != XIO_OK) {
        if (abbrev) abbrev->clear();
        return {};
    }
    if (abbrev) *abbrev = file.abbrev;
    std::string text;
    for (int i = 0; i < key.fieldCount; ++i) {
        xio_fld_def field{};
        x_value_def value;
        xio_get_fld_def(fileNumber, key.fields[i], &field, 1, 1);
        xio_get_field(fileNumber, 0, key.fields[i], &value);
        if (i) text += '\t';
        if (value.IsText()) {
            std::string part = value.AsText();
            while (!part.empty() && part.back() == ' ')
                part.pop_back();
            text += part;
        } else {
            char number[40];
            std::snprintf(number, sizeof(number), "%.15g", value.AsNumber());
            text += number;
        }
    }
    return text;
}

short kwioAttachments::ResolveRecord() {
    if (_byBuffer) {
        std::string abbrev;
        std::string key = KeyTextOf(_file, _recordType, &abbrev);
        if (abbrev.empty()) return XIO_BAD_FILE_NUMBER;
        if (_fetched && (abbrev != _abbrev || key != _key)) Free();
        _abbrev = abbrev;
        _key = key;
    }
    if (!kwCompany::IsOpen()) return XIO_NO_DRIVE;
    if (_fetched) return XIO_OK;
    char hash[17];
    std::snprintf(hash, sizeof(hash), "%016llx", static_cast<unsigned long long>(Fnv1a(_key)));
    std::string readable = SafeName(_key, kReadablePart);
    if (readable.empty()) readable = "key";
    const std::string base = kwCompany::Path("attachments") + "/" + Lower(SafeName(_abbrev, 8)) +
                             "/" + std::to_string(_recordType) + "/" + readable + "-" + hash;
    // Two keys with one name: the list names its key, the next free name is taken.
    for (int probe = 0; probe < kFolderProbes; ++probe) {
        const std::string folder = probe ? base + "~" + std::to_string(probe) : base;
        std::error_code ec;
        const std::string list = folder + "/" + kListFile;
        if (!fs::exists(list, ec)) {
            _folder = folder;
            return XIO_OK;
        }
        const std::string owner = KeyOfList(list);
        if (owner == _key || owner.empty()) {
            _folder = folder;
            return XIO_OK;
        }
    }
    return XIO_FAILED;
}

short kwioAttachments::Fetch(bool forChange) {
    const bool wasFetched = _fetched;
    if (short status = ResolveRecord()) return status;
    if (_fetched && wasFetched) {
        if (!forChange || _lock) return XIO_OK;
        // A list read only is now wanted for change: it is read again under the lock.
        _fetched = false;
        _list.clear();
    }
    if (forChange) {
        std::error_code ec;
        fs::create_directories(_folder, ec);
        if (ec) return StatusOfErrno(ec.value());
        auto lock = std::make_unique<kwFileLock>();
        if (!lock->Open(_folder + "/" + kLockFile)) return StatusOfErrno(errno);
        if (!lock->TryLock(0)) return XIO_IN_USE;
        _lock = std::move(lock);
    }
    if (short status = ReadList()) {
        _lock.reset();
        return status;
    }
    if (_lock) RemoveStrays();
    _fetched = true;
    _changed = false;
    _removed.clear();
    return XIO_OK;
}

short kwioAttachments::ReadList() {
    _list.clear();
    _nextId = 1;
    ListFile list;
    std::string error;
    switch (ReadListFile(_folder + "/" + kListFile, &list, &error)) {
    case kwJsonRead::Missing:
        return XIO_OK;
    case kwJsonRead::Malformed:
        x_log(0, error.c_str());
        return XIO_CORRUPT;
    case kwJsonRead::Ok:
        break;
    }
    _list = std::move(list.attachments);
    _nextId = list.next;
    return XIO_OK;
}

// Copies that no list names were left by a holder that died before writing or before
// cleaning up; only the holder of the lock may touch them.
void kwioAttachments::RemoveStrays() {
    std::set<std::string> keep{kListFile, kLockFile};
    for (const auto& item : _list)
        keep.insert(item.storedName);
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(_folder, ec)) {
        const std::string name = entry.path().filename().string();
        // Temporary files of a copy or a list rewrite that died half-way go the same way.
        if (keep.count(name) || !entry.is_regular_file(ec)) continue;
        fs::remove(entry.path(), ec);
    }
    for (const auto& item : _list)
        _nextId = std::max<int64_t>(_nextId, std::atoll(item.storedName.c_str()) + 1);
}

std::string kwioAttachments::OpenPath(size_t index) const {
    if (index >= _list.size() || _folder.empty()) return {};
    return _folder + "/" + _list[index].storedName;
}

short kwioAttachments::Add(const std::string& sourcePath) {
    if (!_lock) return XIO_NOT_LOCKED;
    const std::string shown = DisplayName(sourcePath);
    auto refuse = [&](short status, const std::string& why) {
        TellUser("The file \"" + shown + "\" cannot be attached: " + why);
        return status;
    };
    if (sourcePath.empty()) return refuse(XIO_ABSENT, "no file was named.");
    struct stat info {};
    if (::stat(sourcePath.c_str(), &info) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return refuse(XIO_ABSENT, "it does not exist.");
        return refuse(StatusOfErrno(error), std::string(std::strerror(error)) + ".");
    }
    if (!S_ISREG(info.st_mode)) return refuse(XIO_BAD_VALUE, "it is not a file.");
    const int source = ::open(sourcePath.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        const int error = errno;
        return refuse(StatusOfErrno(error),
                      std::string("it cannot be read (") + std::strerror(error) + ").");
    }
    kwioAttachment item;
    item.name = DisplayName(fs::path(sourcePath).filename().string());
    std::string safe = SafeName(fs::path(sourcePath).filename().string(), kStoredNameMax);
    if (safe.empty()) safe = "file";
    item.storedName = std::to_string(_nextId) + "-" + safe;
    int64_t size = 0;
    const bool copied = CopyFile(source, _folder + "/" + item.storedName, &size);
    const int error = errno;
    ::close(source);
    if (!copied)
        return refuse(StatusOfErrno(error),
                      std::string("it could not be copied (") + std::strerror(error) + ").");
    item.size = size;
    item.addedBy = kwCompany::CurrentOperatorId();
    item.added =
        std::chrono::time_point_cast<std::chrono::seconds>(std::chrono::system_clock::now());
    item.pending = true;
    _list.push_back(std::move(item));
    ++_nextId;
    _changed = true;
    return XIO_OK;
}

short kwioAttachments::Remove(size_t index) {
    if (!_lock) return XIO_NOT_LOCKED;
    if (index >= _list.size()) return XIO_NO_RECORD;
    const kwioAttachment& item = _list[index];
    if (item.pending) {
        std::error_code ec;
        fs::remove(_folder + "/" + item.storedName, ec);
    } else {
        _removed.push_back(item.storedName);
    }
    _list.erase(_list.begin() + static_cast<std::ptrdiff_t>(index));
    _changed = true;
    return XIO_OK;
}

short kwioAttachments::Write() {
    if (!_lock) return XIO_NOT_LOCKED;
    if (!_changed) return XIO_OK;
    nlohmann::json doc = nlohmann::json::object();
    doc["file"] = _abbrev;
    doc["recordType"] = _recordType;
    doc["key"] = _key;
    doc["next"] = _nextId;
    nlohmann::json entries = nlohmann::json::array();
    for (const auto& item : _list) {
        entries.push_back({{"name", item.name},
                           {"stored", item.storedName},
                           {"size", item.size},
                           {"addedBy", item.addedBy},
                           {"added", std::chrono::duration_cast<std::chrono::seconds>(
                                         item.added.time_since_epoch())
                                         .count()}});
    }
    doc["attachments"] = std::move(entries);
    std::string text, error;
    if (!kwJsonDump(doc, &text)) {
        TellUser("The attachments cannot be saved: the list holds text that is not UTF-8.");
        return XIO_BAD_VALUE;
    }
    if (!kwStoredFile::Write(_folder + "/" + kListFile, text + "\n", &error)) {
        TellUser("The attachments cannot be saved: " + error);
        return XIO_IO_ERROR;
    }
    // The list no longer names them; a copy left behind by a failure here is a stray
    // that the next holder removes.
    std::error_code ec;
    for (const auto& name : _removed)
        fs::remove(_folder + "/" + name, ec);
    _removed.clear();
    for (auto& item : _list)
        item.pending = false;
    _changed = false;
    return XIO_OK;
}

void kwioAttachments::Free() {
    if (_lock) {
        std::error_code ec;
        for (const auto& item : _list)
            if (item.pending) fs::remove(_folder + "/" + item.storedName, ec);
    }
    _lock.reset();
    _list.clear();
    _removed.clear();
    _fetched = false;
    _changed = false;
    _folder.clear();
}
