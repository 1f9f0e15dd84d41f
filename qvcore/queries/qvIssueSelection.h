// The issues a View Issues window shows an operator, as one reusable rule: a saved query's
// sort order and record-selection conditions, and the responsible-person filter. The grid,
// printing and qvadmin walk the same selection, so they always agree on which issues a
// query selects.
//
// The responsible-person filter applies when the installation's preferences ask for it
// for this kind of operator (Prefs::AutoFilter for ordinary operators,
// Prefs::AutoFilterPrivileged for privileged ones) and the operator has an id. Under it an
// issue is shown when its responsible person (RESPONS) is empty or is the operator's name,
// compared exactly. An operator without an id sees every issue.
#pragma once

#include "kwcommon/conditions/xc_cond_def.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct xs_oper_def;

// Whether the responsible-person filter applies to this operator.
bool qvAutoFilterApplies(const xs_oper_def& oper);
// Whether an issue whose responsible person is `respons` is shown to this operator.
bool qvPassesAutoFilter(const xs_oper_def& oper, std::string_view respons);

// A sort order the issue file offers: the primary order 0 (named after the issue record
// type) and each alternate key of the issue record that users may choose and that is
// active. Names are in initial capitals, as the Build Query dialog lists them.
struct qvIssueOrder {
    short number = 0;
    std::string name;
};
std::vector<qvIssueOrder> qvOfferedOrders(short issueFile);
bool qvIsOfferedOrder(short issueFile, short order);

class qvIssueSelection {
public:
    // A selection on the open issue file; programNumber is the caller's task id (condition
    // set and query-file reports). It starts as every issue in the primary order, for the
    // current operator (xs_get_oper_def).
    qvIssueSelection(short issueFile, short programNumber);
    ~qvIssueSelection();
    qvIssueSelection(const qvIssueSelection&) = delete;
    qvIssueSelection& operator=(const qvIssueSelection&) = delete;

    // The saved query `name` (matched without regard to case): its order and conditions.
    // "" and "<None>" mean no query. false with *error when the file holds no such query
    // (a damaged query file has been reported by the reader already).
    bool UseQuery(const std::string& name, std::string* error = nullptr);
    // An order directly; one the file does not offer (a key switched off since the query
    // was saved) falls back to the primary order, as the Build Query dialog does, and
    // OrderReplaced() tells.
    void UseOrder(short order);
    // Conditions directly, replacing the earlier ones. A condition the issue file cannot
    // take (a field gone from its dictionary) is left out and counted in SkippedConditions.
    void UseConditions(const xc_cond_def* conditions, int count);
    // The operator whose view it is.
    void UseOperator(const xs_oper_def& oper);

    // Walks the selected issues in the selection's order, each one read into the issue
    // file's record buffer of type 1, and calls each(file). each answers false to end the
    // walk; it may read other record types of the file (links) but must not move the
    // current issue record. Nothing is held in memory beyond one record. Answers 0 when
    // the walk ended normally, else the record manager's status.
    short Walk(const std::function<bool(short file)>& each);
    // Whether the issue record in the file's buffer is selected (conditions and filter):
    // the grid's row filter.
    bool Selects() const;
    // Whether the responsible-person filter applies to this selection's operator.
    bool FilterApplies() const { return _filterApplies; }

    short Order() const { return _order; }
    bool OrderReplaced() const { return _orderReplaced; }
    int ConditionCount() const;
    int SkippedConditions() const { return _skipped; }
    // The condition set (xc_* handle), 0 when none could be started.
    short ConditionSet() const { return _conditions; }

private:
    short _file = 0;
    short _program = 0;
    short _order = 0;
    bool _orderReplaced = false;
    short _conditions = 0;
    int _skipped = 0;
    short _responsField = 0;
    bool _filterApplies = false;
    std::string _operatorName;
};
