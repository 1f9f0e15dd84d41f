// Reading a file whose own schema entries are damaged: a copy whose entries for the
// record manager's tables are written again from the dictionary.
#include "FileDoctor.h"
#include "Schema.h"

#include <filesystem>
#include <map>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace kwio {

// The copy's tables get their columns in the order of the dictionary the file carries
// (fields added since come last, as ALTER TABLE added them), then the program's
// dictionary. Indexes whose entries are not exactly as made and the count triggers are
// left out of the copy: the rescue reads tables.
class SchemaMending::Impl {
public:
    Impl(const kwDictionary& dict, const std::string& path) : _dict(dict), _path(path) {}
    ~Impl() {
        if (!_copy.empty())
            for (const char* suffix : {"", "-journal", "-wal", "-shm"}) ::unlink((_copy + suffix).c_str());
    }
    Impl(const Impl&) = delete;
    Impl& operator=(const Impl&) = delete;

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
                    if (seen.insert(UpperCase(name)).second) names.push_back(name);
                }
        }
        for (short i = 0; i < rec.fieldCount; ++i) {
            const std::string name = _dict.Field(static_cast<short>(rec.firstField + i))->name;
            if (seen.insert(UpperCase(name)).second) names.push_back(name);
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

SchemaMending::SchemaMending(const kwDictionary& dict, const std::string& path)
    : _impl(std::make_unique<Impl>(dict, path)) {}
SchemaMending::~SchemaMending() = default;

std::vector<std::string> SchemaMending::Unreadable(sqlite3* db) const { return _impl->Unreadable(db); }

std::string SchemaMending::Make(const std::vector<std::string>& tables, std::string* error) {
    return _impl->Make(tables, error);
}

} // namespace kwio
