// Calls shared by the record manager's own source files, and the calls that only the data
// library's own classes use.
#pragma once

#include "OpenFile.h"

#include "kwcommon/kwStatus.h"

#include <cstdint>
#include <memory>
#include <string>

namespace kwio {

// The open files by number (index 0 unused).
constexpr short kMaxFiles = 255;
extern std::unique_ptr<OpenFile> g_openFiles[kMaxFiles + 1];

// The open file of a number, or null.
inline OpenFile* Find(short file) { return file >= 1 && file <= kMaxFiles ? g_openFiles[file].get() : nullptr; }

// Status bookkeeping: every call ends through one of these.
short Fail(OpenFile* f, short status, const std::string& detail = {});
short FailSqlite(OpenFile* f, int rc);
inline short Ok(OpenFile* f) {
    f->status = XIO_OK;
    return XIO_OK;
}
// A SQLite result code as a record-manager status.
short StatusOfSqlite(int rc);
// The status of a failed system call from errno.
short StatusOfErrno(int error);

RecordBuffer* Buffer(OpenFile* f, short type);
// Refuses calls that need records on a file opened for its dictionary alone.
short CheckRecordFile(OpenFile* f);

// ASCII letters in upper case: names of fields and tables compare without regard to case.
inline std::string UpperCase(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// Text and phone fields hold text; every other type a number.
inline bool IsText(const xio_fld_def& field) { return field.type == XIO_TEXT || field.type == XIO_PHONE; }

// The empty value of a field: "" or 0, and -1 (no time) for a time.
inline void ResetValue(const xio_fld_def& field, FieldValue& value) {
    value.text.clear();
    value.number = field.type == XIO_TIME ? -1.0 : 0.0;
}

// The buffer slot of a field's value, or null when the file has no such field.
inline FieldValue* Slot(OpenFile* f, short field, const xio_fld_def** def) {
    if (field < 1 || static_cast<size_t>(field) >= f->slots.size()) return nullptr;
    const FieldSlot& slot = f->slots[static_cast<size_t>(field)];
    if (slot.index < 0) return nullptr;
    *def = slot.def;
    return slot.header ? &f->header[static_cast<size_t>(slot.index)]
                       : &slot.buffer->values[static_cast<size_t>(slot.index)];
}
void ReadRow(const kwDictionary& dict, const xio_rec_def& rec, sqlite3_stmt* stmt, int firstColumn, Row& row);
void Bind(const xio_fld_def& field, sqlite3_stmt* stmt, int index, const FieldValue& value);
// Makes rowid the current record and keeps the key fields a walk goes on from: those of
// key (a walk's key), or of every key when key is -1.
void MakeCurrent(RecordBuffer& buffer, int64_t rowid, short key = -1);

// Record locks: 7 when another user holds the record.
short LockRow(OpenFile* f, short type, int64_t rowid);
void UnlockRow(OpenFile* f, short type, int64_t rowid);
// Reads the row with this rowid into the buffer (after locking it when asked).
short ReadByRowid(OpenFile* f, short type, int64_t rowid, bool lock, short key = -1);
// Gives the current record's keySnapshot the fields of every key, read again from the
// file, when it holds only another key's (see MakeCurrent).
void SnapshotFor(OpenFile* f, RecordBuffer& buffer, short key);

// Every write of this process moves the generation on: read-ahead batches of an older
// generation are no longer served.
void BumpGeneration();
uint64_t Generation();

// Lock bytes of the companion lock file.
constexpr int64_t kHeaderByte = 0;
constexpr int64_t kOpenByte = 1;
inline int64_t RecordByte(short recordType, int64_t rowid) { return (static_cast<int64_t>(recordType) << 40) + rowid; }

// The statement kept in slot, prepared from build() on first use and reset on every
// later one; null with the failure recorded when it cannot be prepared.
template <typename Build>
sqlite3_stmt* Ready(OpenFile* f, Statement& slot, Build build) {
    if (slot) {
        sqlite3_reset(slot.get());
        return slot.get();
    }
    slot = Statement(f->db.get(), build());
    if (!slot) {
        FailSqlite(f, sqlite3_errcode(f->db.get()));
        return nullptr;
    }
    return slot.get();
}

// Opens a data file with every option the file classes offer; detail receives the reason
// of a failure in words.
short OpenDataFile(const std::string& abbrev, const std::string& path, short programNumber,
                   const OpenOptions& options, short* fileNumber, std::string* detail);

// The data file of a dictionary: the explicit path when given, else the dictionary's
// default file name in the folder the file control names (else the company folder).
std::string DataFilePath(const kwDictionary& dict, const std::string& explicitPath);

// Connects to a data file for reading only (see xio.h); answers a SQLite result code.
int ConnectForReading(Database& db, const std::string& path);

// Removes what killed creators of data files left in the folder of path (NewFile.cpp).
void RemoveLeftovers(const std::string& folder, const std::string& path);

// Makes a new empty data file of the dictionary at path through the stored-file helper.
short CreateDataFile(const kwDictionary& dict, const std::string& path, bool network, std::string* detail);

// Compares two data versions ("9.8.26" < "13.1.0"): negative, 0 or positive.
int CompareDataVersions(const std::string& a, const std::string& b);

} // namespace kwio
