// The SQLite schema of a data file as its dictionary asks for it (described at the top of
// xio.h): names, the difference between a file's stored schema and the wanted one, a new
// file, and the text of every statement the record manager prepares. SQL is built here
// once per statement and never per read, write or walk step.
#pragma once

#include "OpenFile.h"

#include <set>
#include <string>
#include <vector>

namespace kwio {

std::string Quote(const std::string& name);
std::string TableName(short recordType);
std::string IndexName(short recordType, short key);
// The statement that makes a key's index, exactly as the file keeps it in sqlite_master.
std::string IndexSql(const kwDictionary& dict, const xio_key_def& key);

// What a file lacks against its dictionary.
struct SchemaPlan {
    std::vector<std::string> statements;    // to apply, in order, in one transaction
    std::set<std::string> missingColumns;   // "table.column" (upper case), for a file left as it is
    std::set<short> missingTables;          // record types without a table
    bool countsMissing = false;             // no kw_count table or triggers yet
    bool Empty() const { return statements.empty(); }
};

// Compares the file's schema (read, never written) with the dictionary's. storedVersion
// is the data version the file's meta table names; the dictionary's copy is stored in a
// file at that version that has none yet. Answers a SQLite result code.
int PlanSchema(const kwDictionary& dict, sqlite3* db, const std::string& storedVersion, SchemaPlan* plan);

// The script that fills an empty database as a new data file of the dictionary.
std::string NewFileScript(const kwDictionary& dict);

// The dictionary's own text, as stored in the meta table of the files made with it.
std::string DictionaryText(const kwDictionary& dict);

// Statement texts. Columns a file opened without writing lacks are read as their empty value.
std::string SelectColumns(const OpenFile& f, const xio_rec_def& rec);
std::string InsertSql(const kwDictionary& dict, const xio_rec_def& rec);
std::string UpdateSql(const kwDictionary& dict, const xio_rec_def& rec);
std::string SeekSql(const OpenFile& f, const xio_rec_def& rec, const xio_key_def& key, Seek seek);
std::string HeaderSelectSql(const OpenFile& f);
std::string HeaderUpdateSql(const kwDictionary& dict);

// The first field number of the header fields.
short HeaderFirstField(const kwDictionary& dict);

} // namespace kwio
