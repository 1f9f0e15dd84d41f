// qvadmin issue add/show/list/delete: issues through the issue store, as the program
// writes them, and listed as the View Issues window selects them.
#include "AdminCommand.h"
#include "AdminInput.h"
#include "AdminSelection.h"

#include "qvcore/export/qvIssueCsvExport.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/x_text.h"
#include "kwcommon/xio.h"
#include "kwcommon/xk.h"
#include "kwcommon/xs.h"

#include <map>
#include <ostream>

namespace {

std::string Clean(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

std::string FieldLabel(const xio_fld_def& def) {
    if (def.listFlag) {
        const std::string company = xk_description(def.kind);
        if (!company.empty()) return company;
    }
    return def.description[0] ? def.description : def.name;
}

// The text a value of the issue field will be stored as, or false with *error saying why
// it cannot be: not UTF-8, longer than the field, not an item of the field's custom list
// (unless newValue allows it), not a date in the company's format ...
bool CheckValue(const qvIssue& issue, int n, const std::string& option, std::string* text, bool newValue,
                std::string* error) {
    size_t bad = 0;
    if (!AdminIsUtf8(*text, &bad)) {
        *error = option + " is not valid UTF-8 text (byte " + std::to_string(bad + 1) + " is no character)";
        return false;
    }
    xio_fld_def def{};
    const short field = xio_num(issue.FileNumber(), 0, 0, qvIssue::FieldName(n));
    if (!field || xio_get_fld_def(issue.FileNumber(), field, &def, 1, 1) != XIO_OK) {
        *error = "the issue dictionary has no field " + std::string(qvIssue::FieldName(n));
        return false;
    }
    const std::string label = FieldLabel(def);
    if (n != QV_FORMESS && text->find_first_of("\r\n\t") != std::string::npos) {
        *error = option + " must be one line of text";
        return false;
    }
    if (def.type == XIO_TEXT && issue.Width(n) > 0 && text->size() > static_cast<size_t>(issue.Width(n))) {
        *error = option + " is " + std::to_string(text->size()) + " bytes long; the " + label + " field holds at most " +
                 std::to_string(issue.Width(n)) + " bytes";
        return false;
    }
    std::vector<std::string> items;
    if (def.listFlag && xk_get_custom_list(def.kind, &items) == 0 && !items.empty()) {
        for (const std::string& item : items) {
            if (x_equal_nocase(x_trim(item), x_trim(*text))) {
                *text = item; // stored as the list spells it
                return true;
            }
        }
        if (def.listOnly || !newValue) {
            std::string listed;
            for (const std::string& item : items)
                if (!item.empty()) listed += (listed.empty() ? "" : ", ") + item;
            *error = AdminShown(*text) + " is not an item of the " + label + " list (" + listed + "); give one of them" +
                     (def.listOnly ? "" : ", or add --new-value to store a value outside the list");
            return false;
        }
    }
    std::unique_ptr<kwData> probe = issue.Value(n).Clone();
    if (!probe->Set(*text)) {
        *error = AdminShown(*text) + " is not a valid " + label;
        if (dynamic_cast<kwDate*>(probe.get())) *error += ": give a date as " + kwCompany::DateFormat();
        return false;
    }
    return true;
}

std::string Shown(const kwData& value, bool isoDates) {
    const auto* date = isoDates ? dynamic_cast<const kwDate*>(&value) : nullptr;
    return date ? date->Format("YYYY-MM-DD") : value.Format();
}

} // namespace

int AdminIssueAdd(AdminContext& context) {
    static const std::map<std::string, int> options = {
        {"--message", QV_FORMESS}, {"--status", QV_STATUS},   {"--urgency", QV_URGENCY}, {"--classif", QV_CLASSIF},
        {"--followup", QV_FOLLOWU}, {"--problem", QV_PROBLEM}, {"--respons", QV_RESPONS}, {"--due", QV_DUEDATE},
        {"--notify", QV_NOTDATE}};
    std::map<int, std::pair<std::string, std::string>> values; // field -> option, text
    bool newValue = false;
    for (size_t i = 0; i < context.args.size(); ++i) {
        if (context.args[i] == "--new-value") {
            newValue = true;
            continue;
        }
        auto it = options.find(context.args[i]);
        if (it == options.end() || i + 1 >= context.args.size()) {
            context.err << "usage: qvadmin issue add --message TEXT [--status S] [--urgency U] [--classif C]\n"
                           "       [--followup F] [--problem P] [--respons NAME] [--due DATE] [--notify DATE]\n"
                           "       [--new-value]\n";
            return kAdminUserError;
        }
        if (values.count(it->second)) {
            context.err << "qvadmin: " << it->first << " is given twice\n";
            return kAdminUserError;
        }
        values[it->second] = {it->first, context.args[++i]};
    }
    if (!values.count(QV_FORMESS) || x_trim(values[QV_FORMESS].second).empty()) {
        context.err << "qvadmin: an issue needs a message (--message TEXT)\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) {
        context.err << "qvadmin: unable to open the issue file\n";
        return kAdminDataError;
    }
    // Every value is checked before a number is drawn, so refused input costs no number
    // and stores nothing.
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    for (auto& [field, given] : values) {
        std::string error;
        if (!CheckValue(issue, field, given.first, &given.second, newValue, &error)) {
            context.err << "qvadmin: " << error << "\n";
            return kAdminUserError;
        }
    }
    // With operator security on, the responsible person is one of the company's operators,
    // as the Notify page only lets one be picked; the issue then names the operator too.
    std::string responsibleId;
    if (values.count(QV_RESPONS) && !x_trim(values[QV_RESPONS].second).empty()) {
        std::string& name = values[QV_RESPONS].second;
        for (const xs_oper_def& oper : xs_all_operators()) {
            if (x_equal_nocase(name, oper.id) || name == oper.name) {
                name = oper.name;
                responsibleId = oper.id;
            }
        }
        if (responsibleId.empty() && xs_security_on()) {
            std::string operators;
            for (const xs_oper_def& oper : xs_all_operators())
                operators += (operators.empty() ? "" : ", ") + std::string(oper.id) + " (" + oper.name + ")";
            context.err << "qvadmin: with operator security on, the responsible person is one of the operators: "
                        << operators << "\n";
            return kAdminUserError;
        }
    }
    qvIssue numbered(file.Number(), kAdminIssueProgram, true);
    if (numbered.Number() == 0) {
        context.err << "qvadmin: no issue number could be drawn\n";
        return kAdminDataError;
    }
    for (const auto& [field, given] : values) numbered.Value(field).Set(given.second);
    if (!responsibleId.empty()) numbered.Value(QV_IOPERID).Set(responsibleId);
    if (!numbered.AddRecord()) {
        context.err << "qvadmin: the issue could not be written\n";
        return kAdminDataError;
    }
    xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
    context.out << static_cast<long long>(numbered.Number()) << "\n";
    return kAdminOk;
}

int AdminIssueShow(AdminContext& context) {
    double number = 0;
    std::string error;
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin issue show N\n";
        return kAdminUserError;
    }
    if (!AdminParseIssueNumber(context.args[0], &number, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminIssueProgram, false);
    if (!issue.ReadRecord(number)) {
        // A damaged file was reported by the read: that is no missing issue.
        if (xio_status(file.Number()) != XIO_NO_RECORD) return kAdminDataError;
        context.err << "qvadmin: there is no issue " << context.args[0] << "\n";
        return kAdminUserError;
    }
    for (int n = 1; n < qvIssue::kValueCount; ++n) {
        const kwData& value = issue.Value(n);
        if (value.IsNull()) continue;
        context.out << qvIssue::FieldName(n) << "\t" << Clean(value.Format()) << "\n";
    }
    return kAdminOk;
}

int AdminIssueList(AdminContext& context) {
    AdminSelectionOptions selecting;
    std::string error;
    if (!AdminTakeSelectionOptions(context.args, &selecting, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    bool csv = false, isoDates = false;
    for (const std::string& arg : context.args) {
        if (arg == "--csv") {
            csv = true;
        } else if (arg == "--iso-dates") {
            isoDates = true;
        } else {
            context.err << "usage: qvadmin issue list [--query NAME] [--operator ID] [--csv] [--iso-dates]\n";
            return kAdminUserError;
        }
    }
    qvIssueFile file(kAdminViewProgram);
    if (!file.Open()) return kAdminDataError;
    const short f = file.Number();
    // The grid's columns and the filter's switches are preferences.
    Prefs::Load();
    qvIssueSelection selection(f, kAdminViewProgram);
    if (selecting.Selecting()) {
        if (const int code = AdminPrepareSelection(selection, selecting, context.err)) return code;
    }
    qvIssue issue(f, kAdminViewProgram, false);
    qvIssueCsvExport csvExport(f, context.out, isoDates);
    if (csv) csvExport.WriteHeader();
    auto each = [&](short) {
        issue.GetFields(1, qvIssue::kValueCount);
        if (csv) {
            csvExport.WriteIssue(issue);
        } else {
            context.out << issue.Value(QV_ISSUE).Format() << "\t" << issue.Value(QV_STATUS).Format() << "\t"
                        << Shown(issue.Value(QV_DUEDATE), isoDates) << "\t" << issue.Value(QV_RESPONS).Format() << "\t"
                        << Clean(issue.Value(QV_FORMESS).Format()) << "\n";
        }
        return true;
    };
    short status = XIO_OK;
    if (selecting.Selecting()) {
        status = selection.Walk(each);
    } else {
        xio_clr_record(f, QV_RECORD_ISSUE);
        for (status = xio_rd_first(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0); status == XIO_OK; status = xio_rd_next(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0)) each(f);
        if (status == XIO_NO_RECORD) status = XIO_OK;
    }
    if (status != XIO_OK) {
        context.err << "qvadmin: reading the issues failed: " << xio_status_text(status) << "\n";
        return kAdminDataError;
    }
    return kAdminOk;
}

int AdminIssueDelete(AdminContext& context) {
    double number = 0;
    std::string error;
    if (context.args.size() != 1) {
        context.err << "usage: qvadmin issue delete N\n";
        return kAdminUserError;
    }
    if (!AdminParseIssueNumber(context.args[0], &number, &error)) {
        context.err << "qvadmin: " << error << "\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminIssueProgram);
    if (!file.Open()) return kAdminDataError;
    const short f = file.Number();
    qvIssue issue(f, kAdminIssueProgram, false);
    issue.Value(QV_ISSUE).Set(context.args[0]);
    issue.PutFields(QV_ISSUE, QV_ISSUE + 1);
    short status = xio_rd_record(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1);
    if (status == XIO_NO_RECORD) {
        context.err << "qvadmin: there is no issue " << context.args[0] << "\n";
        return kAdminUserError;
    }
    if (status == XIO_LOCKED) {
        context.err << "qvadmin: issue " << context.args[0] << " is in use by another user\n";
        return kAdminDataError;
    }
    // Its links go with it, as when the View Issues window deletes an issue.
    if (status == XIO_OK) issue.GetFields(1, qvIssue::kValueCount);
    if (status || !issue.DeleteLinks() || xio_rd_record(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1) != XIO_OK || !issue.DeleteRecord()) {
        context.err << "qvadmin: issue " << context.args[0] << " could not be deleted\n";
        return kAdminDataError;
    }
    return kAdminOk;
}
