// The record of the reminders already mailed, so that a reminder run repeated on the same
// day sends nothing twice and a run whose mail failed sends it again.
//
// File qvremind.json in the company folder, written whole through kwStoredFile (a reader
// sees the old file or the new one, never a mixture) by the run that holds the reminder
// lock (qvremind.lck beside it):
//
//   { "version": 1,
//     "sent": { "2026-05-01": { "dana": [3, 7, 12], "robin@example.com": [5] },
//               "2026-05-02": { "lee": [9] } } }
//
// "sent" maps a reminder day (ISO date: the day a run stood for) to the recipients mailed
// for that day and the issue numbers each of their mails listed, ascending. A recipient is
// an operator id or, for a responsible person written as an address, that address; both
// are kept in lower case (ids and addresses are compared without regard to case). A run
// drops the days older than kRetentionDays before its own day when it records.
//
// A missing file is an empty record. A file that is no JSON, breaks the layout above or
// has a newer version is damaged: loading answers false with the file's name and the place,
// and the run sends nothing, since a lost record would mail every reminder again.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

class qvReminderLog {
public:
    static constexpr int kVersion = 1;
    // About three months: enough for catch-up runs, small enough to stay a small file.
    static constexpr int kRetentionDays = 92;
    static constexpr const char* kFileName = "qvremind.json";
    static constexpr const char* kLockFileName = "qvremind.lck";

    explicit qvReminderLog(std::string path) : _path(std::move(path)) {}

    // The record and the lock file of the current company.
    static std::string CompanyPath();
    static std::string CompanyLockPath();

    const std::string& Path() const { return _path; }

    // Reads the file (missing: empty). false with *error naming the file and the place.
    bool Load(std::string* error);
    // Writes the record through kwStoredFile. false with *error naming the file.
    bool Save(std::string* error) const;

    bool WasSent(int64_t issue, std::chrono::year_month_day day, std::string_view recipient) const;
    void MarkSent(int64_t issue, std::chrono::year_month_day day, std::string_view recipient);
    // Drops every day before `first`; answers how many days went.
    int PruneBefore(std::chrono::year_month_day first);

    size_t DayCount() const { return _sent.size(); }
    // How many issues were recorded for the day, over all recipients.
    size_t IssueCount(std::chrono::year_month_day day) const;

    // The key a recipient is recorded under.
    static std::string RecipientKey(std::string_view recipient);

private:
    std::string _path;
    // day (ISO) -> recipient key -> issue numbers
    std::map<std::string, std::map<std::string, std::set<int64_t>>> _sent;
};
