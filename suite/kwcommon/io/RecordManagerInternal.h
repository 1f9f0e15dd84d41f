// Calls shared by the record manager's own source files, and the calls that only the data
// library's own classes use.
#pragma once

#include "OpenFile.h"

#include <cstdint>
#include <string>

namespace kwio {

// The open file of a number, or null.
OpenFile* Find(short file);

// Status bookkeeping: every call ends through one of these.
short Fail(OpenFile* f, short status, const std::string& detail = {});
short FailSqlite(OpenFile* f, int rc);
short Ok(OpenFile* f);
// A SQLite result code as a record-manager status.
short StatusOfSqlite(int rc);
// The status of a failed system call from errno.
short StatusOfErrno(int error);

RecordBuffer* Buffer(OpenFile* f, short type);
// The buffer slot of a field's value, or null when the file has no such field.
FieldValue* Slot(OpenFile* f, short field, const xio_fld_def** def);
// Refuses calls that need records on a file opened for its dictionary alone.
short CheckRecordFile(OpenFile* f);

bool IsText(const xio_fld_def& field);
void ResetValue(const xio_fld_def& field, FieldValue& value);
void ReadRow(const kwDictionary& dict, const xio_rec_def& rec, sqlite3_stmt* stmt, int firstColumn, Row& row);
void Bind(const xio_fld_def& field, sqlite3_stmt* stmt, int index, const FieldValue& value);
void MakeCurrent(RecordBuffer& buffer, int64_t rowid);

// Record locks: 7 when another user holds the record.
short LockRow(OpenFile* f, short type, int64_t rowid);
void UnlockRow(OpenFile* f, short type, int64_t rowid);
// Reads the row with this rowid into the buffer (after locking it when asked).
short ReadByRowid(OpenFile* f, short type, int64_t rowid, bool lock);

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

// Makes a new empty data file of the dictionary at path through the stored-file helper.
short CreateDataFile(const kwDictionary& dict, const std::string& path, bool network, std::string* detail);

// Compares two data versions ("9.8.26" < "13.1.0"): negative, 0 or positive.
int CompareDataVersions(const std::string& a, const std::string& b);

} // namespace kwio
