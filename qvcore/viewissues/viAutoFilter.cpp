// The responsible-person filter and the closing-operator rule.
#include "qvcore/viewissues/viAutoFilter.h"

#include "qvcore/prefs/Prefs.h"

#include "kwcommon/xio.h"

#include <string>

namespace {
std::string Field(short file, const char* name) {
    x_value_def value;
    if (xio_get_field(file, 0, xio_num(file, 0, 0, name), &value) != XIO_OK) return {};
    return value.AsText();
}
} // namespace

bool viAutoFilterApplies(const xs_oper_def& oper) {
    if (!(Prefs::AutoFilter() || Prefs::AutoFilterPrivileged()) || oper.id[0] == 0) return false;
    return oper.privilege == 1 ? Prefs::AutoFilterPrivileged() : Prefs::AutoFilter();
}

bool viPassesAutoFilter(short file) {
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    if (!viAutoFilterApplies(oper)) return true;
    const std::string responsible = Field(file, "RESPONS");
    return responsible.empty() || responsible == oper.name;
}

bool viClosedByCurrentOperator(short file) {
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    if (oper.id[0] == 0) return true;
    const std::string closedBy = Field(file, "OPERCLO");
    return closedBy.empty() || closedBy == oper.id;
}
