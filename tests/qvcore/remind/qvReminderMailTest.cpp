// The reminder mail's subject and text: groups, labels under the company's own names,
// dates, links, and descriptions cut to one line.
#include "qvcore/remind/qvReminderMail.h"

#include "ReminderTestSupport.h"
#include "TestCompany.h"

#include "qvcore/remind/qvReminderPlan.h"
#include "qvcore/store/LinkedRecord.h"

#include "kwcommon/xk.h"

#include <gtest/gtest.h>

using namespace remindtest;

namespace {

qvReminderIssue Reminder(int64_t number, qvReminderGroup group, const std::string& message,
                         const char* notify, const char* due) {
    qvReminderIssue issue;
    issue.number = number;
    issue.group = group;
    issue.message = message;
    issue.status = "Open";
    issue.urgency = "High";
    issue.notifyDate.Set(notify);
    issue.dueDate.Set(due);
    return issue;
}

TEST(ReminderMail, ListsBothGroupsUnderTheCompanysFieldNames) {
    TestCompany company(false);
    ASSERT_EQ(xk_put_description(265, 0, "Stage"), 0);
    qvReminderMailPlan mail;
    mail.to = {"DANA", "Dana Whitfield", "dana.whitfield@example.com", "DANA"};
    mail.issues.push_back(
        Reminder(12, qvReminderGroup::PastDue, "Printer jams\r\non every page", "", "05/07/2026"));
    mail.issues.back().links = {"AP - Vendor: ACME01 Acme Supplies", "AP - Invoice: ACME01 1001"};
    mail.issues.push_back(
        Reminder(14, qvReminderGroup::NotifyDateReached, "Call the bank", "05/10/2026", ""));

    EXPECT_EQ(qvReminderSubject(mail, kDay),
              "Issue reminder for 05/10/2026: 1 past due, 1 notify date reached");
    mail.issues.pop_back();
    EXPECT_EQ(qvReminderSubject(mail, kDay), "Issue reminder for 05/10/2026: 1 past due");
    mail.issues.push_back(
        Reminder(14, qvReminderGroup::NotifyDateReached, "Call the bank", "05/10/2026", ""));

    const std::string text = qvReminderNoteText(mail, kDay);
    const auto at = [&](const std::string& part) {
        const size_t position = text.find(part);
        EXPECT_NE(position, std::string::npos) << "missing \"" << part << "\" in:\n" << text;
        return position;
    };
    EXPECT_LT(at("Past due (1)\r\n"), at("Notify date reached (1)\r\n"));
    at("Reminder of 05/10/2026 for Dana Whitfield\r\n");
    at("1 issue is past the due date and 1 issue has reached the notify date.");
    at("Issue 12: Printer jams on every page\r\n");
    at("  Stage:          Open\r\n");
    at("  Urgency:        High\r\n");
    at("  Due date:       05/07/2026 (3 days ago)\r\n");
    at("  Linked records: AP - Vendor: ACME01 Acme Supplies\r\n" + std::string(18, ' ') +
       "AP - Invoice: ACME01 1001\r\n");
    at("Issue 14: Call the bank\r\n");
    at("  Notify date:    05/10/2026\r\n");
    EXPECT_EQ(text.find("Status"), std::string::npos) << "the company calls the status field Stage";
    EXPECT_EQ(text.find("Linked records", at("Issue 14")), std::string::npos)
        << "no links, no line";
    EXPECT_EQ(text.find("Due date", at("Issue 14")), std::string::npos) << "no due date, no line";
}

TEST(ReminderMail, DescriptionsAndLinksAreOneLine) {
    EXPECT_EQ(qvReminderShortText("  two\r\n\tlines  ", 20), "two lines");
    EXPECT_EQ(qvReminderShortText("exactly ten", 11), "exactly ten");
    EXPECT_EQ(qvReminderShortText("the quick brown fox jumps", 18), "the quick brown...")
        << "cut after the last whole word";
    EXPECT_EQ(qvReminderShortText("Supercalifragilistic", 5), "Super...")
        << "one long word is cut where room ends";
    EXPECT_EQ(qvReminderShortText("\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", 2), "\xC3\xA9\xC3\xA9...")
        << "characters, not bytes, and never half a character";
    EXPECT_EQ(qvReminderShortText("end of sentence. And more", 17), "end of sentence...");

    LinkedRecord link;
    link.applAbbrev = "AP";
    link.recDesc = "Invoice";
    link.keyValues = {"ACME01    ", "1001"};
    link.dataDesc = "Acme Supplies 250.00 ";
    EXPECT_EQ(qvReminderLinkLine(link), "AP - Invoice: ACME01 1001 Acme Supplies 250.00");
}

} // namespace
