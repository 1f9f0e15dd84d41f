// The record manager on SQLite: one database per data file, one table per record type,
// one index per key, a one-row table for the header. Walks follow a key's order with
// keyset reads (key values and rowid of the current record), never OFFSET; walks
// without lock read a batch of rows ahead. Every write is one SQLite transaction in WAL
// mode, so a process killed at any instant leaves an intact file holding every write
// that answered 0.
#include "OpenFile.h"
#include "RecordManagerInternal.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/xc_file_control.h"
#include "kwcommon/xio.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;
using kwio::FieldValue;
using kwio::OpenFile;
using kwio::RecordBuffer;
using kwio::Row;

namespace {

constexpr int kMaxFiles = 255;
constexpr int kBusyTimeoutMs = 5000;
constexpr auto kBatchLifetime = std::chrono::milliseconds(250);
constexpr size_t kMaxBatch = 512;

std::vector<std::unique_ptr<OpenFile>>& Files() {
    static std::vector<std::unique_ptr<OpenFile>> files(kMaxFiles);
    return files;
}

// Bumped by every write of this process to a data file: read-ahead batches of that file
// older than it are dropped. Kept per file, so that copying one file into another reads
// the first in batches.
std::shared_ptr<std::atomic<uint64_t>> WriteGenerationOf(const std::string& path) {
    static std::map<std::string, std::weak_ptr<std::atomic<uint64_t>>> generations;
    auto& slot = generations[path];
    auto generation = slot.lock();
    if (!generation) {
        generation = std::make_shared<std::atomic<uint64_t>>(1);
        slot = generation;
    }
    return generation;
}

OpenFile* Find(short file) {
    if (file < 1 || file > kMaxFiles) return nullptr;
    return Files()[file - 1].get();
}

std::string Quote(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

// A text as an SQL literal.
std::string SqlText(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

std::string TableName(short recordType) { return "r" + std::to_string(recordType); }
std::string IndexName(short recordType, short key) {
    return "k" + std::to_string(recordType) + "_" + std::to_string(key);
}

bool IsText(const xio_fld_def& field) {
    return field.type == XIO_TEXT || field.type == XIO_PHONE;
}

short StatusOfSqlite(int rc) {
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return XIO_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return XIO_LOCKED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return XIO_CORRUPT;
    case SQLITE_FULL: return XIO_DISK_FULL;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_AUTH: return XIO_NOT_AUTHORISED;
    case SQLITE_CANTOPEN: return XIO_ABSENT;
    case SQLITE_CONSTRAINT: return XIO_DUPLICATE_KEY;
    case SQLITE_IOERR: return XIO_IO_ERROR;
    default: return XIO_FAILED;
    }
}

short Fail(OpenFile* f, short status, const std::string& detail = {}) {
    f->status = status;
    if (!detail.empty()) f->detail = detail;
    return status;
}

short FailSqlite(OpenFile* f, int rc) {
    return Fail(f, StatusOfSqlite(rc), f->db.get() ? sqlite3_errmsg(f->db.get()) : sqlite3_errstr(rc));
}

short Ok(OpenFile* f) {
    f->status = XIO_OK;
    return XIO_OK;
}

std::string ColumnType(const xio_fld_def& field) {
    if (IsText(field)) return field.caseFlag ? "TEXT NOT NULL DEFAULT '' COLLATE NOCASE" : "TEXT NOT NULL DEFAULT ''";
    return "REAL NOT NULL DEFAULT 0";
}

// Schema of every record type, the header and the keys; applied to new and old files
// alike, so a dictionary that gained fields or keys extends the file in place.
std::vector<std::string> SchemaStatements(const kwDictionary& dict, sqlite3* db) {
    std::vector<std::string> sql;
    sql.push_back("CREATE TABLE IF NOT EXISTS kw_meta(name TEXT PRIMARY KEY, value TEXT NOT NULL)");
    auto existingColumns = [db](const std::string& table) {
        std::set<std::string> columns;
        sqlite3_stmt* stmt = nullptr;
        const std::string q = "PRAGMA table_info(" + table + ")";
        if (sqlite3_prepare_v2(db, q.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                std::string name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 1));
                for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                columns.insert(name);
            }
        }
        sqlite3_finalize(stmt);
        return columns;
    };
    auto tableSql = [&](const std::string& table, short first, short count, bool header) {
        const auto existing = existingColumns(table);
        if (existing.empty()) {
            std::string create = "CREATE TABLE " + table + "(";
            if (header) create += "id INTEGER PRIMARY KEY CHECK (id = 1)";
            else create += "rowid INTEGER PRIMARY KEY";
            for (short n = first; n < first + count; ++n) {
                const xio_fld_def& field = *dict.Field(n);
                create += ", " + Quote(field.name) + " " + ColumnType(field);
            }
            sql.push_back(create + ")");
            if (header) sql.push_back("INSERT OR IGNORE INTO " + table + "(id) VALUES (1)");
        } else {
            for (short n = first; n < first + count; ++n) {
                const xio_fld_def& field = *dict.Field(n);
                std::string upper = field.name;
                for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
                if (!existing.count(upper))
                    sql.push_back("ALTER TABLE " + table + " ADD COLUMN " + Quote(field.name) + " " + ColumnType(field));
            }
        }
    };
    for (const auto& rec : dict.recordTypes) tableSql(TableName(rec.number), rec.firstField, rec.fieldCount, false);
    const short headerFirst = static_cast<short>(dict.file.fieldCount - dict.file.headerFieldCount + 1);
    tableSql("kw_header", headerFirst, dict.file.headerFieldCount, true);
    for (const auto& key : dict.keys) {
        // A switched-off alternate key keeps no index (walks by it still work, sorted).
        if (key.number > 0 && !xc_alt_key_active(dict.file.abbrev, key.number)) continue;
        std::string create = std::string("CREATE ") + (key.unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " +
                             IndexName(key.recordType, key.number) + " ON " + TableName(key.recordType) + "(";
        for (int i = 0; i < key.fieldCount; ++i) {
            if (i) create += ", ";
            create += Quote(dict.Field(key.fields[i])->name);
        }
        sql.push_back(create + ")");
    }
    return sql;
}

void ResetValue(const xio_fld_def& field, FieldValue& value) {
    value.text.clear();
    value.number = field.type == XIO_TIME ? -1.0 : 0.0;
}

void InitialValue(const kwDictionary& dict, const xio_fld_def& field, FieldValue& value) {
    ResetValue(field, value);
    if (field.defaultItem > 0) {
        if (field.type >= XIO_CHOICE) value.number = field.defaultItem;
        else if (!IsText(field)) value.number = field.defaultItem;
        else {
            const auto& items = dict.items[field.number - 1];
            if (field.defaultItem <= static_cast<int>(items.size())) value.text = items[field.defaultItem - 1];
        }
    }
}

void PrepareBuffers(OpenFile* f) {
    const kwDictionary& dict = *f->dict;
    for (const auto& rec : dict.recordTypes) {
        RecordBuffer& buffer = f->buffers[rec.number];
        buffer.def = &rec;
        buffer.values.assign(rec.fieldCount, FieldValue{});
        for (short i = 0; i < rec.fieldCount; ++i) ResetValue(*dict.Field(rec.firstField + i), buffer.values[i]);
        std::set<int> columns;
        for (const auto& key : dict.keys)
            if (key.recordType == rec.number)
                for (int i = 0; i < key.fieldCount; ++i) columns.insert(key.fields[i] - rec.firstField);
        buffer.keyColumns.assign(columns.begin(), columns.end());
        buffer.keySnapshot.assign(rec.fieldCount, FieldValue{});
    }
    f->header.assign(dict.file.headerFieldCount, FieldValue{});
    const short headerFirst = static_cast<short>(dict.file.fieldCount - dict.file.headerFieldCount + 1);
    for (short i = 0; i < dict.file.headerFieldCount; ++i) ResetValue(*dict.Field(headerFirst + i), f->header[i]);
}

short AllocateNumber(std::unique_ptr<OpenFile> file, short* number) {
    auto& files = Files();
    for (int i = 0; i < kMaxFiles; ++i) {
        if (!files[i]) {
            file->number = static_cast<short>(i + 1);
            *number = file->number;
            files[i] = std::move(file);
            return XIO_OK;
        }
    }
    return XIO_TOO_MANY_FILES;
}

std::string ResolvePath(const kwDictionary& dict, const xio_open_def& def) {
    if (def.path[0]) return def.path;
    xc_file_control_def control{};
    std::string folder = kwCompany::Folder();
    if (xc_get_file_control_def(dict.file.abbrev, &control) == XIO_OK && control.path[0]) folder = control.path;
    return folder + "/" + dict.file.defaultFileName;
}

// Makes a new empty data file under a temporary name and renames it into place, so a
// half-made file is never seen under the real name.
short CreateDataFile(const kwDictionary& dict, const std::string& path, std::string* detail) {
    const std::string temp = path + ".new-" + std::to_string(getpid());
    std::error_code ec;
    fs::remove(temp, ec);
    kwio::Database db;
    int rc = db.Open(temp, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
    if (rc != SQLITE_OK) {
        *detail = sqlite3_errstr(rc);
        return StatusOfSqlite(rc);
    }
    std::string script = "BEGIN;";
    for (const auto& stmt : SchemaStatements(dict, db.get())) script += stmt + ";";
    script += "INSERT INTO kw_meta VALUES ('abbrev', " + SqlText(dict.file.abbrev) + ");";
    script += "INSERT INTO kw_meta VALUES ('dataVersion', " + SqlText(dict.file.dataVersion) + ");";
    // The file keeps the dictionary it was made with, so an old file can always be read
    // as it was written (the upgrade host does) whatever the company's dictionary says.
    script += "INSERT INTO kw_meta VALUES ('dictionary', " + SqlText(xio_dictionary_json(dict)) + ");";
    script += "COMMIT;";
    rc = db.Exec(script);
    if (rc == SQLITE_OK) rc = db.Exec("PRAGMA journal_mode=WAL");
    if (rc != SQLITE_OK) {
        *detail = db.Error();
        db.Close();
        fs::remove(temp, ec);
        return StatusOfSqlite(rc);
    }
    db.Close();
    fs::remove(temp + "-wal", ec);
    fs::remove(temp + "-shm", ec);
    // link() fails when another process created the file first: theirs is kept.
    if (::link(temp.c_str(), path.c_str()) != 0 && errno != EEXIST) {
        *detail = std::strerror(errno);
        const short status = errno == ENOSPC ? XIO_DISK_FULL : XIO_IO_ERROR;
        fs::remove(temp, ec);
        return status;
    }
    fs::remove(temp, ec);
    return XIO_OK;
}

short OpenDatabase(OpenFile* f, bool create) {
    std::error_code ec;
    const fs::path path(f->path);
    if (!fs::is_directory(path.parent_path(), ec)) return Fail(f, XIO_NO_DRIVE, path.parent_path().string());
    if (!fs::exists(path, ec)) {
        if (!create) return Fail(f, XIO_ABSENT, f->path);
        if (f->readOnly) return Fail(f, XIO_ABSENT, f->path);
        std::string detail;
        const short status = CreateDataFile(*f->dict, f->path, &detail);
        if (status) return Fail(f, status, detail);
    }
    if (::access(f->path.c_str(), R_OK | (f->readOnly ? 0 : W_OK)) != 0 && errno == EACCES)
        return Fail(f, XIO_NOT_AUTHORISED, f->path);
    if (!f->locks.Open(f->path + ".lck")) return Fail(f, x_io_status() ? x_io_status() : static_cast<short>(XIO_IO_ERROR), f->path + ".lck");
    if (!f->locks.TryLock(kwio::LockFile::kOpenByte, f->exclusive)) return Fail(f, XIO_LOCKED, f->path);

    const int flags = (f->readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    int rc = f->db.Open(f->path, flags);
    if (rc != SQLITE_OK) return Fail(f, StatusOfSqlite(rc), sqlite3_errstr(rc));
    sqlite3_busy_timeout(f->db.get(), kBusyTimeoutMs);
    sqlite3_extended_result_codes(f->db.get(), 1);
    // Reading the meta table proves the file is ours and not damaged at its start.
    kwio::Statement meta(f->db.get(), "SELECT name, value FROM kw_meta");
    if (!meta) return FailSqlite(f, sqlite3_errcode(f->db.get()));
    std::string abbrev;
    while ((rc = sqlite3_step(meta.get())) == SQLITE_ROW) {
        const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 0));
        const std::string value = reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 1));
        if (name == "abbrev") abbrev = value;
        if (name == "dataVersion") f->fileVersion = value;
    }
    if (rc != SQLITE_DONE) return FailSqlite(f, rc);
    if (strcasecmp(abbrev.c_str(), f->dict->file.abbrev) != 0)
        return Fail(f, XIO_CORRUPT, f->path + " holds \"" + abbrev + "\" data, not \"" + f->dict->file.abbrev + "\"");
    if (!f->readOnly) {
        rc = f->db.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL");
        if (rc != SQLITE_OK) return FailSqlite(f, rc);
        std::string script = "BEGIN IMMEDIATE;";
        for (const auto& stmt : SchemaStatements(*f->dict, f->db.get())) script += stmt + ";";
        script += "COMMIT;";
        rc = f->db.Exec(script);
        if (rc != SQLITE_OK) {
            const short status = FailSqlite(f, rc);
            f->db.Exec("ROLLBACK");
            return status;
        }
    }
    return Ok(f);
}

// Opens through the company's dictionary of abbrev, or through given when it is set.
short OpenCommon(const std::string& abbrev, const std::string& explicitPath, short programNumber, bool create,
                 bool readOnly, bool exclusive, bool dictionaryOnly, short* number,
                 std::shared_ptr<const kwDictionary> given = nullptr) {
    *number = 0;
    if (!kwCompany::IsOpen()) return XIO_NO_DRIVE;
    std::string error;
    auto dict = given ? given : kwDictionaryLoader::Load(abbrev, &error);
    if (!dict) {
        std::error_code ec;
        x_log(programNumber, error.c_str());
        return fs::exists(kwDictionaryLoader::PathOf(abbrev), ec) ? XIO_DICTIONARY : XIO_ABSENT;
    }
    auto f = std::make_unique<OpenFile>();
    f->abbrev = dict->file.abbrev;
    f->dict = dict;
    f->programNumber = programNumber;
    f->readOnly = readOnly;
    f->exclusive = exclusive;
    f->dictionaryOnly = dictionaryOnly;
    PrepareBuffers(f.get());
    if (!dictionaryOnly) {
        xio_open_def def{};
        std::snprintf(def.path, sizeof(def.path), "%s", explicitPath.c_str());
        f->path = ResolvePath(*dict, def);
        f->writeGeneration = WriteGenerationOf(f->path);
        const short status = OpenDatabase(f.get(), create);
        if (status) return status;
    }
    return AllocateNumber(std::move(f), number);
}

RecordBuffer* Buffer(OpenFile* f, short type) {
    auto it = f->buffers.find(type);
    return it == f->buffers.end() ? nullptr : &it->second;
}

// The record buffer or the header slot of a field, for reading and writing values.
FieldValue* Slot(OpenFile* f, short field, const xio_fld_def** def) {
    const xio_fld_def* fd = f->dict->Field(field);
    if (!fd) return nullptr;
    *def = fd;
    if (fd->recordType == 0) {
        const short headerFirst = static_cast<short>(f->dict->file.fieldCount - f->dict->file.headerFieldCount + 1);
        return &f->header[field - headerFirst];
    }
    RecordBuffer* buffer = Buffer(f, fd->recordType);
    return buffer ? &buffer->values[field - buffer->def->firstField] : nullptr;
}

short CheckRecordFile(OpenFile* f) {
    if (f->dictionaryOnly) return Fail(f, XIO_BAD_FILE_NUMBER, "only the dictionary is open");
    return XIO_OK;
}

std::string ColumnList(const kwDictionary& dict, const xio_rec_def& rec) {
    std::string columns;
    for (short i = 0; i < rec.fieldCount; ++i) {
        if (i) columns += ", ";
        columns += Quote(dict.Field(rec.firstField + i)->name);
    }
    return columns;
}

void ReadRow(const kwDictionary& dict, const xio_rec_def& rec, sqlite3_stmt* stmt, int firstColumn, Row& row) {
    row.resize(rec.fieldCount);
    for (short i = 0; i < rec.fieldCount; ++i) {
        const xio_fld_def& field = *dict.Field(rec.firstField + i);
        FieldValue& value = row[i];
        if (IsText(field)) {
            const unsigned char* text = sqlite3_column_text(stmt, firstColumn + i);
            const int bytes = sqlite3_column_bytes(stmt, firstColumn + i);
            value.text.assign(text ? reinterpret_cast<const char*>(text) : "", static_cast<size_t>(bytes));
        } else {
            value.number = sqlite3_column_double(stmt, firstColumn + i);
        }
    }
}

void Bind(const xio_fld_def& field, sqlite3_stmt* stmt, int index, const FieldValue& value) {
    if (IsText(field))
        sqlite3_bind_text(stmt, index, value.text.data(), static_cast<int>(value.text.size()), SQLITE_STATIC);
    else
        sqlite3_bind_double(stmt, index, value.number);
}

void MakeCurrent(RecordBuffer& buffer, int64_t rowid) {
    buffer.rowid = rowid;
    for (int column : buffer.keyColumns) buffer.keySnapshot[column] = buffer.values[column];
}

// Takes the record lock for a row; answers 7 when another user holds it.
short LockRow(OpenFile* f, short type, int64_t rowid) {
    if (f->readOnly) return Fail(f, XIO_NOT_AUTHORISED, "the file is open for reading only");
    RecordBuffer& buffer = *Buffer(f, type);
    if (buffer.locked.count(rowid)) return XIO_OK;
    if (!f->locks.TryLock(kwio::LockFile::RecordByte(type, rowid), true)) return Fail(f, XIO_LOCKED);
    buffer.locked.insert(rowid);
    return XIO_OK;
}

void UnlockRow(OpenFile* f, short type, int64_t rowid) {
    RecordBuffer& buffer = *Buffer(f, type);
    if (buffer.locked.erase(rowid)) f->locks.Unlock(kwio::LockFile::RecordByte(type, rowid));
}

// Reads the row with this rowid into the buffer (after locking it when asked).
short ReadByRowid(OpenFile* f, short type, int64_t rowid, bool lock) {
    RecordBuffer& buffer = *Buffer(f, type);
    if (lock) {
        const short status = LockRow(f, type, rowid);
        if (status) return status;
    }
    const std::string sql = "SELECT " + ColumnList(*f->dict, *buffer.def) + " FROM " + TableName(type) + " WHERE rowid = ?";
    sqlite3_stmt* stmt = f->Prepare(sql);
    if (!stmt) return Fail(f, XIO_FAILED);
    sqlite3_bind_int64(stmt, 1, rowid);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        ReadRow(*f->dict, *buffer.def, stmt, 0, buffer.values);
        sqlite3_reset(stmt);
        MakeCurrent(buffer, rowid);
        return Ok(f);
    }
    sqlite3_reset(stmt);
    if (lock) UnlockRow(f, type, rowid);
    if (rc == SQLITE_DONE) return Fail(f, XIO_NO_RECORD);
    return FailSqlite(f, rc);
}

enum class Seek { Exact, AtOrAfter, After, Before, First, Last };

// One keyed read. Without lock, After reads a batch ahead and later calls are served
// from it while nothing was written and the batch is young.
short KeyedRead(short file, short type, short key, short lock, Seek seek) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    const xio_key_def* keyDef = f->dict->Key(type, key);
    if (!keyDef) return Fail(f, XIO_BAD_KEY);
    const kwDictionary& dict = *f->dict;
    const xio_rec_def& rec = *buffer->def;
    kwio::WalkBatch& batch = buffer->batch;

    const bool forward = seek == Seek::After;
    const bool backward = seek == Seek::Before;
    if ((forward || backward) && buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);

    // Serve from the read-ahead batch.
    if ((forward || backward) && !lock && batch.key == key && batch.backwards == backward &&
        batch.generation == f->writeGeneration->load() && batch.next > 0 && batch.next <= batch.rows.size() &&
        batch.rowids[batch.next - 1] == buffer->rowid &&
        std::chrono::steady_clock::now() - batch.readAt < kBatchLifetime) {
        if (batch.next < batch.rows.size()) {
            std::swap(buffer->values, batch.rows[batch.next]);
            MakeCurrent(*buffer, batch.rowids[batch.next]);
            ++batch.next;
            return Ok(f);
        }
        if (batch.exhausted) return Fail(f, XIO_NO_RECORD);
    }

    std::string keyColumns, keyColumnsDesc, placeholders;
    for (int i = 0; i < keyDef->fieldCount; ++i) {
        const std::string name = Quote(dict.Field(keyDef->fields[i])->name);
        if (i) {
            keyColumns += ", ";
            keyColumnsDesc += ", ";
            placeholders += ", ";
        }
        keyColumns += name;
        keyColumnsDesc += name + " DESC";
        placeholders += "?";
    }
    std::string where, order;
    switch (seek) {
    case Seek::Exact: {
        for (int i = 0; i < keyDef->fieldCount; ++i) {
            if (i) where += " AND ";
            where += Quote(dict.Field(keyDef->fields[i])->name) + " = ?";
        }
        where = " WHERE " + where;
        order = " ORDER BY rowid";
        break;
    }
    case Seek::AtOrAfter:
        where = " WHERE (" + keyColumns + ") >= (" + placeholders + ")";
        order = " ORDER BY " + keyColumns + ", rowid";
        break;
    case Seek::After:
        where = " WHERE (" + keyColumns + ", rowid) > (" + placeholders + ", ?)";
        order = " ORDER BY " + keyColumns + ", rowid";
        break;
    case Seek::Before:
        where = " WHERE (" + keyColumns + ", rowid) < (" + placeholders + ", ?)";
        order = " ORDER BY " + keyColumnsDesc + ", rowid DESC";
        break;
    case Seek::First: order = " ORDER BY " + keyColumns + ", rowid"; break;
    case Seek::Last: order = " ORDER BY " + keyColumnsDesc + ", rowid DESC"; break;
    }
    const bool readAhead = !lock && (forward || backward || seek == Seek::AtOrAfter || seek == Seek::First);
    const std::string sql = "SELECT rowid, " + ColumnList(dict, rec) + " FROM " + TableName(type) + where + order +
                            " LIMIT ?";
    sqlite3_stmt* stmt = f->Prepare(sql);
    if (!stmt) return Fail(f, XIO_FAILED);
    int index = 1;
    const Row& source = (forward || backward) ? buffer->keySnapshot : buffer->values;
    if (seek != Seek::First && seek != Seek::Last) {
        for (int i = 0; i < keyDef->fieldCount; ++i) {
            const xio_fld_def& field = *dict.Field(keyDef->fields[i]);
            Bind(field, stmt, index++, source[keyDef->fields[i] - rec.firstField]);
        }
    }
    if (forward || backward) sqlite3_bind_int64(stmt, index++, buffer->rowid);

    size_t limit = 1;
    if (readAhead) {
        // A walk that keeps going reads ever larger batches; a fresh seek starts small.
        const bool continuing = (forward || backward) && batch.key == key && batch.next == batch.rows.size() &&
                                batch.next > 0;
        batch.size = continuing ? std::min(batch.size * 2, kMaxBatch) : 16;
        limit = batch.size;
    }
    sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(limit));

    int rc = sqlite3_step(stmt);
    if (rc == SQLITE_DONE) {
        sqlite3_reset(stmt);
        batch.key = -1;
        return Fail(f, XIO_NO_RECORD);
    }
    if (rc != SQLITE_ROW) {
        sqlite3_reset(stmt);
        batch.key = -1;
        return FailSqlite(f, rc);
    }
    const int64_t firstRowid = sqlite3_column_int64(stmt, 0);
    if (lock) {
        sqlite3_reset(stmt);
        batch.key = -1;
        // Lock first, then read the row again: it may have changed since the seek.
        const short status = ReadByRowid(f, type, firstRowid, true);
        return status == XIO_NO_RECORD ? Fail(f, XIO_NO_RECORD) : status;
    }
    ReadRow(dict, rec, stmt, 1, buffer->values);
    MakeCurrent(*buffer, firstRowid);
    if (!readAhead) {
        sqlite3_reset(stmt);
        batch.key = -1;
        return Ok(f);
    }
    batch.key = key;
    batch.backwards = backward || seek == Seek::Last;
    batch.generation = f->writeGeneration->load();
    batch.readAt = std::chrono::steady_clock::now();
    size_t count = 1;
    if (batch.rows.size() < limit) batch.rows.resize(limit);
    batch.rowids.resize(limit);
    batch.rowids[0] = firstRowid;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        batch.rowids[count] = sqlite3_column_int64(stmt, 0);
        ReadRow(dict, rec, stmt, 1, batch.rows[count]);
        ++count;
    }
    sqlite3_reset(stmt);
    batch.exhausted = count < limit;
    batch.rowids.resize(count);
    batch.rows.resize(count);
    batch.next = 1;
    return Ok(f);
}

void BumpGeneration(OpenFile* f) { f->writeGeneration->fetch_add(1); }

void CopyText(char* target, size_t size, const std::string& text) {
    std::snprintf(target, size, "%s", text.c_str());
}

} // namespace

sqlite3_stmt* kwio::OpenFile::Prepare(const std::string& sql) {
    auto it = statements.find(sql);
    if (it == statements.end()) {
        Statement stmt(db.get(), sql);
        if (!stmt) {
            detail = sqlite3_errmsg(db.get());
            return nullptr;
        }
        it = statements.emplace(sql, std::move(stmt)).first;
    }
    it->second.Reset();
    return it->second.get();
}

// ---- opening and closing -------------------------------------------------------------

short xio_open_file(const xio_open_def* def, short* fileNumber) {
    if (!def || !fileNumber) return XIO_FAILED;
    return OpenCommon(def->abbrev, def->path, def->programNumber, def->create != 0, def->readOnly != 0, false, false,
                      fileNumber);
}

short kwio_open_data_file(const std::string& abbrev, const std::string& path, short programNumber, bool create,
                          bool readOnly, bool exclusive, short* fileNumber) {
    return OpenCommon(abbrev, path, programNumber, create, readOnly, exclusive, false, fileNumber);
}

short kwio_open_with_dictionary(std::shared_ptr<const kwDictionary> dict, const std::string& path,
                                short programNumber, bool create, bool readOnly, bool exclusive, bool dictionaryOnly,
                                short* fileNumber) {
    if (!dict) return XIO_DICTIONARY;
    const std::string abbrev = dict->file.abbrev;
    return OpenCommon(abbrev, path, programNumber, create, readOnly, exclusive, dictionaryOnly, fileNumber,
                      std::move(dict));
}

kwio::OpenFile* kwio_find_file(short file) { return Find(file); }

short kwio_fail_sqlite(kwio::OpenFile* file, int rc) { return FailSqlite(file, rc); }

short xio_open_dictionary(const char* abbrev, short* fileNumber) {
    if (!abbrev || !fileNumber) return XIO_FAILED;
    return OpenCommon(abbrev, "", 0, false, true, false, true, fileNumber);
}

short xio_cls_file(short file) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    // Dropping the statements and the lock descriptor releases every lock of the file.
    f->statements.clear();
    f->db.Close();
    f->locks.Close();
    Files()[file - 1].reset();
    return XIO_OK;
}

// ---- definitions ---------------------------------------------------------------------

short xio_get_def(short file, xio_def* def, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    *def = f->dict->file;
    CopyText(def->path, sizeof(def->path), f->path);
    CopyText(def->fileVersion, sizeof(def->fileVersion), f->fileVersion);
    return Ok(f);
}

short xio_get_rec_def(short file, short type, xio_rec_def* def, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_rec_def* rec = f->dict->RecordType(type);
    if (!rec) return Fail(f, XIO_BAD_RECORD_TYPE);
    *def = *rec;
    return Ok(f);
}

short xio_get_fld_def(short file, short field, xio_fld_def* def, short, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* fd = f->dict->Field(field);
    if (!fd) return Fail(f, XIO_BAD_FIELD);
    *def = *fd;
    return Ok(f);
}

short xio_get_key_def(short file, short key, xio_key_def* def, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_key_def* kd = f->dict->Key(type, key);
    if (!kd) return Fail(f, XIO_BAD_KEY);
    *def = *kd;
    return Ok(f);
}

short xio_get_item_alpha(short file, short field, short item, char* buffer, int size) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (size > 0) buffer[0] = 0;
    const xio_fld_def* fd = f->dict->Field(field);
    if (!fd) return Fail(f, XIO_BAD_FIELD);
    const auto& items = f->dict->items[field - 1];
    if (item < 1 || item > static_cast<short>(items.size())) return Fail(f, XIO_NO_RECORD);
    if (size > 0) {
        const std::string cut = x_utf8_cut(items[item - 1], static_cast<size_t>(size - 1));
        std::memcpy(buffer, cut.c_str(), cut.size() + 1);
    }
    return Ok(f);
}

short xio_num(short file, short, short, const char* name) {
    OpenFile* f = Find(file);
    if (!f || !name) return 0;
    return f->dict->FieldNumber(name);
}

// ---- field values --------------------------------------------------------------------

short xio_get_field(short file, short, short field, x_value_def* value) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (IsText(*def)) value->SetText(slot->text);
    else value->SetNumber(slot->number);
    return Ok(f);
}

short xio_put_field(short file, short, short field, const x_value_def* value) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (IsText(*def)) {
        std::string text = value->AsText();
        slot->text = def->width > 0 ? x_utf8_cut(text, static_cast<size_t>(def->width)) : text;
    } else {
        slot->number = value->AsNumber();
    }
    return Ok(f);
}

short xio_get_long_text(short file, short field, std::string* text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (!IsText(*def)) return Fail(f, XIO_BAD_VALUE, std::string(def->name) + " is not a text field");
    *text = slot->text;
    return Ok(f);
}

short xio_put_long_text(short file, short field, const std::string& text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    const xio_fld_def* def = nullptr;
    FieldValue* slot = Slot(f, field, &def);
    if (!slot) return Fail(f, XIO_BAD_FIELD);
    if (!IsText(*def)) return Fail(f, XIO_BAD_VALUE, std::string(def->name) + " is not a text field");
    slot->text = def->width > 0 ? x_utf8_cut(text, static_cast<size_t>(def->width)) : text;
    return Ok(f);
}

// ---- records -------------------------------------------------------------------------

short xio_clr_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    for (short i = 0; i < buffer->def->fieldCount; ++i)
        ResetValue(*f->dict->Field(buffer->def->firstField + i), buffer->values[i]);
    buffer->rowid = 0;
    buffer->batch.key = -1;
    return Ok(f);
}

short xio_init_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    for (short i = 0; i < buffer->def->fieldCount; ++i)
        InitialValue(*f->dict, *f->dict->Field(buffer->def->firstField + i), buffer->values[i]);
    buffer->rowid = 0;
    buffer->batch.key = -1;
    return Ok(f);
}

short xio_rd_record(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::Exact);
}
short xio_rd_ge(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::AtOrAfter);
}
short xio_rd_next(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::After);
}
short xio_rd_prev(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::Before);
}
short xio_rd_first(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::First);
}
short xio_rd_last(short file, short type, short key, short lock) {
    return KeyedRead(file, type, key, lock, Seek::Last);
}

short xio_status(short file) {
    OpenFile* f = Find(file);
    return f ? f->status : static_cast<short>(XIO_BAD_FILE_NUMBER);
}

namespace {
short WriteRecord(OpenFile* f, short type, bool replace) {
    if (short status = CheckRecordFile(f)) return status;
    if (f->readOnly) return Fail(f, XIO_NOT_AUTHORISED, "the file is open for reading only");
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    const kwDictionary& dict = *f->dict;
    const xio_rec_def& rec = *buffer->def;
    if (replace) {
        if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
        if (!buffer->locked.count(buffer->rowid)) return Fail(f, XIO_NOT_LOCKED);
    }
    std::string sql;
    if (replace) {
        sql = "UPDATE " + TableName(type) + " SET ";
        for (short i = 0; i < rec.fieldCount; ++i) {
            if (i) sql += ", ";
            sql += Quote(dict.Field(rec.firstField + i)->name) + " = ?";
        }
        sql += " WHERE rowid = ?";
    } else {
        sql = "INSERT INTO " + TableName(type) + "(" + ColumnList(dict, rec) + ") VALUES (";
        for (short i = 0; i < rec.fieldCount; ++i) sql += i ? ", ?" : "?";
        sql += ")";
    }
    sqlite3_stmt* stmt = f->Prepare(sql);
    if (!stmt) return Fail(f, XIO_FAILED);
    for (short i = 0; i < rec.fieldCount; ++i) Bind(*dict.Field(rec.firstField + i), stmt, i + 1, buffer->values[i]);
    if (replace) sqlite3_bind_int64(stmt, rec.fieldCount + 1, buffer->rowid);
    BumpGeneration(f);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) return FailSqlite(f, rc);
    if (replace && sqlite3_changes(f->db.get()) == 0) return Fail(f, XIO_NO_RECORD);
    MakeCurrent(*buffer, replace ? buffer->rowid : sqlite3_last_insert_rowid(f->db.get()));
    return Ok(f);
}
} // namespace

short xio_wr_record(short file, short type, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    return WriteRecord(f, type, false);
}

short xio_rep_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    return WriteRecord(f, type, true);
}

short xio_del_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    if (f->readOnly) return Fail(f, XIO_NOT_AUTHORISED, "the file is open for reading only");
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
    const int64_t rowid = buffer->rowid;
    // A record nobody locked is locked for the moment of the delete; one locked by
    // another user is left alone.
    const bool hadLock = buffer->locked.count(rowid) != 0;
    if (!hadLock) {
        if (short status = LockRow(f, type, rowid)) return status;
    }
    sqlite3_stmt* stmt = f->Prepare("DELETE FROM " + TableName(type) + " WHERE rowid = ?");
    if (!stmt) return Fail(f, XIO_FAILED);
    sqlite3_bind_int64(stmt, 1, rowid);
    BumpGeneration(f);
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        if (!hadLock) UnlockRow(f, type, rowid);
        return FailSqlite(f, rc);
    }
    const bool deleted = sqlite3_changes(f->db.get()) > 0;
    UnlockRow(f, type, rowid);
    // The key snapshot stays, so a walk goes on with the record after the deleted one.
    return deleted ? Ok(f) : Fail(f, XIO_NO_RECORD);
}

short xio_lock_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
    if (short status = LockRow(f, type, buffer->rowid)) return status;
    return Ok(f);
}

short xio_unlock_record(short file, short type, short currentOnly) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (currentOnly) {
        if (buffer->rowid) UnlockRow(f, type, buffer->rowid);
    } else {
        for (int64_t rowid : std::vector<int64_t>(buffer->locked.begin(), buffer->locked.end())) UnlockRow(f, type, rowid);
    }
    return Ok(f);
}

int64_t xio_save_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return 0;
    RecordBuffer* buffer = Buffer(f, type);
    return buffer ? buffer->rowid : 0;
}

short xio_restore_record(short file, int64_t position, short type, short lock) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    if (!Buffer(f, type)) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (position <= 0) return Fail(f, XIO_NO_RECORD);
    Buffer(f, type)->batch.key = -1;
    return ReadByRowid(f, type, position, lock != 0);
}

short xio_count_records(short file, short type, int64_t* count) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    if (!Buffer(f, type)) return Fail(f, XIO_BAD_RECORD_TYPE);
    sqlite3_stmt* stmt = f->Prepare("SELECT count(*) FROM " + TableName(type));
    if (!stmt) return Fail(f, XIO_FAILED);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) *count = sqlite3_column_int64(stmt, 0);
    sqlite3_reset(stmt);
    return rc == SQLITE_ROW ? Ok(f) : FailSqlite(f, rc);
}

// ---- header --------------------------------------------------------------------------

short xio_rd_header(short file, short, short lock) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    if (lock && !f->headerLocked) {
        if (f->readOnly) return Fail(f, XIO_NOT_AUTHORISED, "the file is open for reading only");
        if (!f->locks.TryLock(kwio::LockFile::kHeaderByte, true)) return Fail(f, XIO_LOCKED);
        f->headerLocked = true;
    }
    const kwDictionary& dict = *f->dict;
    const short count = dict.file.headerFieldCount;
    if (count > 0) {
        const short first = static_cast<short>(dict.file.fieldCount - count + 1);
        std::string sql = "SELECT ";
        for (short i = 0; i < count; ++i) sql += (i ? ", " : "") + Quote(dict.Field(first + i)->name);
        sqlite3_stmt* stmt = f->Prepare(sql + " FROM kw_header WHERE id = 1");
        if (!stmt) return Fail(f, XIO_FAILED);
        const int rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            for (short i = 0; i < count; ++i) {
                const xio_fld_def& field = *dict.Field(first + i);
                if (IsText(field)) {
                    const unsigned char* text = sqlite3_column_text(stmt, i);
                    f->header[i].text = text ? reinterpret_cast<const char*>(text) : "";
                } else {
                    f->header[i].number = sqlite3_column_double(stmt, i);
                }
            }
        }
        sqlite3_reset(stmt);
        if (rc != SQLITE_ROW) {
            if (lock) {
                f->locks.Unlock(kwio::LockFile::kHeaderByte);
                f->headerLocked = false;
            }
            return rc == SQLITE_DONE ? Fail(f, XIO_CORRUPT, "the header is missing") : FailSqlite(f, rc);
        }
    }
    f->headerRead = true;
    return Ok(f);
}

short xio_free_header(short file, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (f->headerLocked) f->locks.Unlock(kwio::LockFile::kHeaderByte);
    f->headerLocked = false;
    return Ok(f);
}

short xio_wr_header(short file, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    if (!f->headerLocked) return Fail(f, XIO_NOT_LOCKED, "the header was not read for change");
    const kwDictionary& dict = *f->dict;
    const short count = dict.file.headerFieldCount;
    if (count > 0) {
        const short first = static_cast<short>(dict.file.fieldCount - count + 1);
        std::string sql = "UPDATE kw_header SET ";
        for (short i = 0; i < count; ++i) sql += (i ? ", " : "") + Quote(dict.Field(first + i)->name) + " = ?";
        sqlite3_stmt* stmt = f->Prepare(sql + " WHERE id = 1");
        if (!stmt) return Fail(f, XIO_FAILED);
        for (short i = 0; i < count; ++i) Bind(*dict.Field(first + i), stmt, i + 1, f->header[i]);
        BumpGeneration(f);
        const int rc = sqlite3_step(stmt);
        sqlite3_reset(stmt);
        // On failure the header stays locked: the caller reports and frees it.
        if (rc != SQLITE_DONE) return FailSqlite(f, rc);
    }
    f->locks.Unlock(kwio::LockFile::kHeaderByte);
    f->headerLocked = false;
    return Ok(f);
}

// ---- reporting -----------------------------------------------------------------------

std::string xio_last_detail(short file) {
    OpenFile* f = Find(file);
    return f ? f->detail : std::string();
}

std::string xio_error_text(short file, short status) {
    OpenFile* f = Find(file);
    std::string text = xio_status_text(status);
    if (f) {
        text += "\n\nFile: ";
        text += f->dict->file.description;
        text += " (" + f->abbrev + ")";
        if (!f->path.empty()) text += "\n" + f->path;
        if (!f->detail.empty() && status != XIO_LOCKED && status != XIO_NO_RECORD) text += "\n" + f->detail;
    }
    text += "\n[status " + std::to_string(status) + "]";
    return text;
}

void xio_io_error(short file, short status) {
    const std::string text = xio_error_text(file, status);
    OpenFile* f = Find(file);
    x_log(f ? f->programNumber : 0, text.c_str());
    xw_wr_message(0, XW_ERROR, text.c_str(), 0);
}
