// What the check and the repair of a data file share: finding the file, looking into it
// without changing it, and telling progress. Internal to the record manager.
#pragma once

#include "RecordManagerInternal.h"

#include "kwcommon/xio.h"

#include <memory>
#include <string>

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

// The record manager's own check (everything but SQLite's integrity check) of an
// inspected file: problems are added to report. false when cancelled.
bool CheckRecordManagerRules(Inspection& inspection, xio_file_report* report, const xio_progress& progress,
                             int firstPercent, int lastPercent);

// SQLite's integrity check: each problem it names goes into report. false when cancelled.
bool CheckIntegrity(Inspection& inspection, xio_file_report* report, const xio_progress& progress, int lastPercent);

} // namespace kwio
