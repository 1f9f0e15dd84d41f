// Planning the day's reminders: which open issues are due a reminder, and whose mail each
// one goes into.
#include "qvcore/remind/qvReminderPlan.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/remind/qvReminderLog.h"
#include "qvcore/store/qvIssue.h"

#include "kwcommon/x_text.h"
#include "kwcommon/xs.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace {

std::string Field(const char* text, size_t size) {
    return std::string(x_trim(std::string_view(text, strnlen(text, size))));
}

// Operators matched by one rule, with their addresses told apart.
struct Matches {
    std::vector<xs_oper_def> operators;
    bool Empty() const { return operators.empty(); }
    // Several operators that share one address are one addressee.
    bool Ambiguous() const {
        for (const xs_oper_def& oper : operators)
            if (!x_equal_nocase(Field(oper.email, sizeof(oper.email)),
                                Field(operators.front().email, sizeof(operators.front().email))))
                return true;
        return false;
    }
};

template <typename Rule> Matches Match(const std::vector<xs_oper_def>& all, Rule rule) {
    Matches matches;
    for (const xs_oper_def& oper : all)
        if (rule(oper)) matches.operators.push_back(oper);
    return matches;
}

// A date field's value; a dictionary that made the field something else gives no date.
kwDate DateOf(const kwData& value) {
    const auto* date = dynamic_cast<const kwDate*>(&value);
    return date ? *date : kwDate::Empty();
}

bool ComesBefore(const qvReminderIssue& a, const qvReminderIssue& b) {
    if (a.group != b.group) return a.group == qvReminderGroup::PastDue;
    // No due date sorts after every due date.
    if (a.dueDate.IsNull() != b.dueDate.IsNull()) return b.dueDate.IsNull();
    if (const int order = a.dueDate.Compare(b.dueDate)) return order < 0;
    return a.number < b.number;
}

} // namespace

std::string qvReminderAddressee::Shown() const {
    return name.empty() ? address : name + " <" + address + ">";
}

bool qvLooksLikeAddress(std::string_view text) {
    const size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || text.find('@', at + 1) != std::string_view::npos)
        return false;
    const std::string_view domain = text.substr(at + 1);
    if (domain.empty() || domain.front() == '.' || domain.back() == '.' ||
        domain.find('.') == std::string_view::npos)
        return false;
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7F || std::strchr("\"<>()[],;:\\", c)) return false;
    }
    return true;
}

bool qvIssueIsOpen(std::string_view status) {
    return !x_equal_nocase(x_trim(status), "closed");
}

bool qvFindAddressee(std::string_view respons, qvReminderAddressee* addressee, std::string* why) {
    respons = x_trim(respons);
    const std::vector<xs_oper_def> all = xs_all_operators();
    // The responsible person is normally stored as the operator's name (the View Issues
    // filter compares names exactly); an id or a differently cased name still finds the
    // operator, an exact name winning over both.
    Matches matches =
        Match(all, [&](const xs_oper_def& o) { return Field(o.name, sizeof(o.name)) == respons; });
    if (matches.Empty())
        matches = Match(all, [&](const xs_oper_def& o) {
            return x_equal_nocase(Field(o.id, sizeof(o.id)), respons);
        });
    if (matches.Empty())
        matches = Match(all, [&](const xs_oper_def& o) {
            return x_equal_nocase(Field(o.name, sizeof(o.name)), respons);
        });
    if (matches.Empty()) {
        if (qvLooksLikeAddress(respons)) {
            *addressee = {std::string(respons), "", std::string(respons), std::string(respons)};
            return true;
        }
        *why = "is no operator of the company and no e-mail address";
        return false;
    }
    if (matches.Ambiguous()) {
        *why = "names several operators with different e-mail addresses";
        return false;
    }
    const xs_oper_def& oper = matches.operators.front();
    const std::string email = Field(oper.email, sizeof(oper.email));
    if (email.empty()) {
        *why = "is operator " + Field(oper.id, sizeof(oper.id)) + ", who has no e-mail address";
        return false;
    }
    if (!qvLooksLikeAddress(email)) {
        *why = "is operator " + Field(oper.id, sizeof(oper.id)) + ", whose e-mail address \"" +
               email + "\" is not usable";
        return false;
    }
    const std::string id = Field(oper.id, sizeof(oper.id));
    *addressee = {id, Field(oper.name, sizeof(oper.name)), email, id};
    return true;
}

size_t qvReminderMailPlan::Count(qvReminderGroup group) const {
    return static_cast<size_t>(std::count_if(
        issues.begin(), issues.end(), [&](const qvReminderIssue& i) { return i.group == group; }));
}

size_t qvReminderPlan::IssueCount() const {
    size_t count = 0;
    for (const qvReminderMailPlan& mail : mails)
        count += mail.issues.size();
    return count;
}

size_t qvReminderPlan::UnaddressedCount() const {
    size_t count = 0;
    for (const qvUnaddressedPerson& person : unaddressed)
        count += person.issues.size();
    return count;
}

short qvPlanReminders(qvIssueSelection& selection, short issueFile, std::chrono::year_month_day day,
                      const qvReminderLog& log, qvReminderPlan* plan) {
    *plan = qvReminderPlan{};
    plan->day = day;
    const kwDate today(day);
    qvIssue issue(issueFile, 0, false);

    // Looked up once per spelling of a responsible person.
    struct Lookup {
        bool found = false;
        qvReminderAddressee to;
        std::string why;
    };
    std::map<std::string, Lookup> lookups;
    std::map<std::string, size_t> mailOf; // addressee key (lower case) -> index in plan->mails
    std::map<std::string, size_t> unaddressedOf; // responsible text -> index in plan->unaddressed

    const short status = selection.Walk([&](short) {
        issue.GetFields(1, qvIssue::kValueCount);
        const kwDate notify = DateOf(issue.Value(QV_NOTDATE));
        const kwDate due = DateOf(issue.Value(QV_DUEDATE));
        const bool pastDue = !due.IsNull() && due.Compare(today) < 0;
        const bool notifyCame = !notify.IsNull() && notify.Compare(today) <= 0;
        if (!(pastDue || notifyCame) || !qvIssueIsOpen(issue.Value(QV_STATUS).Format()))
            return true;

        const std::string respons(x_trim(issue.Value(QV_RESPONS).Format()));
        const auto number = static_cast<int64_t>(issue.Number());
        if (respons.empty()) {
            ++plan->withoutResponsible;
            return true;
        }
        auto [lookup, fresh] = lookups.try_emplace(respons);
        if (fresh)
            lookup->second.found =
                qvFindAddressee(respons, &lookup->second.to, &lookup->second.why);
        if (!lookup->second.found) {
            auto [at, added] = unaddressedOf.try_emplace(respons, plan->unaddressed.size());
            if (added) plan->unaddressed.push_back({respons, lookup->second.why, {}});
            plan->unaddressed[at->second].issues.push_back(number);
            return true;
        }
        const qvReminderAddressee& to = lookup->second.to;
        if (log.WasSent(number, day, to.key)) {
            ++plan->alreadySent;
            return true;
        }
        qvReminderIssue reminder;
        reminder.number = number;
        reminder.group = pastDue ? qvReminderGroup::PastDue : qvReminderGroup::NotifyDateReached;
        reminder.message = issue.Value(QV_FORMESS).Format();
        reminder.status = std::string(x_trim(issue.Value(QV_STATUS).Format()));
        reminder.urgency = std::string(x_trim(issue.Value(QV_URGENCY).Format()));
        reminder.respons = respons;
        reminder.notifyDate = notify;
        reminder.dueDate = due;
        auto [at, added] =
            mailOf.try_emplace(qvReminderLog::RecipientKey(to.key), plan->mails.size());
        if (added) plan->mails.push_back({to, {}});
        plan->mails[at->second].issues.push_back(std::move(reminder));
        return true;
    });

    for (qvReminderMailPlan& mail : plan->mails)
        std::sort(mail.issues.begin(), mail.issues.end(), ComesBefore);
    std::sort(plan->mails.begin(), plan->mails.end(),
              [](const qvReminderMailPlan& a, const qvReminderMailPlan& b) {
                  return std::make_pair(a.to.name, a.to.address) <
                         std::make_pair(b.to.name, b.to.address);
              });
    return status;
}
