// The issue file "qvi": opened with the program number of the task that uses it.
#pragma once

#include "kwcommon/kwioFile.h"

// The issue file's abbreviation in the file control and the dictionaries folder.
inline constexpr const char* QV_ISSUE_FILE = "qvi";

// The record types and keys of the issue file, as its dictionary (qvi.dct) numbers them.
inline constexpr short QV_RECORD_ISSUE = 1;
inline constexpr short QV_RECORD_LINK = 2;
// Keys of the issue record: key 0 is the issue number (unique), the others the orders a
// view offers, each ending in the issue number.
inline constexpr short QV_KEY_ISSUE_NUMBER = 0;
inline constexpr short QV_KEY_STATUS = 1;
inline constexpr short QV_KEY_DUE_DATE = 2;
inline constexpr short QV_KEY_NOTIFY_DATE = 3;
inline constexpr short QV_KEY_RESPONSIBLE = 4;
inline constexpr short QV_KEY_CLASSIFICATION = 5;
// The link record's one key: issue, file abbreviation, record number, data description.
inline constexpr short QV_KEY_LINK = 0;

class qvIssueFile {
public:
    explicit qvIssueFile(short programNumber);
    virtual ~qvIssueFile();
    qvIssueFile(const qvIssueFile&) = delete;
    qvIssueFile& operator=(const qvIssueFile&) = delete;

    // Opens the file, creating it when it is absent; false after telling the user why
    // (or silently when the user cancelled or the program number is 0).
    bool Open();
    void Close();
    // The file number for the record-manager calls; 0 while closed.
    short Number() const { return _fileNumber; }
    void ProgNum(short programNumber) { _programNumber = programNumber; }
    short ProgNum() const { return _programNumber; }

private:
    kwioDataFile _file;
    short _programNumber = 0;
    short _fileNumber = 0;
};
