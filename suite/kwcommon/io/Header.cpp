// The file's header: one row of header fields, locked by byte 0 of the lock file while a
// user changes it (the next issue number is taken this way).
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/xio.h"

#include <cerrno>
#include <cstring>

using kwio::Fail;
using kwio::Find;
using kwio::OpenFile;

namespace {

void ReleaseHeader(OpenFile* f) {
    if (f->headerLocked) f->locks.Unlock(kwio::kHeaderByte);
    f->headerLocked = false;
}

} // namespace

short xio_rd_header(short file, short, short lock) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    const bool lockedHere = lock && !f->headerLocked;
    if (lockedHere) {
        if (f->readOnly) return Fail(f, XIO_READ_ONLY, f->readOnlyReason);
        if (!f->locks.TryLock(kwio::kHeaderByte, true)) {
            if (errno == ENOLCK) return Fail(f, XIO_NO_LOCKS, f->path + ".lck: " + std::strerror(errno));
            return Fail(f, XIO_LOCKED);
        }
        f->headerLocked = true;
    }
    sqlite3_stmt* stmt = kwio::Ready(f, f->headerSelect, [&] { return kwio::HeaderSelectSql(*f); });
    if (!stmt) {
        if (lockedHere) ReleaseHeader(f);
        return f->status;
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        const kwDictionary& dict = *f->dict;
        const short first = kwio::HeaderFirstField(dict);
        for (short i = 0; i < dict.file.headerFieldCount; ++i) {
            const xio_fld_def& field = *dict.Field(static_cast<short>(first + i));
            if (kwio::IsText(field)) {
                const unsigned char* text = sqlite3_column_text(stmt, i + 1);
                f->header[i].text = text ? reinterpret_cast<const char*>(text) : "";
            } else {
                f->header[i].number = sqlite3_column_double(stmt, i + 1);
            }
        }
    }
    short status = XIO_OK;
    if (rc == SQLITE_DONE) status = Fail(f, XIO_CORRUPT, "the header is missing");
    else if (rc != SQLITE_ROW) status = kwio::FailSqlite(f, rc);
    sqlite3_reset(stmt);
    if (status) {
        if (lockedHere) ReleaseHeader(f);
        return status;
    }
    f->headerRead = true;
    return kwio::Ok(f);
}

short xio_free_header(short file, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    ReleaseHeader(f);
    return kwio::Ok(f);
}

short xio_wr_header(short file, short) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    if (!f->headerLocked) return Fail(f, XIO_NOT_LOCKED, "the header was not read for change");
    if (f->damaged) return Fail(f, XIO_CORRUPT, "the file was found damaged; nothing more is written to it");
    const kwDictionary& dict = *f->dict;
    sqlite3_stmt* stmt = kwio::Ready(f, f->headerUpdate, [&] { return kwio::HeaderUpdateSql(dict); });
    if (!stmt) return f->status;
    const short first = kwio::HeaderFirstField(dict);
    for (short i = 0; i < dict.file.headerFieldCount; ++i)
        kwio::Bind(*dict.Field(static_cast<short>(first + i)), stmt, i + 1, f->header[i]);
    kwio::BumpGeneration();
    const int rc = sqlite3_step(stmt);
    const int changes = sqlite3_changes(f->db.get());
    sqlite3_reset(stmt);
    // On failure the header stays locked: the caller reports and frees it.
    if (rc != SQLITE_DONE) return kwio::FailSqlite(f, rc);
    if (changes == 0) return Fail(f, XIO_CORRUPT, "the header is missing");
    ReleaseHeader(f);
    return kwio::Ok(f);
}
