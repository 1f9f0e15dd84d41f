// Loads the demo records of a freshly copied company into real data files.
//
// A company folder may hold a "seed" folder of JSON files, one per data file:
// {
//   "file": "APV",                          the data file's abbreviation
//   "dictionary": "old/qvi-4.2.0.dct",      optional: the data file is made with this
//                                           dictionary (relative to the company folder)
//                                           instead of the company's, as an old file was
//   "records": [
//     { "recordType": 1,
//       "fields": ["VENDOR", "VNAME", "VBAL"], field names of that record type
//       "rows": [ ["ACME", "Acme Building Supply", 0.0], ... ] } ],
//   "header": { "LASTID": 24 }              optional: header field values
// }
// Values by field type: texts and phone numbers as JSON texts (a sectioned key may be
// given as shown, "1000-00-000"); numbers as JSON numbers; yes/no as true or false; dates
// as "YYYY-MM-DD" ("" for no date); times as "HH:MM" or "HH:MM:SS"; choices as the item's
// text or its number; null leaves the dictionary's default. A file with no rows still
// creates its (empty) data file.
#pragma once

#include <string>

// Loads every seed file of folder/seed into the company in folder, creating the data
// files, and then removes the seed folder. Every seed file is checked against its
// dictionary before anything is written, so a broken one changes nothing and answers
// false with a message naming the file and the place. Records already present (same
// key 0) are kept as they are, so a load that was cut short can simply be run again.
// A folder without a seed folder is already loaded: true.
//
// The company in folder is made the current one while loading; the current company
// (or none) is restored afterwards.
bool kwSeedCompany(const std::string& folder, std::string* error);
