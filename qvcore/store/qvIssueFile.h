// The issue file "qvi": opened with the program number of the task that uses it.
#pragma once

#include "kwcommon/kwioFile.h"

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
