// Alternate keys switched on and off: indexes built or dropped in the data files.
#include "OpenFile.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xc_file_control.h"
#include "kwcommon/xio.h"

#include <cstring>
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
        short file = 0;
        xio_open_def def{};
        std::snprintf(def.abbrev, sizeof(def.abbrev), "%s", change.abbrev.c_str());
        short status = xio_open_file(&def, &file);
        if (status == XIO_ABSENT) continue; // no data yet: the index is made with the file
        if (status) {
            result = status;
            continue;
        }
        xio_def fileDef{};
        xio_get_def(file, &fileDef, 0);
        std::string error;
        auto dict = kwDictionaryLoader::Load(change.abbrev, &error);
        kwio::Database db;
        int rc = db.Open(fileDef.path, SQLITE_OPEN_READWRITE);
        if (rc == SQLITE_OK && dict) {
            sqlite3_busy_timeout(db.get(), 5000);
            for (const auto& key : dict->keys) {
                if (key.number != change.key || key.number == 0) continue;
                const std::string index = "k" + std::to_string(key.recordType) + "_" + std::to_string(key.number);
                std::string sql;
                if (change.active) {
                    sql = std::string("CREATE ") + (key.unique ? "UNIQUE " : "") + "INDEX IF NOT EXISTS " + index +
                          " ON r" + std::to_string(key.recordType) + "(";
                    for (int i = 0; i < key.fieldCount; ++i)
                        sql += std::string(i ? ", " : "") + "\"" + dict->Field(key.fields[i])->name + "\"";
                    sql += ")";
                } else {
                    sql = "DROP INDEX IF EXISTS " + index;
                }
                rc = db.Exec(sql);
                if (rc != SQLITE_OK) {
                    x_log(0, ("Key change on " + change.abbrev + ": " + db.Error()).c_str());
                    result = XIO_FAILED;
                }
            }
        } else {
            result = XIO_FAILED;
        }
        db.Close();
        xio_cls_file(file);
    }
    return result;
}
