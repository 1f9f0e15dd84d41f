// Reminder runs against the real mail service: one mail per responsible person into the
// outbox or through a local SMTP peer, nothing twice on one day, failed mails sent again by
// the next run, and the company's reminder lock.
#include "qvcore/remind/qvReminderRun.h"

#include "ReminderTestSupport.h"
#include "SmtpResponder.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include "qvcore/remind/qvReminderLog.h"

#include "qvkit/mail/kclMail.h"

#include "kwcommon/kwStoredFile.h"
#include "kwcommon/values/xd.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using namespace remindtest;
namespace fs = std::filesystem;

namespace {

class ReminderRun : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(file.Open());
        dana = {
            AddIssue(file,
                     Issue().Message("Printer jams").Respons("Dana Whitfield").Due("05/01/2026")),
            AddIssue(file, Issue().Message("Call the bank").Respons("DANA").Notify("05/10/2026"))};
        lee = AddIssue(
            file, Issue().Message("Vendor statement").Respons("Lee Okafor").Notify("05/03/2026"));
        AddIssue(file, Issue().Respons("Robin Clerk").Due("05/01/2026"));
        AddIssue(file, Issue().Respons("").Due("05/01/2026"));
        AddIssue(file, Issue().Respons("Lee Okafor").Notify("06/01/2026"));
    }

    qvReminderReport Run(std::chrono::year_month_day day = kDay, bool dryRun = false) {
        qvReminderOptions options;
        options.day = day;
        options.dryRun = dryRun;
        options.lockPatience = std::chrono::milliseconds(50);
        return qvRunReminders(options);
    }

    std::vector<std::string> Outbox() const {
        std::vector<std::string> mails;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(company.Path("outbox"), ec))
            if (entry.path().extension() == ".eml") mails.push_back(ReadAll(entry.path()));
        return mails;
    }

    static std::string Only(const std::vector<std::string>& mails, const std::string& address) {
        std::string found;
        for (const auto& mail : mails)
            if (mail.find("To: ") != std::string::npos && mail.find(address) != std::string::npos)
                found += mail;
        return found;
    }

    TestCompany company{false};
    qvIssueFile file{7098};
    std::vector<int64_t> dana;
    int64_t lee = 0;
};

TEST_F(ReminderRun, OneMailPerPersonIntoTheOutboxAndNothingTwiceADay) {
    const qvReminderReport dry = Run(kDay, true);
    EXPECT_EQ(dry.ending, qvReminderReport::Ending::Done) << dry.error;
    EXPECT_EQ(dry.plan.mails.size(), 2u);
    EXPECT_TRUE(Outbox().empty()) << "a dry run sends nothing";
    EXPECT_FALSE(fs::exists(qvReminderLog::CompanyPath())) << "and records nothing";

    qvReminderReport report = Run();
    ASSERT_EQ(report.ending, qvReminderReport::Ending::Done) << report.error;
    EXPECT_EQ(report.Count(qvReminderMailResult::PutInOutbox), 2);
    EXPECT_EQ(report.IssuesMailed(), 3u);
    EXPECT_EQ(report.plan.withoutResponsible, 1);
    EXPECT_EQ(report.plan.UnaddressedCount(), 1u);
    const std::vector<std::string> mails = Outbox();
    ASSERT_EQ(mails.size(), 2u);
    const std::string toDana = Only(mails, "dana.whitfield@example.com");
    const std::string toLee = Only(mails, "lee.okafor@example.com");
    ASSERT_FALSE(toDana.empty());
    ASSERT_FALSE(toLee.empty());
    EXPECT_NE(
        toDana.find("Subject: Issue reminder for 05/10/2026: 1 past due, 1 notify date reached"),
        std::string::npos)
        << toDana;
    EXPECT_NE(toDana.find("Printer jams"), std::string::npos);
    EXPECT_NE(toDana.find("Call the bank"), std::string::npos);
    EXPECT_EQ(toDana.find("Vendor statement"), std::string::npos)
        << "Lee's issue is not in Dana's mail";
    EXPECT_EQ(toDana.find("lee.okafor"), std::string::npos);
    EXPECT_NE(toLee.find("Issue " + std::to_string(lee) + ": Vendor statement"), std::string::npos)
        << toLee;
    EXPECT_EQ(toLee.find("Printer jams"), std::string::npos)
        << "Dana's issues are not in Lee's mail";

    report = Run();
    EXPECT_EQ(report.ending, qvReminderReport::Ending::Done);
    EXPECT_TRUE(report.plan.mails.empty()) << "a second run of the day sends nothing";
    EXPECT_EQ(report.plan.alreadySent, 3);
    EXPECT_EQ(Outbox().size(), 2u);

    report = Run(xd_add_days(kDay, 1));
    EXPECT_EQ(report.Count(qvReminderMailResult::PutInOutbox), 2)
        << "open issues are reminded of again the next day";
}

TEST_F(ReminderRun, ThroughTheMailServerAndAFailedMailIsSentByTheNextRun) {
    company.UpdateSettings("mail", {{"host", "127.0.0.1"},
                                    {"port", SmtpResponder::ClosedPort()},
                                    {"security", "none"},
                                    {"user", ""},
                                    {"password", ""}});
    qvReminderReport report = Run();
    EXPECT_EQ(report.ending, qvReminderReport::Ending::DataError);
    EXPECT_EQ(report.Count(qvReminderMailResult::Failed), 2);
    EXPECT_NE(report.error.find("next run"), std::string::npos) << report.error;
    EXPECT_FALSE(report.outcomes[0].reason.empty());

    SmtpResponder server;
    company.UpdateSettings("mail", {{"port", server.Port()}});
    report = Run();
    ASSERT_EQ(report.ending, qvReminderReport::Ending::Done) << report.error;
    EXPECT_EQ(report.Count(qvReminderMailResult::Sent), 2);
    const auto deliveries = server.Deliveries();
    ASSERT_EQ(deliveries.size(), 2u) << "the failed mails went out on the next run";
    std::set<std::vector<std::string>> recipients;
    for (const auto& delivery : deliveries)
        recipients.insert(delivery.recipients);
    EXPECT_EQ(recipients, (std::set<std::vector<std::string>>{{"<dana.whitfield@example.com>"},
                                                              {"<lee.okafor@example.com>"}}))
        << "each mail has one recipient";

    EXPECT_TRUE(Run().plan.mails.empty());
    EXPECT_EQ(server.Deliveries().size(), 2u) << "and nothing a second time";
}

TEST_F(ReminderRun, ANotifyDateMovedLaterRemindsOnTheNewDate) {
    ASSERT_EQ(Run().Count(qvReminderMailResult::PutInOutbox), 2);
    ChangeIssue(file, dana[1], QV_NOTDATE, "05/12/2026");
    ChangeIssue(file, dana[0], QV_STATUS, "Closed");
    ChangeIssue(file, lee, QV_NOTDATE, "05/12/2026");
    EXPECT_TRUE(Run(xd_add_days(kDay, 1)).plan.mails.empty()) << "nothing due on the 11th";
    const qvReminderReport report = Run(xd_add_days(kDay, 2));
    ASSERT_EQ(report.plan.mails.size(), 2u);
    EXPECT_EQ(report.plan.mails[0].issues.size(), 1u);
    EXPECT_EQ(report.plan.mails[0].issues[0].number, dana[1]);
}

TEST_F(ReminderRun, AnotherRunsLockHoldsThisRunOff) {
    kwFileLock other;
    ASSERT_TRUE(other.Open(qvReminderLog::CompanyLockPath()));
    ASSERT_TRUE(other.TryLock(0));
    qvReminderReport report = Run();
    EXPECT_EQ(report.ending, qvReminderReport::Ending::DataError);
    EXPECT_NE(report.error.find("another reminder run"), std::string::npos) << report.error;
    EXPECT_TRUE(Outbox().empty());
    EXPECT_EQ(Run(kDay, true).plan.mails.size(), 2u) << "a dry run needs no lock";
    other.Unlock(0);
    EXPECT_EQ(Run().Count(qvReminderMailResult::PutInOutbox), 2);
}

TEST_F(ReminderRun, NoMailAndADamagedRecordSendNothing) {
    WriteAll(qvReminderLog::CompanyPath(), "{\"version\": 1, \"sent\": [");
    qvReminderReport report = Run();
    EXPECT_EQ(report.ending, qvReminderReport::Ending::DataError);
    EXPECT_NE(report.error.find(qvReminderLog::CompanyPath()), std::string::npos) << report.error;
    EXPECT_TRUE(Outbox().empty()) << "a lost record would mail everything again";

    fs::remove(qvReminderLog::CompanyPath());
    company.UpdateSettings("mail", {{"installed", false}});
    report = Run();
    EXPECT_EQ(report.ending, qvReminderReport::Ending::DataError);
    EXPECT_NE(report.error.find("mail is not available"), std::string::npos) << report.error;
    EXPECT_TRUE(Outbox().empty());
    qvReminderLog log(qvReminderLog::CompanyPath());
    std::string error;
    ASSERT_TRUE(log.Load(&error)) << error;
    EXPECT_EQ(log.IssueCount(kDay), 0u) << "nothing is recorded as sent";
}

} // namespace
