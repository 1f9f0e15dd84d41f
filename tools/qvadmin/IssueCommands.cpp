// qvadmin issue add/show/list/delete: issues through the issue store, as the program
// writes them.
#include "AdminCommand.h"

#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/xio.h"

#include <cstdlib>
#include <map>
#include <ostream>

namespace {

constexpr short kAdminProgram = QV_CMD_NEW_ISSUE;

bool ParseIssueNumber(const std::string& text, double* number) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end || value < 1 || value != static_cast<long long>(value)) return false;
    *number = value;
    return true;
}

std::string Clean(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    return text;
}

} // namespace

int AdminIssueAdd(AdminContext& context) {
    static const std::map<std::string, int> options = {
        {"--message", QV_FORMESS}, {"--status", QV_STATUS},   {"--urgency", QV_URGENCY}, {"--classif", QV_CLASSIF},
        {"--followup", QV_FOLLOWU}, {"--problem", QV_PROBLEM}, {"--respons", QV_RESPONS}, {"--due", QV_DUEDATE},
        {"--notify", QV_NOTDATE}};
    std::map<int, std::string> values;
    for (size_t i = 0; i < context.args.size(); ++i) {
        auto it = options.find(context.args[i]);
        if (it == options.end() || i + 1 >= context.args.size()) {
            context.err << "usage: qvadmin issue add --message TEXT [--status S] [--urgency U] [--classif C]\n"
                           "       [--followup F] [--problem P] [--respons NAME] [--due DATE] [--notify DATE]\n";
            return kAdminUserError;
        }
        values[it->second] = context.args[++i];
    }
    if (!values.count(QV_FORMESS) || values[QV_FORMESS].empty()) {
        context.err << "qvadmin: an issue needs a message (--message TEXT)\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminProgram);
    if (!file.Open()) {
        context.err << "qvadmin: unable to open the issue file\n";
        return kAdminDataError;
    }
    qvIssue issue(file.Number(), kAdminProgram, false);
    // Every value is checked before a number is drawn, so bad input costs no number.
    for (const auto& [field, text] : values) {
        if (!issue.Value(field).Set(text)) {
            context.err << "qvadmin: \"" << text << "\" is not a valid " << qvIssue::FieldName(field) << "\n";
            return kAdminUserError;
        }
    }
    qvIssue numbered(file.Number(), kAdminProgram, true);
    if (numbered.Number() == 0) {
        context.err << "qvadmin: no issue number could be drawn\n";
        return kAdminDataError;
    }
    for (const auto& [field, text] : values) numbered.Value(field).Set(text);
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
    if (context.args.size() != 1 || !ParseIssueNumber(context.args[0], &number)) {
        context.err << "usage: qvadmin issue show N\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminProgram);
    if (!file.Open()) return kAdminDataError;
    qvIssue issue(file.Number(), kAdminProgram, false);
    if (!issue.ReadRecord(number)) {
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
    if (!context.args.empty()) {
        context.err << "usage: qvadmin issue list\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminProgram);
    if (!file.Open()) return kAdminDataError;
    const short f = file.Number();
    qvIssue issue(f, kAdminProgram, false);
    xio_clr_record(f, QV_RECORD_ISSUE);
    short status = xio_rd_first(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0);
    for (; status == 0; status = xio_rd_next(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0)) {
        issue.GetFields(1, qvIssue::kValueCount);
        context.out << issue.Value(QV_ISSUE).Format() << "\t" << issue.Value(QV_STATUS).Format() << "\t"
                    << issue.Value(QV_DUEDATE).Format() << "\t" << issue.Value(QV_RESPONS).Format() << "\t"
                    << Clean(issue.Value(QV_FORMESS).Format()) << "\n";
    }
    if (status != XIO_NO_RECORD) {
        context.err << "qvadmin: reading the issues failed: " << xio_status_text(status) << "\n";
        return kAdminDataError;
    }
    return kAdminOk;
}

int AdminIssueDelete(AdminContext& context) {
    double number = 0;
    if (context.args.size() != 1 || !ParseIssueNumber(context.args[0], &number)) {
        context.err << "usage: qvadmin issue delete N\n";
        return kAdminUserError;
    }
    qvIssueFile file(kAdminProgram);
    if (!file.Open()) return kAdminDataError;
    const short f = file.Number();
    xio_clr_record(f, QV_RECORD_ISSUE);
    x_value_def key;
    key.SetNumber(number);
    xio_put_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &key);
    const short status = xio_rd_record(f, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1);
    if (status == XIO_NO_RECORD) {
        context.err << "qvadmin: there is no issue " << context.args[0] << "\n";
        return kAdminUserError;
    }
    if (status == XIO_LOCKED) {
        context.err << "qvadmin: issue " << context.args[0] << " is in use by another user\n";
        return kAdminDataError;
    }
    qvIssue issue(f, kAdminProgram, false);
    if (status || !issue.DeleteRecord()) {
        context.err << "qvadmin: issue " << context.args[0] << " could not be deleted\n";
        return kAdminDataError;
    }
    return kAdminOk;
}
