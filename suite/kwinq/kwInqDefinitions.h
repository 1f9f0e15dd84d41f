// The inquiries and reports each application of the suite offers, read from the
// company's inquiries.json (a missing file: none).
//
// inquiries.json:
// {
//   "inquiries": [
//     { "application": "AP",            two letters, the application's code
//       "name": "Vendor invoices",      1 to 30 characters, unique within the application
//                                       (letter case ignored)
//       "file": "API",                  the driving file's abbreviation (3 characters)
//       "recordType": 1,                the driving record type (1 to 255)
//       "order": 0,                     optional: the key whose order the rows follow (0)
//       "columns": ["IVENDOR", ...],    the fields shown, in order (at least one)
//       "keys": ["IVENDOR"] },          optional: the fields that values passed to the
//                                       inquiry filter on (each also a column or not)
//     ...
//   ],
//   "reports": [
//     { "application": "AP",
//       "name": "Vendor list",          as an inquiry's name
//       "design": "AP Vendor List" },   a report design of the reports folder
//     ...
//   ]
// }
// Inquiries and reports keep the file's order; that order is the order of the drop-downs.
// Field names are checked against the driving file's dictionary when an inquiry runs
// (the dictionary may be installed later than the definitions).
#pragma once

#include <memory>
#include <string>
#include <vector>

struct kwInqDefinition {
    std::string application;
    std::string name;
    std::string file;
    short recordType = 1;
    short order = 0;
    std::vector<std::string> columns;
    std::vector<std::string> keys;
};

struct kwRptDefinition {
    std::string application;
    std::string name;
    std::string design;
};

class kwInqDefinitions {
public:
    static constexpr const char* FILE_NAME = "inquiries.json";
    static constexpr size_t NAME_LIMIT = 30;

    // Reads a definitions file. A missing file gives no definitions (true); a damaged one
    // answers false with *error naming the file and the place of the fault.
    static bool Load(const std::string& path, kwInqDefinitions* definitions, std::string* error);
    // The current company's definitions, read again when the file changed. A damaged file
    // gives none, with *error (when given) saying why; the fault is also logged once.
    static std::shared_ptr<const kwInqDefinitions> Company(std::string* error = nullptr);

    const std::vector<kwInqDefinition>& Inquiries() const { return _inquiries; }
    const std::vector<kwRptDefinition>& Reports() const { return _reports; }
    // Those of one application (code compared without regard to letter case).
    std::vector<const kwInqDefinition*> InquiriesOf(const std::string& application) const;
    std::vector<const kwRptDefinition*> ReportsOf(const std::string& application) const;
    // By application and name (letter case ignored in both); null when none.
    const kwInqDefinition* FindInquiry(const std::string& application, const std::string& name) const;
    const kwRptDefinition* FindReport(const std::string& application, const std::string& name) const;

private:
    std::vector<kwInqDefinition> _inquiries;
    std::vector<kwRptDefinition> _reports;
};
