// Writing records and their locks. Each write is one SQLite statement and so one
// transaction, whose triggers keep the record count; it is flushed to the disk before it
// answers 0 (synchronous=FULL, see xio.h). Record locks are bytes of the lock file.
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/xio.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace kwio {

namespace {
std::atomic<uint64_t> g_writeGeneration{1};
} // namespace

void BumpGeneration() { g_writeGeneration.fetch_add(1); }
uint64_t Generation() { return g_writeGeneration.load(); }

short LockRow(OpenFile* f, short type, int64_t rowid) {
    if (f->readOnly) return Fail(f, XIO_READ_ONLY, f->readOnlyReason);
    RecordBuffer& buffer = *Buffer(f, type);
    if (buffer.locked.count(rowid)) return XIO_OK;
    if (!f->locks.TryLock(RecordByte(type, rowid), true)) {
        if (errno == ENOLCK) return Fail(f, XIO_NO_LOCKS, f->path + ".lck: " + std::strerror(errno));
        return Fail(f, XIO_LOCKED);
    }
    buffer.locked.insert(rowid);
    return XIO_OK;
}

void UnlockRow(OpenFile* f, short type, int64_t rowid) {
    RecordBuffer& buffer = *Buffer(f, type);
    if (buffer.locked.erase(rowid)) f->locks.Unlock(RecordByte(type, rowid));
}

namespace {

// Why a file takes no writes now, or 0.
short RefuseWrite(OpenFile* f) {
    if (f->readOnly) return Fail(f, XIO_READ_ONLY, f->readOnlyReason);
    if (f->damaged) return Fail(f, XIO_CORRUPT, "the file was found damaged; nothing more is written to it");
    return XIO_OK;
}

short WriteRecord(OpenFile* f, short type, bool replace) {
    if (short status = CheckRecordFile(f)) return status;
    if (short status = RefuseWrite(f)) return status;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    const kwDictionary& dict = *f->dict;
    const xio_rec_def& rec = *buffer->def;
    if (replace) {
        if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
        if (!buffer->locked.count(buffer->rowid)) return Fail(f, XIO_NOT_LOCKED);
    }
    sqlite3_stmt* stmt = replace ? Ready(f, buffer->update, [&] { return UpdateSql(dict, rec); })
                                 : Ready(f, buffer->insert, [&] { return InsertSql(dict, rec); });
    if (!stmt) return f->status;
    const xio_fld_def* field = &dict.fields[static_cast<size_t>(rec.firstField - 1)];
    for (short i = 0; i < rec.fieldCount; ++i) Bind(field[i], stmt, i + 1, buffer->values[i]);
    if (replace) sqlite3_bind_int64(stmt, rec.fieldCount + 1, buffer->rowid);
    BumpGeneration();
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) return FailSqlite(f, rc);
    if (replace && sqlite3_changes(f->db.get()) == 0) return Fail(f, XIO_NO_RECORD);
    MakeCurrent(*buffer, replace ? buffer->rowid : sqlite3_last_insert_rowid(f->db.get()));
    return Ok(f);
}

} // namespace

} // namespace kwio

using kwio::Fail;
using kwio::Find;
using kwio::OpenFile;

short xio_wr_record(short file, short type, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    return kwio::WriteRecord(f, type, false);
}

short xio_rep_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    return kwio::WriteRecord(f, type, true);
}

short xio_del_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    if (short status = kwio::RefuseWrite(f)) return status;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
    const int64_t rowid = buffer->rowid;
    // A record nobody locked is locked for the moment of the delete; one locked by
    // another user is left alone.
    const bool hadLock = buffer->locked.count(rowid) != 0;
    if (!hadLock) {
        if (short status = kwio::LockRow(f, type, rowid)) return status;
    }
    sqlite3_stmt* stmt = kwio::Ready(f, buffer->remove, [&] { return "DELETE FROM " + kwio::TableName(type) + " WHERE rowid = ?"; });
    if (!stmt) {
        if (!hadLock) kwio::UnlockRow(f, type, rowid);
        return f->status;
    }
    sqlite3_bind_int64(stmt, 1, rowid);
    kwio::BumpGeneration();
    const int rc = sqlite3_step(stmt);
    sqlite3_reset(stmt);
    if (rc != SQLITE_DONE) {
        if (!hadLock) kwio::UnlockRow(f, type, rowid);
        return kwio::FailSqlite(f, rc);
    }
    const bool deleted = sqlite3_changes(f->db.get()) > 0;
    kwio::UnlockRow(f, type, rowid);
    // The key snapshot stays, so a walk goes on with the record after the deleted one.
    return deleted ? kwio::Ok(f) : Fail(f, XIO_NO_RECORD);
}

short xio_lock_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
    if (short status = kwio::LockRow(f, type, buffer->rowid)) return status;
    return kwio::Ok(f);
}

short xio_unlock_record(short file, short type, short currentOnly) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (currentOnly) {
        if (buffer->rowid) kwio::UnlockRow(f, type, buffer->rowid);
    } else {
        for (int64_t rowid : std::vector<int64_t>(buffer->locked.begin(), buffer->locked.end()))
            kwio::UnlockRow(f, type, rowid);
    }
    return kwio::Ok(f);
}
