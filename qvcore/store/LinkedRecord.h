// One link of an issue to a record of another application of the suite.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class LinkedRecord {
public:
    LinkedRecord() = default;
    virtual ~LinkedRecord() = default;

    std::vector<int16_t> keyKindCodes;  // per key field: kind code in the application's issue dictionary
    std::vector<int16_t> keyQualifiers; // per key field: qualifier there
    std::vector<std::string> keyValues; // per key field: the value as shown
    std::string applAbbrev;             // two letters; the cross-reference file is applAbbrev + "Z"
    int16_t xrefRecType = 0;            // record type in the cross-reference file
    std::string dictName;               // the application's data dictionary holding the record
    int16_t recType = 0;                // record type in that dictionary
    int16_t fileMask = 0;               // 0, or 1 << index of the file type within the dictionary
    std::string recDesc;                // record-type description, initial capitals
    std::string dataDesc;               // the non-key column values of the record, each followed by a blank

    // The same link: everything but the two descriptions equal; key values compare with
    // letter case.
    bool operator==(const LinkedRecord& other) const;
    bool operator!=(const LinkedRecord& other) const { return !(*this == other); }
};
