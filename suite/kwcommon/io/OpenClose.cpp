// Opening and closing data files: the file number table, the path through the file
// control, the version checks, the journal mode for network shares, the schema compared
// before anything is written, and opens for reading in folders the user may not write to.
// New files and leftovers: NewFile.cpp.
#include "FileSystem.h"
#include "RecordManagerInternal.h"
#include "Schema.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xc_file_control.h"
#include "kwcommon/xio.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <strings.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kwio {

namespace {

constexpr int kBusyTimeoutMs = 5000;

short AllocateNumber(std::unique_ptr<OpenFile> file, short* number) {
    for (short n = 1; n <= kMaxFiles; ++n) {
        if (!g_openFiles[n]) {
            file->number = n;
            *number = n;
            g_openFiles[n] = std::move(file);
            return XIO_OK;
        }
    }
    return XIO_TOO_MANY_FILES;
}

void PrepareBuffers(OpenFile* f) {
    const kwDictionary& dict = *f->dict;
    f->slots.assign(static_cast<size_t>(dict.file.fieldCount) + 1, FieldSlot{});
    for (const auto& rec : dict.recordTypes) {
        RecordBuffer& buffer = f->buffers[rec.number];
        buffer.def = &rec;
        buffer.values.assign(rec.fieldCount, FieldValue{});
        for (short i = 0; i < rec.fieldCount; ++i) {
            ResetValue(*dict.Field(static_cast<short>(rec.firstField + i)), buffer.values[i]);
            const xio_fld_def* field = dict.Field(static_cast<short>(rec.firstField + i));
            f->slots[static_cast<size_t>(rec.firstField + i)] = FieldSlot{&buffer, i, false, IsText(*field), field};
        }
        std::set<int> columns;
        for (const auto& key : dict.keys) {
            if (key.recordType != rec.number || key.number < 0) continue;
            if (buffer.keys.size() <= static_cast<size_t>(key.number)) buffer.keys.resize(key.number + 1);
            KeyAccess& access = buffer.keys[key.number];
            access.def = &key;
            for (int i = 0; i < key.fieldCount; ++i) {
                access.columns.push_back(key.fields[i] - rec.firstField);
                columns.insert(key.fields[i] - rec.firstField);
            }
        }
        buffer.keyColumns.assign(columns.begin(), columns.end());
        buffer.keySnapshot.assign(rec.fieldCount, FieldValue{});
    }
    f->header.assign(dict.file.headerFieldCount, FieldValue{});
    const short headerFirst = HeaderFirstField(dict);
    for (short i = 0; i < dict.file.headerFieldCount; ++i) {
        ResetValue(*dict.Field(static_cast<short>(headerFirst + i)), f->header[i]);
        const xio_fld_def* field = dict.Field(static_cast<short>(headerFirst + i));
        f->slots[static_cast<size_t>(headerFirst + i)] = FieldSlot{nullptr, i, true, IsText(*field), field};
    }
}

std::string QueryText(Database& db, const char* sql, int* rc) {
    Statement statement(db.get(), sql);
    if (!statement) {
        *rc = sqlite3_errcode(db.get());
        return {};
    }
    *rc = sqlite3_step(statement.get());
    if (*rc != SQLITE_ROW) return {};
    *rc = SQLITE_OK;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0));
    return text ? text : "";
}

// Reads the meta table: it proves the file is ours and not damaged at its start.
short ReadMeta(OpenFile* f) {
    Statement meta(f->db.get(), "SELECT name, value FROM kw_meta WHERE name IN ('abbrev', 'dataVersion')");
    if (!meta) return FailSqlite(f, sqlite3_errcode(f->db.get()));
    std::string abbrev;
    int rc;
    while ((rc = sqlite3_step(meta.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 0));
        const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 1));
        if (!name || !value) continue;
        if (!std::strcmp(name, "abbrev")) abbrev = value;
        else f->storedDataVersion = value;
    }
    if (rc != SQLITE_DONE) return FailSqlite(f, rc);
    if (strcasecmp(abbrev.c_str(), f->dict->file.abbrev) != 0)
        return Fail(f, XIO_CORRUPT, f->path + " holds \"" + abbrev + "\" data, not \"" + f->dict->file.abbrev + "\"");
    if (f->storedDataVersion.empty()) return Fail(f, XIO_CORRUPT, f->path + " names no data version");
    return XIO_OK;
}

short CheckVersion(OpenFile* f, const OpenOptions& options) {
    const std::string& stored = f->storedDataVersion;
    const std::string known = f->dict->file.dataVersion;
    if (CompareDataVersions(stored, known) > 0)
        return Fail(f, XIO_VERSION,
                    f->path + " holds data of version " + stored + ", made by a newer program; this program knows " +
                        "data up to version " + known + ". Use the newer program.");
    if (!options.minimumDataVersion.empty() && !options.forUpgrade &&
        CompareDataVersions(stored, options.minimumDataVersion) < 0)
        return Fail(f, XIO_NEEDS_UPGRADE,
                    f->path + " holds data of version " + stored + "; this program works with data of version " +
                        options.minimumDataVersion + " and later. Run the upgrade first: qvupgrade --data " +
                        kwCompany::Folder());
    return XIO_OK;
}

// A file on a network share keeps the rollback journal: a write-ahead log needs memory
// shared between the processes, which workstations do not share. A local open never
// switches a file back, since the folder may be shared out from this machine.
short ChooseJournal(OpenFile* f, const FileSystemInfo& system) {
    if (!system.network) return XIO_OK;
    int rc = SQLITE_OK;
    std::string mode = QueryText(f->db, "PRAGMA journal_mode", &rc);
    if (rc != SQLITE_OK) return FailSqlite(f, rc);
    if (mode != "wal") return XIO_OK;
    if (sqlite3_db_readonly(f->db.get(), "main") != 0)
        return Fail(f, XIO_READ_ONLY,
                    f->path + " uses a write-ahead log, which does not work on a " + system.name +
                        " share; it is changed over by the first user who opens it with the right to write.");
    mode = QueryText(f->db, "PRAGMA journal_mode=DELETE", &rc);
    if (rc != SQLITE_OK || mode != "delete")
        return Fail(f, XIO_LOCKED,
                    f->path + " must change its journal to work on a " + system.name +
                        " share, which needs everyone else to close it first.");
    return XIO_OK;
}

short ApplySchema(OpenFile* f) {
    SchemaPlan plan;
    int rc = PlanSchema(*f->dict, f->db.get(), f->storedDataVersion, &plan);
    if (rc != SQLITE_OK) return FailSqlite(f, rc);
    if (plan.Empty()) return XIO_OK;
    if (f->readOnly) {
        // Left as it is: absent columns read as empty values, absent tables as no records,
        // record counts are counted.
        f->missingColumns = plan.missingColumns;
        for (short type : plan.missingTables) f->buffers[type].tablePresent = false;
        f->countsKept = !plan.countsMissing;
        return XIO_OK;
    }
    rc = f->db.Exec("BEGIN IMMEDIATE");
    if (rc != SQLITE_OK) return FailSqlite(f, rc);
    // Planned again under the write lock: another process may have done it meanwhile.
    rc = PlanSchema(*f->dict, f->db.get(), f->storedDataVersion, &plan);
    for (size_t i = 0; rc == SQLITE_OK && i < plan.statements.size(); ++i) rc = f->db.Exec(plan.statements[i]);
    if (rc == SQLITE_OK) rc = f->db.Exec("COMMIT");
    if (rc != SQLITE_OK) {
        const short status = FailSqlite(f, rc);
        f->db.Exec("ROLLBACK");
        return status;
    }
    return XIO_OK;
}

short OpenDatabase(OpenFile* f, const OpenOptions& options) {
    std::error_code ec;
    const std::string folder = kwStoredFile::FolderOf(f->path);
    if (!fs::is_directory(folder, ec)) return Fail(f, XIO_NO_DRIVE, folder);
    const FileSystemInfo system = FileSystemOf(folder);
    f->network = system.network;
    if (system.network && !system.sharedLocks)
        return Fail(f, XIO_NO_LOCKS,
                    folder + " is on a " + system.name + " share mounted without locks that reach the other " +
                        "workstations (" + system.options + "). Mount it with locking (without nolock or nobrl).");
    const bool folderWritable = ::access(folder.c_str(), W_OK) == 0;
    // A process number names a process of this workstation only: on a network share the
    // leftovers are left for a local user of the folder.
    if (folderWritable && !options.readOnly && !system.network) RemoveLeftovers(folder, f->path);
    if (!fs::exists(f->path, ec)) {
        if (!options.create || options.readOnly) return Fail(f, XIO_ABSENT, f->path);
        if (!folderWritable) return Fail(f, XIO_READ_ONLY, "no new file can be made in " + folder + ": you may not write there");
        std::string detail;
        if (short status = CreateDataFile(*f->dict, f->path, system.network, &detail)) return Fail(f, status, detail);
    }
    if (::access(f->path.c_str(), R_OK) != 0) {
        const int reason = errno;
        return Fail(f, StatusOfErrno(reason), f->path + ": " + std::strerror(reason));
    }
    const bool fileWritable = ::access(f->path.c_str(), W_OK) == 0;
    // A user without the right to write still reads: the file opens for reading only.
    f->readOnly = options.readOnly || !folderWritable || !fileWritable;
    if (options.readOnly) f->readOnlyReason = "the file is open for reading only";
    else if (f->readOnly)
        f->readOnlyReason = "you may not change " + (folderWritable ? f->path : folder) + ": the file is open for reading only";

    if (f->locks.Open(f->path + ".lck")) f->haveLocks = true;
    else if (!f->readOnly) return Fail(f, StatusOfErrno(errno), f->path + ".lck: " + std::strerror(errno));
    if (f->haveLocks && !f->locks.TryLock(kOpenByte, f->exclusive)) {
        if (errno == ENOLCK) return Fail(f, XIO_NO_LOCKS, f->path + ".lck: " + std::strerror(errno));
        if (errno == EBADF) return Fail(f, XIO_READ_ONLY, f->readOnlyReason);
        return Fail(f, XIO_LOCKED, f->path);
    }

    // A user who may write opens the database for writing even to read it: SQLite then
    // keeps and removes its log files as usual (the record manager refuses the writes).
    const bool mayWrite = folderWritable && fileWritable;
    int rc = mayWrite ? f->db.Open(f->path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX)
                      : ConnectForReading(f->db, f->path);
    if (rc != SQLITE_OK) {
        const std::string reason = f->db.get() ? f->db.Error() : sqlite3_errstr(rc);
        // A reader cannot make the log files that a file left open by a stopped program
        // needs; only someone who may write can open it once and tidy them.
        if (!mayWrite && (rc & 0xff) == SQLITE_CANTOPEN)
            return Fail(f, XIO_READ_ONLY,
                        f->path + " was left in use with a write-ahead log and cannot be read by someone who may " +
                            "not write in " + folder + "; it must be opened once by someone who may.");
        return Fail(f, StatusOfSqlite(rc), f->path + ": " + reason);
    }
    sqlite3_busy_timeout(f->db.get(), kBusyTimeoutMs);
    sqlite3_extended_result_codes(f->db.get(), 1);
    if (short status = ReadMeta(f)) return status;
    if (short status = CheckVersion(f, options)) return status;
    if (short status = ChooseJournal(f, system)) return status;
    if (short status = ApplySchema(f)) return status;
    // A write the user is told about survives a power cut (see xio.h).
    if (!f->readOnly) {
        rc = f->db.Exec("PRAGMA synchronous=FULL");
        if (rc != SQLITE_OK) return FailSqlite(f, rc);
    }
    return Ok(f);
}

short OpenCommon(const std::string& abbrev, const std::string& explicitPath, short programNumber,
                 const OpenOptions& options, bool dictionaryOnly, short* number, std::string* detail) {
    *number = 0;
    if (!kwCompany::IsOpen()) return XIO_NO_DRIVE;
    std::string error;
    auto dict = kwDictionaryLoader::Load(abbrev, &error);
    if (!dict) {
        std::error_code ec;
        x_log(programNumber, error.c_str());
        if (detail) *detail = error;
        return fs::exists(kwDictionaryLoader::PathOf(abbrev), ec) ? XIO_DICTIONARY : XIO_ABSENT;
    }
    auto f = std::make_unique<OpenFile>();
    f->abbrev = dict->file.abbrev;
    f->dict = dict;
    f->programNumber = programNumber;
    f->readOnly = options.readOnly || dictionaryOnly;
    f->exclusive = options.exclusive;
    f->dictionaryOnly = dictionaryOnly;
    PrepareBuffers(f.get());
    if (!dictionaryOnly) {
        f->path = DataFilePath(*dict, explicitPath);
        const short status = OpenDatabase(f.get(), options);
        if (status) {
            if (detail) *detail = f->detail;
            return status;
        }
    }
    return AllocateNumber(std::move(f), number);
}

} // namespace

std::string DataFilePath(const kwDictionary& dict, const std::string& explicitPath) {
    if (!explicitPath.empty()) return explicitPath;
    xc_file_control_def control{};
    std::string folder = kwCompany::Folder();
    if (xc_get_file_control_def(dict.file.abbrev, &control) == XIO_OK && control.path[0]) folder = control.path;
    return folder + "/" + dict.file.defaultFileName;
}

std::unique_ptr<OpenFile> g_openFiles[kMaxFiles + 1];

void OpenFile::CloseDatabase() {
    // Statements first: a database closes only when its statements are gone.
    for (auto& [type, buffer] : buffers) {
        for (auto& key : buffer.keys)
            for (auto& statement : key.seek) statement = Statement();
        buffer.insert = Statement();
        buffer.update = Statement();
        buffer.remove = Statement();
        buffer.byRowid = Statement();
        buffer.count = Statement();
    }
    headerSelect = Statement();
    headerUpdate = Statement();
    positioned.clear();
    db.Close();
}

short OpenDataFile(const std::string& abbrev, const std::string& path, short programNumber,
                   const OpenOptions& options, short* fileNumber, std::string* detail) {
    return OpenCommon(abbrev, path, programNumber, options, false, fileNumber, detail);
}

int CompareDataVersions(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() || j < b.size()) {
        const size_t endA = std::min(a.find('.', i), a.size());
        const size_t endB = std::min(b.find('.', j), b.size());
        const std::string partA = i < a.size() ? a.substr(i, endA - i) : "0";
        const std::string partB = j < b.size() ? b.substr(j, endB - j) : "0";
        char* restA = nullptr;
        char* restB = nullptr;
        const long numberA = std::strtol(partA.c_str(), &restA, 10);
        const long numberB = std::strtol(partB.c_str(), &restB, 10);
        if (*restA == 0 && *restB == 0 && !partA.empty() && !partB.empty()) {
            if (numberA != numberB) return numberA < numberB ? -1 : 1;
        } else if (partA != partB) {
            return partA < partB ? -1 : 1;
        }
        i = endA + 1;
        j = endB + 1;
    }
    return 0;
}

} // namespace kwio

using kwio::Find;
using kwio::OpenFile;

short xio_open_file(const xio_open_def* def, short* fileNumber) {
    if (!def || !fileNumber) return XIO_FAILED;
    kwio::OpenOptions options;
    options.create = def->create != 0;
    options.readOnly = def->readOnly != 0;
    options.minimumDataVersion = std::string(def->minDataVersion, strnlen(def->minDataVersion, sizeof(def->minDataVersion)));
    options.forUpgrade = def->forUpgrade != 0;
    return kwio::OpenCommon(def->abbrev, def->path, def->programNumber, options, false, fileNumber, nullptr);
}

short xio_open_dictionary(const char* abbrev, short* fileNumber) {
    if (!abbrev || !fileNumber) return XIO_FAILED;
    return kwio::OpenCommon(abbrev, "", 0, kwio::OpenOptions{}, true, fileNumber, nullptr);
}

short xio_cls_file(short file) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    // Closing the lock descriptor releases every lock of the file.
    f->CloseDatabase();
    f->locks.Close();
    kwio::g_openFiles[file].reset();
    return XIO_OK;
}

short xio_set_durability(short file, short durability) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    if (f->readOnly) return kwio::Ok(f);
    const int rc = f->db.Exec(durability == XIO_FAST ? "PRAGMA synchronous=NORMAL" : "PRAGMA synchronous=FULL");
    return rc == SQLITE_OK ? kwio::Ok(f) : kwio::FailSqlite(f, rc);
}

short xio_get_file_dictionary(short file, std::string* text) {
    OpenFile* f = Find(file);
    if (!f) return XIO_BAD_FILE_NUMBER;
    if (short status = kwio::CheckRecordFile(f)) return status;
    text->clear();
    kwio::Statement stored(f->db.get(), "SELECT value FROM kw_meta WHERE name = 'dictionary'");
    if (!stored) return kwio::FailSqlite(f, sqlite3_errcode(f->db.get()));
    const int rc = sqlite3_step(stored.get());
    if (rc == SQLITE_DONE) return kwio::Fail(f, XIO_NO_RECORD, f->path + " carries no copy of its dictionary");
    if (rc != SQLITE_ROW) return kwio::FailSqlite(f, rc);
    const auto* value = reinterpret_cast<const char*>(sqlite3_column_text(stored.get(), 0));
    text->assign(value ? value : "", static_cast<size_t>(sqlite3_column_bytes(stored.get(), 0)));
    return kwio::Ok(f);
}
