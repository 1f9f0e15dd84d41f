// A reminder run: lock, plan, mail, record.
#include "qvcore/remind/qvReminderRun.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/remind/qvReminderLog.h"
#include "qvcore/remind/qvReminderMail.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "qvkit/mail/kclMail.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xs.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <memory>

namespace {

using Ending = qvReminderReport::Ending;

qvReminderReport& Stop(qvReminderReport& report, Ending ending, std::string error) {
    report.ending = ending;
    report.error = std::move(error);
    return report;
}

// The mail service sends through the server of the company's mail settings ("host" of
// its "mail" object) and into the company's outbox when none is named.
bool MailServerSetUp() {
    const nlohmann::json& settings = kwCompany::Settings();
    const auto mail = settings.find("mail");
    if (mail == settings.end() || !mail->is_object()) return false;
    const auto host = mail->find("host");
    return host != mail->end() && host->is_string() && !host->get<std::string>().empty();
}

// The linked records of each issue of the mail, as lines.
void ReadLinks(short issueFile, short program, qvReminderMailPlan& mail) {
    qvIssue issue(issueFile, program, false);
    for (qvReminderIssue& reminder : mail.issues) {
        if (!issue.ReadRecord(static_cast<double>(reminder.number))) continue;
        std::vector<LinkedRecord*> list;
        issue.ReadLinks(list);
        std::vector<std::unique_ptr<LinkedRecord>> owned(list.begin(), list.end());
        for (const auto& link : owned)
            reminder.links.push_back(qvReminderLinkLine(*link));
    }
}

qvReminderMailOutcome Send(const qvReminderMailPlan& mail, std::chrono::year_month_day day) {
    kclMail message;
    message.addRecipient(static_cast<short>(MAPI_TO), mail.to.mailName);
    message.setSubject(qvReminderSubject(mail, day));
    message.setNoteText(qvReminderNoteText(mail, day));
    // No compose window and no logon window: nobody is there to answer them.
    const ULONG status = message.send(0);
    qvReminderMailOutcome outcome;
    outcome.status = status;
    if (status == SUCCESS_SUCCESS) {
        outcome.result =
            MailServerSetUp() ? qvReminderMailResult::Sent : qvReminderMailResult::PutInOutbox;
    } else {
        outcome.result = qvReminderMailResult::Failed;
        outcome.reason = qvReminderMailStatusText(status);
    }
    return outcome;
}

std::string Summary(const qvReminderReport& report) {
    std::string text =
        "Reminders for " + kwDate(report.plan.day).Format() + ": " +
        std::to_string(report.Count(qvReminderMailResult::Sent)) + " mail(s) sent, " +
        std::to_string(report.Count(qvReminderMailResult::PutInOutbox)) + " put in the outbox, " +
        std::to_string(report.Count(qvReminderMailResult::Failed)) + " failed; " +
        std::to_string(report.IssuesMailed()) + " issue(s) reminded, " +
        std::to_string(report.plan.withoutResponsible) + " without a responsible person, " +
        std::to_string(report.plan.UnaddressedCount()) + " whose responsible person has no address";
    if (!report.error.empty()) text += "; " + report.error;
    return text;
}

} // namespace

int qvReminderReport::Count(qvReminderMailResult result) const {
    int count = 0;
    for (const qvReminderMailOutcome& outcome : outcomes)
        count += outcome.result == result;
    return count;
}

size_t qvReminderReport::IssuesMailed() const {
    size_t count = 0;
    for (size_t i = 0; i < outcomes.size() && i < plan.mails.size(); ++i)
        if (outcomes[i].result == qvReminderMailResult::Sent ||
            outcomes[i].result == qvReminderMailResult::PutInOutbox)
            count += plan.mails[i].issues.size();
    return count;
}

std::string qvReminderMailStatusText(ULONG status) {
    switch (status) {
    case MAPI_E_LOGIN_FAILURE:
        return "the mail server did not accept the logon (set the user and password of the "
               "company's mail settings)";
    case MAPI_E_UNKNOWN_RECIPIENT:
        return "the mail service knows no address for the recipient";
    case MAPI_E_AMBIGUOUS_RECIPIENT:
        return "the mail service found several addresses for the recipient";
    case MAPI_USER_ABORT:
        return "the mail was cancelled";
    case MAPI_E_FAILURE:
        return "the mail service could not send it (the server could not be reached or refused it, "
               "or no sender "
               "address is set; the suite log has the details)";
    default:
        return "the mail service answered status " + std::to_string(status);
    }
}

qvReminderReport qvRunReminders(const qvReminderOptions& options) {
    qvReminderReport report;
    report.plan.day = options.day;

    qvIssueFile file(options.programNumber);
    if (!file.Open()) return Stop(report, Ending::DataError, "the issue file cannot be opened");
    qvIssueSelection selection(file.Number(), options.programNumber);
    // Reminders go to every responsible person: no operator's own view narrows them.
    selection.UseOperator(xs_oper_def{});
    if (!options.queryName.empty()) {
        std::string error;
        if (!selection.UseQuery(options.queryName, &error))
            return Stop(report, Ending::UserError, error);
        if (selection.SkippedConditions() > 0)
            report.warnings.push_back(
                std::to_string(selection.SkippedConditions()) + " condition(s) of query \"" +
                options.queryName + "\" name fields the issue file no longer has and are left out");
    }

    kwFileLock lock;
    if (!options.dryRun) {
        const std::string lockPath = qvReminderLog::CompanyLockPath();
        if (!lock.Open(lockPath))
            return Stop(report, Ending::DataError,
                        "the reminder lock " + lockPath +
                            " cannot be opened: " + std::strerror(errno));
        if (!lock.Acquire(0, options.lockPatience))
            return Stop(report, Ending::DataError,
                        "another reminder run of this company is still going on; nothing was sent");
    }

    qvReminderLog log(qvReminderLog::CompanyPath());
    std::string error;
    if (!log.Load(&error)) return Stop(report, Ending::DataError, error + "; nothing was sent");

    const short status = qvPlanReminders(selection, file.Number(), options.day, log, &report.plan);
    if (status != XIO_OK)
        return Stop(report, Ending::DataError,
                    std::string("reading the issues failed: ") + xio_status_text(status));
    report.outcomes.resize(report.plan.mails.size());
    if (options.dryRun) return report;

    const int pruned = log.PruneBefore(xd_add_days(options.day, -qvReminderLog::kRetentionDays));
    if (!report.plan.mails.empty()) {
        kclMail probe;
        if (!probe.isEnabled()) {
            Stop(report, Ending::DataError,
                 "mail is not available (the mail service cannot be loaded or the company's mail "
                 "setting "
                 "\"installed\" is off); nothing was sent");
            x_log(options.programNumber, Summary(report).c_str());
            return report;
        }
    }
    bool recorded = pruned == 0;
    for (size_t i = 0; i < report.plan.mails.size(); ++i) {
        qvReminderMailPlan& mail = report.plan.mails[i];
        ReadLinks(file.Number(), options.programNumber, mail);
        report.outcomes[i] = Send(mail, options.day);
        if (report.outcomes[i].result == qvReminderMailResult::Failed) continue;
        for (const qvReminderIssue& issue : mail.issues)
            log.MarkSent(issue.number, options.day, mail.to.key);
        // Recorded at once, so a run that dies later does not send this mail again.
        if (!log.Save(&error)) {
            Stop(report, Ending::DataError,
                 "the reminder to " + mail.to.Shown() + " went out but could not be recorded (" +
                     error + "); it may be sent again, and no further mails were sent");
            x_log(options.programNumber, Summary(report).c_str());
            return report;
        }
        recorded = true;
    }
    report.prunedDays = pruned;
    if (!recorded && !log.Save(&error))
        report.warnings.push_back("old reminder days could not be dropped: " + error);
    if (const int failed = report.Count(qvReminderMailResult::Failed))
        Stop(report, Ending::DataError,
             std::to_string(failed) +
                 " mail(s) failed and were not recorded; the next run sends them again");
    x_log(options.programNumber, Summary(report).c_str());
    return report;
}
