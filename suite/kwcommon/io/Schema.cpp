// The schema of a data file: what its dictionary asks for, what the file has, the
// statements that close the gap, and the text of the prepared statements.
#include "Schema.h"
#include "RecordManagerInternal.h"

#include "kwcommon/conditions/xc_alt_keys.h"

#include <cctype>
#include <map>

namespace kwio {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string Literal(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') quoted += '\'';
        quoted += c;
    }
    return quoted + "'";
}

std::string ColumnType(const xio_fld_def& field) {
    if (IsText(field)) return field.caseFlag ? "TEXT NOT NULL DEFAULT '' COLLATE NOCASE" : "TEXT NOT NULL DEFAULT ''";
    return "REAL NOT NULL DEFAULT 0";
}

std::string CountTriggerName(short recordType, bool add) {
    return std::string(add ? "kw_count_add_" : "kw_count_del_") + std::to_string(recordType);
}

std::string CountTriggerSql(short recordType, bool add) {
    const std::string type = std::to_string(recordType);
    return "CREATE TRIGGER " + CountTriggerName(recordType, add) + (add ? " AFTER INSERT ON " : " AFTER DELETE ON ") +
           TableName(recordType) + " BEGIN UPDATE kw_count SET records = records " + (add ? "+" : "-") +
           " 1 WHERE type = " + type + "; END";
}

constexpr const char* kMetaTable = "CREATE TABLE kw_meta(name TEXT PRIMARY KEY, value TEXT NOT NULL)";
constexpr const char* kCountTable = "CREATE TABLE kw_count(type INTEGER PRIMARY KEY, records INTEGER NOT NULL)";

// What a file holds: its objects by lower-case name, each table's columns, the record
// types whose count row exists, whether the dictionary copy is stored.
struct ExistingSchema {
    std::map<std::string, std::string> sql;
    std::map<std::string, std::set<std::string>> columns;
    std::set<short> countRows;
    bool dictionaryStored = false;
};

int ReadExisting(sqlite3* db, ExistingSchema* existing) {
    Statement objects(db, "SELECT name, sql FROM sqlite_master WHERE sql IS NOT NULL");
    if (!objects) return sqlite3_errcode(db);
    int rc;
    while ((rc = sqlite3_step(objects.get())) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(objects.get(), 0));
        const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(objects.get(), 1));
        existing->sql[Lower(name ? name : "")] = sql ? sql : "";
    }
    if (rc != SQLITE_DONE) return rc;
    Statement columns(db, "SELECT name FROM pragma_table_info(?)");
    if (!columns) return sqlite3_errcode(db);
    for (const auto& [name, sql] : existing->sql) {
        if (sql.compare(0, 12, "CREATE TABLE") != 0) continue;
        columns.Reset();
        sqlite3_bind_text(columns.get(), 1, name.c_str(), -1, SQLITE_STATIC);
        auto& set = existing->columns[name];
        while ((rc = sqlite3_step(columns.get())) == SQLITE_ROW)
            set.insert(UpperCase(reinterpret_cast<const char*>(sqlite3_column_text(columns.get(), 0))));
        if (rc != SQLITE_DONE) return rc;
    }
    if (existing->sql.count("kw_count")) {
        Statement rows(db, "SELECT type FROM kw_count");
        if (!rows) return sqlite3_errcode(db);
        while ((rc = sqlite3_step(rows.get())) == SQLITE_ROW)
            existing->countRows.insert(static_cast<short>(sqlite3_column_int(rows.get(), 0)));
        if (rc != SQLITE_DONE) return rc;
    }
    if (existing->sql.count("kw_meta")) {
        Statement stored(db, "SELECT 1 FROM kw_meta WHERE name = 'dictionary'");
        if (!stored) return sqlite3_errcode(db);
        rc = sqlite3_step(stored.get());
        if (rc != SQLITE_ROW && rc != SQLITE_DONE) return rc;
        existing->dictionaryStored = rc == SQLITE_ROW;
    }
    return SQLITE_OK;
}

void PlanTable(const kwDictionary& dict, const ExistingSchema& existing, const std::string& table, short first,
               short count, bool header, SchemaPlan* plan) {
    auto it = existing.columns.find(table);
    if (it == existing.columns.end()) {
        std::string create = "CREATE TABLE " + table + "(";
        create += header ? "id INTEGER PRIMARY KEY CHECK (id = 1)" : "rowid INTEGER PRIMARY KEY";
        for (short n = first; n < first + count; ++n) {
            const xio_fld_def& field = *dict.Field(n);
            create += ", " + Quote(field.name) + " " + ColumnType(field);
        }
        plan->statements.push_back(create + ")");
        // A header table is made with its one row; a table that exists keeps what it has.
        if (header) plan->statements.push_back("INSERT INTO " + table + "(id) VALUES (1)");
        return;
    }
    for (short n = first; n < first + count; ++n) {
        const xio_fld_def& field = *dict.Field(n);
        if (it->second.count(UpperCase(field.name))) continue;
        plan->statements.push_back("ALTER TABLE " + table + " ADD COLUMN " + Quote(field.name) + " " +
                                   ColumnType(field));
        plan->missingColumns.insert(UpperCase(table) + "." + UpperCase(field.name));
    }
}

void Plan(const kwDictionary& dict, const ExistingSchema& existing, const std::string& storedVersion,
          SchemaPlan* plan) {
    if (!existing.sql.count("kw_meta")) plan->statements.push_back(kMetaTable);
    for (const auto& rec : dict.recordTypes) {
        const std::string table = TableName(rec.number);
        if (!existing.columns.count(table)) plan->missingTables.insert(rec.number);
        PlanTable(dict, existing, table, rec.firstField, rec.fieldCount, false, plan);
    }
    PlanTable(dict, existing, "kw_header", HeaderFirstField(dict), dict.file.headerFieldCount, true, plan);
    for (const auto& key : dict.keys) {
        // A switched-off alternate key keeps no index (walks by it still work, sorted).
        if (key.number > 0 && !xc_alt_key_active(dict.file.abbrev, key.number)) continue;
        const std::string name = IndexName(key.recordType, key.number);
        const std::string wanted = IndexSql(dict, key);
        auto it = existing.sql.find(name);
        if (it != existing.sql.end() && it->second == wanted) continue;
        // A key whose fields changed in the dictionary gets its index again.
        if (it != existing.sql.end()) plan->statements.push_back("DROP INDEX " + name);
        plan->statements.push_back(wanted);
    }
    // Record counts kept by the file itself, in the transaction of every write.
    const bool countTable = existing.sql.count("kw_count") != 0;
    if (!countTable) plan->statements.push_back(kCountTable);
    for (const auto& rec : dict.recordTypes) {
        bool current = countTable && existing.countRows.count(rec.number);
        for (bool add : {true, false}) {
            const std::string name = CountTriggerName(rec.number, add);
            const std::string wanted = CountTriggerSql(rec.number, add);
            auto it = existing.sql.find(name);
            if (it != existing.sql.end() && it->second == wanted) continue;
            if (it != existing.sql.end()) plan->statements.push_back("DROP TRIGGER " + name);
            plan->statements.push_back(wanted);
            current = false;
        }
        if (!current) {
            plan->countsMissing = true;
            const std::string type = std::to_string(rec.number);
            plan->statements.push_back("INSERT OR REPLACE INTO kw_count VALUES (" + type + ", (SELECT count(*) FROM " +
                                       TableName(rec.number) + "))");
        }
    }
    // A file at the dictionary's version that carries no copy of it yet gets one: the
    // copy is of the dictionary that describes its data.
    if (!existing.dictionaryStored && storedVersion == dict.file.dataVersion) {
        const std::string text = DictionaryText(dict);
        if (!text.empty())
            plan->statements.push_back("INSERT OR REPLACE INTO kw_meta VALUES ('dictionary', " + Literal(text) + ")");
    }
}

std::string ColumnExpression(const OpenFile& f, const std::string& table, const xio_fld_def& field) {
    if (!f.missingColumns.empty() && f.missingColumns.count(UpperCase(table) + "." + UpperCase(field.name)))
        return IsText(field) ? "''" : "0";
    return Quote(field.name);
}

} // namespace

std::string Quote(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string TableName(short recordType) { return "r" + std::to_string(recordType); }

std::string IndexName(short recordType, short key) {
    return "k" + std::to_string(recordType) + "_" + std::to_string(key);
}

std::string IndexSql(const kwDictionary& dict, const xio_key_def& key) {
    std::string sql = std::string("CREATE ") + (key.unique ? "UNIQUE " : "") + "INDEX " +
                      IndexName(key.recordType, key.number) + " ON " + TableName(key.recordType) + "(";
    for (int i = 0; i < key.fieldCount; ++i) {
        if (i) sql += ", ";
        sql += Quote(dict.Field(key.fields[i])->name);
    }
    return sql + ")";
}

short HeaderFirstField(const kwDictionary& dict) {
    return static_cast<short>(dict.file.fieldCount - dict.file.headerFieldCount + 1);
}

int PlanSchema(const kwDictionary& dict, sqlite3* db, const std::string& storedVersion, SchemaPlan* plan) {
    *plan = SchemaPlan{};
    ExistingSchema existing;
    const int rc = ReadExisting(db, &existing);
    if (rc != SQLITE_OK) return rc;
    Plan(dict, existing, storedVersion, plan);
    return SQLITE_OK;
}

std::string NewFileScript(const kwDictionary& dict) {
    SchemaPlan plan;
    Plan(dict, ExistingSchema{}, "", &plan);
    std::string script = "BEGIN;";
    for (const auto& statement : plan.statements) script += statement + ";";
    script += "INSERT INTO kw_meta VALUES ('abbrev', " + Literal(dict.file.abbrev) + ");";
    script += "INSERT INTO kw_meta VALUES ('dataVersion', " + Literal(dict.file.dataVersion) + ");";
    const std::string text = DictionaryText(dict);
    if (!text.empty()) script += "INSERT INTO kw_meta VALUES ('dictionary', " + Literal(text) + ");";
    return script + "COMMIT;";
}

std::string DictionaryText(const kwDictionary& dict) {
    std::string text;
    if (dict.sourcePath.empty() || !kwStoredFile::Read(dict.sourcePath, &text)) return {};
    return text;
}

std::string SelectColumns(const OpenFile& f, const xio_rec_def& rec) {
    const std::string table = TableName(rec.number);
    std::string columns;
    for (short i = 0; i < rec.fieldCount; ++i) {
        if (i) columns += ", ";
        columns += ColumnExpression(f, table, *f.dict->Field(static_cast<short>(rec.firstField + i)));
    }
    return columns;
}

std::string InsertSql(const kwDictionary& dict, const xio_rec_def& rec) {
    std::string names, values;
    for (short i = 0; i < rec.fieldCount; ++i) {
        names += (i ? ", " : "") + Quote(dict.Field(static_cast<short>(rec.firstField + i))->name);
        values += i ? ", ?" : "?";
    }
    return "INSERT INTO " + TableName(rec.number) + "(" + names + ") VALUES (" + values + ")";
}

std::string UpdateSql(const kwDictionary& dict, const xio_rec_def& rec) {
    std::string sql = "UPDATE " + TableName(rec.number) + " SET ";
    for (short i = 0; i < rec.fieldCount; ++i)
        sql += (i ? ", " : "") + Quote(dict.Field(static_cast<short>(rec.firstField + i))->name) + " = ?";
    return sql + " WHERE rowid = ?";
}

std::string SeekSql(const OpenFile& f, const xio_rec_def& rec, const xio_key_def& key, Seek seek) {
    const std::string table = TableName(rec.number);
    std::string columns, columnsDesc, placeholders, equal;
    for (int i = 0; i < key.fieldCount; ++i) {
        const std::string name = ColumnExpression(f, table, *f.dict->Field(key.fields[i]));
        if (i) {
            columns += ", ";
            columnsDesc += ", ";
            placeholders += ", ";
            equal += " AND ";
        }
        columns += name;
        columnsDesc += name + " DESC";
        placeholders += "?";
        equal += name + " = ?";
    }
    std::string where, order;
    switch (seek) {
    case Seek::Exact:
        where = " WHERE " + equal;
        order = " ORDER BY rowid";
        break;
    case Seek::AtOrAfter:
        where = " WHERE (" + columns + ") >= (" + placeholders + ")";
        order = " ORDER BY " + columns + ", rowid";
        break;
    case Seek::After:
        where = " WHERE (" + columns + ", rowid) > (" + placeholders + ", ?)";
        order = " ORDER BY " + columns + ", rowid";
        break;
    case Seek::Before:
        where = " WHERE (" + columns + ", rowid) < (" + placeholders + ", ?)";
        order = " ORDER BY " + columnsDesc + ", rowid DESC";
        break;
    case Seek::First: order = " ORDER BY " + columns + ", rowid"; break;
    case Seek::Last: order = " ORDER BY " + columnsDesc + ", rowid DESC"; break;
    }
    return "SELECT rowid, " + SelectColumns(f, rec) + " FROM " + table + where + order + " LIMIT ?";
}

std::string HeaderSelectSql(const OpenFile& f) {
    const kwDictionary& dict = *f.dict;
    const short first = HeaderFirstField(dict);
    std::string sql = "SELECT 1";
    for (short i = 0; i < dict.file.headerFieldCount; ++i)
        sql += ", " + ColumnExpression(f, "kw_header", *dict.Field(static_cast<short>(first + i)));
    return sql + " FROM kw_header WHERE id = 1";
}

std::string HeaderUpdateSql(const kwDictionary& dict) {
    const short first = HeaderFirstField(dict);
    std::string sql = "UPDATE kw_header SET id = 1";
    for (short i = 0; i < dict.file.headerFieldCount; ++i)
        sql += ", " + Quote(dict.Field(static_cast<short>(first + i))->name) + " = ?";
    return sql + " WHERE id = 1";
}

} // namespace kwio
