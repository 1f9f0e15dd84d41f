// Reading and writing the record of mailed reminders (qvremind.json).
#include "qvcore/remind/qvReminderLog.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStoredFile.h"
#include "kwcommon/values/xd.h"

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr const char* kIsoFormat = "YYYY-MM-DD";
// Issue numbers are at most 10 decimal digits (the issue field's width).
constexpr int64_t kHighestIssue = 9999999999LL;

std::string Iso(std::chrono::year_month_day day) {
    return xd_format_date(day, kIsoFormat);
}

// An ISO date written exactly as the file writes it.
bool IsIsoDay(const std::string& text) {
    const auto day = xd_parse_date(text, kIsoFormat);
    return day && Iso(*day) == text;
}

// The parser's own tag ("[json.exception.parse_error.101] ") means nothing to users.
std::string ParserReason(const nlohmann::json::exception& e) {
    std::string reason = e.what();
    if (!reason.empty() && reason[0] == '[') {
        const size_t close = reason.find("] ");
        if (close != std::string::npos) reason.erase(0, close + 2);
    }
    return reason;
}

} // namespace

std::string qvReminderLog::CompanyPath() {
    return kwCompany::Path(kFileName);
}
std::string qvReminderLog::CompanyLockPath() {
    return kwCompany::Path(kLockFileName);
}

std::string qvReminderLog::RecipientKey(std::string_view recipient) {
    std::string key(recipient);
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool qvReminderLog::Load(std::string* error) {
    _sent.clear();
    struct stat info {};
    if (::stat(_path.c_str(), &info) != 0 && errno == ENOENT) return true;
    std::string bytes, readError;
    if (!kwStoredFile::Read(_path, &bytes, &readError)) {
        *error = readError;
        return false;
    }
    const auto damaged = [&](const std::string& where, const std::string& what) {
        *error = "the reminder record " + _path + " is damaged: " + where +
                 (where.empty() ? "" : ": ") + what;
        return false;
    };
    nlohmann::json root;
    try {
        root = nlohmann::json::parse(bytes);
    } catch (const nlohmann::json::exception& e) {
        return damaged("", ParserReason(e));
    }
    if (!root.is_object()) return damaged("", "it is not a JSON object");
    const auto version = root.find("version");
    if (version == root.end() || !version->is_number_integer())
        return damaged("version", "missing or not a number");
    if (version->get<int64_t>() != kVersion) {
        *error = "the reminder record " + _path + " has version " + version->dump() +
                 ", which this program does not know (it knows version " +
                 std::to_string(kVersion) + ")";
        return false;
    }
    const auto sent = root.find("sent");
    if (sent == root.end()) return true;
    if (!sent->is_object()) return damaged("sent", "must be an object of days");
    for (const auto& [day, recipients] : sent->items()) {
        const std::string where = "sent." + day;
        if (!IsIsoDay(day)) return damaged(where, "is no date written as YYYY-MM-DD");
        if (!recipients.is_object()) return damaged(where, "must be an object of recipients");
        for (const auto& [recipient, issues] : recipients.items()) {
            const std::string at = where + "." + recipient;
            if (recipient.empty() || recipient != RecipientKey(recipient))
                return damaged(at, "a recipient is an operator id or an address in lower case");
            if (!issues.is_array()) return damaged(at, "must be a list of issue numbers");
            for (size_t i = 0; i < issues.size(); ++i) {
                const auto& issue = issues[i];
                if (!issue.is_number_integer() || issue.get<int64_t>() < 1 ||
                    issue.get<int64_t>() > kHighestIssue)
                    return damaged(at + "[" + std::to_string(i) + "]", "is no issue number");
                _sent[day][recipient].insert(issue.get<int64_t>());
            }
        }
    }
    return true;
}

bool qvReminderLog::Save(std::string* error) const {
    nlohmann::json sent = nlohmann::json::object();
    for (const auto& [day, recipients] : _sent) {
        nlohmann::json byRecipient = nlohmann::json::object();
        for (const auto& [recipient, issues] : recipients)
            byRecipient[recipient] = issues;
        sent[day] = std::move(byRecipient);
    }
    const nlohmann::json root = {{"version", kVersion}, {"sent", std::move(sent)}};
    return kwStoredFile::Write(_path, root.dump(1) + "\n", error);
}

bool qvReminderLog::WasSent(int64_t issue, std::chrono::year_month_day day,
                            std::string_view recipient) const {
    const auto byDay = _sent.find(Iso(day));
    if (byDay == _sent.end()) return false;
    const auto issues = byDay->second.find(RecipientKey(recipient));
    return issues != byDay->second.end() && issues->second.count(issue) > 0;
}

void qvReminderLog::MarkSent(int64_t issue, std::chrono::year_month_day day,
                             std::string_view recipient) {
    _sent[Iso(day)][RecipientKey(recipient)].insert(issue);
}

int qvReminderLog::PruneBefore(std::chrono::year_month_day first) {
    // ISO dates sort as text in date order.
    const std::string limit = Iso(first);
    int dropped = 0;
    for (auto it = _sent.begin(); it != _sent.end() && it->first < limit;) {
        it = _sent.erase(it);
        ++dropped;
    }
    return dropped;
}

size_t qvReminderLog::IssueCount(std::chrono::year_month_day day) const {
    const auto byDay = _sent.find(Iso(day));
    size_t count = 0;
    if (byDay != _sent.end())
        for (const auto& [recipient, issues] : byDay->second)
            count += issues.size();
    return count;
}
