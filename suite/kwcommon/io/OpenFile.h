// The state of one open record-managed file: its database, dictionary, lock file, record
// buffers, walk batches and prepared statements. Internal to the record manager.
#pragma once

#include "SqliteHandle.h"

#include "kwcommon/kwStoredFile.h"
#include "kwcommon/xio_dict.h"

#include <array>
#include <chrono>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kwio {

// One field value in a buffer: numbers in number, texts in text.
struct FieldValue {
    double number = 0.0;
    std::string text;
};

using Row = std::vector<FieldValue>;

// The ways a keyed read finds its record; each has one prepared statement per key.
enum class Seek { Exact, AtOrAfter, After, Before, First, Last };
constexpr size_t kSeekKinds = 6;

// Rows read ahead for a walk without lock.
struct WalkBatch {
    short key = -1;
    bool backwards = false;
    std::vector<Row> rows;
    std::vector<int64_t> rowids;
    size_t next = 0;            // index of the next row to hand out
    uint64_t generation = 0;    // process-wide write generation when read
    std::chrono::steady_clock::time_point readAt{};
    size_t size = 16;           // rows to read next time (grows for long walks)
    bool exhausted = false;     // the last read reached the end
    short failure = 0;          // the read stopped at an error: answered once the rows before it are used
    std::string failureDetail;
};

// A key of a record type with its statements, prepared on first use.
struct KeyAccess {
    const xio_key_def* def = nullptr;
    std::vector<int> columns;   // indexes into the buffer's values of the key's fields
    std::array<Statement, kSeekKinds> seek;
};

// One record type's buffer, its current record, its locks and its statements.
struct RecordBuffer {
    const xio_rec_def* def = nullptr;
    Row values;                 // index = field number - def->firstField
    int64_t rowid = 0;          // current record, 0: none
    Row keySnapshot;            // key fields of the current record as read
    short snapshotKey = -1;     // the key whose fields keySnapshot holds; -1: every key's
    Row scratch;                // the current record read again for another key's snapshot
    std::set<int64_t> locked;   // rowids locked through this file
    WalkBatch batch;
    std::vector<int> keyColumns; // indexes into values of every field used by a key
    std::vector<KeyAccess> keys; // index = key number; def null where the type has no such key
    bool tablePresent = true;   // false only in a file opened without writing that lacks the table
    Statement insert, update, remove, byRowid, count;
};

// Where a field's value lives: a record buffer (or the header when buffer is null) and
// the index in it.
struct FieldSlot {
    RecordBuffer* buffer = nullptr;
    short index = -1;
    bool header = false;
    bool text = false;          // the field holds text (else a number)
    const xio_fld_def* def = nullptr;
};

// How a file was opened, beyond the three flags of the open call.
struct OpenOptions {
    bool create = false;
    bool readOnly = false;
    bool exclusive = false;
    std::string minimumDataVersion; // older files are refused unless forUpgrade
    bool forUpgrade = false;
};

struct OpenFile {
    short number = 0;
    std::string abbrev;
    std::string path;          // data file; empty for a dictionary alone
    bool dictionaryOnly = false;
    bool readOnly = false;
    std::string readOnlyReason; // why writes are refused (asked for, or a folder without rights)
    bool exclusive = false;
    bool network = false;      // on a network file system: rollback journal, no write-ahead log
    bool damaged = false;      // a call met damage: nothing more is written through this open
    short programNumber = 0;
    std::shared_ptr<const kwDictionary> dict;
    Database db;
    kwFileLock locks;
    bool haveLocks = false;    // false only for a reader in a folder where no lock file can be made
    std::map<short, RecordBuffer> buffers;
    std::vector<FieldSlot> slots; // index = field number
    Row header;
    std::set<std::string> missingColumns; // "table.column" absent from a file opened without writing
    bool headerLocked = false;
    bool headerRead = false;
    bool countsKept = true;    // the file keeps its record counts (kw_count)
    short status = 0;
    std::string detail;        // last error detail
    std::string storedDataVersion; // the dictionary's data version the file's data is at
    Statement headerSelect, headerUpdate;
    // The statements of positioned reads (KeyPositions.cpp) and the data-version pragma, by
    // their text: their shape follows the selection asked for (record type, key, values).
    std::map<std::string, Statement> positioned;

    // Finalises the statements before the database closes.
    void CloseDatabase();
};

} // namespace kwio
