// qvadmin remind: mails each responsible person the open issues whose notify date has come
// and those past their due date, once a day, as a timer or cron job runs it.
#include "AdminCommand.h"
#include "AdminInput.h"

#include "qvcore/remind/qvReminderRun.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/xd.h"

#include <optional>
#include <ostream>

namespace {

constexpr const char* kUsage = "usage: qvadmin remind [--date DATE] [--dry-run] [--query NAME]\n";
constexpr size_t kIssuesNamed = 20; // issue numbers named per person in a warning

std::string Count(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// ISO (2026-05-01) or the company's date format.
std::optional<std::chrono::year_month_day> ParseDay(const std::string& text) {
    const bool iso = text.size() == 10 && text[4] == '-' && text[7] == '-';
    if (iso) return xd_parse_date(text, "YYYY-MM-DD");
    return xd_parse_date(text, xd_date_format());
}

std::string IssueList(const std::vector<int64_t>& issues) {
    std::string text;
    for (size_t i = 0; i < issues.size() && i < kIssuesNamed; ++i)
        text += (i ? ", " : "") + std::to_string(issues[i]);
    if (issues.size() > kIssuesNamed)
        text += " and " + std::to_string(issues.size() - kIssuesNamed) + " more";
    return text;
}

std::string Groups(const qvReminderMailPlan& mail) {
    const size_t pastDue = mail.Count(qvReminderGroup::PastDue);
    const size_t reached = mail.Count(qvReminderGroup::NotifyDateReached);
    return Count(mail.issues.size(), "issue", "issues") + " (" + std::to_string(pastDue) +
           " past due, " + std::to_string(reached) + " notify date reached)";
}

void ListIssues(const qvReminderMailPlan& mail, std::ostream& out) {
    for (const qvReminderIssue& issue : mail.issues) {
        out << "  " << issue.number << "\t";
        if (issue.group == qvReminderGroup::PastDue)
            out << "past due since " << issue.dueDate.Format();
        else
            out << "notify date " << issue.notifyDate.Format();
        out << "\t" << AdminShown(issue.message) << "\n";
    }
}

} // namespace

int AdminRemind(AdminContext& context) {
    qvReminderOptions options;
    options.programNumber = kAdminViewProgram;
    options.day = xd_get_date();
    for (size_t i = 0; i < context.args.size(); ++i) {
        const std::string& arg = context.args[i];
        if (arg == "--dry-run") {
            options.dryRun = true;
        } else if ((arg == "--date" || arg == "--query") && i + 1 < context.args.size()) {
            const std::string& value = context.args[++i];
            if (arg == "--query") {
                options.queryName = value;
                continue;
            }
            const auto day = ParseDay(value);
            if (!day) {
                context.err << "qvadmin: --date " << AdminShown(value)
                            << " is not a date: give it as " << kwCompany::DateFormat()
                            << " or YYYY-MM-DD\n";
                return kAdminUserError;
            }
            options.day = *day;
        } else {
            context.err << kUsage;
            return kAdminUserError;
        }
    }

    const qvReminderReport report = qvRunReminders(options);
    for (const std::string& warning : report.warnings)
        context.err << "qvadmin: " << warning << "\n";
    if (report.ending == qvReminderReport::Ending::UserError) {
        context.err << "qvadmin: " << report.error << "\n";
        return kAdminUserError;
    }
    const qvReminderPlan& plan = report.plan;
    for (const qvUnaddressedPerson& person : plan.unaddressed)
        context.err << "qvadmin: the responsible person " << AdminShown(person.respons) << " "
                    << person.why << ": " << Count(person.issues.size(), "issue", "issues")
                    << " not reminded (" << IssueList(person.issues) << ")\n";

    const std::string day = kwDate(plan.day).Format();
    for (size_t i = 0; i < plan.mails.size() && i < report.outcomes.size(); ++i) {
        const qvReminderMailPlan& mail = plan.mails[i];
        const qvReminderMailOutcome& outcome = report.outcomes[i];
        switch (outcome.result) {
        case qvReminderMailResult::Sent:
            context.out << mail.to.Shown() << ": " << Groups(mail) << ": sent\n";
            break;
        case qvReminderMailResult::PutInOutbox:
            context.out << mail.to.Shown() << ": " << Groups(mail) << ": put in the outbox\n";
            break;
        case qvReminderMailResult::Failed:
            context.err << "qvadmin: the reminder to " << mail.to.Shown() << " (" << Groups(mail)
                        << ") was not sent: " << outcome.reason << "\n";
            break;
        case qvReminderMailResult::NotSent:
            if (options.dryRun && report.ending == qvReminderReport::Ending::Done) {
                context.out << "would mail " << mail.to.Shown() << ": " << Groups(mail) << "\n";
                ListIssues(mail, context.out);
            }
            break;
        }
    }
    if (report.ending == qvReminderReport::Ending::DataError)
        context.err << "qvadmin: " << report.error << "\n";

    std::string skipped =
        Count(static_cast<size_t>(plan.withoutResponsible), "issue", "issues") +
        " without a responsible person, " + Count(plan.UnaddressedCount(), "issue", "issues") +
        " whose responsible person has no address, " +
        Count(static_cast<size_t>(plan.alreadySent), "issue", "issues") + " already reminded";
    if (options.dryRun) {
        context.out << "summary for " << day << " (dry run: nothing sent, nothing recorded): "
                    << Count(plan.mails.size(), "mail", "mails") << " would go out with "
                    << Count(plan.IssueCount(), "issue", "issues") << "; skipped: " << skipped
                    << "\n";
    } else {
        context.out << "summary for " << day << ": "
                    << Count(static_cast<size_t>(report.Count(qvReminderMailResult::Sent)), "mail",
                             "mails")
                    << " sent, " << report.Count(qvReminderMailResult::PutInOutbox)
                    << " put in the outbox, " << report.Count(qvReminderMailResult::Failed)
                    << " failed; " << Count(report.IssuesMailed(), "issue", "issues")
                    << " reminded; skipped: " << skipped << "\n";
    }
    return report.ending == qvReminderReport::Ending::Done ? kAdminOk : kAdminDataError;
}
