// The state of one open record-managed file: its database, dictionary, lock file,
// record buffers, walk batches and prepared statements. Internal to the record manager.
#pragma once

#include "LockFile.h"
#include "SqliteHandle.h"

#include "kwcommon/xio_dict.h"

#include <atomic>
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
};

struct RecordBuffer {
    const xio_rec_def* def = nullptr;
    Row values;                 // index = field number - def->firstField
    int64_t rowid = 0;          // current record, 0: none
    Row keySnapshot;            // key fields of the current record as read
    std::set<int64_t> locked;   // rowids locked through this file
    WalkBatch batch;
    std::vector<int> keyColumns; // indexes into values of every field used by a key
};

struct OpenFile {
    short number = 0;
    std::string abbrev;
    std::string path;          // data file; empty for a dictionary alone
    bool dictionaryOnly = false;
    bool readOnly = false;
    bool exclusive = false;
    short programNumber = 0;
    std::shared_ptr<const kwDictionary> dict;
    Database db;
    LockFile locks;
    std::map<short, RecordBuffer> buffers;
    Row header;
    bool headerLocked = false;
    bool headerRead = false;
    short status = 0;
    std::string detail;        // last error detail
    std::string fileVersion;
    // This process's writes to the file (through any open of it): read-ahead batches
    // read before the last one are stale.
    std::shared_ptr<std::atomic<uint64_t>> writeGeneration = std::make_shared<std::atomic<uint64_t>>(1);
    std::map<std::string, Statement> statements;

    // A cached prepared statement, or null with detail set.
    sqlite3_stmt* Prepare(const std::string& sql);
};

} // namespace kwio
