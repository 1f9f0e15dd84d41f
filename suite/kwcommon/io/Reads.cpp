// Keyed reads and walks. Each (record type, key, seek kind) has one prepared statement
// that is bound and stepped; walks follow a key's order with keyset reads (the key values
// and rowid of the current record), never OFFSET, and walks without lock read a batch of
// rows ahead. A read that meets an error answers its status: a walk hands out the rows
// read before the error, then the error, never a short end of file.
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/xio.h"

#include <algorithm>

namespace kwio {

namespace {
constexpr auto kBatchLifetime = std::chrono::milliseconds(250);
constexpr size_t kMaxBatch = 128; // rows: a walk reads this many ahead at most
} // namespace

void ReadRow(const kwDictionary& dict, const xio_rec_def& rec, sqlite3_stmt* stmt, int firstColumn, Row& row) {
    row.resize(rec.fieldCount);
    const xio_fld_def* field = &dict.fields[static_cast<size_t>(rec.firstField - 1)];
    for (short i = 0; i < rec.fieldCount; ++i, ++field) {
        FieldValue& value = row[i];
        if (IsText(*field)) {
            // Texts hold no NUL (a value put into a buffer ends at its first), so the
            // text's length needs no second call into SQLite; most fields are empty.
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, firstColumn + i));
            if (text && *text) value.text.assign(text);
            else value.text.clear();
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

void MakeCurrent(RecordBuffer& buffer, int64_t rowid, short key) {
    buffer.rowid = rowid;
    buffer.snapshotKey = key;
    const std::vector<int>& columns = key < 0 ? buffer.keyColumns : buffer.keys[static_cast<size_t>(key)].columns;
    for (int column : columns) buffer.keySnapshot[column] = buffer.values[column];
}

short ReadByRowid(OpenFile* f, short type, int64_t rowid, bool lock, short key) {
    RecordBuffer& buffer = *Buffer(f, type);
    if (lock) {
        const short status = LockRow(f, type, rowid);
        if (status) return status;
    }
    sqlite3_stmt* stmt = Ready(f, buffer.byRowid, [&] {
        return "SELECT " + SelectColumns(*f, *buffer.def) + " FROM " + TableName(type) + " WHERE rowid = ?";
    });
    if (!stmt) {
        if (lock) UnlockRow(f, type, rowid);
        return f->status;
    }
    sqlite3_bind_int64(stmt, 1, rowid);
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        ReadRow(*f->dict, *buffer.def, stmt, 0, buffer.values);
        sqlite3_reset(stmt);
        MakeCurrent(buffer, rowid, key);
        return Ok(f);
    }
    sqlite3_reset(stmt);
    if (lock) UnlockRow(f, type, rowid);
    if (rc == SQLITE_DONE) return Fail(f, XIO_NO_RECORD);
    return FailSqlite(f, rc);
}

// A walk by a key other than the one the current record was read by needs that key's
// fields as they were read: the record is read again for them (when it is gone, the
// buffer's values stand in).
void SnapshotFor(OpenFile* f, RecordBuffer& buffer, short key) {
    sqlite3_stmt* stmt = Ready(f, buffer.byRowid, [&] {
        return "SELECT " + SelectColumns(*f, *buffer.def) + " FROM " + TableName(buffer.def->number) + " WHERE rowid = ?";
    });
    bool reread = false;
    if (stmt) {
        sqlite3_bind_int64(stmt, 1, buffer.rowid);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            ReadRow(*f->dict, *buffer.def, stmt, 0, buffer.scratch);
            reread = true;
        }
        sqlite3_reset(stmt);
    }
    if (reread) {
        for (int column : buffer.keyColumns) buffer.keySnapshot[column] = buffer.scratch[column];
    } else {
        for (int column : buffer.keys[static_cast<size_t>(key)].columns)
            buffer.keySnapshot[column] = buffer.values[column];
    }
    buffer.snapshotKey = -1;
}

namespace {

// Serves the next row of a walk from the read-ahead batch when it is still good (same key
// and direction, nothing written since, young). Answers -1 when the batch cannot serve.
short FromBatch(OpenFile* f, RecordBuffer& buffer, short key, bool backward) {
    WalkBatch& batch = buffer.batch;
    if (batch.key != key || batch.backwards != backward || batch.generation != Generation() || batch.next == 0 ||
        batch.next > batch.rows.size() || batch.rowids[batch.next - 1] != buffer.rowid ||
        std::chrono::steady_clock::now() - batch.readAt >= kBatchLifetime)
        return -1;
    if (batch.next < batch.rows.size()) {
        std::swap(buffer.values, batch.rows[batch.next]);
        MakeCurrent(buffer, batch.rowids[batch.next], key);
        ++batch.next;
        return Ok(f);
    }
    if (batch.failure) {
        const short status = batch.failure;
        batch.key = -1;
        return Fail(f, status, batch.failureDetail);
    }
    if (batch.exhausted) return Fail(f, XIO_NO_RECORD);
    return -1;
}


// One keyed read. Without lock, the seeks that start or go on with a walk read a batch
// ahead and later calls are served from it.
short KeyedRead(short file, short type, short key, short lock, Seek seek) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = CheckRecordFile(f)) return status;
    RecordBuffer* buffer = Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (key < 0 || static_cast<size_t>(key) >= buffer->keys.size() || !buffer->keys[key].def)
        return Fail(f, XIO_BAD_KEY);
    KeyAccess& access = buffer->keys[key];
    const kwDictionary& dict = *f->dict;
    const xio_rec_def& rec = *buffer->def;
    WalkBatch& batch = buffer->batch;

    const bool forward = seek == Seek::After;
    const bool backward = seek == Seek::Before;
    if ((forward || backward) && buffer->rowid == 0) return Fail(f, XIO_NO_CURRENT);
    if (!buffer->tablePresent) return Fail(f, XIO_NO_RECORD);
    if ((forward || backward) && buffer->snapshotKey >= 0 && buffer->snapshotKey != key) SnapshotFor(f, *buffer, key);

    if ((forward || backward) && !lock) {
        const short served = FromBatch(f, *buffer, key, backward);
        if (served >= 0) return served;
    }

    sqlite3_stmt* stmt =
        Ready(f, access.seek[static_cast<size_t>(seek)], [&] { return SeekSql(*f, rec, *access.def, seek); });
    if (!stmt) return f->status;
    int index = 1;
    const Row& source = (forward || backward) ? buffer->keySnapshot : buffer->values;
    if (seek != Seek::First && seek != Seek::Last) {
        for (int column : access.columns)
            Bind(dict.fields[static_cast<size_t>(rec.firstField + column - 1)], stmt, index++, source[column]);
    }
    if (forward || backward) sqlite3_bind_int64(stmt, index++, buffer->rowid);

    const bool readAhead = !lock && (forward || backward || seek == Seek::AtOrAfter || seek == Seek::First);
    size_t limit = 1;
    if (readAhead) {
        // A walk that keeps going reads ever larger batches; a fresh seek starts small.
        const bool continuing =
            (forward || backward) && batch.key == key && batch.next == batch.rows.size() && batch.next > 0;
        batch.size = continuing ? std::min(batch.size * 2, kMaxBatch) : 16;
        limit = batch.size;
    }
    sqlite3_bind_int64(stmt, index, static_cast<sqlite3_int64>(limit));

    int rc = sqlite3_step(stmt);
    if (rc != SQLITE_ROW) {
        const short status = rc == SQLITE_DONE ? Fail(f, XIO_NO_RECORD) : FailSqlite(f, rc);
        sqlite3_reset(stmt);
        batch.key = -1;
        return status;
    }
    const int64_t firstRowid = sqlite3_column_int64(stmt, 0);
    if (lock) {
        sqlite3_reset(stmt);
        batch.key = -1;
        // Lock first, then read the row again: it may have changed since the seek.
        return ReadByRowid(f, type, firstRowid, true, key);
    }
    ReadRow(dict, rec, stmt, 1, buffer->values);
    MakeCurrent(*buffer, firstRowid, key);
    if (!readAhead) {
        sqlite3_reset(stmt);
        batch.key = -1;
        return Ok(f);
    }
    batch.key = key;
    batch.backwards = backward || seek == Seek::Last;
    batch.generation = Generation();
    batch.readAt = std::chrono::steady_clock::now();
    batch.failure = 0;
    size_t count = 1;
    if (batch.rows.size() < limit) batch.rows.resize(limit);
    batch.rowids.resize(limit);
    batch.rowids[0] = firstRowid;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        batch.rowids[count] = sqlite3_column_int64(stmt, 0);
        ReadRow(dict, rec, stmt, 1, batch.rows[count]);
        ++count;
    }
    if (rc != SQLITE_DONE) {
        // Damage past the rows read: they are handed out, then the walk answers the error.
        batch.failure = StatusOfSqlite(rc);
        batch.failureDetail = sqlite3_errmsg(f->db.get());
    }
    sqlite3_reset(stmt);
    batch.exhausted = rc == SQLITE_DONE && count < limit;
    batch.rowids.resize(count);
    batch.rows.resize(count);
    batch.next = 1;
    return Ok(f);
}

} // namespace

} // namespace kwio

using kwio::Fail;
using kwio::Find;
using kwio::OpenFile;
using kwio::Seek;

short xio_rd_record(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::Exact);
}
short xio_rd_ge(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::AtOrAfter);
}
short xio_rd_next(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::After);
}
short xio_rd_prev(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::Before);
}
short xio_rd_first(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::First);
}
short xio_rd_last(short file, short type, short key, short lock) {
    return kwio::KeyedRead(file, type, key, lock, Seek::Last);
}

int64_t xio_save_record(short file, short type) {
    OpenFile* f = Find(file);
    if (!f) return 0;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    return buffer ? buffer->rowid : 0;
}

short xio_restore_record(short file, int64_t position, short type, short lock) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    if (position <= 0 || !buffer->tablePresent) return Fail(f, XIO_NO_RECORD);
    buffer->batch.key = -1;
    return kwio::ReadByRowid(f, type, position, lock != 0);
}

short xio_count_records(short file, short type, int64_t* count) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    kwio::RecordBuffer* buffer = kwio::Buffer(f, type);
    if (!buffer) return Fail(f, XIO_BAD_RECORD_TYPE);
    *count = 0;
    if (!buffer->tablePresent) return kwio::Ok(f);
    // The file keeps its counts in the transaction of every write; a file opened as it is
    // without them is counted.
    sqlite3_stmt* stmt = kwio::Ready(f, buffer->count, [&] {
        return f->countsKept ? "SELECT records FROM kw_count WHERE type = " + std::to_string(type)
                             : "SELECT count(*) FROM " + kwio::TableName(type);
    });
    if (!stmt) return f->status;
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) *count = sqlite3_column_int64(stmt, 0);
    sqlite3_reset(stmt);
    if (rc == SQLITE_DONE) return Fail(f, XIO_CORRUPT, "the record count of type " + std::to_string(type) + " is missing");
    return rc == SQLITE_ROW ? kwio::Ok(f) : kwio::FailSqlite(f, rc);
}
