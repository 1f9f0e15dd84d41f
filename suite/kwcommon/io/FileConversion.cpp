// Calls for converting a data file: opening it through the dictionary it keeps, batches
// of writes for filling a new file, a consistent backup, and ending the write-ahead log
// before the file is replaced under its name.
#include "RecordManagerInternal.h"

#include "kwcommon/kwStoredFile.h"
#include "kwcommon/xio.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

short xio_open_file_with(const xio_open_def* def, std::shared_ptr<const kwDictionary> dict, short options,
                         short* fileNumber, std::string* detail) {
    if (!def || !fileNumber) return XIO_FAILED;
    *fileNumber = 0;
    kwio::OpenOptions open;
    open.create = def->create != 0;
    open.readOnly = def->readOnly != 0;
    open.exclusive = (options & XIO_OPEN_EXCLUSIVE) != 0;
    open.minimumDataVersion = std::string(def->minDataVersion, strnlen(def->minDataVersion, sizeof(def->minDataVersion)));
    open.forUpgrade = def->forUpgrade != 0;
    return kwio::OpenWithDictionary(std::move(dict), def->path, def->programNumber, open,
                                    (options & XIO_OPEN_DICTIONARY_ONLY) != 0, fileNumber, detail);
}

namespace {
// The open data file of a number, or null with the status to answer.
kwio::OpenFile* DataFile(short file, short* status) {
    kwio::OpenFile* f = kwio::Find(file);
    if (!f) {
        *status = XIO_BAD_FILE_NUMBER;
        return nullptr;
    }
    if (f->dictionaryOnly || !f->db.get()) {
        f->status = *status = XIO_BAD_FILE_NUMBER;
        f->detail = "only the dictionary is open";
        return nullptr;
    }
    *status = XIO_OK;
    return f;
}

short Exec(kwio::OpenFile* f, const std::string& sql) {
    const int rc = f->db.Exec(sql);
    if (rc != SQLITE_OK) return kwio::FailSqlite(f, rc);
    return kwio::Ok(f);
}

// Statements still stepping would keep a transaction open.
void ResetStatements(kwio::OpenFile* f) {
    for (auto& [type, buffer] : f->buffers) {
        for (auto& key : buffer.keys)
            for (auto& statement : key.seek) statement.Reset();
        for (kwio::Statement* statement :
             {&buffer.insert, &buffer.update, &buffer.remove, &buffer.byRowid, &buffer.count})
            statement->Reset();
        // A read-ahead batch read inside the transaction is not served after it.
        buffer.batch.key = -1;
    }
    f->headerSelect.Reset();
    f->headerUpdate.Reset();
}
} // namespace

short xio_begin_batch(short file) {
    short status;
    kwio::OpenFile* f = DataFile(file, &status);
    if (!f) return status;
    // Inside a transaction every write keeps a statement journal (the pages it changes, to
    // undo it alone); kept in memory, it costs no file writes: a few pages per record.
    if (const short status = Exec(f, "PRAGMA temp_store=MEMORY")) return status;
    // A file open for reading takes its snapshot at the first read; one open for writing
    // takes the write lock at once, so the batch cannot fail half-way for want of it.
    return Exec(f, f->readOnly ? "BEGIN" : "BEGIN IMMEDIATE");
}

short xio_end_batch(short file, bool commit) {
    short status;
    kwio::OpenFile* f = DataFile(file, &status);
    if (!f) return status;
    if (sqlite3_get_autocommit(f->db.get())) return f->status = XIO_OK;
    ResetStatements(f);
    status = Exec(f, commit ? "COMMIT" : "ROLLBACK");
    if (status && commit) f->db.Exec("ROLLBACK");
    return status;
}

short xio_backup_file(short file, const std::string& target) {
    short status;
    kwio::OpenFile* f = DataFile(file, &status);
    if (!f) return status;
    std::error_code ec;
    if (fs::exists(target, ec)) {
        f->detail = target + " exists";
        return f->status = XIO_DUPLICATE_KEY;
    }
    // VACUUM INTO writes one consistent snapshot; placing it makes it appear whole or not
    // at all under its name.
    const std::string temporary = kwStoredFile::TemporaryPath(target);
    kwio::Statement vacuum(f->db.get(), "VACUUM INTO ?");
    int rc = vacuum ? SQLITE_OK : sqlite3_errcode(f->db.get());
    if (vacuum) {
        sqlite3_bind_text(vacuum.get(), 1, temporary.c_str(), -1, SQLITE_TRANSIENT);
        rc = sqlite3_step(vacuum.get());
        if (rc == SQLITE_DONE) rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) {
        status = kwio::FailSqlite(f, rc);
        fs::remove(temporary, ec);
        return status;
    }
    std::string error;
    bool placed = false;
    if (!kwStoredFile::PlaceFile(temporary, target, kwStoredFile::Place::NoReplace, &error, &placed)) {
        f->detail = error;
        return f->status = errno == ENOSPC ? XIO_DISK_FULL : XIO_IO_ERROR;
    }
    if (!placed) {
        f->detail = target + " exists";
        return f->status = XIO_DUPLICATE_KEY;
    }
    f->status = XIO_OK;
    return XIO_OK;
}

short xio_end_write_ahead_log(short file) {
    short status;
    kwio::OpenFile* f = DataFile(file, &status);
    if (!f) return status;
    kwio::Statement pragma(f->db.get(), "PRAGMA journal_mode=DELETE");
    int rc = pragma ? sqlite3_step(pragma.get()) : sqlite3_errcode(f->db.get());
    std::string mode;
    if (rc == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(pragma.get(), 0));
        mode = text ? text : "";
        rc = SQLITE_OK;
    }
    if (rc != SQLITE_OK) return kwio::FailSqlite(f, rc);
    // SQLite stays in WAL mode, answering "wal", while another connection uses the log.
    if (mode != "delete") {
        f->detail = "another connection has the file open";
        return f->status = XIO_LOCKED;
    }
    f->status = XIO_OK;
    return XIO_OK;
}
