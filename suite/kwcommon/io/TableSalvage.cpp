// Rescuing the records of one record type from a damaged file: read in rowid order;
// where damage stops the read, the next readable rowid is found by probing further and
// further on, then narrowing back. Each key's index is read too: a record it names that
// the table walk did not reach is looked up alone, and one that cannot be read is
// reported by its key values.
#include "FileDoctor.h"
#include "Schema.h"

#include <map>
#include <set>
#include <unordered_set>

namespace kwio {

namespace {

constexpr int64_t kFarthestProbe = int64_t{1} << 40;

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
            const bool present = columns.empty() || columns.count(UpperCase(field.name));
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

} // namespace

bool SalvageTable(const kwDictionary& dict, const xio_rec_def& rec, sqlite3* source, sqlite3* target,
                  xio_file_report* report, const xio_progress& progress, int firstPercent, int lastPercent,
                  short* failure, bool* readableLeftOut) {
    TableSalvage salvage(dict, rec, source, target, report);
    const bool done = salvage.Run(progress, firstPercent, lastPercent, failure);
    *readableLeftOut = *readableLeftOut || salvage.ReadableLeftOut();
    return done;
}

} // namespace kwio
