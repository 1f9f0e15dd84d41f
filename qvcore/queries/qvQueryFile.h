// The saved-query file qvquery.dat: one binary file per data folder, shared by every
// workstation that works in it. These plain functions (undecorated names) open and lock
// it, read its directory and queries, and add, rewrite and delete queries in place by
// shifting the bytes behind the changed spot. They keep no state of their own: all of it
// is in the caller's query_file_info. Every reader and writer brackets its work between
// _qfi_lock and _qfi_unlock; readers lock with mode 1, the writer with mode 0.
//
// File layout (little-endian, byte-packed):
//   0    16-byte header (query_hdr_def)
//   16   directory: count x 39-byte entries (query_dir_def), in _stricmp order of name
//   ...  query records: a 43-byte query header (the first 43 bytes of query_def), then
//        its conditions, each one 210-byte xc_cond_def
//
// The condition pointer. On disk the 4 bytes at offset 39 of a query header have no
// meaning: this code writes zero there and never reads them. A pointer does not fit
// them on this platform, so in memory query_def carries the pointer to its condition
// array in a member of its own after the 43 disk bytes (offset 43). Only the first
// QFI_QUERY_DEF_DISK_SIZE bytes of a query_def ever reach the file.
//
// Locking. Byte 0 is locked with an open-file-description lock (F_OFD_SETLK), so the lock
// belongs to this open of the file and vanishes with the process that holds it. Readers
// (mode 1) share the byte and a writer (mode 0) holds it alone: a reader never sees a
// half-shifted file, and a reader needs no write permission on the folder.
//
// Memory. query_file_info is caller state only and never reaches the file; it is larger
// than a 16-bit-handle layout would be: the handle is an int and the path buffer holds any
// path the system allows, since a cut path would name another file.
//
// Sizes. Every size handed to the allocator, read and write is 16-bit, so a directory
// stays at or under 1680 entries (65520 bytes) and a query at or under 312 conditions
// (65520 bytes). Adding or writing beyond that is refused with a message before anything
// is written.
//
// Creation. The new 16-byte file is written beside and linked into place only if the name
// is still free (kwStoredFile, NoReplace), so two workstations creating it at once both
// end up with the same whole file. The header is always read from the file once the lock
// is held, never taken from memory: the other creator may have added a query between our
// creation and our lock.
//
// Damage. _qfi_lock checks the header, the file's size and every directory entry (names
// with their zero, records inside the file, no two records overlapping) before it answers
// 1; a record's own header is checked when it is read. A damaged file is never read past.
// A reader (mode 1) shows "The query file <name> is damaged; run qvadmin query check."
// once for each state of the file (again once it has changed), logs what is wrong, marks the
// bracket damaged and answers failure: a damaged side file never ends the program that
// reads it. A writer (mode 0) is refused the same way at _qfi_lock, so nothing is written
// onto damage; damage met in the middle of a change ends the program before it makes the
// file worse (the data library's fatal report, as a short read does).
#pragma once

#include "qvcore/qvcore_export.h"

#include "kwcommon/conditions/xc_cond_def.h"

#include <cstddef>
#include <cstdint>
#include <string>

constexpr int QFI_HEADER_SIZE = 16;
constexpr int QFI_DIR_ENTRY_SIZE = 39;
constexpr int QFI_QUERY_DEF_DISK_SIZE = 43;
constexpr int QFI_NAME_SIZE = 31; // 30 bytes of name and the terminating zero
constexpr int QFI_MAX_QUERIES = 1680;
constexpr int QFI_MAX_CONDITIONS = 312;
constexpr int QFI_PATH_SIZE = 4096;
inline constexpr const char* QFI_FILE_VERSION = "1.0.0";
inline constexpr const char* QFI_RECORD_VERSION = "1.3";
inline constexpr const char* QFI_FILE_NAME = "qvquery.dat";

#pragma pack(push, 1)

struct query_hdr_def {
    char version[6]; // 0  "1.0.0" and its zero
    int16_t count;   // 6  number of queries
    int32_t first;   // 8  offset of the first query record = 16 + 39 x count
    int32_t length;  // 12 file length: just past the last record
};

struct query_dir_def {
    char name[QFI_NAME_SIZE]; // 0  query name, zero-terminated
    int32_t offset;           // 31 offset of the query record
    int32_t length;           // 35 length of the query record
};

struct query_def {
    char name[QFI_NAME_SIZE]; // 0  query name (the same as the directory entry's)
    int16_t order;            // 31 sort order: 0 primary, else an alternate key number
    char version[4];          // 33 record version, "1.3"
    int16_t condCount;        // 37 number of conditions
    uint8_t diskPointer[4];   // 39 meaningless on disk: written as zero, ignored on reading
    xc_cond_def* conditions;  // 43 in memory only: the condition array (null when none)
};

#pragma pack(pop)

static_assert(sizeof(query_hdr_def) == QFI_HEADER_SIZE);
static_assert(offsetof(query_hdr_def, count) == 6);
static_assert(offsetof(query_hdr_def, first) == 8);
static_assert(offsetof(query_hdr_def, length) == 12);
static_assert(sizeof(query_dir_def) == QFI_DIR_ENTRY_SIZE);
static_assert(offsetof(query_dir_def, offset) == 31);
static_assert(offsetof(query_dir_def, length) == 35);
static_assert(offsetof(query_def, order) == 31);
static_assert(offsetof(query_def, version) == 33);
static_assert(offsetof(query_def, condCount) == 37);
static_assert(offsetof(query_def, diskPointer) == 39);
static_assert(offsetof(query_def, conditions) == QFI_QUERY_DEF_DISK_SIZE);

// The caller's state for one bracket of work on the file. Allocate it cleared (it is a
// plain record: _qfi_alloc(sizeof(query_file_info), 1) or value-initialised), set the
// file number and the lock flag, then build the file name.
struct query_file_info {
    int handle;                   // open file descriptor; -1 after a failed or ended bracket
    char fileName[QFI_PATH_SIZE]; // full path of the query file
    short fileNumber;             // id handed to the data library's fatal reports
    short lockFlag;               // nonzero: lock byte 0 while the file is open
    query_hdr_def header;         // the file's header, valid inside one bracket
    query_def query;              // the query being read or written
    short openMode;               // mode of the open bracket (0 writer, 1 reader)
    short damaged;                // nonzero: this bracket found the file damaged; the
                                  // reads that found it answered nothing
};

extern "C" {

// fileName = the company's miscellaneous folder followed directly by "qvquery.dat".
QVCORE_EXPORT void _qfi_build_path_name(query_file_info* info);

// Opens and locks the file. mode 0 read and write, 1 read only. errorOption when the
// open fails: 0 fatal, 1 reported (result 0), 2 create the file when it is absent,
// 3 silent (result 0). Answers 1 open and locked, 0 not open.
QVCORE_EXPORT short _qfi_lock(query_file_info* info, short mode, short errorOption);
// Unlocks byte 0 (when the lock flag is set) and closes; handle becomes -1.
QVCORE_EXPORT void _qfi_unlock(query_file_info* info);

QVCORE_EXPORT void _qfi_seek(query_file_info* info, int32_t offset, int whence);
// Read or write exactly size bytes at the current position (fatal otherwise).
QVCORE_EXPORT void _qfi_read(query_file_info* info, void* buffer, unsigned short size);
QVCORE_EXPORT void _qfi_write(query_file_info* info, const void* buffer, unsigned short size);

// Allocates and reads the whole directory; *directory is null when there are no queries.
// Free it with _qfi_free.
QVCORE_EXPORT void _qfi_read_dir(query_file_info* info, query_dir_def** directory);
// Writes one entry just past the current directory (16 + 39 x count).
QVCORE_EXPORT void _qfi_write_dir(query_file_info* info, const query_dir_def* entry);
QVCORE_EXPORT void _qfi_write_hdr(query_file_info* info);

// Looks name up (case-insensitive). Copies the directory entry to entry and reads the
// query into query when they are not null. Answers the 1-based index, 0 when absent or
// when the file turned out damaged (info->damaged).
QVCORE_EXPORT short _qfi_read_query(query_file_info* info, const char* name, query_def* query,
                      query_dir_def* entry, short withConditions);
// Reads the query that entry points at. With withConditions and a positive count the
// condition array is allocated (cleared) and, for record version "1.3", read.
QVCORE_EXPORT void _qfi_read_this_query(query_file_info* info, query_def* query, const query_dir_def* entry,
                          short withConditions);
QVCORE_EXPORT void _qfi_free_query_cond(query_def* query);
QVCORE_EXPORT void _qfi_get_query_size(const query_def* query, int32_t* length);
// Writes the query header at offset, then its conditions. 0 (with a message) when the
// query holds more conditions than a record can.
QVCORE_EXPORT short _qfi_write_query(query_file_info* info, const query_def* query, int32_t offset);

// Adds the query held in info->query; length = 43 + 210 x its conditions. 1 done, 0 refused
// or not completed (the reason has been shown).
QVCORE_EXPORT short _qfi_create_this_query(query_file_info* info, int32_t length);
// Replaces the query of that name with info->query, or adds it when there is none.
QVCORE_EXPORT short _qfi_rewrite_existing_query(query_file_info* info, const char* name, int32_t length);
// Removes the directory entry at index (0-based position in the directory) and its record;
// entry is the caller's copy of that entry.
QVCORE_EXPORT short _qfi_delete_query(query_file_info* info, const query_dir_def* entry, short index);

QVCORE_EXPORT void _qfi_fill_dir_entry(query_file_info* info, query_dir_def* entry, const query_def* query,
                         int32_t length);
// Rewrites the directory: the entry at offset `at` gets length += delta, entries after it
// offset += delta.
QVCORE_EXPORT void _qfi_update_dir_entries(query_file_info* info, int32_t at, int32_t delta);
// Moves the size bytes that follow a region of oldLength at position so that they follow
// a region of newLength there. 1 done; 0 when the file could not be resized afterwards
// (reported; the bytes have been moved).
QVCORE_EXPORT short _qfi_shift_bytes(query_file_info* info, int32_t size, int32_t newLength, int32_t oldLength,
                       int32_t position);

QVCORE_EXPORT void* _qfi_alloc(unsigned short size, short clear);
QVCORE_EXPORT void* _qfi_realloc(void* block, unsigned short size);
QVCORE_EXPORT void _qfi_free(void* block);

} // extern "C"

// Query names compare like _stricmp: ASCII letters folded to lower case, then bytes as
// unsigned values. Negative, zero or positive.
int qvQueryNameCompare(const char* left, const char* right);

// How long _qfi_lock keeps trying for a lock held elsewhere before it asks the user:
// attempts one interval apart (10 attempts, 1000 ms unless changed; tests shorten it).
void qvQueryFileSetLockTiming(int attempts, int intervalMilliseconds);

// Reads exactly size bytes at offset of an open descriptor, whatever its position;
// false when the file ends first or the read fails.
bool qvQueryFileReadAt(int fd, int64_t offset, void* buffer, size_t size);

// The words of the damage report for a query file.
std::string qvQueryFileDamageText(const std::string& fileName);
