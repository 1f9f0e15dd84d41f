// Read-only access to the saved queries for the parts that apply them rather than edit
// them: the list of names, a query's sort order and its conditions. Every call opens,
// locks, reads and closes the query file again, so a query saved on another workstation
// is seen by the next call; only the name list of the last GetQueryList is kept.
#pragma once

#include "qvcore/queries/qvQueryFile.h"

#include <string>
#include <vector>

class qvQueryInfo {
public:
    // The user-interface word for no query at all; never a name in the file.
    static constexpr const char* NoneName = "<None>";

    // fileNumber identifies the caller (its task id) in the data library's fatal reports.
    explicit qvQueryInfo(short fileNumber);
    ~qvQueryInfo();
    qvQueryInfo(const qvQueryInfo&) = delete;
    qvQueryInfo& operator=(const qvQueryInfo&) = delete;

    // The names of every saved query, in directory order (case-insensitive name order).
    // Empty when the file is missing, locked or unreadable. Valid until the next call.
    std::vector<std::string>& GetQueryList();
    // The query's sort order number; 0 when there is no such query.
    short GetOrder(const std::string& name);
    // A new copy of the query's conditions in *conditions (free it with _qfi_free) and
    // their number; 0 and *conditions untouched when there is no such query or it has none.
    short GetCondInfo(const std::string& name, xc_cond_def** conditions);

private:
    // Reads the query into the file state's buffer. 1 found, 0 not.
    short _GetQueryInfo(const std::string& name, short withConditions);

    std::vector<std::string> _queryNames;
    query_file_info _info{};
};
