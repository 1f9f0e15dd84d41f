// The company's small JSON settings files (lists, operators, applications): read into
// parsed form once per change, and rewritten under the file's writer lock through the one
// stored-file helper. Internal to the data library.
#pragma once

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_value_def.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>

namespace kwcompany {

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

// Reads and checks a company file with parser: true with *doc when the file is missing
// (an empty object) or sound; false with *error naming the file and the place when it
// cannot be read, is not JSON or the parser finds a fault.
template <class Data>
bool ReadCompanyFile(const std::string& path, void (*parser)(const kwJsonNode& root, Data* data),
                     nlohmann::json* doc, Data* data, std::string* error) {
    switch (kwJsonLoadFile(path, doc, error, [&](const kwJsonNode& root) { parser(root, data); })) {
    case kwJsonRead::Missing:
        *doc = nlohmann::json::object();
        return true;
    case kwJsonRead::Malformed:
        return false;
    case kwJsonRead::Ok:
        break;
    }
    return true;
}

// One company file parsed into Data, kept until the company or the file changes. A missing
// file reads as an empty Data; so does a malformed one, which also writes one log line
// naming the file and the fault each time a new malformed version is seen.
template <class Data> class CachedCompanyFile {
public:
    // Throws kwJsonError for a fault (see kwJsonFile.h).
    using Parser = void (*)(const kwJsonNode& root, Data* data);

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
        auto data = std::make_shared<Data>();
        if (ReadCompanyFile(path, _parser, &doc, data.get(), &error)) return data;
        x_log(0, (error + " (the file is ignored)").c_str());
        return Empty();
    }

    std::string _fileName;
    Parser _parser;
    std::mutex _mutex;
    std::string _path;
    FileStamp _stamp;
    std::shared_ptr<const Data> _data;
};

// value cut on a character boundary into a fixed text field, the rest of it zeroed.
template <size_t N> void CopyCut(char (&target)[N], const std::string& value) {
    const std::string cut = x_utf8_cut(value, N - 1);
    std::memset(target, 0, N);
    std::memcpy(target, cut.data(), cut.size());
}

// ASCII letters in upper case (file abbreviations, application codes).
std::string Upper(std::string text);

// Letter-case-insensitive comparison of ASCII letters; other bytes compare as they are.
bool EqualsNoCase(const std::string& a, const std::string& b);

} // namespace kwcompany
