// A full examination of a query file (qvquery.dat, format in qvQueryFile.h): the header,
// every directory entry and every query record with its conditions, reporting each
// inconsistency in words rather than stopping at the first. It reads the file under the
// shared lock of byte 0, piece by piece (never the whole file at once), and changes
// nothing; a file the query functions refuse as damaged is exactly what it is for.
#pragma once

#include <string>
#include <vector>

struct qvQueryFileCheckResult {
    bool exists = false;  // false: there is no query file (no query was ever saved)
    bool locked = false;  // true: another workstation held the file too long to look at it
    int queries = 0;      // queries the header counts
    std::vector<std::string> problems; // one sentence each; empty when the file is sound
};

// Examines the query file at path. With issueFile (an open issue file or its dictionary)
// the conditions' fields and the sort orders are also checked against its dictionary.
qvQueryFileCheckResult qvCheckQueryFile(const std::string& path, short issueFile = 0);
