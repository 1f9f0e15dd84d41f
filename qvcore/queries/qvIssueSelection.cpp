// The issues a saved query selects for an operator, walked in order through the record
// manager.
#include "qvcore/queries/qvIssueSelection.h"

#include "qvcore/store/qvIssueFile.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvQueryInfo.h"
#include "qvcore/store/qvTextRules.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/xio.h"
#include "kwcommon/xs.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr short kPrivileged = 1;
constexpr short kReadOnly = 1;
constexpr short kFailSilently = 3;

std::string_view TrimRight(std::string_view text) {
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

// Empty, or the operator's name exactly.
bool ResponsibleIsOperatorOrNobody(std::string_view respons, std::string_view operatorName) {
    respons = TrimRight(respons);
    return respons.empty() || respons == TrimRight(operatorName);
}

std::string InitCaps(const char* text) {
    char buffer[64] = {};
    std::snprintf(buffer, sizeof(buffer), "%s", text);
    qvInitCaps(buffer);
    return buffer;
}

} // namespace

bool qvAutoFilterApplies(const xs_oper_def& oper) {
    if (!Prefs::AutoFilter() && !Prefs::AutoFilterPrivileged()) return false;
    if (oper.id[0] == 0) return false;
    return oper.privilege == kPrivileged ? Prefs::AutoFilterPrivileged() : Prefs::AutoFilter();
}

bool qvPassesAutoFilter(const xs_oper_def& oper, std::string_view respons) {
    return !qvAutoFilterApplies(oper) ||
           ResponsibleIsOperatorOrNobody(respons, std::string_view(oper.name, strnlen(oper.name, sizeof(oper.name))));
}

std::vector<qvIssueOrder> qvOfferedOrders(short issueFile) {
    std::vector<qvIssueOrder> orders;
    xio_rec_def rec{};
    xio_def def{};
    if (xio_get_rec_def(issueFile, QV_RECORD_ISSUE, &rec, 1) != XIO_OK || xio_get_def(issueFile, &def, 0) != XIO_OK)
        return orders;
    orders.push_back({0, InitCaps(rec.name)});
    for (short key = 1; key <= def.keyCount; ++key) {
        xio_key_def kd{};
        if (xio_get_key_def(issueFile, key, &kd, QV_RECORD_ISSUE) != XIO_OK) continue;
        if (kd.internal == 0 && kd.userOrder == 1 && xc_alt_key_active(def.abbrev, key))
            orders.push_back({key, InitCaps(kd.name)});
    }
    return orders;
}

bool qvIsOfferedOrder(short issueFile, short order) {
    for (const qvIssueOrder& offered : qvOfferedOrders(issueFile))
        if (offered.number == order) return true;
    return false;
}

qvIssueSelection::qvIssueSelection(short issueFile, short programNumber) : _file(issueFile), _program(programNumber) {
    xc_cond_init_def def{};
    def.programNumber = programNumber;
    def.fileNumber = issueFile;
    def.recordType = QV_RECORD_ISSUE;
    _conditions = xc_init_conditions(&def, 1);
    _responsField = xio_num(issueFile, 0, 0, "RESPONS");
    xs_oper_def oper{};
    xs_get_oper_def(&oper);
    UseOperator(oper);
}

qvIssueSelection::~qvIssueSelection() {
    if (_conditions) xc_term_conditions(_conditions, 1);
}

bool qvIssueSelection::UseQuery(const std::string& name, std::string* error) {
    UseOrder(0);
    UseConditions(nullptr, 0);
    if (name.empty() || name == qvQueryInfo::NoneName) return true;
    // One read of the file gives the query's order and conditions together.
    query_file_info info;
    std::memset(&info, 0, sizeof(info));
    info.handle = -1;
    info.fileNumber = _program;
    info.lockFlag = 1;
    _qfi_build_path_name(&info);
    bool found = false;
    if (_qfi_lock(&info, kReadOnly, kFailSilently)) {
        found = info.header.count > 0 && _qfi_read_query(&info, name.c_str(), &info.query, nullptr, 1);
        if (found) {
            UseOrder(info.query.order);
            UseConditions(info.query.conditions, info.query.condCount);
        }
        _qfi_free_query_cond(&info.query);
        _qfi_unlock(&info);
    }
    if (!found && error)
        *error = info.damaged ? "the query file is damaged; run qvadmin query check"
                              : "there is no query \"" + name + "\"";
    return found;
}

void qvIssueSelection::UseOrder(short order) {
    _orderReplaced = order != 0 && !qvIsOfferedOrder(_file, order);
    _order = _orderReplaced ? 0 : order;
}

void qvIssueSelection::UseConditions(const xc_cond_def* conditions, int count) {
    _skipped = 0;
    if (_conditions) xc_clear_conditions(_conditions);
    for (int i = 0; i < count && conditions; ++i) {
        if (!_conditions || !xc_put_condition(_conditions, &conditions[i])) ++_skipped;
    }
}

void qvIssueSelection::UseOperator(const xs_oper_def& oper) {
    _filterApplies = qvAutoFilterApplies(oper);
    _operatorName.assign(oper.name, strnlen(oper.name, sizeof(oper.name)));
}

int qvIssueSelection::ConditionCount() const {
    return _conditions ? xc_condition_count(_conditions) : 0;
}

bool qvIssueSelection::Selects() const {
    if (_filterApplies) {
        x_value_def respons;
        if (_responsField) xio_get_field(_file, 0, _responsField, &respons);
        if (!ResponsibleIsOperatorOrNobody(respons.AsText(), _operatorName)) return false;
    }
    if (_conditions && xc_conditions_exist(_conditions, 0, 0) &&
        !xc_meets_conditions(_conditions, _file, QV_RECORD_ISSUE, _order, 0, 1))
        return false;
    return true;
}

short qvIssueSelection::Walk(const std::function<bool(short file)>& each) {
    xio_clr_record(_file, QV_RECORD_ISSUE);
    short status = xio_rd_first(_file, QV_RECORD_ISSUE, _order, 0);
    for (; status == XIO_OK; status = xio_rd_next(_file, QV_RECORD_ISSUE, _order, 0)) {
        if (Selects() && !each(_file)) return XIO_OK;
    }
    return status == XIO_NO_RECORD ? static_cast<short>(XIO_OK) : status;
}
