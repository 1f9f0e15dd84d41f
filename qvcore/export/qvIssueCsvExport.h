// Issues as CSV (qvCsvWriter) with the View Issues grid's columns: the user's grid columns
// (Prefs::GetGridColumns) in their order, without the attachments column IATTACH and
// without names the issue record does not know (the grid ignores those too). The header
// line holds the columns' labels as the grid shows them: the dictionary's field
// descriptions with term codes replaced by the company's custom field descriptions. Values
// are written as the grid shows them; dates in the company's date format, or as ISO 8601
// (YYYY-MM-DD) when asked, which every spreadsheet reads whatever its locale.
#pragma once

#include "qvcore/export/qvCsvWriter.h"

#include <iosfwd>
#include <string>
#include <vector>

class qvIssue;

class qvIssueCsvExport {
public:
    // issueFile: the open issue file whose dictionary names the columns.
    qvIssueCsvExport(short issueFile, std::ostream& out, bool isoDates);

    // The issue fields of the columns, in order.
    const std::vector<std::string>& ColumnNames() const { return _names; }
    void WriteHeader();
    void WriteIssue(const qvIssue& issue);

private:
    qvCsvWriter _writer;
    bool _isoDates;
    std::vector<std::string> _names;
    std::vector<std::string> _labels;
    std::vector<int> _values; // qvIssue value index of each column
};
