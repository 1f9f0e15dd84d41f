// What the record manager's tests share: a small dictionary of their own ("TST": items
// with three keys, notes with a key that allows duplicates, a header), and records made
// through the record manager.
#pragma once

#include "TestCompany.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace rmtest {

inline const char* kDictionary = R"({
  "file": { "abbrev": "TST", "description": "Test records", "defaultFileName": "TEST.TST", "dataVersion": "1.0.0" },
  "recordTypes": [
    { "number": 1, "name": "ITEM", "description": "Item",
      "fields": [
        { "name": "ID", "type": 1 },
        { "name": "NAME", "type": 0, "width": 10 },
        { "name": "GROUP", "type": 0, "width": 5 },
        { "name": "DUE", "type": 3 },
        { "name": "NOTES", "type": 0, "longText": true, "width": 2000 },
        { "name": "KIND", "type": 7, "items": ["First", "Second"], "defaultItem": 2 }
      ],
      "keys": [
        { "number": 0, "name": "ID", "fields": ["ID"], "unique": true },
        { "number": 1, "name": "GROUP", "fields": ["GROUP", "ID"] },
        { "number": 2, "name": "DUE", "fields": ["DUE"], "unique": false }
      ] },
    { "number": 2, "name": "NOTE", "fields": [ { "name": "NID", "type": 1 }, { "name": "TEXT", "type": 0, "width": 20 } ],
      "keys": [ { "number": 0, "name": "NID", "fields": ["NID"], "unique": false } ] }
  ],
  "header": [ { "name": "LASTID", "type": 1 } ]
})";

// Writes the TST dictionary into the company, with another data version when asked.
inline void WriteTestDictionary(const TestCompany& company, const std::string& dataVersion = "1.0.0") {
    std::filesystem::create_directories(company.Path("dict"));
    std::string text = kDictionary;
    text.replace(text.find("\"1.0.0\""), 7, "\"" + dataVersion + "\"");
    std::ofstream(company.Path("dict/tst.dct")) << text;
    kwDictionaryLoader::ClearCache();
}

inline void PutNumber(short file, short field, double value) {
    const x_value_def carrier = x_value_def::OfNumber(value);
    xio_put_field(file, 0, field, &carrier);
}

inline void PutText(short file, short field, const std::string& value) {
    const x_value_def carrier = x_value_def::OfText(value);
    xio_put_field(file, 0, field, &carrier);
}

inline double GetNumber(short file, short field) {
    x_value_def carrier;
    xio_get_field(file, 0, field, &carrier);
    return carrier.AsNumber();
}

// Items 1..count with a group, a due date and notes long enough to fill many pages.
inline short AddItems(short file, int first, int count, size_t notes = 0) {
    for (int i = first; i < first + count; ++i) {
        xio_clr_record(file, 1);
        PutNumber(file, 1, i);
        PutText(file, 2, "n" + std::to_string(i));
        PutText(file, 3, i % 2 ? "A" : "B");
        PutNumber(file, 4, 20260000 + i % 7);
        if (notes) xio_put_long_text(file, 5, std::string(notes, static_cast<char>('a' + i % 26)));
        if (short status = xio_wr_record(file, 1, 0)) return status;
    }
    return 0;
}

// Walks record type 1 by key 0 from the start: the number of records handed out, and the
// status that ended the walk.
inline int WalkItems(short file, short* ending) {
    int seen = 0;
    xio_clr_record(file, 1);
    short status = xio_rd_first(file, 1, 0, 0);
    for (; status == 0; status = xio_rd_next(file, 1, 0, 0)) ++seen;
    *ending = status;
    return seen;
}

} // namespace rmtest
