// Issues for the reminder tests, stored through the issue store as the program stores them.
#pragma once

#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>

namespace remindtest {

// The day the tests stand on: Sunday, May 10, 2026.
constexpr std::chrono::year_month_day kDay{std::chrono::year{2026}, std::chrono::month{5},
                                           std::chrono::day{10}};

// An issue's values, named as they are set: Issue().Respons("DANA").Due("05/01/2026").
struct IssueValues {
    std::string message = "An issue";
    std::string respons;
    std::string status = "Open";
    std::string notify; // MM/DD/YYYY, "" for none
    std::string due;
    std::string urgency = "Normal";

    IssueValues& Message(std::string text) { return message = std::move(text), *this; }
    IssueValues& Respons(std::string text) { return respons = std::move(text), *this; }
    IssueValues& Status(std::string text) { return status = std::move(text), *this; }
    IssueValues& Notify(std::string date) { return notify = std::move(date), *this; }
    IssueValues& Due(std::string date) { return due = std::move(date), *this; }
};
inline IssueValues Issue() {
    return {};
}

inline int64_t AddIssue(const qvIssueFile& file, const IssueValues& values) {
    qvIssue issue(file.Number(), 7098, true);
    EXPECT_TRUE(issue.Value(QV_FORMESS).Set(values.message));
    EXPECT_TRUE(issue.Value(QV_RESPONS).Set(values.respons));
    EXPECT_TRUE(issue.Value(QV_STATUS).Set(values.status));
    EXPECT_TRUE(issue.Value(QV_URGENCY).Set(values.urgency));
    EXPECT_TRUE(issue.Value(QV_NOTDATE).Set(values.notify));
    EXPECT_TRUE(issue.Value(QV_DUEDATE).Set(values.due));
    EXPECT_TRUE(issue.AddRecord());
    xio_unlock_record(file.Number(), 1, 1);
    return static_cast<int64_t>(issue.Number());
}

// Rewrites one value of a stored issue.
inline void ChangeIssue(const qvIssueFile& file, int64_t number, int field,
                        const std::string& value) {
    qvIssue issue(file.Number(), 7098, false);
    ASSERT_TRUE(issue.ReadRecord(static_cast<double>(number)));
    ASSERT_TRUE(issue.Value(field).Set(value));
    ASSERT_TRUE(issue.ReplaceRecord());
}

} // namespace remindtest
