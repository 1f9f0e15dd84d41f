// Repairing a damaged data file: every record that can still be read goes into a new file
// made beside through the stored-file helper (TableSalvage.cpp reads them, through a
// mended copy when the file's schema entries are damaged: SchemaMending.cpp); the damaged
// file is kept beside under a dated name, and the new one takes its place.
#include "FileDoctor.h"
#include "FileSystem.h"
#include "Schema.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kwio {

namespace {

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y%m%d-%H%M%S", &local);
    return text;
}

// The meta values worth keeping from the damaged file: its data version and dictionary.
void CarryMeta(sqlite3* source, Database& target) {
    Statement meta(source, "SELECT name, value FROM kw_meta WHERE name IN ('dataVersion', 'dictionary')");
    Statement keep(target.get(), "INSERT OR REPLACE INTO kw_meta VALUES (?, ?)");
    if (!meta || !keep) return;
    while (sqlite3_step(meta.get()) == SQLITE_ROW) {
        const std::string name = ColumnText(meta.get(), 0), value = ColumnText(meta.get(), 1);
        if (value.empty()) continue;
        sqlite3_reset(keep.get());
        sqlite3_bind_text(keep.get(), 1, name.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(keep.get(), 2, value.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(keep.get());
    }
}

void CarryHeader(const kwDictionary& dict, sqlite3* source, Database& target, xio_file_report* report) {
    const short first = HeaderFirstField(dict);
    const short count = dict.file.headerFieldCount;
    if (count == 0) return;
    const std::set<std::string> columns = ColumnsOf(source, "kw_header");
    std::string select = "SELECT 1", update = "UPDATE kw_header SET id = 1", names;
    for (short i = 0; i < count; ++i) {
        const xio_fld_def& field = *dict.Field(static_cast<short>(first + i));
        const bool present = columns.count(UpperCase(field.name)) != 0;
        select += ", " + (present ? Quote(field.name) : std::string(IsText(field) ? "''" : "0"));
        update += ", " + Quote(field.name) + " = ?";
        names += std::string(i ? ", " : "") + field.name;
    }
    Statement read(source, select + " FROM kw_header WHERE id = 1");
    Statement write(target.get(), update + " WHERE id = 1");
    if (read && write && sqlite3_step(read.get()) == SQLITE_ROW) {
        for (short i = 0; i < count; ++i) {
            const xio_fld_def& field = *dict.Field(static_cast<short>(first + i));
            if (IsText(field)) {
                const std::string text = ColumnText(read.get(), i + 1);
                sqlite3_bind_text(write.get(), i + 1, text.c_str(), -1, SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_double(write.get(), i + 1, sqlite3_column_double(read.get(), i + 1));
            }
        }
        if (sqlite3_step(write.get()) == SQLITE_DONE) return;
    }
    report->unsaved.push_back("The header (" + names + ") could not be read; the new file's header starts empty: " +
                              "set its values again (such as the last number handed out).");
}

// Stray record types: tables the dictionary does not define stay in the damaged file.
void NoteStrayTables(const kwDictionary& dict, sqlite3* source, xio_file_report* report, bool* leftOut) {
    Statement list(source, "SELECT name FROM sqlite_master WHERE type = 'table'");
    while (list && sqlite3_step(list.get()) == SQLITE_ROW) {
        const std::string table = ColumnText(list.get(), 0);
        if (table.size() < 2 || table[0] != 'r' || table.find_first_not_of("0123456789", 1) != std::string::npos)
            continue;
        const short type = static_cast<short>(std::atoi(table.c_str() + 1));
        if (dict.RecordType(type)) continue;
        report->unsaved.push_back("The records of record type " + std::to_string(type) +
                                  ", which the dictionary does not define, stay in the damaged file.");
        *leftOut = true;
    }
}

// A name beside the file, not taken yet, for the damaged file.
std::string BackupName(const std::string& path) {
    const std::string base = path + ".damaged-" + TimeStamp();
    std::error_code ec;
    std::string name = base;
    for (int n = 2; fs::exists(name, ec); ++n) name = base + "-" + std::to_string(n);
    return name;
}

} // namespace

} // namespace kwio

short xio_repair_file(const char* abbrev, xio_file_report* report, const xio_progress& progress) {
    using namespace kwio;
    *report = xio_file_report{};
    report->abbrev = abbrev ? abbrev : "";
    Inspection inspection;
    std::string detail;
    short status = Inspect(abbrev, &inspection, &detail);
    if (inspection.dict) report->abbrev = inspection.dict->file.abbrev;
    report->path = inspection.path;
    if (status) {
        report->problems.push_back(detail);
        return status;
    }
    const kwDictionary& dict = *inspection.dict;
    const std::string& path = inspection.path;

    // Nobody may have the file open while it is rebuilt: every open holds byte 1 shared.
    kwFileLock lock;
    if (!lock.Open(path + ".lck") || !lock.TryLock(kOpenByte, true)) {
        const int reason = errno;
        report->problems.push_back(path + " is open elsewhere (a window of the program, another user or " +
                                   "workstation); everyone must close it before it can be repaired.");
        return reason == EAGAIN || reason == EACCES ? static_cast<short>(XIO_LOCKED) : StatusOfErrno(reason);
    }

    if (!CheckIntegrity(inspection, report, progress, 20)) return XIO_CANCELLED;
    if (!CheckRecordManagerRules(inspection, report, progress, 20, 30)) return XIO_CANCELLED;
    if (report->problems.empty()) {
        report->everythingReadableSaved = true;
        return XIO_OK; // a sound file is left as it is
    }
    report->records.clear(); // from here on: records saved
    // A file cut short still names its old length, and damaged schema entries stop every
    // read: SQLite reads what is there only when told to tolerate a damaged schema.
    inspection.db.Exec("PRAGMA writable_schema=ON");
    SchemaMending mending(dict, path); // its copy goes when the repair ends
    const std::vector<std::string> unreadable = mending.Unreadable(inspection.db.get());
    Database mended;
    sqlite3* source = inspection.db.get();
    if (!unreadable.empty()) {
        std::string error;
        const std::string copy = mending.Make(unreadable, &error);
        if (copy.empty() || mended.Open(copy, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX) != SQLITE_OK) {
            report->unsaved.push_back(error.empty() ? "the mended copy cannot be read" : error);
        } else {
            mended.Exec("PRAGMA writable_schema=ON");
            source = mended.get();
            for (const auto& table : unreadable)
                report->problems.push_back("The description of table " + table +
                                           " was damaged; the rescue read it as the dictionary describes it.");
        }
    }

    // The new file, made beside.
    const std::string folder = kwStoredFile::FolderOf(path);
    const bool network = FileSystemOf(folder).network;
    const std::string temporary = kwStoredFile::TemporaryPath(path);
    auto discard = [&] {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((temporary + suffix).c_str());
    };
    bool leftOut = false;
    {
        Database target;
        int rc = target.Open(temporary, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX);
        // The helper flushes the whole file before it takes its name; the journal only
        // serves to undo a refused record.
        if (rc == SQLITE_OK) rc = target.Exec("PRAGMA synchronous=OFF; PRAGMA journal_mode=MEMORY");
        if (rc == SQLITE_OK) rc = target.Exec(NewFileScript(dict));
        if (rc == SQLITE_OK) rc = target.Exec("BEGIN");
        if (rc != SQLITE_OK) {
            report->unsaved.push_back("The new file cannot be made: " + target.Error());
            target.Close();
            discard();
            return StatusOfSqlite(rc);
        }
        CarryMeta(source, target);
        CarryHeader(dict, source, target, report);
        NoteStrayTables(dict, source, report, &leftOut);
        const int types = static_cast<int>(dict.recordTypes.size());
        int done = 0;
        for (const auto& rec : dict.recordTypes) {
            const int first = 30 + 65 * done / std::max(types, 1);
            const int last = 30 + 65 * (done + 1) / std::max(types, 1);
            ++done;
            short failure = XIO_OK;
            if (!SalvageTable(dict, rec, source, target.get(), report, progress, first, last, &failure, &leftOut)) {
                target.Close();
                discard();
                return failure ? failure : static_cast<short>(XIO_FAILED);
            }
        }
        rc = target.Exec("COMMIT");
        if (rc == SQLITE_OK && !network) rc = target.Exec("PRAGMA journal_mode=WAL");
        if (rc != SQLITE_OK) {
            report->unsaved.push_back("The new file cannot be written: " + target.Error());
            target.Close();
            discard();
            return StatusOfSqlite(rc);
        }
    }
    mended.Close();
    inspection.db.Close();
    for (const char* suffix : {"-journal", "-wal", "-shm"}) ::unlink((temporary + suffix).c_str());
    if (!Tell(progress, 96, "Putting the new file in place")) {
        discard();
        return XIO_CANCELLED;
    }

    // The damaged file keeps a second name first, so a crash at any step leaves it whole
    // under one name or the other. Its write-ahead log goes with it: left beside the new
    // file, it would be read into it.
    const std::string backup = BackupName(path);
    std::error_code ec;
    if (::link(path.c_str(), backup.c_str()) != 0 ||
        (fs::exists(path + "-wal", ec) && ::link((path + "-wal").c_str(), (backup + "-wal").c_str()) != 0)) {
        const int reason = errno;
        report->unsaved.push_back("The damaged file cannot be kept as " + backup + ": " + std::strerror(reason));
        ::unlink(backup.c_str());
        discard();
        return StatusOfErrno(reason);
    }
    ::unlink((path + "-wal").c_str());
    ::unlink((path + "-shm").c_str());
    ::unlink((path + "-journal").c_str());
    std::string error;
    if (!kwStoredFile::PlaceFile(temporary, path, kwStoredFile::Place::Replace, &error)) {
        report->unsaved.push_back(error);
        return StatusOfErrno(errno);
    }
    report->repaired = true;
    report->backupPath = backup;
    for (const auto& [type, count] : report->records) report->saved += count;
    report->everythingReadableSaved = !leftOut;
    Tell(progress, 100, "Repaired");
    return leftOut ? XIO_FAILED : XIO_OK;
}
