// Planning the day's reminders: which issues are due one, whose mail each goes into, and
// what is left out and counted.
#include "qvcore/remind/qvReminderPlan.h"

#include "ReminderTestSupport.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/remind/qvReminderLog.h"

#include "kwcommon/xs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

using namespace remindtest;

namespace {

class ReminderPlan : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file.Open()); }

    qvReminderPlan Plan(const qvReminderLog& log) {
        qvIssueSelection selection(file.Number(), 7010);
        selection.UseOperator(xs_oper_def{});
        qvReminderPlan plan;
        EXPECT_EQ(qvPlanReminders(selection, file.Number(), kDay, log, &plan), 0);
        return plan;
    }
    qvReminderPlan Plan() { return Plan(qvReminderLog(company.Path("none.json"))); }

    static const qvReminderMailPlan* MailTo(const qvReminderPlan& plan, const std::string& key) {
        for (const auto& mail : plan.mails)
            if (mail.to.key == key) return &mail;
        return nullptr;
    }
    static std::set<int64_t> Numbers(const qvReminderMailPlan* mail) {
        std::set<int64_t> numbers;
        if (mail)
            for (const auto& issue : mail->issues)
                numbers.insert(issue.number);
        return numbers;
    }

    TestCompany company{false};
    qvIssueFile file{7098};
};

TEST_F(ReminderPlan, EachMailHoldsOnlyItsResponsiblePersonsIssues) {
    const int64_t danaByName =
        AddIssue(file, Issue().Respons("Dana Whitfield").Notify("05/10/2026"));
    const int64_t danaById = AddIssue(file, Issue().Respons("dana").Due("05/09/2026"));
    const int64_t lee = AddIssue(file, Issue().Respons("Lee Okafor").Notify("04/01/2026"));
    const int64_t leeByCase = AddIssue(file, Issue().Respons("lee okafor").Due("01/02/2026"));
    const int64_t byAddress =
        AddIssue(file, Issue().Respons("robin@example.com").Due("05/01/2026"));
    const int64_t stranger = AddIssue(file, Issue().Respons("Robin Clerk").Due("05/01/2026"));
    AddIssue(file, Issue().Respons("").Notify("05/01/2026"));
    AddIssue(file, Issue().Respons("").Due("05/01/2026"));
    // Not due a reminder: closed in any letter case, dates still to come, due today.
    AddIssue(file, Issue().Respons("Dana Whitfield").Status("Closed").Due("05/01/2026"));
    AddIssue(file, Issue().Respons("Lee Okafor").Status("closed").Notify("05/01/2026"));
    AddIssue(file, Issue().Respons("Dana Whitfield").Notify("05/11/2026").Due("05/10/2026"));
    AddIssue(file, Issue().Respons("Alex Rivera"));

    const qvReminderPlan plan = Plan();
    ASSERT_EQ(plan.mails.size(), 3u) << "Dana, Lee and the bare address: one mail each";
    EXPECT_EQ(Numbers(MailTo(plan, "DANA")), (std::set<int64_t>{danaByName, danaById}))
        << "both spellings of Dana reach her one mail, and nobody else's issue does";
    EXPECT_EQ(Numbers(MailTo(plan, "LEE")), (std::set<int64_t>{lee, leeByCase}));
    EXPECT_EQ(Numbers(MailTo(plan, "robin@example.com")), std::set<int64_t>{byAddress});
    for (const auto& mail : plan.mails)
        for (const auto& issue : mail.issues) {
            qvReminderAddressee owner;
            std::string why;
            ASSERT_TRUE(qvFindAddressee(issue.respons, &owner, &why));
            EXPECT_EQ(owner.key, mail.to.key)
                << "issue " << issue.number << " is in another person's mail";
        }
    EXPECT_EQ(MailTo(plan, "DANA")->to.address, "dana.whitfield@example.com");
    EXPECT_EQ(MailTo(plan, "DANA")->to.mailName, "DANA")
        << "the mail service resolves the operator by id";

    EXPECT_EQ(plan.withoutResponsible, 2);
    ASSERT_EQ(plan.unaddressed.size(), 1u);
    EXPECT_EQ(plan.unaddressed[0].respons, "Robin Clerk");
    EXPECT_EQ(plan.unaddressed[0].issues, std::vector<int64_t>{stranger});
    EXPECT_EQ(plan.IssueCount(), 5u);
}

TEST_F(ReminderPlan, PastDueComesFirstAndEachGroupRunsByDueDate) {
    const int64_t late = AddIssue(file, Issue().Respons("DANA").Due("05/08/2026"));
    const int64_t later = AddIssue(file, Issue().Respons("DANA").Due("04/01/2026"));
    const int64_t both =
        AddIssue(file, Issue().Respons("DANA").Notify("05/01/2026").Due("05/09/2026"));
    const int64_t noDue = AddIssue(file, Issue().Respons("DANA").Notify("05/02/2026"));
    const int64_t dueSoon =
        AddIssue(file, Issue().Respons("DANA").Notify("05/03/2026").Due("05/20/2026"));
    const int64_t dueSooner =
        AddIssue(file, Issue().Respons("DANA").Notify("05/10/2026").Due("05/12/2026"));

    const qvReminderPlan plan = Plan();
    ASSERT_EQ(plan.mails.size(), 1u);
    std::vector<std::pair<int64_t, qvReminderGroup>> order;
    for (const auto& issue : plan.mails[0].issues)
        order.emplace_back(issue.number, issue.group);
    const std::vector<std::pair<int64_t, qvReminderGroup>> expected = {
        {later, qvReminderGroup::PastDue},
        {late, qvReminderGroup::PastDue},
        {both, qvReminderGroup::PastDue}, // listed once, as past due
        {dueSooner, qvReminderGroup::NotifyDateReached},
        {dueSoon, qvReminderGroup::NotifyDateReached},
        {noDue, qvReminderGroup::NotifyDateReached}, // no due date sorts last
    };
    EXPECT_EQ(order, expected);
}

TEST_F(ReminderPlan, RemindersAlreadyRecordedForTheDayAreLeftOut) {
    const int64_t first = AddIssue(file, Issue().Respons("DANA").Due("05/01/2026"));
    const int64_t second = AddIssue(file, Issue().Respons("DANA").Due("05/02/2026"));
    qvReminderLog log(company.Path("sent.json"));
    log.MarkSent(first, kDay, "dana");
    log.MarkSent(second,
                 std::chrono::year_month_day{std::chrono::year{2026}, std::chrono::month{5},
                                             std::chrono::day{9}},
                 "dana");
    const qvReminderPlan plan = Plan(log);
    EXPECT_EQ(plan.alreadySent, 1);
    ASSERT_EQ(plan.mails.size(), 1u);
    EXPECT_EQ(Numbers(&plan.mails[0]), std::set<int64_t>{second})
        << "yesterday's reminder does not cover today";
}

TEST_F(ReminderPlan, AResponsiblePersonIsFoundByNameIdOrAddressAndNeverGuessed) {
    WriteAll(company.Path("operators.json"), R"({"operators": [
        {"id": "DANA", "name": "Dana Whitfield", "email": "dana.whitfield@example.com"},
        {"id": "KIM", "name": "Kim Park", "email": ""},
        {"id": "SAM1", "name": "Sam Lee", "email": "sam.one@example.com"},
        {"id": "SAM2", "name": "Sam Lee", "email": "sam.two@example.com"},
        {"id": "JO", "name": "Jo Bloggs", "email": "not an address"},
        {"id": "Dana Whitfield", "name": "Someone Else", "email": "else@example.com"}]})");
    qvReminderAddressee to;
    std::string why;
    ASSERT_TRUE(qvFindAddressee("Dana Whitfield", &to, &why));
    EXPECT_EQ(to.key, "DANA") << "an exact name wins over an id of the same spelling";
    ASSERT_TRUE(qvFindAddressee("  dana  ", &to, &why));
    EXPECT_EQ(to.Shown(), "Dana Whitfield <dana.whitfield@example.com>");
    ASSERT_TRUE(qvFindAddressee("Robin@Example.com", &to, &why));
    EXPECT_EQ(to.Shown(), "Robin@Example.com");

    EXPECT_FALSE(qvFindAddressee("Kim Park", &to, &why));
    EXPECT_NE(why.find("no e-mail address"), std::string::npos) << why;
    EXPECT_FALSE(qvFindAddressee("Sam Lee", &to, &why))
        << "two operators, two addresses: nobody is guessed";
    EXPECT_NE(why.find("several operators"), std::string::npos) << why;
    EXPECT_FALSE(qvFindAddressee("JO", &to, &why));
    EXPECT_NE(why.find("not usable"), std::string::npos) << why;
    EXPECT_FALSE(qvFindAddressee("Robin Clerk", &to, &why));
    EXPECT_FALSE(qvFindAddressee("a@b@example.com", &to, &why));
}

} // namespace
