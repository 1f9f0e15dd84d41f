// Examining a query file for every inconsistency, without changing it.
#include "qvcore/queries/qvQueryFileCheck.h"

#include "qvcore/queries/qvQueryFile.h"

#include "kwcommon/kwStoredFile.h"
#include "kwcommon/xio.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The file stays open (and its shared lock held) for the whole examination.
class Descriptor {
public:
    explicit Descriptor(int fd) : _fd(fd) {}
    ~Descriptor() {
        if (_fd >= 0) ::close(_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return _fd; }

private:
    int _fd;
};

std::string Text(const char* field, size_t size, bool* terminated = nullptr) {
    const size_t length = strnlen(field, size);
    if (terminated) *terminated = length < size;
    return std::string(field, length);
}

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::string Folded(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return folded;
}

struct Span {
    int64_t offset;
    int64_t length;
    std::string name;
};

class Examination {
public:
    Examination(int fd, int64_t size, short issueFile, qvQueryFileCheckResult* result)
        : _fd(fd), _size(size), _issueFile(issueFile), _result(result) {}

    void Run();

private:
    void Problem(const std::string& text) { _result->problems.push_back(text); }
    bool Header();
    void Directory();
    void Layout();
    void Record(const query_dir_def& entry, const std::string& name);
    void Conditions(const std::string& name, const query_def& query, int64_t offset);

    int _fd;
    int64_t _size;
    short _issueFile;
    qvQueryFileCheckResult* _result;
    query_hdr_def _header{};
    int64_t _directoryEnd = 0;
    std::vector<query_dir_def> _directory;
    std::vector<Span> _spans; // records whose entry points inside the file
};

void Examination::Run() {
    if (!Header()) return;
    Directory();
    Layout();
}

bool Examination::Header() {
    if (_size < QFI_HEADER_SIZE || !qvQueryFileReadAt(_fd, 0, &_header, sizeof(_header))) {
        Problem("the file is " + std::to_string(_size) + " bytes long: shorter than its 16-byte header");
        return false;
    }
    bool terminated = false;
    const std::string version = Text(_header.version, sizeof(_header.version), &terminated);
    if (!terminated) Problem("the version text has no end");
    if (_header.version[0] != '1' || _header.version[2] != '0') {
        Problem("version " + Quoted(version) + " is not 1.0.x: this program cannot read the file");
        return false;
    }
    _result->queries = _header.count;
    if (_header.count < 0 || _header.count > QFI_MAX_QUERIES) {
        Problem("the header counts " + std::to_string(_header.count) + " queries; a file holds 0 to " +
                std::to_string(QFI_MAX_QUERIES));
        return false;
    }
    _directoryEnd = QFI_HEADER_SIZE + static_cast<int64_t>(QFI_DIR_ENTRY_SIZE) * _header.count;
    if (_header.first != _directoryEnd) {
        Problem("the header puts the first record at offset " + std::to_string(_header.first) + "; after " +
                std::to_string(_header.count) + " directory entries it is " + std::to_string(_directoryEnd));
    }
    if (_header.length != _size) {
        Problem("the header gives the file length as " + std::to_string(_header.length) + " bytes; the file has " +
                std::to_string(_size));
    }
    if (_directoryEnd > _size) {
        Problem("the directory of " + std::to_string(_header.count) + " entries runs past the end of the file");
        return false;
    }
    return true;
}

void Examination::Directory() {
    _directory.resize(static_cast<size_t>(_header.count));
    if (!_directory.empty() &&
        !qvQueryFileReadAt(_fd, QFI_HEADER_SIZE, _directory.data(), _directory.size() * sizeof(query_dir_def))) {
        Problem("the directory cannot be read");
        _directory.clear();
        return;
    }
    std::map<std::string, std::string> seen; // folded name -> name as stored
    std::string previous;
    for (size_t i = 0; i < _directory.size(); ++i) {
        const query_dir_def& entry = _directory[i];
        const std::string where = "directory entry " + std::to_string(i + 1);
        bool terminated = false;
        const std::string name = Text(entry.name, sizeof(entry.name), &terminated);
        if (!terminated) {
            Problem(where + ": the name has no end");
            continue;
        }
        if (name.empty()) Problem(where + ": the name is empty");
        const auto [known, added] = seen.emplace(Folded(name), name);
        if (!added) Problem("queries " + Quoted(known->second) + " and " + Quoted(name) + " have the same name");
        if (i > 0 && qvQueryNameCompare(previous.c_str(), name.c_str()) > 0)
            Problem(where + ": " + Quoted(name) + " stands after " + Quoted(previous) + ": the directory is not in name order");
        previous = name;

        const std::string query = "query " + Quoted(name);
        if (entry.length < QFI_QUERY_DEF_DISK_SIZE || entry.offset < _directoryEnd ||
            static_cast<int64_t>(entry.offset) + entry.length > _size) {
            Problem(query + ": its record (offset " + std::to_string(entry.offset) + ", length " +
                    std::to_string(entry.length) + ") lies outside the query records");
            continue;
        }
        if ((entry.length - QFI_QUERY_DEF_DISK_SIZE) % XC_COND_SIZE != 0) {
            Problem(query + ": the record length " + std::to_string(entry.length) +
                    " is no whole number of conditions (43 bytes and 210 per condition)");
        }
        _spans.push_back({entry.offset, entry.length, name});
        Record(entry, name);
    }
}

// The records fill the space after the directory exactly, one after the other.
void Examination::Layout() {
    std::vector<Span> spans = _spans;
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.offset < b.offset; });
    int64_t expected = _directoryEnd;
    const Span* last = nullptr;
    for (const Span& span : spans) {
        if (span.offset > expected) {
            Problem("bytes " + std::to_string(expected) + " to " + std::to_string(span.offset - 1) +
                    " belong to no query");
        } else if (span.offset < expected && last) {
            Problem("the records of queries " + Quoted(last->name) + " and " + Quoted(span.name) + " overlap");
        }
        if (span.offset + span.length > expected) {
            expected = span.offset + span.length;
            last = &span;
        }
    }
    const int64_t end = _size;
    if (expected < end) {
        Problem("bytes " + std::to_string(expected) + " to " + std::to_string(end - 1) +
                " after the last record belong to no query");
    }
}

void Examination::Record(const query_dir_def& entry, const std::string& name) {
    const std::string query = "query " + Quoted(name);
    query_def record{};
    if (!qvQueryFileReadAt(_fd, entry.offset, &record, QFI_QUERY_DEF_DISK_SIZE)) {
        Problem(query + ": its record cannot be read");
        return;
    }
    bool terminated = false;
    const std::string stored = Text(record.name, sizeof(record.name), &terminated);
    if (!terminated)
        Problem(query + ": the name in its record has no end");
    else if (stored != name)
        Problem(query + ": its record is named " + Quoted(stored));
    const std::string version = Text(record.version, sizeof(record.version), &terminated);
    const bool readable = terminated && version == QFI_RECORD_VERSION;
    if (!readable) {
        Problem(query + ": record version " + Quoted(version) + " is not " + QFI_RECORD_VERSION +
                ", so its conditions cannot be read");
    }
    const int64_t holds = (entry.length - QFI_QUERY_DEF_DISK_SIZE) / XC_COND_SIZE;
    if (record.condCount < 0 || record.condCount != holds) {
        Problem(query + ": the record says " + std::to_string(record.condCount) + " conditions; its length holds " +
                std::to_string(holds));
    } else if (readable) {
        Conditions(name, record, entry.offset + QFI_QUERY_DEF_DISK_SIZE);
    }
    if (_issueFile && record.order != 0) {
        xio_key_def key{};
        if (record.order < 0 || xio_get_key_def(_issueFile, record.order, &key, 1) != XIO_OK)
            Problem(query + ": its sort order " + std::to_string(record.order) + " is no key of the issue file");
    }
}

void Examination::Conditions(const std::string& name, const query_def& query, int64_t offset) {
    for (int k = 0; k < query.condCount; ++k) {
        xc_cond_def condition{};
        const std::string where = "query " + Quoted(name) + ", condition " + std::to_string(k + 1);
        if (!qvQueryFileReadAt(_fd, offset + static_cast<int64_t>(k) * XC_COND_SIZE, &condition, sizeof(condition))) {
            Problem(where + ": cannot be read");
            return;
        }
        if (condition.comparison < XC_EQUAL || condition.comparison > XC_COMPARISON_LAST)
            Problem(where + ": unknown comparison " + std::to_string(condition.comparison));
        if (condition.connector != XC_AND && condition.connector != XC_OR)
            Problem(where + ": unknown connector " + std::to_string(condition.connector));
        bool terminated = false;
        const std::string field = Text(condition.fieldName, sizeof(condition.fieldName), &terminated);
        if (!terminated) {
            Problem(where + ": the field name has no end");
        } else if (_issueFile) {
            xio_fld_def def{};
            const bool known = field.empty() ? xio_get_fld_def(_issueFile, condition.field, &def, 1, 1) == XIO_OK
                                             : xio_num(_issueFile, 0, 0, field.c_str()) != 0;
            if (!known)
                Problem(where + ": the issue file has no field " +
                        (field.empty() ? std::to_string(condition.field) : field));
        }
    }
}

} // namespace

qvQueryFileCheckResult qvCheckQueryFile(const std::string& path, short issueFile) {
    qvQueryFileCheckResult result;
    Descriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        if (errno == ENOENT) return result;
        result.exists = true;
        result.problems.push_back("the file cannot be opened: " + std::string(std::strerror(errno)));
        return result;
    }
    result.exists = true;
    // Shared with readers; a writer in the middle of a change is waited for.
    kwFileLock lock;
    lock.Attach(file.Get());
    if (!lock.Acquire(0, std::chrono::seconds(10), false)) {
        result.locked = true;
        return result;
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        result.problems.push_back("the file cannot be examined: " + std::string(std::strerror(errno)));
        return result;
    }
    Examination(file.Get(), info.st_size, issueFile, &result).Run();
    return result;
}
