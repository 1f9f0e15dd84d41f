// Which reminders are due on a day, and to whom: the open issues of a selection whose
// notify date has come (NOTDATE on or before the day) or whose due date has passed
// (DUEDATE before the day), gathered into one mail per responsible person.
//
// An issue is open while its status is not "closed" (any letter case), as the View Issues
// window decides. An issue both past due and at its notify date is listed once, as past
// due. The responsible person (RESPONS) is mailed at the address of the operator it
// names (see qvFindAddressee); several spellings of one operator make one mail. An issue
// without a responsible person is counted and left alone; one whose responsible person has
// no address is listed under that person and never mailed to anyone else. Issues already
// recorded as mailed to the same recipient for the same day are counted and left out.
#pragma once

#include "kwcommon/values/kwDate.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class qvIssueSelection;
class qvReminderLog;

enum class qvReminderGroup { PastDue, NotifyDateReached };

struct qvReminderIssue {
    int64_t number = 0;
    qvReminderGroup group = qvReminderGroup::NotifyDateReached;
    std::string message; // FORMESS, whole
    std::string status;
    std::string urgency;
    std::string respons;
    kwDate notifyDate = kwDate::Empty();
    kwDate dueDate = kwDate::Empty();
    // One line per linked record ("AP - Vendor: ACME01 Acme Supplies"), filled before the
    // mail is written.
    std::vector<std::string> links;
};

// Where a responsible person's reminders go.
struct qvReminderAddressee {
    std::string key;      // what the reminder record keeps: the operator id, or the address
    std::string name;     // the operator's name; empty for a bare address
    std::string address;  // the e-mail address
    std::string mailName; // the recipient handed to the mail service (operator id or address)
    // "Dana Whitfield <dana@example.com>", or the address alone.
    std::string Shown() const;
};

// The addressee of a responsible person's text: an operator named by exact name, else by
// id (any letter case), else by name in any letter case; or the text itself when it is an
// e-mail address. false with *why (a phrase: "is no operator of the company") when there
// is none, when the operator has no usable address or when several operators with
// different addresses answer to the name.
bool qvFindAddressee(std::string_view respons, qvReminderAddressee* addressee, std::string* why);

// A plausible e-mail address: one "@" between a non-empty local part and a dotted domain,
// no blanks, quotes, brackets, commas or semicolons.
bool qvLooksLikeAddress(std::string_view text);

// Whether an issue of this status counts as open.
bool qvIssueIsOpen(std::string_view status);

struct qvReminderMailPlan {
    qvReminderAddressee to;
    std::vector<qvReminderIssue> issues; // past due first, each group by due date
    size_t Count(qvReminderGroup group) const;
};

struct qvUnaddressedPerson {
    std::string respons; // as the issues spell it
    std::string why;
    std::vector<int64_t> issues;
};

struct qvReminderPlan {
    std::chrono::year_month_day day{};
    std::vector<qvReminderMailPlan> mails; // by the addressee's name, then address
    std::vector<qvUnaddressedPerson> unaddressed;
    int withoutResponsible = 0; // reminders due on issues that name nobody
    int alreadySent = 0;        // reminders recorded as mailed for the day already
    size_t IssueCount() const;
    size_t UnaddressedCount() const;
};

// Walks the selection (every issue it selects, read into the issue file's buffer) and
// plans the day's reminders. Answers 0, or the record manager's status when the walk
// failed (the plan is then incomplete).
short qvPlanReminders(qvIssueSelection& selection, short issueFile, std::chrono::year_month_day day,
                      const qvReminderLog& log, qvReminderPlan* plan);
