// The notification text of an issue: its layout and the company's names of the custom fields.
#include "qvcore/store/qvIssue.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/xk.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

namespace {
void Fill(qvIssue& issue) {
    issue.Value(QV_ISSUE).Set("42");
    issue.Value(QV_FORMESS).Set("Paper jam in the second tray");
    issue.Value(QV_DUEDATE).Set("03/15/2025");
    issue.Value(QV_FOLLOWU).Set("Call back");
    issue.Value(QV_URGENCY).Set("High");
    issue.Value(QV_STATUS).Set("Open");
    issue.Value(QV_PROBLEM).Set("Printer");
    issue.Value(QV_CLASSIF).Set("Hardware");
}
} // namespace

TEST(qvIssueNotify, LayoutWithTabsAndLineEnds) {
    TestCompany company(false);
    qvIssue issue(0, QV_CMD_NEW_ISSUE, false);
    Fill(issue);
    const std::string expected = "\r\nIssue number:\t\t42\r\n\r\n"
                                 "Message: Paper jam in the second tray\r\n\r\n"
                                 "Due date:\t\t03/15/2025\r\n\r\n"
                                 "Follow-up:\t\tCall back\r\n"
                                 "Urgency:\t\tHigh\r\n"
                                 "Status:\t\t\tOpen\r\n\r\n"
                                 "Problem:\t\tPrinter\r\n"
                                 "Classification:\t\tHardware\r\n"
                                 "Entered by:\t\tADMIN\r\n\r\n";
    EXPECT_EQ(issue.NotifyText(), expected);

    issue.Value(QV_STATUS).Set("Closed");
    EXPECT_NE(issue.NotifyText().find("Status:\t\t\tClosed\r\n"), std::string::npos)
        << "the text is rebuilt on every call";
}

TEST(qvIssueNotify, CustomFieldLabelsFollowTheCompany) {
    TestCompany company(false);
    ASSERT_EQ(xk_put_description(263, 0, "priority"), 0);
    ASSERT_EQ(xk_put_description(266, 0, ""), 0);
    qvIssue issue(0, QV_CMD_NEW_ISSUE, false);
    Fill(issue);
    issue.Value(QV_FOLLOWU).Set("<<urgent>> <263F>");
    const std::string& text = issue.NotifyText();
    EXPECT_NE(text.find("\r\nPriority:\t\tHigh\r\n"), std::string::npos)
        << "renamed, first letter in capitals";
    EXPECT_NE(text.find("\r\n<266F>:\t\tPrinter\r\n"), std::string::npos)
        << "no description: the code stays";
    EXPECT_NE(text.find("Follow-up:\t\t<<urgent>> <263F>\r\n"), std::string::npos)
        << "values are shown as typed, never taken for codes";
}
