// The responsible-person filter and the closing-operator rule. Which issues an operator
// sees is the issue selection's rule (qvIssueSelection), the one rule that the grid,
// printing and qvadmin share.
#include "qvcore/viewissues/viAutoFilter.h"

#include "qvcore/queries/qvIssueSelection.h"

#include "kwcommon/xio.h"

#include <string>

namespace {
std::string Field(short file, const char* name) {
    x_value_def value;
    if (xio_get_field(file, 0, xio_num(file, 0, 0, name), &value) != XIO_OK) return {};
    return value.AsText();
}
} // namespace

bool viAutoFilterApplies(const xs_oper_def& oper) { return qvAutoFilterApplies(oper); }

bool viPassesAutoFilter(short file) {
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    return qvPassesAutoFilter(oper, Field(file, "RESPONS"));
}

bool viClosedByCurrentOperator(short file) {
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    if (oper.id[0] == 0) return true;
    const std::string closedBy = Field(file, "OPERCLO");
    return closedBy.empty() || closedBy == oper.id;
}
