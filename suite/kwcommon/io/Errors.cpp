// Statuses of the record manager: SQLite's and the system's results in the suite's
// numbers, the last error detail of each file, and the report of a failure in words.
#include "RecordManagerInternal.h"

#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <cerrno>

namespace kwio {

short StatusOfSqlite(int rc) {
    switch (rc) {
    case SQLITE_IOERR_SHORT_READ: return XIO_CORRUPT; // a file cut short
    case SQLITE_IOERR_NOMEM: return XIO_FAILED;
    case SQLITE_READONLY_DBMOVED: return XIO_IO_ERROR;
    default: break;
    }
    switch (rc & 0xff) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE: return XIO_OK;
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return XIO_LOCKED;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return XIO_CORRUPT;
    case SQLITE_FULL: return XIO_DISK_FULL;
    case SQLITE_READONLY: return XIO_READ_ONLY;
    case SQLITE_PERM:
    case SQLITE_AUTH: return XIO_NOT_AUTHORISED;
    case SQLITE_CANTOPEN: return XIO_ABSENT;
    case SQLITE_CONSTRAINT: return XIO_DUPLICATE_KEY;
    case SQLITE_IOERR: return XIO_IO_ERROR;
    case SQLITE_INTERRUPT: return XIO_CANCELLED;
    default: return XIO_FAILED;
    }
}

short StatusOfErrno(int error) {
    switch (error) {
    case ENOENT: return XIO_ABSENT;
    case EACCES:
    case EPERM: return XIO_NOT_AUTHORISED;
    case EROFS: return XIO_READ_ONLY;
    case ENOSPC:
    case EDQUOT: return XIO_DISK_FULL;
    case ENOLCK: return XIO_NO_LOCKS;
    case EAGAIN: return XIO_LOCKED;
    default: return XIO_IO_ERROR;
    }
}

short Fail(OpenFile* f, short status, const std::string& detail) {
    f->status = status;
    if (!detail.empty()) f->detail = detail;
    // Damage met once is damage: nothing more is written through this open.
    if (status == XIO_CORRUPT) f->damaged = true;
    return status;
}

short FailSqlite(OpenFile* f, int rc) {
    return Fail(f, StatusOfSqlite(rc), f->db.get() ? sqlite3_errmsg(f->db.get()) : sqlite3_errstr(rc));
}

} // namespace kwio

using kwio::Find;
using kwio::OpenFile;

short xio_status(short file) {
    OpenFile* f = Find(file);
    return f ? f->status : static_cast<short>(XIO_BAD_FILE_NUMBER);
}

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
        if (status == XIO_CORRUPT)
            text += "\n\nCheck and repair it with the File Doctor (Tools menu).";
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
