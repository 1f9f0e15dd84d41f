// What the check and the repair of a data file share: finding the file, looking into it
// without changing it, and telling progress. Internal to the record manager.
#pragma once

#include "RecordManagerInternal.h"

#include "kwcommon/xio.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace kwio {

// A data file looked into by the check or the repair.
struct Inspection {
    std::shared_ptr<const kwDictionary> dict; // the program's dictionary of the file
    std::string path;
    Database db;                              // opened for reading only
};

// Finds the data file of an abbreviation and connects to it for reading. Answers a status
// with the reason in *detail.
short Inspect(const char* abbrev, Inspection* inspection, std::string* detail);

// Calls a progress callback, if any; false when the user cancelled.
bool Tell(const xio_progress& progress, int percent, const std::string& stage);

// The text of a column, "" for NULL.
std::string ColumnText(sqlite3_stmt* stmt, int column);
// A column as people read it: numbers without a needless ".0".
std::string ValueText(sqlite3_stmt* stmt, int column);
// The columns a table has (upper case), empty when it has none or cannot be read.
std::set<std::string> ColumnsOf(sqlite3* db, const std::string& table);

// The record manager's own check (everything but SQLite's integrity check) of an
// inspected file: problems are added to report. false when cancelled.
bool CheckRecordManagerRules(Inspection& inspection, xio_file_report* report, const xio_progress& progress,
                             int firstPercent, int lastPercent);

// SQLite's integrity check: each problem it names goes into report. false when cancelled.
bool CheckIntegrity(Inspection& inspection, xio_file_report* report, const xio_progress& progress, int lastPercent);

// Copies every record of a record type that can be read from source into target's table
// (TableSalvage.cpp); what cannot be saved goes into report->unsaved, and readableLeftOut
// is set when a record that could be read was not saved. false when cancelled or when the
// target cannot be written (*failure then names why).
bool SalvageTable(const kwDictionary& dict, const xio_rec_def& rec, sqlite3* source, sqlite3* target,
                  xio_file_report* report, const xio_progress& progress, int firstPercent, int lastPercent,
                  short* failure, bool* readableLeftOut);

// A file whose own schema entries SQLite cannot parse (damage in its first page, where
// they live) is read through a copy whose entries for the record manager's tables are
// written again (SchemaMending.cpp). The copy goes with the object.
class SchemaMending {
public:
    SchemaMending(const kwDictionary& dict, const std::string& path);
    ~SchemaMending();
    SchemaMending(const SchemaMending&) = delete;
    SchemaMending& operator=(const SchemaMending&) = delete;

    // The record manager's tables whose entries cannot be read through db.
    std::vector<std::string> Unreadable(sqlite3* db) const;
    // Makes the mended copy; its path, or "" with *error.
    std::string Make(const std::vector<std::string>& tables, std::string* error);

private:
    struct Impl;
    std::unique_ptr<Impl> _impl;
};

} // namespace kwio
