// Checking a data file: SQLite's integrity check, then the record manager's own rules
// (meta table, header row, the tables of the record types, unique keys, kept counts,
// kinds of values); and the list of the company's data files the File Doctor offers.
#include "FileDoctor.h"
#include "Schema.h"

#include "kwcommon/kwCompany.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace kwio {

namespace {

std::string RecordTypeName(const kwDictionary& dict, short type) {
    const xio_rec_def* rec = dict.RecordType(type);
    std::string name = "record type " + std::to_string(type);
    if (rec && rec->description[0]) name += " (" + std::string(rec->description) + ")";
    return name;
}

// Gives SQLite's long work a way to tell progress and to be cancelled.
struct ProgressHook {
    const xio_progress* progress;
    int percent;
    std::string stage;
    bool cancelled = false;
};

int OnProgress(void* context) {
    auto* hook = static_cast<ProgressHook*>(context);
    if (!Tell(*hook->progress, hook->percent, hook->stage)) hook->cancelled = true;
    return hook->cancelled ? 1 : 0;
}

// Runs a query whose rows each name a problem; the first column is its text. A failing
// query is itself a problem.
void CollectProblems(sqlite3* db, const std::string& sql, const std::string& what, xio_file_report* report,
                     const std::function<std::string(sqlite3_stmt*)>& describe) {
    Statement statement(db, sql);
    if (!statement) {
        report->problems.push_back(what + ": " + sqlite3_errmsg(db));
        return;
    }
    int rc;
    while ((rc = sqlite3_step(statement.get())) == SQLITE_ROW) report->problems.push_back(describe(statement.get()));
    if (rc != SQLITE_DONE) report->problems.push_back(what + ": " + sqlite3_errmsg(db));
}

} // namespace

bool Tell(const xio_progress& progress, int percent, const std::string& stage) {
    return !progress || progress(percent, stage);
}

std::set<std::string> ColumnsOf(sqlite3* db, const std::string& table) {
    std::set<std::string> columns;
    Statement statement(db, "SELECT name FROM pragma_table_info(?)");
    if (!statement) return columns;
    sqlite3_bind_text(statement.get(), 1, table.c_str(), -1, SQLITE_STATIC);
    while (sqlite3_step(statement.get()) == SQLITE_ROW) columns.insert(UpperCase(ColumnText(statement.get(), 0)));
    return columns;
}

std::string ValueText(sqlite3_stmt* stmt, int column) {
    const int type = sqlite3_column_type(stmt, column);
    if (type != SQLITE_FLOAT && type != SQLITE_INTEGER) return ColumnText(stmt, column);
    char text[32];
    std::snprintf(text, sizeof(text), "%.15g", sqlite3_column_double(stmt, column));
    return text;
}

std::string ColumnText(sqlite3_stmt* stmt, int column) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, column))) : std::string();
}

short Inspect(const char* abbrev, Inspection* inspection, std::string* detail) {
    if (!kwCompany::IsOpen()) return XIO_NO_DRIVE;
    std::string error;
    inspection->dict = kwDictionaryLoader::Load(abbrev ? abbrev : "", &error);
    if (!inspection->dict) {
        std::error_code ec;
        *detail = error;
        return fs::exists(kwDictionaryLoader::PathOf(abbrev ? abbrev : ""), ec) ? XIO_DICTIONARY : XIO_ABSENT;
    }
    inspection->path = DataFilePath(*inspection->dict, "");
    std::error_code ec;
    if (!fs::exists(inspection->path, ec)) {
        *detail = inspection->path + " does not exist";
        return XIO_ABSENT;
    }
    const int rc = ConnectForReading(inspection->db, inspection->path);
    // A file SQLite cannot even start to read is still looked at: the check says so.
    if (rc != SQLITE_OK && (rc & 0xff) != SQLITE_CORRUPT && (rc & 0xff) != SQLITE_NOTADB) {
        *detail = inspection->path + ": " + inspection->db.Error();
        return StatusOfSqlite(rc);
    }
    if (!inspection->db.get()) {
        *detail = inspection->path + ": " + sqlite3_errstr(rc);
        return StatusOfSqlite(rc);
    }
    {
        sqlite3_extended_result_codes(inspection->db.get(), 1);
        sqlite3_busy_timeout(inspection->db.get(), 5000);
    }
    return XIO_OK;
}

bool CheckIntegrity(Inspection& inspection, xio_file_report* report, const xio_progress& progress, int lastPercent) {
    sqlite3* db = inspection.db.get();
    ProgressHook hook{&progress, -1, "Checking the file's pages and indexes"};
    if (!Tell(progress, 0, hook.stage)) return false;
    sqlite3_progress_handler(db, 100000, OnProgress, &hook);
    Statement check(db, "PRAGMA integrity_check(200)");
    std::vector<std::string> found;
    int rc = check ? SQLITE_OK : sqlite3_extended_errcode(db);
    if (check) {
        while ((rc = sqlite3_step(check.get())) == SQLITE_ROW) {
            const std::string line = ColumnText(check.get(), 0);
            if (line != "ok") found.push_back(line);
        }
    }
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    if (hook.cancelled) return false;
    // integrity_check answers one row with every problem, a line each.
    for (const auto& text : found) {
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line))
            if (!line.empty() && line.rfind("*** in database", 0) != 0) report->problems.push_back(line);
    }
    if (rc != SQLITE_DONE && rc != SQLITE_OK)
        report->problems.push_back(std::string("SQLite cannot read the file: ") + sqlite3_errmsg(db));
    return Tell(progress, lastPercent, hook.stage);
}

bool CheckRecordManagerRules(Inspection& inspection, xio_file_report* report, const xio_progress& progress,
                             int firstPercent, int lastPercent) {
    sqlite3* db = inspection.db.get();
    const kwDictionary& dict = *inspection.dict;
    auto& problems = report->problems;

    // The meta table: the file's abbreviation and data version.
    std::string abbrev, version;
    {
        Statement meta(db, "SELECT name, value FROM kw_meta");
        int rc = meta ? SQLITE_OK : sqlite3_errcode(db);
        while (meta && (rc = sqlite3_step(meta.get())) == SQLITE_ROW) {
            const std::string name = ColumnText(meta.get(), 0);
            if (name == "abbrev") abbrev = ColumnText(meta.get(), 1);
            if (name == "dataVersion") version = ColumnText(meta.get(), 1);
        }
        if (rc != SQLITE_DONE) problems.push_back(std::string("The meta table cannot be read: ") + sqlite3_errmsg(db));
        else if (UpperCase(abbrev) != UpperCase(dict.file.abbrev))
            problems.push_back("The meta table names the file \"" + abbrev + "\", not \"" + dict.file.abbrev + "\".");
        if (rc == SQLITE_DONE && version.empty()) problems.push_back("The meta table names no data version.");
    }

    // The header: one row, id 1.
    {
        Statement header(db, "SELECT count(*), sum(id = 1) FROM kw_header");
        const int rc = header ? sqlite3_step(header.get()) : sqlite3_errcode(db);
        if (rc != SQLITE_ROW)
            problems.push_back(std::string("The header cannot be read: ") + sqlite3_errmsg(db));
        else if (sqlite3_column_int64(header.get(), 0) != 1 || sqlite3_column_int64(header.get(), 1) != 1)
            problems.push_back("The header should be one row; the file has " +
                               std::to_string(sqlite3_column_int64(header.get(), 0)) + ".");
    }

    // Tables of record types the dictionary does not know.
    std::set<std::string> tables;
    {
        Statement list(db, "SELECT name FROM sqlite_master WHERE type = 'table'");
        while (list && sqlite3_step(list.get()) == SQLITE_ROW) tables.insert(ColumnText(list.get(), 0));
        for (const auto& table : tables) {
            if (table.size() < 2 || table[0] != 'r' || table.find_first_not_of("0123456789", 1) != std::string::npos)
                continue;
            const short type = static_cast<short>(std::atoi(table.c_str() + 1));
            if (!dict.RecordType(type))
                problems.push_back("The file holds records of record type " + std::to_string(type) +
                                   ", which its dictionary does not define.");
        }
    }

    std::map<short, int64_t> kept;
    const bool countsKept = tables.count("kw_count") != 0;
    if (countsKept) {
        Statement counts(db, "SELECT type, records FROM kw_count");
        int rc = counts ? SQLITE_OK : sqlite3_errcode(db);
        while (counts && (rc = sqlite3_step(counts.get())) == SQLITE_ROW)
            kept[static_cast<short>(sqlite3_column_int(counts.get(), 0))] = sqlite3_column_int64(counts.get(), 1);
        if (rc != SQLITE_DONE) problems.push_back(std::string("The record counts cannot be read: ") + sqlite3_errmsg(db));
    }

    const int steps = static_cast<int>(dict.recordTypes.size());
    int step = 0;
    for (const auto& rec : dict.recordTypes) {
        const std::string table = TableName(rec.number);
        const std::string name = RecordTypeName(dict, rec.number);
        const int percent = firstPercent + (lastPercent - firstPercent) * step++ / std::max(steps, 1);
        if (!Tell(progress, percent, "Checking the records of " + name)) return false;
        if (!tables.count(table)) continue; // made when the program next opens the file
        const std::set<std::string> columns = ColumnsOf(db, table);

        // The count, and the kept count against it.
        Statement count(db, "SELECT count(*) FROM " + table);
        if (!count || sqlite3_step(count.get()) != SQLITE_ROW) {
            problems.push_back("The records of " + name + " cannot be counted: " + sqlite3_errmsg(db));
            continue;
        }
        const int64_t records = sqlite3_column_int64(count.get(), 0);
        report->records.emplace_back(rec.number, records);
        if (countsKept && kept.count(rec.number) && kept[rec.number] != records)
            problems.push_back("The kept count of " + name + " says " + std::to_string(kept[rec.number]) +
                               " records; the file holds " + std::to_string(records) + ".");

        // Unique keys hold each value once.
        for (const auto& key : dict.keys) {
            if (key.recordType != rec.number || !key.unique) continue;
            std::string fields, names;
            bool present = true;
            for (int i = 0; i < key.fieldCount; ++i) {
                const xio_fld_def& field = *dict.Field(key.fields[i]);
                present = present && columns.count(UpperCase(field.name));
                fields += std::string(i ? ", " : "") + Quote(field.name);
                names += std::string(i ? ", " : "") + field.name;
            }
            if (!present) continue;
            CollectProblems(db,
                            "SELECT count(*), " + fields + " FROM " + table + " GROUP BY " + fields +
                                " HAVING count(*) > 1 LIMIT 20",
                            "The key " + std::string(key.name) + " of " + name + " cannot be checked", report,
                            [&](sqlite3_stmt* row) {
                                std::string values;
                                for (int i = 0; i < key.fieldCount; ++i)
                                    values += std::string(i ? ", " : "") + ColumnText(row, i + 1);
                                return std::to_string(sqlite3_column_int64(row, 0)) + " records of " + name +
                                       " share the unique key " + key.name + " (" + names + " = " + values + ").";
                            });
        }

        // Values of the kind their fields hold.
        std::string wrong;
        for (short i = 0; i < rec.fieldCount; ++i) {
            const xio_fld_def& field = *dict.Field(static_cast<short>(rec.firstField + i));
            if (!columns.count(UpperCase(field.name))) continue;
            if (!wrong.empty()) wrong += " OR ";
            wrong += "typeof(" + Quote(field.name) + ")" + (IsText(field) ? " <> 'text'" : " NOT IN ('real', 'integer')");
        }
        if (!wrong.empty())
            CollectProblems(db, "SELECT rowid FROM " + table + " WHERE " + wrong + " LIMIT 20",
                            "The values of " + name + " cannot be checked", report, [&](sqlite3_stmt* row) {
                                return "The record of " + name + " at position " +
                                       std::to_string(sqlite3_column_int64(row, 0)) +
                                       " holds a value of the wrong kind.";
                            });
    }
    return Tell(progress, lastPercent, "Checked");
}

} // namespace kwio

short xio_check_file(const char* abbrev, xio_file_report* report, const xio_progress& progress) {
    *report = xio_file_report{};
    report->abbrev = abbrev ? abbrev : "";
    kwio::Inspection inspection;
    std::string detail;
    const short status = kwio::Inspect(abbrev, &inspection, &detail);
    if (inspection.dict) report->abbrev = inspection.dict->file.abbrev;
    report->path = inspection.path;
    if (status) {
        report->problems.push_back(detail);
        return status;
    }
    if (!kwio::CheckIntegrity(inspection, report, progress, 60)) return XIO_CANCELLED;
    if (!kwio::CheckRecordManagerRules(inspection, report, progress, 60, 100)) return XIO_CANCELLED;
    return report->problems.empty() ? XIO_OK : XIO_CORRUPT;
}

std::vector<xio_company_file> xio_company_files() {
    std::vector<xio_company_file> files;
    if (!kwCompany::IsOpen()) return files;
    std::error_code ec;
    std::vector<std::string> abbrevs;
    for (const auto& entry : fs::directory_iterator(kwCompany::DictionaryFolder(), ec)) {
        if (entry.path().extension() != ".dct") continue;
        abbrevs.push_back(entry.path().stem().string());
    }
    std::sort(abbrevs.begin(), abbrevs.end());
    for (const auto& abbrev : abbrevs) {
        std::string error;
        auto dict = kwDictionaryLoader::Load(abbrev, &error);
        if (!dict) continue;
        xio_company_file file;
        file.abbrev = dict->file.abbrev;
        file.description = dict->file.description;
        file.path = kwio::DataFilePath(*dict, "");
        file.exists = fs::exists(file.path, ec);
        files.push_back(std::move(file));
    }
    return files;
}

std::string xio_file_report::Text() const {
    std::string text = "File: " + abbrev + "  " + path + "\n";
    if (repaired) {
        text += "The file was rebuilt: " + std::to_string(saved) + " records saved.\n";
        text += "The damaged file is kept as " + backupPath + "\n";
        if (!unsaved.empty()) {
            text += std::to_string(unsaved.size()) + (unsaved.size() == 1 ? " thing" : " things") +
                    " could not be saved:\n";
            constexpr size_t kShown = 200;
            for (size_t i = 0; i < unsaved.size() && i < kShown; ++i) text += "  - " + unsaved[i] + "\n";
            if (unsaved.size() > kShown) text += "  ... and " + std::to_string(unsaved.size() - kShown) + " more\n";
        }
    }
    for (const auto& [type, count] : records)
        text += "Record type " + std::to_string(type) + ": " + std::to_string(count) +
                (repaired ? " records saved\n" : " records\n");
    if (problems.empty()) {
        text += "No problems found.\n";
    } else {
        text += std::to_string(problems.size()) + (problems.size() == 1 ? " problem found:\n" : " problems found:\n");
        for (const auto& problem : problems) text += "  - " + problem + "\n";
    }
    return text;
}
