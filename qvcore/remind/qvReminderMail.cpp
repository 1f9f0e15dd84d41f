// Writing the reminder mail of one responsible person.
#include "qvcore/remind/qvReminderMail.h"

#include "qvcore/remind/qvReminderPlan.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvLiteral.h"

#include "qvkit/qvVersion.h"
#include "qvkit/text/kclTermCode.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_text.h"

#include <algorithm>

namespace {

constexpr const char* kModule = "QVCORE.DLL";
const std::string kEnd = "\r\n";
constexpr size_t kDescriptionCharacters = 100;
constexpr short kUrgencyCode = 263;
constexpr short kStatusCode = 265;
constexpr short kNotifyDateLiteral = 52;
constexpr short kDueDateLiteral = 53;

bool IsContinuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

size_t Characters(std::string_view text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuation(c); }));
}

// The company's name of a custom field, or the plain name when it has none.
std::string CustomLabel(short code, const char* fallback) {
    const std::string label = kclGetFieldCode(code, 0, false, kclCapFirst);
    return label.empty() ? fallback : label;
}

std::string Plural(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// "  Label:" padded so that the values of one issue line up one blank after the longest.
class Lines {
public:
    explicit Lines(size_t labelCharacters) : _width(labelCharacters + 4) {}
    void Add(std::string& text, const std::string& label, const std::string& value) const {
        if (value.empty()) return;
        const std::string head = "  " + label + ":";
        text += head + std::string(_width - Characters(head), ' ') + value + kEnd;
    }
    void AddMore(std::string& text, const std::string& value) const {
        text += std::string(_width, ' ') + value + kEnd;
    }

private:
    size_t _width;
};

} // namespace

std::string qvReminderShortText(std::string_view text, size_t characters) {
    std::string line;
    bool blank = false;
    for (const char c : x_trim(text)) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = true;
            continue;
        }
        if (blank) line += ' ';
        blank = false;
        line += c;
    }
    if (Characters(line) <= characters) return line;
    // The byte where character number `characters` begins, never inside a character.
    size_t end = 0;
    for (size_t count = 0; end < line.size(); ++end) {
        if (!IsContinuation(line[end]) && count++ == characters) break;
    }
    const size_t lastBlank = line.rfind(' ', end);
    // Cut after the last whole word when that keeps most of the room; a single long word
    // is cut where the room ends.
    if (lastBlank != std::string::npos && lastBlank > end / 2) end = lastBlank;
    std::string cut = line.substr(0, end);
    while (!cut.empty() &&
           (cut.back() == ' ' || cut.back() == ',' || cut.back() == ';' || cut.back() == '.'))
        cut.pop_back();
    return cut + "...";
}

std::string qvReminderLinkLine(const LinkedRecord& link) {
    std::string line = link.applAbbrev + " - " + link.recDesc + ":";
    for (const std::string& key : link.keyValues)
        line += " " + std::string(x_trim(key));
    const std::string_view data = x_trim(link.dataDesc);
    if (!data.empty()) line += " " + std::string(data);
    return line;
}

std::string qvReminderSubject(const qvReminderMailPlan& mail, std::chrono::year_month_day day) {
    const size_t pastDue = mail.Count(qvReminderGroup::PastDue);
    const size_t reached = mail.Count(qvReminderGroup::NotifyDateReached);
    std::string subject = "Issue reminder for " + kwDate(day).Format() + ": ";
    if (pastDue) subject += std::to_string(pastDue) + " past due";
    if (pastDue && reached) subject += ", ";
    if (reached) subject += std::to_string(reached) + " notify date reached";
    return subject;
}

std::string qvReminderNoteText(const qvReminderMailPlan& mail, std::chrono::year_month_day day) {
    const kwDate today(day);
    const std::string statusLabel = CustomLabel(kStatusCode, "Status");
    const std::string urgencyLabel = CustomLabel(kUrgencyCode, "Urgency");
    const std::string notifyLabel = qvLiteral(kNotifyDateLiteral, -1, kModule).str();
    const std::string dueLabel = qvLiteral(kDueDateLiteral, -1, kModule).str();
    const std::string linksLabel = "Linked records";
    size_t widest = 0;
    for (const std::string* label :
         {&statusLabel, &urgencyLabel, &notifyLabel, &dueLabel, &linksLabel})
        widest = std::max(widest, Characters(*label));
    const Lines lines(widest);

    std::string text = "Reminder of " + today.Format() + " for " +
                       (mail.to.name.empty() ? mail.to.address : mail.to.name) + kEnd + kEnd;
    const size_t pastDue = mail.Count(qvReminderGroup::PastDue);
    const size_t reached = mail.Count(qvReminderGroup::NotifyDateReached);
    if (pastDue) text += Plural(pastDue, "issue is", "issues are") + " past the due date";
    if (pastDue && reached) text += " and ";
    if (reached) text += Plural(reached, "issue has", "issues have") + " reached the notify date";
    text += std::string(".") + kEnd;

    for (const qvReminderGroup group :
         {qvReminderGroup::PastDue, qvReminderGroup::NotifyDateReached}) {
        const size_t count = mail.Count(group);
        if (!count) continue;
        const std::string heading =
            (group == qvReminderGroup::PastDue ? "Past due" : "Notify date reached") +
            (" (" + std::to_string(count) + ")");
        text += kEnd + heading + kEnd + std::string(Characters(heading), '=') + kEnd;
        for (const qvReminderIssue& issue : mail.issues) {
            if (issue.group != group) continue;
            text += kEnd + "Issue " + std::to_string(issue.number) + ": " +
                    qvReminderShortText(issue.message, kDescriptionCharacters) + kEnd;
            lines.Add(text, statusLabel, issue.status);
            lines.Add(text, urgencyLabel, issue.urgency);
            lines.Add(text, notifyLabel, issue.notifyDate.Format());
            std::string due = issue.dueDate.Format();
            if (group == qvReminderGroup::PastDue) {
                const int late = issue.dueDate.DaysUntil(today);
                due += " (" + Plural(static_cast<size_t>(late), "day", "days") + " ago)";
            }
            lines.Add(text, dueLabel, due);
            for (size_t i = 0; i < issue.links.size(); ++i) {
                if (i == 0)
                    lines.Add(text, linksLabel, issue.links[i]);
                else
                    lines.AddMore(text, issue.links[i]);
            }
        }
    }
    const std::string company = kwCompany::Name();
    text += kEnd + std::string("-- ") + kEnd + "Sent by " + QV_PRODUCT_NAME +
            (company.empty() ? "" : " for " + company) + "." + kEnd +
            "An open issue is reminded of every day from its notify date and after its due date." +
            kEnd + "Close it, or move its dates later, to stop the reminders." + kEnd;
    return text;
}
