// One reminder run for the current company: plans the day's reminders (qvReminderPlan),
// mails each responsible person one reminder through the mail service without its
// compose window (the company's SMTP server, or its outbox when none is set up), and
// records what went out (qvReminderLog) so that a later run of the same day sends none of
// it again while a mail that failed is sent by the next run.
//
// A run that sends takes the company's reminder lock (kwFileLock on qvremind.lck) for its
// whole length, so two runs at once (a timer and a user) never mail the same reminder:
// the second waits for the first and then finds everything recorded. Each mail is recorded
// as soon as it went out; a run that dies between a mail and its record sends that mail
// again next time, which is the safer side. A dry run takes no lock, sends nothing and
// records nothing.
#pragma once

#include "qvcore/remind/qvReminderPlan.h"

#include "mapi/MAPI.h"

#include <chrono>
#include <string>
#include <vector>

struct qvReminderOptions {
    std::chrono::year_month_day day{};
    bool dryRun = false;
    // A saved query that narrows the issues; empty for every issue.
    std::string queryName;
    // The task the run works as (issue file, condition set, query-file reports).
    short programNumber = 7010;
    // How long to wait for another run of the company to finish.
    std::chrono::milliseconds lockPatience{std::chrono::seconds(60)};
};

enum class qvReminderMailResult {
    NotSent,     // a dry run, or the run stopped before this mail
    Sent,        // handed to the company's mail server
    PutInOutbox, // written into the company's outbox (no mail server set up)
    Failed,      // the mail service refused or failed; not recorded, so the next run retries
};

struct qvReminderMailOutcome {
    qvReminderMailResult result = qvReminderMailResult::NotSent;
    ULONG status = MAPI_E_FAILURE; // the mail service's status when it was tried
    std::string reason;            // why it failed, in words
};

struct qvReminderReport {
    enum class Ending {
        Done,      // every planned mail went out (or a dry run)
        UserError, // the run could not start from what it was given (an unknown query)
        DataError, // files, the lock or mail failed; error says what
    };
    Ending ending = Ending::Done;
    std::string error;
    std::vector<std::string> warnings;
    qvReminderPlan plan;
    std::vector<qvReminderMailOutcome> outcomes; // one per plan.mails entry
    int prunedDays = 0;

    int Count(qvReminderMailResult result) const;
    // Issues listed in mails that went out.
    size_t IssuesMailed() const;
};

qvReminderReport qvRunReminders(const qvReminderOptions& options);

// The mail service's status in words, as a run reports a failed mail.
std::string qvReminderMailStatusText(ULONG status);
