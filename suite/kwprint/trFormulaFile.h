// The company's formulas (formulas.json in the company folder): named expressions
// (trFormula.h) per application of the suite, edited with the formula editor and printed
// by report designs.
//
// {
//   "version": 1,                                required: the format; this program reads 1
//   "applications": {
//     "QV": [ { "name": "Days open",             required, 1 to 30 characters, unique in
//                                                 its application (letter case aside)
//               "file": "QVI",                    required: the data file whose record's
//                                                 fields the expression names
//               "expression": "days(CREATED, today())",   required
//               "description": "..." } ]          optional
//   }
// }
//
// Every change re-reads the file under its lock (formulas.json.lck), changes the one
// formula and writes the whole file through kwStoredFile, so two workstations editing
// formulas at once lose nothing of each other's. A damaged file is refused with an error
// naming the file and the place, and is never written over.
#pragma once

#include <string>
#include <vector>

class trFormulaFile {
public:
    struct Entry {
        std::string name;
        std::string file; // the data file's abbreviation ("QVI")
        std::string expression;
        std::string description;
    };
    static constexpr size_t MAX_NAME = 30;
    static constexpr const char* FILE_NAME = "formulas.json";

    trFormulaFile() = delete;

    // The file of the open company.
    static std::string Path();
    // The formulas of an application (code "QV"), in the file's order. A missing file has
    // none. false with *error for a damaged or unreadable file.
    static bool Read(const std::string& application, std::vector<Entry>* entries, std::string* error);
    // The formula of the name (letter case aside); false with *error when there is none.
    static bool Find(const std::string& application, const std::string& name, Entry* entry, std::string* error);
    // Adds entry (oldName empty) or replaces the formula oldName by it. false with *error
    // when the name is taken by another formula, oldName is no longer there (deleted on
    // another workstation), the file is damaged or cannot be written.
    static bool Put(const std::string& application, const std::string& oldName, const Entry& entry,
                    std::string* error);
    static bool Remove(const std::string& application, const std::string& name, std::string* error);
};
