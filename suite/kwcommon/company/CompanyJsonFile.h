// The company's small JSON settings files (lists, operators, applications): reading them
// into parsed form once per change, and rewriting them so that a crash never leaves a
// half-written file. Internal to the data library.
#pragma once

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_log.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace kwcompany {

enum class JsonReadResult { Missing, Malformed, Ok };

// Reads and parses path. Malformed (unreadable, not JSON, not valid UTF-8) fills error.
JsonReadResult ReadJsonFile(const std::string& path, nlohmann::json* doc, std::string* error);

// Replaces path with text: a temporary file in the same folder, flushed to disk, then
// renamed over the old one, so readers see either the old or the new file whole.
bool WriteFileAtomically(const std::string& path, const std::string& text, std::string* error);

// Serialises doc for writing; false when it holds text that is not valid UTF-8.
bool DumpJson(const nlohmann::json& doc, std::string* text);

// What tells one version of a file from the next without reading it. A rewrite renames a
// new file into place, so the inode alone already changes; size and time cover editors
// that write in place.
struct FileStamp {
    bool exists = false;
    uint64_t device = 0;
    uint64_t inode = 0;
    int64_t size = 0;
    int64_t modifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const std::string& path);

// Serialises read-modify-write of one company file between processes: an exclusive lock
// on a companion "<file>.lck", taken with a short bounded wait. Released on destruction.
class FileWriteLock {
public:
    explicit FileWriteLock(const std::string& path);
    ~FileWriteLock();
    FileWriteLock(const FileWriteLock&) = delete;
    FileWriteLock& operator=(const FileWriteLock&) = delete;
    bool Held() const { return _fd >= 0; }

private:
    int _fd = -1;
};

// One company file parsed into Data, kept until the company or the file changes. A missing
// file reads as an empty Data; so does a malformed one, which also writes one log line
// each time a new malformed version is seen.
template <class Data> class CachedCompanyFile {
public:
    using Parser = bool (*)(const nlohmann::json& doc, Data* data, std::string* error);

    CachedCompanyFile(const char* fileName, Parser parser) : _fileName(fileName), _parser(parser) {}

    std::shared_ptr<const Data> Get() {
        std::lock_guard<std::mutex> guard(_mutex);
        if (!kwCompany::IsOpen()) return Empty();
        const std::string path = kwCompany::Path(_fileName);
        const FileStamp stamp = StampOf(path);
        if (_data && path == _path && stamp == _stamp) return _data;
        _path = path;
        _stamp = stamp;
        _data = Load(path);
        return _data;
    }

    // Drops the parsed copy; the next Get reads the file again.
    void Forget() {
        std::lock_guard<std::mutex> guard(_mutex);
        _data.reset();
    }

    const std::string& FileName() const { return _fileName; }

private:
    static std::shared_ptr<const Data> Empty() {
        static const auto empty = std::make_shared<const Data>();
        return empty;
    }

    std::shared_ptr<const Data> Load(const std::string& path) {
        nlohmann::json doc;
        std::string error;
        switch (ReadJsonFile(path, &doc, &error)) {
        case JsonReadResult::Missing:
            return Empty();
        case JsonReadResult::Ok: {
            auto data = std::make_shared<Data>();
            if (_parser(doc, data.get(), &error)) return data;
            break;
        }
        case JsonReadResult::Malformed:
            break;
        }
        const std::string line = _fileName + " is malformed and is ignored: " + error;
        x_log(0, line.c_str());
        return Empty();
    }

    std::string _fileName;
    Parser _parser;
    std::mutex _mutex;
    std::string _path;
    FileStamp _stamp;
    std::shared_ptr<const Data> _data;
};

// Letter-case-insensitive comparison of ASCII letters; other bytes compare as they are.
bool EqualsNoCase(const std::string& a, const std::string& b);

} // namespace kwcompany
