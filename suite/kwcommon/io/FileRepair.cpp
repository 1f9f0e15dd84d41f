// Repairing a damaged data file: every record that can still be read goes into a new file
// made beside through the stored-file helper; the damaged file is kept beside under a
// dated name, and the new one takes its place.
//
// Records are read in rowid order; where damage stops the read, the next readable rowid
// is found by probing further and further on, then narrowing back. Each key's index is
// read too: a record it names that the table walk did not reach is looked up alone, and
// one that cannot be read is reported by its key values.
#include "FileDoctor.h"
#include "FileSystem.h"
#include "Schema.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <map>
#include <set>
#include <unistd.h>
#include <unordered_set>

namespace fs = std::filesystem;

namespace kwio {

namespace {

constexpr int64_t kFarthestProbe = int64_t{1} << 40;

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string TimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y%m%d-%H%M%S", &local);
    return text;
}

std::set<std::string> ColumnsOf(sqlite3* db, const std::string& table) {
    std::set<std::string> columns;
    Statement statement(db, "SELECT name FROM pragma_table_info(?)");
    if (!statement) return columns;
    sqlite3_bind_text(statement.get(), 1, table.c_str(), -1, SQLITE_STATIC);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) columns.insert(Upper(ColumnText(statement.get(), 0)));
    return columns;
}

// A column as people read it: numbers without a needless ".0".
std::string ValueText(sqlite3_stmt* stmt, int column) {
    const int type = sqlite3_column_type(stmt, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return ColumnText(stmt, column);
    char text[32];
    std::snprintf(text, sizeof(text), "%.15g", sqlite3_column_double(stmt, column));
    return text;
}

std::string Describe(const kwDictionary& dict, short type) {
    const xio_rec_def* rec = dict.RecordType(type);
    return rec && rec->description[0] ? std::string(rec->description) : "record type " + std::to_string(type);
}

// Copies the readable records of one record type from the damaged file to the new one.
class TableSalvage {
public:
    TableSalvage(const kwDictionary& dict, const xio_rec_def& rec, sqlite3* source, sqlite3* target,
                 xio_file_report* report)
        : _dict(dict), _rec(rec), _source(source), _target(target), _report(report),
          _table(TableName(rec.number)), _name(Describe(dict, rec.number)) {}

    // false when cancelled or the new file cannot be written (status in *failure).
    bool Run(const xio_progress& progress, int firstPercent, int lastPercent, short* failure) {
        _progress = &progress;
        _firstPercent = firstPercent;
        _lastPercent = lastPercent;
        const std::set<std::string> columns = ColumnsOf(_source, _table);
        std::string select = "SELECT rowid", names = "rowid", values = "?";
        for (short i = 0; i < _rec.fieldCount; ++i) {
            const xio_fld_def& field = *_dict.Field(static_cast<short>(_rec.firstField + i));
            const bool present = columns.empty() || columns.count(Upper(field.name));
            select += ", " + (present ? Quote(field.name) : std::string(IsText(field) ? "''" : "0"));
            names += ", " + Quote(field.name);
            values += ", ?";
        }
        select += " FROM " + _table;
        _scan = Statement(_source, select + " WHERE rowid > ? ORDER BY rowid");
        _lookup = Statement(_source, select + " WHERE rowid = ?");
        _insert = Statement(_target, "INSERT INTO " + _table + "(" + names + ") VALUES (" + values + ")");
        if (!_insert) {
            *failure = StatusOfSqlite(sqlite3_errcode(_target));
            _report->unsaved.push_back("The new file cannot take records of " + _name + ": " + sqlite3_errmsg(_target));
            return false;
        }
        if (!_scan || !_lookup) {
            _report->unsaved.push_back("No record of " + _name + " could be read: " + sqlite3_errmsg(_source));
            _damaged = true;
            return true;
        }
        ReadIndexes();
        if (!Walk(failure)) return false;
        if (!LookUpNamedRecords(failure)) return false;
        if (_damaged)
            _report->unsaved.push_back("Records of " + _name + " in the damaged parts of the file that no key names " +
                                       "cannot be found; the damaged file keeps whatever is left of them.");
        _report->records.emplace_back(_rec.number, static_cast<int64_t>(_saved.size()));
        return true;
    }

    bool Damaged() const { return _damaged; }
    bool ReadableLeftOut() const { return _readableLeftOut; }

private:
    // The rowids every readable index names, with their key values for the report.
    void ReadIndexes() {
        Statement maximum(_source, "SELECT max(rowid) FROM " + _table);
        if (maximum && sqlite3_step(maximum.get()) == SQLITE_ROW && sqlite3_column_type(maximum.get(), 0) != SQLITE_NULL)
            _last = sqlite3_column_int64(maximum.get(), 0);
        for (const auto& key : _dict.keys) {
            if (key.recordType != _rec.number) continue;
            std::string fields;
            for (int i = 0; i < key.fieldCount; ++i) fields += ", " + Quote(_dict.Field(key.fields[i])->name);
            Statement index(_source, "SELECT rowid" + fields + " FROM " + _table + " INDEXED BY " +
                                         IndexName(key.recordType, key.number));
            if (!index) continue; // switched off, or its definition is gone
            int rc;
            while ((rc = sqlite3_step(index.get())) == SQLITE_ROW) {
                const int64_t rowid = sqlite3_column_int64(index.get(), 0);
                _last = std::max(_last, rowid);
                if (_named.count(rowid)) continue;
                std::string text;
                for (int i = 0; i < key.fieldCount; ++i)
                    text += std::string(i ? ", " : "") + _dict.Field(key.fields[i])->name + " " +
                            ValueText(index.get(), i + 1);
                _named[rowid] = text;
            }
            if (rc != SQLITE_DONE) _damaged = true;
        }
    }

    // The table in rowid order, stepping over damaged parts.
    bool Walk(short* failure) {
        int64_t bound = 0;
        while (true) {
            sqlite3_reset(_scan.get());
            sqlite3_bind_int64(_scan.get(), 1, bound);
            int rc;
            while ((rc = sqlite3_step(_scan.get())) == SQLITE_ROW) {
                bound = sqlite3_column_int64(_scan.get(), 0);
                if (!Save(_scan.get(), failure)) return false;
            }
            sqlite3_reset(_scan.get());
            if (rc == SQLITE_DONE) return true;
            _damaged = true;
            if (!NextReadable(&bound)) return true;
        }
    }

    // From a bound where reading fails, the smallest later bound from which it works;
    // false when none is found up to the last rowid any index or the table names.
    bool NextReadable(int64_t* bound) {
        const int64_t failed = *bound;
        const int64_t limit = _last > 0 ? _last : kFarthestProbe;
        int64_t step = 1, lastFailing = failed, working = -1;
        while (failed + step < limit + 1 && step <= kFarthestProbe) {
            if (Readable(failed + step)) {
                working = failed + step;
                break;
            }
            lastFailing = failed + step;
            step *= 2;
        }
        if (working < 0) return false;
        while (working - lastFailing > 1) {
            const int64_t middle = lastFailing + (working - lastFailing) / 2;
            if (Readable(middle)) working = middle;
            else lastFailing = middle;
        }
        *bound = working;
        return true;
    }

    bool Readable(int64_t bound) {
        sqlite3_reset(_scan.get());
        sqlite3_bind_int64(_scan.get(), 1, bound);
        const int rc = sqlite3_step(_scan.get());
        sqlite3_reset(_scan.get());
        return rc == SQLITE_ROW || rc == SQLITE_DONE;
    }

    // Records an index names that the walk did not reach, each read alone.
    bool LookUpNamedRecords(short* failure) {
        for (const auto& [rowid, key] : _named) {
            if (_saved.count(rowid) || _refused.count(rowid)) continue;
            sqlite3_reset(_lookup.get());
            sqlite3_bind_int64(_lookup.get(), 1, rowid);
            const int rc = sqlite3_step(_lookup.get());
            if (rc == SQLITE_ROW) {
                if (!Save(_lookup.get(), failure)) return false;
            } else {
                _damaged = true;
                _report->unsaved.push_back(_name + " " + key + ": " +
                                           (rc == SQLITE_DONE ? "named by a key but not in the file"
                                                              : "unreadable (" + std::string(sqlite3_errstr(rc)) + ")"));
            }
            sqlite3_reset(_lookup.get());
        }
        return true;
    }

    bool Save(sqlite3_stmt* row, short* failure) {
        const int64_t rowid = sqlite3_column_int64(row, 0);
        if (_saved.count(rowid) || _refused.count(rowid)) return true;
        sqlite3_reset(_insert.get());
        sqlite3_bind_int64(_insert.get(), 1, rowid);
        for (short i = 0; i < _rec.fieldCount; ++i) {
            const xio_fld_def& field = *_dict.Field(static_cast<short>(_rec.firstField + i));
            if (IsText(field)) {
                const std::string text = ColumnText(row, i + 1);
                sqlite3_bind_text(_insert.get(), i + 2, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_double(_insert.get(), i + 2, sqlite3_column_double(row, i + 1));
            }
        }
        const int rc = sqlite3_step(_insert.get());
        sqlite3_reset(_insert.get());
        if (rc == SQLITE_DONE) {
            _saved.insert(rowid);
            if (_saved.size() % 2000 == 0 && !Progress()) {
                *failure = XIO_CANCELLED;
                return false;
            }
            return true;
        }
        if ((rc & 0xff) == SQLITE_CONSTRAINT) {
            // Damage can show one record twice, or two with one unique key.
            _refused.insert(rowid);
            _readableLeftOut = true;
            auto named = _named.find(rowid);
            _report->unsaved.push_back(_name + " at position " + std::to_string(rowid) +
                                       (named != _named.end() ? " (" + named->second + ")" : std::string()) +
                                       ": has the unique key of another record; left in the damaged file");
            return true;
        }
        *failure = StatusOfSqlite(rc);
        _report->unsaved.push_back("The new file cannot be written: " + std::string(sqlite3_errmsg(_target)));
        return false;
    }

    bool Progress() {
        const int64_t total = std::max<int64_t>(_last, static_cast<int64_t>(_saved.size()));
        const int64_t done = static_cast<int64_t>(_saved.size());
        const int percent = _firstPercent + static_cast<int>((_lastPercent - _firstPercent) * done / std::max<int64_t>(total, 1));
        return Tell(*_progress, percent, "Saving the records of " + _name);
    }

    const kwDictionary& _dict;
    const xio_rec_def& _rec;
    sqlite3* _source;
    sqlite3* _target;
    xio_file_report* _report;
    const std::string _table, _name;
    const xio_progress* _progress = nullptr;
    int _firstPercent = 0, _lastPercent = 0;
    Statement _scan, _lookup, _insert;
    std::map<int64_t, std::string> _named; // rowid -> key values, from the indexes
    std::unordered_set<int64_t> _saved, _refused;
    int64_t _last = 0;
    bool _damaged = false;
    bool _readableLeftOut = false;
};

// A file whose own schema entries SQLite cannot parse (damage in its first page, where
// they live) is read through a copy whose entries for the record manager's tables are
// written again: the columns in the order of the dictionary the file carries (fields
// added since come last, as ALTER TABLE added them), then the program's dictionary.
// Indexes whose entries are not exactly as made and the count triggers are left out of
// the copy: the rescue reads tables. Answers the copy's path, or "" when none is needed.
class SchemaMending {
public:
    SchemaMending(const kwDictionary& dict, const std::string& path) : _dict(dict), _path(path) {}
    ~SchemaMending() {
        if (!_copy.empty())
            for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((_copy + suffix).c_str());
    }
    SchemaMending(const SchemaMending&) = delete;
    SchemaMending& operator=(const SchemaMending&) = delete;

    // The tables the damaged file's schema no longer describes readably.
    std::vector<std::string> Unreadable(sqlite3* db) const {
        std::vector<std::string> tables;
        for (const auto& [name, sql] : Wanted()) {
            Statement probe(db, "SELECT * FROM " + name + " LIMIT 0");
            if (!probe) tables.push_back(name);
        }
        return tables;
    }

    // Makes the mended copy; "" with *error when it cannot be made.
    std::string Make(const std::vector<std::string>& tables, std::string* error) {
        _copy = kwStoredFile::TemporaryPath(_path);
        std::error_code ec;
        fs::copy_file(_path, _copy, ec);
        if (!ec && fs::exists(_path + "-wal")) fs::copy_file(_path + "-wal", _copy + "-wal", ec);
        if (ec) {
            *error = "a copy of the damaged file cannot be made: " + ec.message();
            return {};
        }
        // kw_meta first: the dictionary the file carries gives the other tables' columns.
        if (!Rewrite({"kw_meta"}, tables, error)) return {};
        ReadStoredDictionary();
        if (!Rewrite({}, tables, error)) return {};
        return _copy;
    }

private:
    std::map<std::string, std::string> Wanted() const {
        std::map<std::string, std::string> wanted;
        wanted["kw_meta"] = "CREATE TABLE kw_meta(name TEXT PRIMARY KEY, value TEXT NOT NULL)";
        std::string header = "CREATE TABLE kw_header(id INTEGER PRIMARY KEY CHECK (id = 1)";
        for (short i = 0; i < _dict.file.headerFieldCount; ++i)
            header += ", " + Quote(_dict.Field(static_cast<short>(HeaderFirstField(_dict) + i))->name);
        wanted["kw_header"] = header + ")";
        for (const auto& rec : _dict.recordTypes) {
            std::string create = "CREATE TABLE " + TableName(rec.number) + "(rowid INTEGER PRIMARY KEY";
            for (const auto& name : ColumnOrder(rec)) create += ", " + Quote(name);
            wanted[TableName(rec.number)] = create + ")";
        }
        return wanted;
    }

    // The record type's columns: the carried dictionary's fields in order, then the rest.
    std::vector<std::string> ColumnOrder(const xio_rec_def& rec) const {
        std::vector<std::string> names;
        std::set<std::string> seen;
        if (_stored) {
            if (const xio_rec_def* old = _stored->RecordType(rec.number))
                for (short i = 0; i < old->fieldCount; ++i) {
                    const std::string name = _stored->Field(static_cast<short>(old->firstField + i))->name;
                    if (seen.insert(Upper(name)).second) names.push_back(name);
                }
        }
        for (short i = 0; i < rec.fieldCount; ++i) {
            const std::string name = _dict.Field(static_cast<short>(rec.firstField + i))->name;
            if (seen.insert(Upper(name)).second) names.push_back(name);
        }
        return names;
    }

    void ReadStoredDictionary() {
        Database copy;
        if (copy.Open(_copy, SQLITE_OPEN_READONLY) != SQLITE_OK) return;
        Statement stored(copy.get(), "SELECT value FROM kw_meta WHERE name = 'dictionary'");
        if (!stored || sqlite3_step(stored.get()) != SQLITE_ROW) return;
        std::string error;
        _stored = kwDictionaryLoader::Parse(ColumnText(stored.get(), 0), "the dictionary the file carries", &error);
    }

    // Writes the entries of the tables named (only, when only is not empty) again.
    bool Rewrite(const std::set<std::string>& only, const std::vector<std::string>& tables, std::string* error) {
        Database copy;
        int rc = copy.Open(_copy, SQLITE_OPEN_READWRITE);
        if (rc == SQLITE_OK) rc = copy.Exec("PRAGMA writable_schema=ON");
        const auto wanted = Wanted();
        for (const auto& table : tables) {
            if (rc != SQLITE_OK) break;
            if (!only.empty() && !only.count(table)) continue;
            Statement update(copy.get(), "UPDATE sqlite_master SET sql = ? WHERE type = 'table' AND name = ?");
            if (!update) {
                rc = sqlite3_errcode(copy.get());
                break;
            }
            sqlite3_bind_text(update.get(), 1, wanted.at(table).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(update.get(), 2, table.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(update.get()) == SQLITE_DONE ? SQLITE_OK : sqlite3_errcode(copy.get());
        }
        if (rc == SQLITE_OK && only.empty()) {
            // Only indexes exactly as the record manager makes them stay.
            std::string keep = "''";
            for (const auto& key : _dict.keys) {
                std::string sql = IndexSql(_dict, key);
                std::string quoted = "'";
                for (char c : sql) quoted += c == '\'' ? std::string("''") : std::string(1, c);
                keep += ", " + quoted + "'";
            }
            rc = copy.Exec("DELETE FROM sqlite_master WHERE type = 'trigger' OR (type = 'index' AND sql IS NOT NULL "
                           "AND sql NOT IN (" + keep + "))");
        }
        if (rc != SQLITE_OK) {
            *error = "the damaged file's description of its tables cannot be mended: " + copy.Error();
            return false;
        }
        return true;
    }

    const kwDictionary& _dict;
    const std::string _path;
    std::string _copy;
    std::shared_ptr<const kwDictionary> _stored;
};

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
        const bool present = columns.count(Upper(field.name)) != 0;
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
    SchemaMending mending(dict, path);
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
            TableSalvage salvage(dict, rec, source, target.get(), report);
            const int first = 30 + 65 * done / std::max(types, 1);
            const int last = 30 + 65 * (done + 1) / std::max(types, 1);
            ++done;
            short failure = XIO_OK;
            if (!salvage.Run(progress, first, last, &failure)) {
                target.Close();
                discard();
                return failure ? failure : static_cast<short>(XIO_FAILED);
            }
            leftOut = leftOut || salvage.ReadableLeftOut();
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
