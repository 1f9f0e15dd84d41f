// Alternate keys switched on and off: indexes built or dropped in the data files.
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/x_log.h"
#include "kwcommon/xio.h"

#include <cstdio>
#include <vector>

struct xio_key_changes {
    struct Change {
        std::string abbrev;
        short key;
        bool active;
    };
    std::vector<Change> changes;
};

xio_key_changes* xio_key_chg_def(const char* abbrev, xio_key_changes* changes, short key, short active) {
    if (!changes) changes = new xio_key_changes;
    changes->changes.push_back({abbrev ? abbrev : "", key, active != 0});
    return changes;
}

short xio_update_keys(xio_key_changes* changes) {
    std::unique_ptr<xio_key_changes> owned(changes);
    if (!owned) return XIO_OK;
    short result = XIO_OK;
    for (const auto& change : owned->changes) {
        if (change.key == 0) continue; // key 0 is never switched off
        short file = 0;
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof(def.abbrev), "%s", change.abbrev.c_str());
        const short status = xio_open_file(&def, &file);
        if (status == XIO_ABSENT) continue; // no data yet: the index is made with the file
        if (status) {
            result = status;
            continue;
        }
        kwio::OpenFile* f = kwio::Find(file);
        if (f->readOnly) {
            result = XIO_READ_ONLY;
            xio_cls_file(file);
            continue;
        }
        for (const auto& key : f->dict->keys) {
            if (key.number != change.key) continue;
            const std::string sql = change.active ? kwio::IndexSql(*f->dict, key)
                                                  : "DROP INDEX IF EXISTS " + kwio::IndexName(key.recordType, key.number);
            int rc = f->db.Exec(sql);
            // Switching on a key whose index is there already changes nothing.
            if (rc == SQLITE_ERROR && change.active && sqlite3_get_autocommit(f->db.get())) {
                const std::string error = f->db.Error();
                if (error.find("already exists") != std::string::npos) rc = SQLITE_OK;
            }
            if (rc != SQLITE_OK) {
                x_log(0, ("Key change on " + change.abbrev + ": " + f->db.Error()).c_str());
                result = kwio::StatusOfSqlite(rc);
            }
        }
        xio_cls_file(file);
    }
    return result;
}
