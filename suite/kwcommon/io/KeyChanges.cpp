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

namespace {
// What SQLite's progress handler passes on while an index is built.
struct KeyProgress {
    const xio_progress* progress;
    int percent;
    std::string stage;
};

int OnKeyProgress(void* data) {
    auto* hook = static_cast<KeyProgress*>(data);
    (*hook->progress)(hook->percent, hook->stage);
    return 0; // an index is built whole or not at all: the work goes on
}
} // namespace

short xio_update_keys(xio_key_changes* changes, const xio_progress& progress) {
    std::unique_ptr<xio_key_changes> owned(changes);
    if (!owned) return XIO_OK;
    short result = XIO_OK;
    const int total = static_cast<int>(owned->changes.size());
    int done = 0;
    for (const auto& change : owned->changes) {
        const int percent = total ? done++ * 100 / total : 0;
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
            KeyProgress hook{&progress, percent,
                             (change.active ? "Building order " : "Removing order ") + std::to_string(key.number) +
                                 " of " + change.abbrev};
            if (progress) {
                progress(percent, hook.stage);
                sqlite3_progress_handler(f->db.get(), 20000, OnKeyProgress, &hook);
            }
            int rc = f->db.Exec(sql);
            if (progress) sqlite3_progress_handler(f->db.get(), 0, nullptr, nullptr);
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
    if (progress) progress(100, "Done");
    return result;
}
