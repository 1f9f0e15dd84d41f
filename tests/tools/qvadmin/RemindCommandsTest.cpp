// qvadmin remind as a timer or a user runs it: one mail per responsible person on the demo
// company, nothing twice a day, a dry run that sends and records nothing, its exit codes,
// two runs at once, and the timer, service and cron line that start it.
#include "AdminRun.h"
#include "SmtpResponder.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>

using namespace admintest;
namespace fs = std::filesystem;

namespace {

// Issue numbers listed in a reminder mail ("Issue 12: ...").
std::set<int64_t> ListedIssues(const std::string& mail) {
    std::set<int64_t> numbers;
    static const std::regex issue("\r\nIssue ([0-9]+): ");
    for (auto it = std::sregex_iterator(mail.begin(), mail.end(), issue);
         it != std::sregex_iterator(); ++it)
        numbers.insert(std::stoll((*it)[1]));
    return numbers;
}

int64_t Add(const qvIssueFile& file, const std::string& respons, const std::string& status,
            const std::string& notify, const std::string& due,
            const std::string& urgency = "Normal") {
    qvIssue issue(file.Number(), 7098, true);
    issue.Value(QV_FORMESS).Set("Issue for " + respons);
    issue.Value(QV_RESPONS).Set(respons);
    issue.Value(QV_STATUS).Set(status);
    issue.Value(QV_URGENCY).Set(urgency);
    issue.Value(QV_NOTDATE).Set(notify);
    issue.Value(QV_DUEDATE).Set(due);
    EXPECT_TRUE(issue.AddRecord());
    xio_unlock_record(file.Number(), 1, 1);
    return static_cast<int64_t>(issue.Number());
}

void UseServer(TestCompany& company, const SmtpResponder& server) {
    company.UpdateSettings("mail",
                           {{"host", "127.0.0.1"}, {"port", server.Port()}, {"security", "none"}});
}

TEST(qvadminRemind, TwoHundredIssuesMakeOneMailPerPersonAndASecondRunSendsNone) {
    TestCompany company;
    qvIssueFile file(7098);
    ASSERT_TRUE(file.Open());
    // Seven spellings of responsible persons against dates in periods of 3 and 4 days and
    // a status in one of 11: every person meets every kind of date.
    const char* people[] = {"Dana Whitfield", "DANA", "Lee Okafor", "Alex Rivera",
                            "Robin Clerk",    "",     "lee"};
    const char* mailbox[] = {
        "dana.whitfield", "dana.whitfield", "lee.okafor", "alex.rivera", "", "", "lee.okafor"};
    std::map<std::string, std::set<int64_t>> expected; // mailbox -> issues
    int nobody = 0;
    for (int i = 0; i < 200; ++i) {
        const bool closed = i % 11 == 0;
        const std::string notify = i % 3 == 0   ? "05/0" + std::to_string(1 + i % 9) + "/2026"
                                   : i % 3 == 1 ? "06/01/2026"
                                                : "";
        const std::string due = i % 4 == 0   ? "04/20/2026"
                                : i % 4 == 1 ? "05/10/2026"
                                             : "05/30/2026";
        const int64_t number = Add(file, people[i % 7], closed ? "Closed" : "Open", notify, due);
        const bool reminded = !closed && (i % 3 == 0 || i % 4 == 0);
        if (reminded && *mailbox[i % 7])
            expected["<" + std::string(mailbox[i % 7]) + "@example.com>"].insert(number);
        nobody += reminded && !*people[i % 7];
    }
    file.Close();
    ASSERT_EQ(expected.size(), 3u);

    SmtpResponder server;
    UseServer(company, server);
    AdminRun run = Admin(company, "remind --date 2026-05-10");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    const auto deliveries = server.Deliveries();
    ASSERT_EQ(deliveries.size(), 3u) << "one mail per responsible person:\n" << run.out;
    for (const auto& delivery : deliveries) {
        ASSERT_EQ(delivery.recipients.size(), 1u);
        EXPECT_EQ(ListedIssues(delivery.data), expected[delivery.recipients[0]])
            << "the mail to " << delivery.recipients[0] << " lists exactly that person's issues";
    }
    EXPECT_NE(run.out.find("summary for 05/10/2026: 3 mails sent"), std::string::npos) << run.out;
    ASSERT_GT(nobody, 0);
    EXPECT_NE(run.out.find(std::to_string(nobody) + " issues without a responsible person"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.err.find("\"Robin Clerk\" is no operator"), std::string::npos) << run.err;

    run = Admin(company, "remind --date 05/10/2026");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(server.Deliveries().size(), 3u) << "a second run the same day sends none";
    EXPECT_NE(run.out.find("0 mails sent"), std::string::npos) << run.out;
}

TEST(qvadminRemind, ADryRunOnAFreshDemoCompanySucceedsAndShowsWhoWouldGetWhat) {
    TestCompany company;
    AdminRun run = Admin(company, "remind --dry-run");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("dry run"), std::string::npos) << run.out;

    qvIssueFile file(7098);
    ASSERT_TRUE(file.Open());
    const int64_t number = Add(file, "Lee Okafor", "Open", "05/01/2026", "");
    file.Close();
    run = Admin(company, "remind --dry-run --date 2026-05-10");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("would mail Lee Okafor <lee.okafor@example.com>: 1 issue"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("  " + std::to_string(number) + "\tnotify date 05/01/2026"),
              std::string::npos)
        << run.out;
    EXPECT_FALSE(fs::exists(company.Path("outbox"))) << "nothing sent";
    EXPECT_FALSE(fs::exists(company.Path("qvremind.json"))) << "nothing recorded";

    const std::string issue = std::to_string(number);
    ASSERT_EQ(Admin(company, "issue link " + issue + " --app AP --type Vendor --key ACME").exitCode,
              0);
    ASSERT_EQ(Admin(company, "issue link " + issue + " --app GL --type account --key 1000-00-000")
                  .exitCode,
              0);
    run = Admin(company, "remind --date 2026-05-10");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> mails;
    for (const auto& entry : fs::directory_iterator(company.Path("outbox")))
        mails.push_back(ReadAll(entry.path()));
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(mails[0].find("  Linked records: AP - Vendor: ACME Acme Building Supply\r\n"),
              std::string::npos)
        << mails[0];
    EXPECT_NE(mails[0].find("\r\n                  GL - Account: 1000-00-000"), std::string::npos)
        << mails[0];
    EXPECT_NE(run.out.find("Lee Okafor <lee.okafor@example.com>: 1 issue (0 past due, 1 notify "
                           "date reached): put in "
                           "the outbox"),
              std::string::npos)
        << run.out;
}

TEST(qvadminRemind, BadInputIsAUserErrorAndMailTroubleADataError) {
    TestCompany company(false);
    for (const char* args : {"remind --date 2026-02-30", "remind --date tomorrow", "remind --date",
                             "remind --now", "remind --query NoSuchQuery"}) {
        const AdminRun run = Admin(company, args);
        EXPECT_EQ(run.exitCode, 1) << args << ": " << run.err;
        EXPECT_FALSE(run.err.empty()) << args;
    }
    qvIssueFile file(7098);
    ASSERT_TRUE(file.Open());
    Add(file, "DANA", "Open", "", "05/01/2026");
    file.Close();
    company.UpdateSettings(
        "mail",
        {{"host", "127.0.0.1"}, {"port", SmtpResponder::ClosedPort()}, {"security", "none"}});
    AdminRun run = Admin(company, "remind --date 2026-05-10");
    EXPECT_EQ(run.exitCode, 2) << "a mail that failed is a mail error";
    EXPECT_NE(run.err.find("was not sent"), std::string::npos) << run.err;

    SmtpResponder server;
    UseServer(company, server);
    run = Admin(company, "remind --date 2026-05-10");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(server.Deliveries().size(), 1u) << "the next run sends the failed mail";
}

TEST(qvadminRemind, ASavedQueryNarrowsTheIssues) {
    TestCompany company(false);
    qvIssueFile file(7098);
    ASSERT_TRUE(file.Open());
    const int64_t high = Add(file, "DANA", "Open", "", "05/01/2026", "High");
    Add(file, "DANA", "Open", "", "05/01/2026", "Low");
    Add(file, "LEE", "Open", "", "05/01/2026", "Low");
    file.Close();
    ASSERT_EQ(Admin(company, "query save Urgent --cond 'URGENCY equal High'").exitCode, 0);
    const AdminRun run = Admin(company, "remind --date 2026-05-10 --query Urgent");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::string> mails;
    for (const auto& entry : fs::directory_iterator(company.Path("outbox")))
        mails.push_back(ReadAll(entry.path()));
    ASSERT_EQ(mails.size(), 1u) << run.out;
    EXPECT_EQ(ListedIssues(mails[0]), std::set<int64_t>{high});
}

TEST(qvadminRemind, TwoRunsAtOnceNeverSendTwice) {
    TestCompany company(false);
    qvIssueFile file(7098);
    ASSERT_TRUE(file.Open());
    for (const char* person : {"DANA", "LEE", "ADMIN"})
        for (int i = 0; i < 20; ++i)
            Add(file, person, "Open", "05/01/2026", "05/02/2026");
    file.Close();
    SmtpResponder server;
    UseServer(company, server);
    const std::string errA = company.Path("a.txt"), errB = company.Path("b.txt");
    FILE* a = popen(AdminCommand(company, "remind --date 2026-05-10", errA).c_str(), "r");
    FILE* b = popen(AdminCommand(company, "remind --date 2026-05-10", errB).c_str(), "r");
    const AdminRun runA = Finish(a, errA), runB = Finish(b, errB);
    EXPECT_EQ(runA.exitCode, 0) << runA.err;
    EXPECT_EQ(runB.exitCode, 0) << "the second run waits for the first: " << runB.err;
    EXPECT_EQ(server.Deliveries().size(), 3u) << runA.out << runB.out;
}

// The units and the cron line in data/remind, checked as far as the machine allows.
TEST(qvadminRemind, TheTimerServiceAndCronLineAreValid) {
    const fs::path source = fs::path(TestCompany::DemoFolder()).parent_path() / "remind";
    const std::string service = ReadAll(source / "quorvel-remind.service");
    const std::string timer = ReadAll(source / "quorvel-remind.timer");
    ASSERT_NE(service.find("ExecStart=%h/.local/bin/qvadmin remind\n"), std::string::npos)
        << service;
    EXPECT_NE(timer.find("Persistent=true\n"), std::string::npos);
    EXPECT_NE(timer.find("OnCalendar=*-*-* 07:00:00\n"), std::string::npos);

    std::vector<std::string> entries;
    for (const std::string& line : Lines(ReadAll(source / "quorvel-remind.cron")))
        if (!line.empty() && line[0] != '#') entries.push_back(line);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_TRUE(std::regex_search(
        entries[0], std::regex(R"(^0 7 \* \* \* "[^"]*/qvadmin" --data "[^"]+" remind\b)")))
        << entries[0];

    if (std::system("command -v systemd-analyze >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "no systemd-analyze here";
    // verify wants the program to exist: the copy runs the qvadmin just built.
    const std::string folder = TestCompany::MakeTempFolder("units");
    const std::string runtime = TestCompany::MakeTempFolder("runtime");
    fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace);
    std::string copy = service;
    copy.replace(copy.find("%h/.local/bin/qvadmin"), 21, std::string(QV_BIN_DIR) + "/qvadmin");
    WriteAll(folder + "/quorvel-remind.service", copy);
    WriteAll(folder + "/quorvel-remind.timer", timer);
    const std::string output = folder + "/verify.txt";
    const int status = std::system(
        ("cd '" + folder + "' && XDG_RUNTIME_DIR='" + runtime +
         "' systemd-analyze --user verify quorvel-remind.timer quorvel-remind.service >'" + output +
         "' 2>&1")
            .c_str());
    const std::string said = ReadAll(output);
    fs::remove_all(folder);
    fs::remove_all(runtime);
    EXPECT_EQ(status, 0) << said;
    EXPECT_EQ(said.find("quorvel-remind"), std::string::npos)
        << "verify complains about the units:\n"
        << said;
}

} // namespace
