// The record of mailed reminders: what it keeps across loads, what it drops, and how it
// refuses a damaged file.
#include "qvcore/remind/qvReminderLog.h"

#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/values/xd.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::year;
using std::chrono::year_month_day;

constexpr year_month_day kMay10{year{2026}, month{5}, day{10}};
constexpr year_month_day kMay11{year{2026}, month{5}, day{11}};

TEST(ReminderLog, KeepsWhatWasSentPerIssueDayAndRecipient) {
    TestCompany company(false);
    qvReminderLog log(qvReminderLog::CompanyPath());
    std::string error;
    ASSERT_TRUE(log.Load(&error)) << "a missing record is an empty one: " << error;
    EXPECT_EQ(log.DayCount(), 0u);

    log.MarkSent(7, kMay10, "DANA");
    log.MarkSent(12, kMay10, "robin@Example.com");
    log.MarkSent(7, kMay11, "LEE");
    ASSERT_TRUE(log.Save(&error)) << error;

    qvReminderLog again(qvReminderLog::CompanyPath());
    ASSERT_TRUE(again.Load(&error)) << error;
    EXPECT_TRUE(again.WasSent(7, kMay10, "dana")) << "recipients compare without regard to case";
    EXPECT_TRUE(again.WasSent(12, kMay10, "ROBIN@example.com"));
    EXPECT_FALSE(again.WasSent(7, kMay10, "LEE")) << "another recipient of the same issue and day";
    EXPECT_FALSE(again.WasSent(7, kMay11, "DANA")) << "the same issue and recipient on another day";
    EXPECT_TRUE(again.WasSent(7, kMay11, "LEE"));
    EXPECT_EQ(again.IssueCount(kMay10), 2u);

    EXPECT_EQ(again.PruneBefore(kMay11), 1) << "the day before the limit goes";
    EXPECT_FALSE(again.WasSent(7, kMay10, "DANA"));
    EXPECT_TRUE(again.WasSent(7, kMay11, "LEE")) << "the limit's own day stays";

    const std::string text = ReadAll(qvReminderLog::CompanyPath());
    EXPECT_NE(text.find("\"2026-05-10\""), std::string::npos) << text;
    EXPECT_NE(text.find("\"dana\""), std::string::npos) << text;
}

TEST(ReminderLog, ADamagedRecordIsRefusedWithItsNameAndPlace) {
    TestCompany company(false);
    const std::string path = qvReminderLog::CompanyPath();
    const struct {
        const char* text;
        const char* expected; // part of the message
    } cases[] = {
        {"{\"version\": 1, \"sent\": {", "damaged"},
        {"[1, 2]", "not a JSON object"},
        {"{\"sent\": {}}", "version"},
        {"{\"version\": 2, \"sent\": {}}", "version 2"},
        {"{\"version\": 1, \"sent\": {\"05/10/2026\": {}}}", "sent.05/10/2026"},
        {"{\"version\": 1, \"sent\": {\"2026-02-30\": {}}}", "sent.2026-02-30"},
        {"{\"version\": 1, \"sent\": {\"2026-05-10\": {\"DANA\": [1]}}}", "sent.2026-05-10.DANA"},
        {"{\"version\": 1, \"sent\": {\"2026-05-10\": {\"dana\": [1, -4]}}}",
         "sent.2026-05-10.dana[1]"},
        {"{\"version\": 1, \"sent\": {\"2026-05-10\": {\"dana\": 3}}}", "list of issue numbers"},
    };
    for (const auto& c : cases) {
        WriteAll(path, c.text);
        qvReminderLog log(path);
        std::string error;
        EXPECT_FALSE(log.Load(&error)) << c.text;
        EXPECT_NE(error.find(path), std::string::npos) << "the message names the file: " << error;
        EXPECT_NE(error.find(c.expected), std::string::npos) << c.text << " -> " << error;
    }
}

} // namespace
