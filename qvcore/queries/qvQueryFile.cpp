// The saved-query file: locking, reading, and in-place changes by shifting bytes.
#include "qvcore/queries/qvQueryFile.h"

#include "kwcommon/kwStoredFile.h"
#include "kwcommon/paths/kwPath.h"
#include "kwcommon/x_alloc.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/x_value_def.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <set>
#include <stdio.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int32_t kChunkMax = 65000;

int g_lockAttempts = 10;
int g_lockIntervalMs = 1000;

// The fatal faults of the file format end the program with the reason and the file name.
[[noreturn]] void Fatal(const query_file_info* info, const char* reason) {
    char text[QFI_PATH_SIZE + 128];
    std::snprintf(text, sizeof(text), "%s.\r\r%s", reason, info->fileName);
    x_abort(info->fileNumber, text);
}

bool HasTerminator(const char* text, size_t size);

std::set<std::string>& ReportedDamage() {
    static std::set<std::string> files;
    return files;
}

// Damage is shown once for each state of the file (its size, time of last change and
// first bytes), so a view that reads the file again and again does not repeat it, while
// the file changed in any way (repaired, replaced, damaged anew) is reported again. A
// writer's refusal is always shown: a save that did nothing must say so.
void ReportDamage(query_file_info* info, const std::string& what, bool always) {
    info->damaged = 1;
    struct stat state {};
    ::fstat(info->handle, &state);
    std::string head(kChunkMax, '\0');
    const ssize_t got = ::pread(info->handle, head.data(), head.size(), 0);
    head.resize(got > 0 ? static_cast<size_t>(got) : 0);
    const std::string key = std::string(info->fileName) + "|" + std::to_string(state.st_size) + "|" +
                            std::to_string(state.st_mtim.tv_sec) + "." + std::to_string(state.st_mtim.tv_nsec) +
                            "|" + std::to_string(std::hash<std::string>{}(head));
    const bool first = ReportedDamage().insert(key).second;
    if (!first && !always) return;
    const std::string line = std::string("Damaged query file ") + info->fileName + ": " + what;
    x_log(info->fileNumber, line.c_str());
    xw_wr_message(0, XW_ERROR, qvQueryFileDamageText(info->fileName).c_str(), 0);
}

// Damage met while a bracket works on the file: a reader answers nothing further, a writer
// stops before it writes onto it.
void Damaged(query_file_info* info, const std::string& what) {
    if (info->openMode == 0) {
        x_log(info->fileNumber, (std::string("Damaged query file ") + info->fileName + ": " + what).c_str());
        Fatal(info, "Damaged query file");
    }
    ReportDamage(info, what, false);
}

bool HasTerminator(const char* text, size_t size) {
    return std::memchr(text, 0, size) != nullptr;
}

// The name as stored: at most 30 bytes, cut on a character boundary, zero-filled.
void CopyName(char (&target)[QFI_NAME_SIZE], const char* source) {
    std::memset(target, 0, sizeof(target));
    const std::string cut =
        x_utf8_cut(std::string_view(source, strnlen(source, QFI_NAME_SIZE)), QFI_NAME_SIZE - 1);
    std::memcpy(target, cut.data(), cut.size());
}

int32_t DirectoryEnd(int count) {
    return QFI_HEADER_SIZE + QFI_DIR_ENTRY_SIZE * count;
}

void ShowRefusal(const char* text) {
    xw_wr_message(0, XW_ERROR, text, 0);
}

bool ConditionCountFits(const query_def* query) {
    if (query->condCount < 0 || query->condCount > QFI_MAX_CONDITIONS) {
        char text[128];
        std::snprintf(text, sizeof(text), "A query cannot hold more than %d conditions.",
                      QFI_MAX_CONDITIONS);
        ShowRefusal(text);
        return false;
    }
    return true;
}

// The caller computes the record length; one that disagrees with the query would leave
// the directory pointing at the wrong bytes, so it is a programming fault.
void CheckLength(query_file_info* info, const query_def* query, int32_t length) {
    int32_t expected = 0;
    _qfi_get_query_size(query, &expected);
    if (length != expected) Fatal(info, "Invalid query length");
}

// false (after reporting) when the entry does not point at a record inside the file.
bool CheckEntry(query_file_info* info, const query_dir_def* entry) {
    const int32_t fileLength = info->header.length;
    if (!HasTerminator(entry->name, sizeof(entry->name)) || entry->offset < info->header.first ||
        entry->length < QFI_QUERY_DEF_DISK_SIZE || entry->offset > fileLength - entry->length) {
        Damaged(info, "a directory entry points outside the file");
        return false;
    }
    return true;
}

// What is wrong with the header and directory of the open file; "" when they describe a
// file this code can work on without reading past it or moving one record onto another.
std::string StructureFault(const query_file_info* info) {
    const query_hdr_def& h = info->header;
    if (h.count < 0 || h.count > QFI_MAX_QUERIES) return "impossible number of queries";
    if (h.first != DirectoryEnd(h.count)) return "the first record offset does not follow the directory";
    if (h.length < h.first) return "the file length lies inside the directory";
    struct stat file {};
    if (::fstat(info->handle, &file) != 0) return std::string("cannot be examined: ") + std::strerror(errno);
    if (file.st_size < h.length) return "the file is shorter than its header says";
    if (h.count == 0) return "";
    std::vector<query_dir_def> directory(static_cast<size_t>(h.count));
    if (!qvQueryFileReadAt(info->handle, QFI_HEADER_SIZE, directory.data(), directory.size() * sizeof(query_dir_def)))
        return "the directory cannot be read";
    std::vector<std::pair<int32_t, int32_t>> spans;
    for (const query_dir_def& entry : directory) {
        if (!HasTerminator(entry.name, sizeof(entry.name))) return "a query name has no end";
        if (entry.offset < h.first || entry.length < QFI_QUERY_DEF_DISK_SIZE ||
            entry.offset > h.length - entry.length)
            return "a directory entry points outside the file";
        if ((entry.length - QFI_QUERY_DEF_DISK_SIZE) % XC_COND_SIZE != 0)
            return "a record length is no whole number of conditions";
        spans.emplace_back(entry.offset, entry.length);
    }
    std::sort(spans.begin(), spans.end());
    for (size_t i = 1; i < spans.size(); ++i) {
        if (spans[i - 1].first + spans[i - 1].second > spans[i].first) return "two records overlap";
    }
    return "";
}

// Reads the directory as it stands, also in the middle of a change when its offsets are
// not yet consistent with the header.
query_dir_def* ReadDirectory(query_file_info* info) {
    const int count = info->header.count;
    if (count <= 0) return nullptr;
    if (count > QFI_MAX_QUERIES) {
        Damaged(info, "impossible number of queries");
        return nullptr;
    }
    const auto size = static_cast<unsigned short>(count * QFI_DIR_ENTRY_SIZE);
    auto* directory = static_cast<query_dir_def*>(_qfi_alloc(size, 0));
    _qfi_seek(info, QFI_HEADER_SIZE, SEEK_SET);
    _qfi_read(info, directory, size);
    return directory;
}

void WriteDirectory(query_file_info* info, const query_dir_def* directory) {
    const int count = info->header.count;
    if (count <= 0 || !directory) return;
    _qfi_seek(info, QFI_HEADER_SIZE, SEEK_SET);
    _qfi_write(info, directory, static_cast<unsigned short>(count * QFI_DIR_ENTRY_SIZE));
}

void InitialHeader(query_hdr_def* header) {
    std::memset(header, 0, sizeof(*header));
    std::memcpy(header->version, QFI_FILE_VERSION, std::strlen(QFI_FILE_VERSION) + 1);
    header->count = 0;
    header->first = QFI_HEADER_SIZE;
    header->length = QFI_HEADER_SIZE;
}

// Creates the file with its empty header, written beside and placed only if the name is
// still free: no workstation ever opens a file without a header, and one made meanwhile
// by another workstation is never replaced. true when the file is there afterwards,
// made by us or by the other; false with errno set when it could not be made.
bool CreateFile(const query_file_info* info) {
    query_hdr_def header;
    InitialHeader(&header);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const std::string bytes(reinterpret_cast<const char*>(&header), sizeof(header));
    if (kwStoredFile::Write(info->fileName, bytes, nullptr, 0666 & ~mask,
                            kwStoredFile::Place::NoReplace))
        return true;
    return errno == EEXIST;
}

// One lock attempt in the manner of a blocking byte-range lock: it keeps trying for a
// bounded time (attempts x interval) and then gives up. Readers share the byte, a writer
// holds it alone, so no reader ever sees a half-shifted file. The lock belongs to the open
// file description and dies with it.
bool LockByteZero(int fd, bool exclusive) {
    kwFileLock lock;
    lock.Attach(fd);
    return lock.Acquire(0, std::chrono::milliseconds(static_cast<int64_t>(g_lockAttempts) * g_lockIntervalMs),
                        exclusive);
}

bool TakeLockAsking(query_file_info* info, bool exclusive) {
    bool locked = false;
    while (true) {
        x_wait_on("");
        locked = LockByteZero(info->handle, exclusive);
        x_wait_off();
        if (locked) break;
        char text[256];
        std::snprintf(text, sizeof(text), "Unable to lock %.160s.", info->fileName);
        if (xw_wr_message(0, XW_RETRY, text, 0) != XW_ANSWER_RETRY) break;
    }
    return locked;
}

void CloseHandle(query_file_info* info) {
    if (info->handle >= 0) ::close(info->handle);
    info->handle = -1;
}

} // namespace

int qvQueryNameCompare(const char* left, const char* right) {
    const auto* a = reinterpret_cast<const unsigned char*>(left);
    const auto* b = reinterpret_cast<const unsigned char*>(right);
    while (true) {
        int ca = *a, cb = *b;
        if (ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
        if (cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
        if (ca != cb || ca == 0) return ca - cb;
        ++a;
        ++b;
    }
}

bool qvQueryFileReadAt(int fd, int64_t offset, void* buffer, size_t size) {
    char* p = static_cast<char*>(buffer);
    while (size > 0) {
        const ssize_t n = ::pread(fd, p, size, offset);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        offset += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

std::string qvQueryFileDamageText(const std::string& fileName) {
    return "The query file " + fileName + " is damaged; run qvadmin query check.";
}

void qvQueryFileSetLockTiming(int attempts, int intervalMilliseconds) {
    g_lockAttempts = std::max(1, attempts);
    g_lockIntervalMs = std::max(0, intervalMilliseconds);
}

extern "C" {

void _qfi_build_path_name(query_file_info* info) {
    const std::string folder = kwPath::Miscellaneous("");
    const int written = std::snprintf(info->fileName, sizeof(info->fileName), "%s%s",
                                      folder.c_str(), QFI_FILE_NAME);
    // A cut path would name some other file; no workstation could share it.
    if (written < 0 || static_cast<size_t>(written) >= sizeof(info->fileName)) {
        Fatal(info, "Path too long");
    }
}

short _qfi_lock(query_file_info* info, short mode, short errorOption) {
    if (mode != 0 && mode != 1) Fatal(info, "Invalid open mode");
    if (errorOption < 0 || errorOption > 3) Fatal(info, "Invalid error option");
    info->openMode = mode;
    info->damaged = 0;

    const int flags = (mode == 1 ? O_RDONLY : O_RDWR) | O_CLOEXEC;
    info->handle = ::open(info->fileName, flags);
    if (info->handle < 0) {
        switch (errorOption) {
        case 0:
            x_io_abort(info->fileNumber, info->fileName);
        case 1:
            x_io_error_report(info->fileNumber, info->fileName);
            info->handle = -1;
            return 0;
        case 2:
            // Made by us or, at the same moment, by another workstation: either way the
            // file is opened as any existing one, and its header read under the lock.
            if (x_io_status() != 3 || !CreateFile(info) || (info->handle = ::open(info->fileName, flags)) < 0) {
                x_io_error_report(info->fileNumber, info->fileName);
                info->handle = -1;
                return 0;
            }
            break;
        default:
            info->handle = -1;
            return 0;
        }
    }

    if (info->lockFlag && !TakeLockAsking(info, mode == 0)) {
        if (errorOption == 0) x_io_abort(info->fileNumber, info->fileName);
        CloseHandle(info);
        return 0;
    }

    std::string fault;
    if (!qvQueryFileReadAt(info->handle, 0, &info->header, sizeof(info->header))) {
        fault = "the file is shorter than its header";
    } else if (info->header.version[0] != '1' || info->header.version[2] != '0') {
        _qfi_unlock(info);
        xw_wr_message(0, XW_INCOMPATIBLE, "Incompatible query file.", 0);
        return 0;
    } else {
        fault = StructureFault(info);
    }
    if (!fault.empty()) {
        if (mode == 0 && errorOption == 0) Damaged(info, fault);
        // A writer is told every time: its change is not made.
        ReportDamage(info, fault, mode == 0);
        _qfi_unlock(info);
        return 0;
    }
    _qfi_seek(info, 0, SEEK_SET);
    return 1;
}

void _qfi_unlock(query_file_info* info) {
    if (info->handle < 0) return;
    if (info->lockFlag) {
        kwFileLock lock;
        lock.Attach(info->handle);
        lock.Unlock(0);
    }
    CloseHandle(info);
}

void _qfi_seek(query_file_info* info, int32_t offset, int whence) {
    if (::lseek(info->handle, offset, whence) < 0) x_io_abort(info->fileNumber, info->fileName);
}

void _qfi_read(query_file_info* info, void* buffer, unsigned short size) {
    char* p = static_cast<char*>(buffer);
    size_t left = size;
    while (left > 0) {
        const ssize_t n = ::read(info->handle, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            x_io_abort(info->fileNumber, info->fileName);
        }
        if (n == 0) {
            // Only a file changed behind the lock comes up short after _qfi_lock's checks.
            if (info->openMode == 0) Fatal(info, "End of file");
            std::memset(p, 0, left);
            Damaged(info, "a read came up short");
            return;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void _qfi_write(query_file_info* info, const void* buffer, unsigned short size) {
    const char* p = static_cast<const char*>(buffer);
    size_t left = size;
    while (left > 0) {
        const ssize_t n = ::write(info->handle, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            // A full device ends a write short, whether or not some bytes went first.
            if (errno == ENOSPC || errno == EDQUOT) Fatal(info, "Disk is full");
            x_io_abort(info->fileNumber, info->fileName);
        }
        if (n == 0) Fatal(info, "Disk is full");
        p += n;
        left -= static_cast<size_t>(n);
    }
}

void _qfi_read_dir(query_file_info* info, query_dir_def** directory) {
    *directory = ReadDirectory(info);
    bool sound = !info->damaged;
    for (int i = 0; sound && *directory && i < info->header.count; ++i) {
        if (!HasTerminator((*directory)[i].name, QFI_NAME_SIZE)) {
            Damaged(info, "a query name has no end");
            sound = false;
        }
    }
    if (!sound) {
        // A reader goes on as with a file without queries.
        _qfi_free(*directory);
        *directory = nullptr;
        info->header.count = 0;
    }
}

void _qfi_write_dir(query_file_info* info, const query_dir_def* entry) {
    _qfi_seek(info, DirectoryEnd(info->header.count), SEEK_SET);
    _qfi_write(info, entry, QFI_DIR_ENTRY_SIZE);
}

void _qfi_write_hdr(query_file_info* info) {
    _qfi_seek(info, 0, SEEK_SET);
    _qfi_write(info, &info->header, QFI_HEADER_SIZE);
}

short _qfi_read_query(query_file_info* info, const char* name, query_def* query,
                      query_dir_def* entry, short withConditions) {
    query_dir_def* directory = nullptr;
    _qfi_read_dir(info, &directory);
    short found = 0;
    for (int i = 0; i < info->header.count; ++i) {
        if (qvQueryNameCompare(directory[i].name, name) == 0) {
            found = static_cast<short>(i + 1);
            if (entry) *entry = directory[i];
            if (query) _qfi_read_this_query(info, query, &directory[i], withConditions);
            if (info->damaged) found = 0;
            break;
        }
    }
    _qfi_free(directory);
    return found;
}

void _qfi_read_this_query(query_file_info* info, query_def* query, const query_dir_def* entry,
                          short withConditions) {
    std::memset(query, 0, sizeof(*query));
    query->conditions = nullptr;
    if (!CheckEntry(info, entry)) return;
    _qfi_seek(info, entry->offset, SEEK_SET);
    _qfi_read(info, query, QFI_QUERY_DEF_DISK_SIZE);
    std::memset(query->diskPointer, 0, sizeof(query->diskPointer));
    if (info->damaged || !HasTerminator(query->name, sizeof(query->name)) || query->condCount < 0 ||
        query->condCount > QFI_MAX_CONDITIONS ||
        QFI_QUERY_DEF_DISK_SIZE + XC_COND_SIZE * query->condCount > entry->length) {
        if (!info->damaged) Damaged(info, "a query record does not fit its directory entry");
        std::memset(query, 0, sizeof(*query));
        query->conditions = nullptr;
        return;
    }
    if (withConditions && query->condCount > 0) {
        const auto size = static_cast<unsigned short>(query->condCount * XC_COND_SIZE);
        query->conditions = static_cast<xc_cond_def*>(_qfi_alloc(size, 1));
        // Older records carry conditions this library cannot read; they stay empty.
        if (std::strncmp(query->version, QFI_RECORD_VERSION, sizeof(query->version)) == 0) {
            _qfi_read(info, query->conditions, size);
        }
    }
}

void _qfi_free_query_cond(query_def* query) {
    if (query->condCount > 0 && query->conditions) {
        _qfi_free(query->conditions);
        query->conditions = nullptr;
        query->condCount = 0;
    }
}

void _qfi_get_query_size(const query_def* query, int32_t* length) {
    *length = QFI_QUERY_DEF_DISK_SIZE + XC_COND_SIZE * static_cast<int32_t>(query->condCount);
}

short _qfi_write_query(query_file_info* info, const query_def* query, int32_t offset) {
    if (!ConditionCountFits(query)) return 0;
    if (query->condCount > 0 && !query->conditions) Fatal(info, "Invalid query conditions");
    unsigned char disk[QFI_QUERY_DEF_DISK_SIZE];
    query_def copy;
    std::memcpy(&copy, query, sizeof(copy));
    CopyName(copy.name, query->name);
    std::memset(copy.diskPointer, 0, sizeof(copy.diskPointer));
    std::memcpy(disk, &copy, sizeof(disk));
    _qfi_seek(info, offset, SEEK_SET);
    _qfi_write(info, disk, sizeof(disk));
    if (query->condCount > 0) {
        _qfi_write(info, query->conditions,
                   static_cast<unsigned short>(query->condCount * XC_COND_SIZE));
    }
    return 1;
}

short _qfi_create_this_query(query_file_info* info, int32_t length) {
    if (info->header.count >= QFI_MAX_QUERIES) {
        char text[128];
        std::snprintf(text, sizeof(text), "The query file cannot hold more than %d queries.",
                      QFI_MAX_QUERIES);
        ShowRefusal(text);
        return 0;
    }
    if (!ConditionCountFits(&info->query)) return 0;
    if (info->query.condCount > 0 && !info->query.conditions) {
        Fatal(info, "Invalid query conditions");
    }
    CheckLength(info, &info->query, length);

    const int count = info->header.count;
    const int32_t end = info->header.length;
    const int32_t directoryEnd = DirectoryEnd(count);

    // Nothing has moved when this fails: the directory and records stay as they were.
    if (!_qfi_shift_bytes(info, end - directoryEnd, QFI_DIR_ENTRY_SIZE, 0, directoryEnd)) return 0;

    query_dir_def entry;
    _qfi_fill_dir_entry(info, &entry, &info->query, length);
    _qfi_write_dir(info, &entry);

    info->header.count = static_cast<int16_t>(count + 1);
    info->header.first += QFI_DIR_ENTRY_SIZE;
    info->header.length += QFI_DIR_ENTRY_SIZE;
    _qfi_write_hdr(info);
    _qfi_update_dir_entries(info, 0, QFI_DIR_ENTRY_SIZE);

    _qfi_write_query(info, &info->query, info->header.length);
    info->header.length += length;
    _qfi_write_hdr(info);

    query_dir_def* directory = ReadDirectory(info);
    std::stable_sort(directory, directory + info->header.count,
                     [](const query_dir_def& a, const query_dir_def& b) {
                         return qvQueryNameCompare(a.name, b.name) < 0;
                     });
    WriteDirectory(info, directory);
    _qfi_free(directory);
    return 1;
}

short _qfi_rewrite_existing_query(query_file_info* info, const char* name, int32_t length) {
    query_dir_def entry;
    const short index = _qfi_read_query(info, name, nullptr, &entry, 0);
    if (index == 0) return _qfi_create_this_query(info, length);

    if (!ConditionCountFits(&info->query)) return 0;
    if (info->query.condCount > 0 && !info->query.conditions) {
        Fatal(info, "Invalid query conditions");
    }
    CheckLength(info, &info->query, length);
    if (!CheckEntry(info, &entry)) return 0;

    // The name comes from the query being written, so a change of letter case is kept.
    const int32_t oldLength = entry.length;
    CopyName(entry.name, info->query.name);
    _qfi_seek(info, DirectoryEnd(index - 1), SEEK_SET);
    _qfi_write(info, &entry, QFI_DIR_ENTRY_SIZE);

    if (length == oldLength) return _qfi_write_query(info, &info->query, entry.offset);

    const int32_t tail = info->header.length - entry.offset - oldLength;
    const short shifted = _qfi_shift_bytes(info, tail, length, oldLength, entry.offset);
    // A growing shift that fails has moved nothing; a shrinking one has already moved the
    // tail, and the file is only consistent once the query and header follow it.
    if (!shifted && length > oldLength) return 0;
    _qfi_write_query(info, &info->query, entry.offset);
    info->header.length += length - oldLength;
    _qfi_write_hdr(info);
    _qfi_update_dir_entries(info, entry.offset, length - oldLength);
    return shifted;
}

short _qfi_delete_query(query_file_info* info, const query_dir_def* entry, short index) {
    if (index < 0 || index >= info->header.count) Fatal(info, "Invalid query index");
    if (!CheckEntry(info, entry)) return 0;
    // The entry at that place must be the caller's; removing another would lose a query.
    query_dir_def stored;
    _qfi_seek(info, DirectoryEnd(index), SEEK_SET);
    _qfi_read(info, &stored, QFI_DIR_ENTRY_SIZE);
    if (stored.offset != entry->offset || stored.length != entry->length) {
        Fatal(info, "Invalid query index");
    }

    const int32_t recordLength = entry->length;
    const int32_t afterEntry =
        info->header.length - QFI_HEADER_SIZE - QFI_DIR_ENTRY_SIZE * index - QFI_DIR_ENTRY_SIZE;
    short done = _qfi_shift_bytes(info, afterEntry, 0, QFI_DIR_ENTRY_SIZE, DirectoryEnd(index));

    info->header.count = static_cast<int16_t>(info->header.count - 1);
    info->header.first -= QFI_DIR_ENTRY_SIZE;
    info->header.length -= QFI_DIR_ENTRY_SIZE;
    _qfi_write_hdr(info);
    _qfi_update_dir_entries(info, 0, -QFI_DIR_ENTRY_SIZE);

    const int32_t offset = entry->offset - QFI_DIR_ENTRY_SIZE;
    const int32_t afterRecord = info->header.length - offset - recordLength;
    if (!_qfi_shift_bytes(info, afterRecord, 0, recordLength, offset)) done = 0;

    info->header.length -= recordLength;
    _qfi_write_hdr(info);
    _qfi_update_dir_entries(info, offset, -recordLength);
    return done;
}

void _qfi_fill_dir_entry(query_file_info* info, query_dir_def* entry, const query_def* query,
                         int32_t length) {
    std::memset(entry, 0, sizeof(*entry));
    CopyName(entry->name, query->name);
    entry->offset = info->header.length;
    entry->length = length;
}

void _qfi_update_dir_entries(query_file_info* info, int32_t at, int32_t delta) {
    query_dir_def* directory = ReadDirectory(info);
    if (!directory) return;
    for (int i = 0; i < info->header.count; ++i) {
        if (directory[i].offset == at) {
            directory[i].length += delta;
        } else if (directory[i].offset > at) {
            directory[i].offset += delta;
        }
    }
    WriteDirectory(info, directory);
    _qfi_free(directory);
}

short _qfi_shift_bytes(query_file_info* info, int32_t size, int32_t newLength, int32_t oldLength,
                       int32_t position) {
    const bool wasEmpty = size <= 0;
    if (size > 0) {
        int32_t chunk = std::min(size, kChunkMax);
        auto* buffer = static_cast<char*>(_qfi_alloc(static_cast<unsigned short>(chunk), 0));
        if (newLength < oldLength) {
            int32_t source = position + oldLength;
            int32_t target = position + newLength;
            while (size > 0) {
                _qfi_seek(info, source, SEEK_SET);
                _qfi_read(info, buffer, static_cast<unsigned short>(chunk));
                _qfi_seek(info, target, SEEK_SET);
                _qfi_write(info, buffer, static_cast<unsigned short>(chunk));
                source += chunk;
                target += chunk;
                size -= chunk;
                chunk = std::min(chunk, size);
            }
        } else {
            // Back to front, so the overlapping ranges never overwrite unread bytes.
            int32_t source = info->header.length - chunk;
            int32_t target = source + newLength - oldLength;
            while (size > 0) {
                _qfi_seek(info, source, SEEK_SET);
                _qfi_read(info, buffer, static_cast<unsigned short>(chunk));
                _qfi_seek(info, target, SEEK_SET);
                _qfi_write(info, buffer, static_cast<unsigned short>(chunk));
                size -= chunk;
                chunk = std::min(chunk, size);
                source -= chunk;
                target -= chunk;
            }
        }
        _qfi_free(buffer);
    }
    if (newLength < oldLength || wasEmpty) {
        const off_t actual = ::lseek(info->handle, 0, SEEK_END);
        if (actual < 0) x_io_abort(info->fileNumber, info->fileName);
        if (::ftruncate(info->handle, actual - (oldLength - newLength)) != 0) {
            x_io_error_report(info->fileNumber, info->fileName);
            return 0;
        }
    }
    return 1;
}

void* _qfi_alloc(unsigned short size, short clear) {
    return x_alloc(size, clear == 1 ? 1 : 0);
}

void* _qfi_realloc(void* block, unsigned short size) {
    return x_realloc(block, size);
}

void _qfi_free(void* block) {
    if (block) x_free(block);
}

} // extern "C"
