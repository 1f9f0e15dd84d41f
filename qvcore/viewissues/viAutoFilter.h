// Which issues an operator sees in View Issues: the responsible-person filter, as the issue
// selection (qvIssueSelection) rules it. It applies when the system options ask for it
// (AutoFilter for ordinary operators, AutoFilterPrivileged for privileged ones) and the
// operator has an id; an issue then shows when nobody is responsible for it or the
// operator is, by name (letter case counting).
#pragma once

#include "kwcommon/xs.h"

// The filter applies to this operator under the current preferences.
bool viAutoFilterApplies(const xs_oper_def& oper);
// The issue in the issue file's record buffer passes the filter for the current operator.
bool viPassesAutoFilter(short file);
// The issue in the buffer was closed by the current operator or by nobody (or the
// operator has no id).
bool viClosedByCurrentOperator(short file);
