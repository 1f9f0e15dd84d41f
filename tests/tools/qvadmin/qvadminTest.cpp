// qvadmin driven as a user drives it: its output, and its exit codes for good runs,
// user errors and data errors.
#include "SmtpResponder.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include "qvcore/queries/qvIssueSelection.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/xio.h"
#include "kwcommon/xs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct AdminRun {
    int exitCode;
    std::string out;
    std::string err;
};

// Runs qvadmin on the company as operator `operatorId`, with the user's preferences kept in
// the company folder so that nothing of the machine's user leaks in.
AdminRun Admin(const TestCompany& company, const std::string& args, const std::string& operatorId = "ADMIN") {
    const std::string errFile = company.Path("qvadmin-stderr.txt");
    const std::string command = "XDG_CONFIG_HOME='" + company.Path("config") + "' " + std::string(QV_BIN_DIR) +
                                "/qvadmin --data '" + company.Folder() + "' --operator " + operatorId + " " + args +
                                " 2>'" + errFile + "'";
    AdminRun run{-1, {}, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream err(errFile);
    std::stringstream text;
    text << err.rdbuf();
    run.err = text.str();
    return run;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

TEST(qvadmin, DictShowListsTheIssueFieldsInOrder) {
    TestCompany company(false);
    const AdminRun run = Admin(company, "dict show QVI");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    const char* expected[] = {"ISSUE", "FORMESS", "RULEID", "CLASSIF", "URGENCY", "FOLLOWU", "STATUS"};
    std::vector<std::string> names;
    bool inIssue = false;
    for (const auto& line : Lines(run.out)) {
        if (line.rfind("record type ", 0) == 0) inIssue = line.rfind("record type 1\t", 0) == 0;
        else if (inIssue && line.rfind("  ", 0) == 0 && line.find("key ") != 2 && line.find("no\t") != 2)
            names.push_back(line.substr(line.find('\t') + 1, line.find('\t', line.find('\t') + 1) - line.find('\t') - 1));
    }
    ASSERT_EQ(names.size(), 71u) << run.out;
    for (size_t i = 0; i < std::size(expected); ++i) EXPECT_EQ(names[i], expected[i]);
    EXPECT_EQ(names[70], "PRCKSEQ");
    EXPECT_NE(run.out.find("LASTID"), std::string::npos);

    EXPECT_EQ(Admin(company, "dict show NOPE").exitCode, 1) << "an unknown dictionary is the user's error";
    EXPECT_EQ(Admin(company, "dict").exitCode, 1);
    EXPECT_EQ(Admin(company, "frobnicate now").exitCode, 1);
}

TEST(qvadmin, IssuesAreAddedShownListedAndDeleted) {
    TestCompany company(false);
    AdminRun run = Admin(company, "issue add --message 'Invoice total wrong' --status Open --respons 'Robin Clerk' "
                             "--due 12/31/2026");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "1\n");
    EXPECT_EQ(Admin(company, "issue add --message Second --due 02/30/2026").exitCode, 1)
        << "an impossible date is refused";
    run = Admin(company, "issue add --message Third");
    EXPECT_EQ(run.out, "2\n") << "a refused issue costs no number";

    run = Admin(company, "issue show 1");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_NE(run.out.find("FORMESS\tInvoice total wrong\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("STATUS\tOpen\n"), std::string::npos);
    EXPECT_NE(run.out.find("DUEDATE\t12/31/2026\n"), std::string::npos);
    EXPECT_NE(run.out.find("OPERCRE\tADMIN\n"), std::string::npos) << "the creation stamp names the operator";
    EXPECT_EQ(run.out.find("NOTDATE"), std::string::npos) << "empty fields are left out";

    run = Admin(company, "issue list");
    EXPECT_EQ(Lines(run.out).size(), 2u);
    EXPECT_EQ(run.out.rfind("1\tOpen\t12/31/2026\tRobin Clerk\tInvoice total wrong\n", 0), 0u) << run.out;

    run = Admin(company, "file dump QVI --key 1");
    ASSERT_EQ(run.exitCode, 0);
    auto lines = Lines(run.out);
    ASSERT_EQ(lines.size(), 3u) << "a heading and two records";
    EXPECT_EQ(lines[1].rfind("2\t", 0), 0u) << "the blank status sorts first by key 1";

    EXPECT_EQ(Admin(company, "issue delete 2").exitCode, 0);
    EXPECT_EQ(Admin(company, "issue delete 2").exitCode, 1) << "no such issue";
    EXPECT_EQ(Admin(company, "issue show x").exitCode, 1);
    EXPECT_EQ(Lines(Admin(company, "issue list").out).size(), 1u);
}

TEST(qvadmin, ADamagedFileIsADataError) {
    TestCompany company(false);
    std::ofstream(company.Path("ISSUES.QVI")) << std::string(8192, 'z');
    EXPECT_EQ(Admin(company, "file dump QVI").exitCode, 2);
    EXPECT_EQ(Admin(company, "issue list").exitCode, 2);
}

} // namespace

TEST(qvadmin, UsageListsEveryCommand) {
    FILE* pipe = popen((std::string(QV_BIN_DIR) + "/qvadmin 2>&1").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string usage;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) usage.append(buffer.data(), n);
    EXPECT_EQ(WEXITSTATUS(pclose(pipe)), 1) << "no command is a user error";
    for (const char* command : {"issue link", "issue links", "issue unlink", "issue notify", "query list",
                                "query show", "query save", "query delete", "query check", "--csv", "--query"})
        EXPECT_NE(usage.find(command), std::string::npos) << command;
}

TEST(qvadmin, RefusedIssueInputStoresNothingAndDrawsNoNumber) {
    TestCompany company(false);
    ASSERT_EQ(Admin(company, "issue add --message first").out, "1\n");
    struct Case {
        const char* args;
        const char* says;
    } refused[] = {
        {"--message x --status Bogus", "Open, On-Hold, Closed"},
        {"--message x --urgency Whenever", "Low, Normal, High, Critical"},
        {"--message \"$(printf 'bad \\377\\376 bytes')\"", "not valid UTF-8"},
        {"--message x --respons \"$(printf 'Dana\\200')\"", "not valid UTF-8"},
        {"--message \"$(head -c 10240 /dev/zero | tr '\\0' a)\"", "10240 bytes long; the Description field holds at most 1000"},
        {"--message x --due 13/45/2026", "give a date as MM/DD/YYYY"},
        {"--message x --status", "usage"},
        {"--message x --status Open --status Closed", "given twice"},
    };
    for (const Case& c : refused) {
        const AdminRun run = Admin(company, std::string("issue add ") + c.args);
        EXPECT_EQ(run.exitCode, 1) << c.args;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
        EXPECT_LT(run.err.size(), 400u) << "the message names the limit, it does not repeat the input";
    }
    EXPECT_EQ(Lines(Admin(company, "issue list").out).size(), 1u) << "nothing refused was stored";

    AdminRun run = Admin(company, "issue add --message second --status open --urgency HIGH");
    EXPECT_EQ(run.out, "2\n") << "refused input drew no number: " << run.err;
    run = Admin(company, "issue show 2");
    EXPECT_NE(run.out.find("STATUS\tOpen\n"), std::string::npos) << "stored as the list spells it: " << run.out;
    EXPECT_NE(run.out.find("URGENCY\tHigh\n"), std::string::npos) << run.out;
    run = Admin(company, "issue add --message third --status Waiting --new-value");
    EXPECT_EQ(run.exitCode, 0) << "--new-value keeps a value outside the list: " << run.err;
    EXPECT_NE(Admin(company, "issue show 3").out.find("STATUS\tWaiting\n"), std::string::npos);

    for (const char* number : {"0x1", "' 1'", "1e0", "+1", "1.0", "0", "-1", "12345678901", "''"}) {
        run = Admin(company, std::string("issue show ") + number);
        EXPECT_EQ(run.exitCode, 1) << number << " is no issue number";
        EXPECT_NE(run.err.find("plain decimal digits"), std::string::npos) << number << ": " << run.err;
        EXPECT_EQ(Admin(company, std::string("issue delete ") + number).exitCode, 1) << number;
        EXPECT_EQ(Admin(company, std::string("issue links ") + number).exitCode, 1) << number;
        EXPECT_EQ(Admin(company, std::string("issue notify ") + number).exitCode, 1) << number;
    }
    EXPECT_EQ(Admin(company, "issue show 01").exitCode, 0) << "leading zeros are still plain digits";

    // An operator named as responsible person is stored by name, with the operator's id;
    // with operator security on nobody else can be.
    ASSERT_EQ(Admin(company, "issue add --message fourth --respons dana").out, "4\n");
    run = Admin(company, "issue show 4");
    EXPECT_NE(run.out.find("RESPONS\tDana Whitfield\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("IOPERID\tDANA\n"), std::string::npos) << run.out;
    std::string operators = ReadAll(company.Path("operators.json"));
    operators.replace(operators.find("\"security\": false"), 17, "\"security\": true");
    WriteAll(company.Path("operators.json"), operators);
    run = Admin(company, "issue add --message fifth --respons 'Robin Clerk'");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("DANA (Dana Whitfield)"), std::string::npos) << run.err;
}

TEST(qvadmin, AnUnreadableCompanyFolderNamesTheReason) {
    TestCompany company(false);
    std::filesystem::rename(company.Path("company.json"), company.Path("settings.json"));
    std::filesystem::create_directory(company.Path("company.json"));
    AdminRun unreadable = Admin(company, "issue list");
    EXPECT_EQ(unreadable.exitCode, 1);
    EXPECT_NE(unreadable.err.find("company.json"), std::string::npos) << unreadable.err;
    EXPECT_EQ(unreadable.err.find("missing"), std::string::npos) << "it is there: " << unreadable.err;
    std::filesystem::remove(company.Path("company.json"));
    std::filesystem::rename(company.Path("settings.json"), company.Path("company.json"));
    if (geteuid() == 0) return; // the superuser reads every folder
    std::filesystem::permissions(company.Folder(), std::filesystem::perms::none);
    const AdminRun run = Admin(company, "issue list");
    std::filesystem::permissions(company.Folder(), std::filesystem::perms::owner_all);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("Permission denied"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("missing"), std::string::npos) << run.err;
}

TEST(qvadmin, LinksAreMadeListedAndRemoved) {
    TestCompany company(true);
    ASSERT_EQ(Admin(company, "issue add --message 'Invoice short paid'").exitCode, 0);
    AdminRun run = Admin(company, "issue links 1");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "") << "no links yet";

    run = Admin(company, "issue link 1 --app ap --type Vendor --key ACME");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Admin(company, "issue link 1 --app AP --type 2 --key ACME INV-01006");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    run = Admin(company, "issue link 1 --app GL --type account --key 1000-00-000");
    ASSERT_EQ(run.exitCode, 0) << "a sectioned key is typed as shown: " << run.err;

    run = Admin(company, "issue links 1");
    const auto links = Lines(run.out);
    ASSERT_EQ(links.size(), 3u) << run.out << run.err;
    EXPECT_EQ(links[0], "AP\tVendor\tACME\tAcme Building Supply") << run.out;
    EXPECT_EQ(links[1].rfind("AP\tInvoice\tACME INV-01006\t", 0), 0u) << run.out;
    EXPECT_EQ(links[2].rfind("GL\tAccount\t1000-00-000\t", 0), 0u) << run.out;
    run = Admin(company, "issue show 1");
    EXPECT_NE(run.out.find("APINVOI\tINV-01006\n"), std::string::npos) << "the link fields carry the key: " << run.out;
    EXPECT_NE(run.out.find("OPERCHG\tADMIN\n"), std::string::npos) << "the change is stamped: " << run.out;
    run = Admin(company, "file dump APZ");
    EXPECT_NE(run.out.find("ACME\t1\n"), std::string::npos) << "the application's cross-reference: " << run.out;

    struct Case {
        const char* args;
        int exitCode;
        const char* says;
    } refused[] = {
        {"--app AP --type Vendor --key NOSUCHVEND", 1, "AP has no Vendor \"NOSUCHVEND\""},
        {"--app AP --type Vendor --key ACME", 1, "already linked"},
        {"--app AP --type Vendor --key ACME MORE", 1, "takes 1 key value (Vendor); 2 were given"},
        {"--app AP --type Truck --key ACME", 1, "1 AP Vendor issue, 2 AP Invoice issue"},
        {"--app XY --type 1 --key ACME", 1, "XY stores no issues"},
        {"--app AR --type transaction --key ACME Invoice 01/15/2026 1", 1, "--file-type"},
        {"--app AP --type Vendor", 1, "usage"},
    };
    for (const Case& c : refused) {
        run = Admin(company, std::string("issue link 1 ") + c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.args << ": " << run.err;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
    }
    EXPECT_EQ(Lines(Admin(company, "issue links 1").out).size(), 3u) << "refused links store nothing";
    EXPECT_EQ(Admin(company, "issue link 9 --app AP --type 1 --key ACME").exitCode, 1) << "no issue 9";

    run = Admin(company, "issue unlink 1");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(Admin(company, "issue links 1").out, "");
    run = Admin(company, "issue show 1");
    EXPECT_EQ(run.out.find("APVND"), std::string::npos) << "the link fields are cleared: " << run.out;
    EXPECT_EQ(Lines(Admin(company, "file dump APZ").out).size(), 1u) << "and the cross-references removed";
    EXPECT_EQ(Admin(company, "issue unlink 1").exitCode, 0) << "an issue without links unlinks cleanly";
}

TEST(qvadmin, NotifyMailsTheIssue) {
    TestCompany company(false);
    ASSERT_EQ(Admin(company, "issue add --message 'Printer jams' --respons 'Dana Whitfield'").exitCode, 0);
    AdminRun run = Admin(company, "issue notify 1");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "put in the outbox\n");
    std::vector<std::string> mails;
    for (const auto& entry : std::filesystem::directory_iterator(company.Path("outbox")))
        if (entry.path().extension() == ".eml") mails.push_back(ReadAll(entry.path()));
    ASSERT_EQ(mails.size(), 1u);
    EXPECT_NE(mails[0].find("dana.whitfield@example.com"), std::string::npos) << mails[0];
    EXPECT_NE(mails[0].find("Subject: New Issue: Printer jams"), std::string::npos) << mails[0];
    EXPECT_NE(Admin(company, "issue show 1").out.find("EMAIL\tYes"), std::string::npos) << "the notice is recorded";

    run = Admin(company, "issue notify 1 --edit --to 'lee.okafor@example.com'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    mails.clear();
    for (const auto& entry : std::filesystem::directory_iterator(company.Path("outbox")))
        if (entry.path().extension() == ".eml") mails.push_back(ReadAll(entry.path()));
    ASSERT_EQ(mails.size(), 2u);
    const bool edited = mails[0].find("Subject: Edit Issue: Printer jams") != std::string::npos ||
                        mails[1].find("Subject: Edit Issue: Printer jams") != std::string::npos;
    EXPECT_TRUE(edited) << "--edit mails it as a changed issue";

    ASSERT_EQ(Admin(company, "issue add --message 'Nobody owns this'").exitCode, 0);
    run = Admin(company, "issue notify 2");
    EXPECT_EQ(run.exitCode, 0) << "an issue that names nobody goes to the company's mailbox: " << run.err;
    EXPECT_NE(run.err.find("quorvel@demo.example"), std::string::npos) << run.err;

    {
        SmtpResponder server;
        company.UpdateSettings("mail", {{"host", "127.0.0.1"}, {"port", server.Port()}, {"security", "none"},
                                        {"user", "quorvel"}, {"password", "secret"}});
        run = Admin(company, "issue notify 1");
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.out, "sent\n");
        const auto deliveries = server.Deliveries();
        ASSERT_EQ(deliveries.size(), 1u);
        EXPECT_EQ(deliveries[0].recipients, std::vector<std::string>{"<dana.whitfield@example.com>"});
        company.UpdateSettings("mail", {{"password", ""}});
        run = Admin(company, "issue notify 1");
        EXPECT_EQ(run.exitCode, 2) << "no password to log on with, and nobody to ask";
        EXPECT_NE(run.err.find("did not accept the logon"), std::string::npos) << run.err;
        EXPECT_EQ(server.Deliveries().size(), 1u);
    }
    company.UpdateSettings("mail", {{"installed", false}});
    run = Admin(company, "issue notify 1");
    EXPECT_EQ(run.exitCode, 2) << "no mail on the machine is reported";
    EXPECT_NE(run.err.find("Unable to load MAPI32.DLL"), std::string::npos) << run.err;
    EXPECT_EQ(Admin(company, "issue show 1").out.find("EMAIL\tYes"), std::string::npos)
        << "the stored issue no longer claims a notice";
}

TEST(qvadmin, QueriesAreSavedShownListedCheckedAndDeleted) {
    TestCompany company(false);
    AdminRun run = Admin(company, "query list");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "") << "no query file: no queries";
    EXPECT_EQ(Admin(company, "query check").exitCode, 0) << "no query file is no inconsistency";

    run = Admin(company, "query save 'Open by due' --order 'due date' --cond 'STATUS equal Open or' "
                         "--cond 'DUEDATE between 01/01/2026 and 12/31/2026 and' --cond 'FORMESS contains \"and or\"'");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    ASSERT_EQ(Admin(company, "query save Everything").exitCode, 0);
    run = Admin(company, "query list");
    EXPECT_EQ(Lines(run.out), (std::vector<std::string>{"Everything\torder 0 ISSUE\t0 conditions",
                                                       "Open by due\torder 2 DUE DATE\t3 conditions"}))
        << run.out;

    run = Admin(company, "query show 'OPEN BY DUE'");
    ASSERT_EQ(run.exitCode, 0) << "names match without regard to case: " << run.err;
    EXPECT_EQ(run.out, "Query:\tOpen by due\nOrder:\t2 DUE DATE\nConditions:\n"
                       "\tStatus is equal to \"Open\" or\n"
                       "\tDue date is between 01/01/2026 and 12/31/2026 and\n"
                       "\tDescription contains \"and or\"\n");

    struct Case {
        const char* args;
        const char* says;
    } refused[] = {
        {"x --order 9", "is no order of the issue file; the orders are 0 ISSUE, 1 STATUS"},
        {"x --cond 'NOFIELD equal 1'", "has no field \"NOFIELD\""},
        {"x --cond 'STATUS resembles Open'", "is no operator"},
        {"x --cond 'DUEDATE less 02/30/2026'", "give a date as MM/DD/YYYY"},
        {"x --cond 'STATUS equal Open or'", "no condition follows"},
        {"x --cond 'STATUS between Open'", "two values"},
        {"x --cond 'STATUS blank now'", "takes no value"},
        {"x --cond 'REVIEWE equal Maybe'", "Yes or No"},
        {"'This name is much too long for a query'", "at most 30 characters"},
        {"'  '", "blank query name"},
        {"'<None>'", "stands for no query"},
    };
    for (const Case& c : refused) {
        run = Admin(company, std::string("query save ") + c.args);
        EXPECT_EQ(run.exitCode, 1) << c.args;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << c.args << ": " << run.err;
    }
    EXPECT_EQ(Lines(Admin(company, "query list").out).size(), 2u) << "refused queries are not saved";
    WriteAll(company.Path("altkeys.json"), R"({"QVI": {"3": false}})");
    run = Admin(company, "query save x --order 'notify date'");
    EXPECT_EQ(run.exitCode, 1) << "a key switched off is no order";
    EXPECT_EQ(run.err.find("3 NOTIFY DATE"), std::string::npos) << "nor offered: " << run.err;
    std::filesystem::remove(company.Path("altkeys.json"));

    run = Admin(company, "query save 'open BY due' --order 1");
    EXPECT_EQ(run.out, "replaced query \"open BY due\"\n") << "saving a known name replaces it: " << run.err;
    EXPECT_NE(Admin(company, "query show 'Open by due'").out.find("Order:\t1 STATUS\nConditions:\tnone"),
              std::string::npos);

    run = Admin(company, "query check");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("2 queries, no inconsistencies"), std::string::npos) << run.out;

    const std::string path = company.Path("misc/qvquery.dat");
    std::string bytes = ReadAll(path);
    const std::string good = bytes;
    bytes.resize(bytes.size() - 5);
    WriteAll(path, bytes);
    run = Admin(company, "query check");
    EXPECT_EQ(run.exitCode, 2) << "a damaged file is a data error";
    EXPECT_NE(run.out.find("the header gives the file length as"), std::string::npos) << run.out;
    run = Admin(company, "query list");
    EXPECT_EQ(run.exitCode, 2) << "readers answer failure, they do not crash";
    EXPECT_NE(run.err.find("is damaged; run qvadmin query check."), std::string::npos) << run.err;
    run = Admin(company, "query save Another");
    EXPECT_EQ(run.exitCode, 2) << "a writer is refused";
    EXPECT_EQ(ReadAll(path), bytes) << "and changes nothing";
    WriteAll(path, good);

    EXPECT_EQ(Admin(company, "query delete everything").exitCode, 0);
    EXPECT_EQ(Admin(company, "query delete Everything").exitCode, 1) << "gone";
    EXPECT_EQ(Lines(Admin(company, "query list").out).size(), 1u);
    EXPECT_EQ(Admin(company, "query check").exitCode, 0);
}

// The command line lists what the selection helper selects: the same issues in the same
// order, for the same operator.
TEST(qvadmin, IssueListAgreesWithTheSelection) {
    TestCompany company(false);
    const char* issues[] = {
        "--message one --status Open --respons 'Dana Whitfield' --due 03/04/2026",
        "--message two --status Open --due 03/01/2026",
        "--message three --status Closed --due 03/02/2026",
        "--message four --status Open --respons 'Lee Okafor' --due 03/03/2026",
        "--message five --status On-Hold --respons 'Dana Whitfield' --due 02/01/2026",
    };
    for (const char* args : issues) ASSERT_EQ(Admin(company, std::string("issue add ") + args).exitCode, 0);
    ASSERT_EQ(Admin(company, "query save Mine --order 2 --cond 'STATUS not-equal Closed'").exitCode, 0);

    for (const char* oper : {"DANA", "LEE", "ADMIN"}) {
        const AdminRun run = Admin(company, std::string("issue list --query mine --operator ") + oper);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> listed;
        for (const auto& line : Lines(run.out)) listed.push_back(line.substr(0, line.find('\t')));

        qvIssueFile file(7010);
        ASSERT_TRUE(file.Open());
        qvIssueSelection selection(file.Number(), 7010);
        xs_oper_def def{};
        ASSERT_EQ(xs_find_oper_def(oper, &def), 0);
        selection.UseOperator(def);
        ASSERT_TRUE(selection.UseQuery("Mine"));
        std::vector<std::string> selected;
        const short issueField = xio_num(file.Number(), 0, 0, "ISSUE");
        selection.Walk([&](short f) {
            x_value_def v;
            xio_get_field(f, 0, issueField, &v);
            selected.push_back(v.AsText());
            return true;
        });
        EXPECT_EQ(listed, selected) << oper;
        EXPECT_FALSE(selected.empty()) << oper;
    }
    // DANA sees her own and nobody's open issues by due date; LEE his own and nobody's.
    EXPECT_EQ(Lines(Admin(company, "issue list --query Mine --operator DANA").out).size(), 3u);
    EXPECT_EQ(Admin(company, "issue list --query Nothing").exitCode, 1) << "an unknown query is the user's error";
    EXPECT_EQ(Lines(Admin(company, "file dump QVI --query Mine --operator LEE").out).size(), 3u)
        << "a heading and LEE's two issues";
}

TEST(qvadmin, IssueListAsCsv) {
    TestCompany company(false);
    ASSERT_EQ(Admin(company, "issue add --message 'with, comma \"and quote\"' --due 03/04/2026").exitCode, 0);
    ASSERT_EQ(Admin(company, "issue add --message \"$(printf 'two\\nlines')\" --status Open").exitCode, 0);
    AdminRun run = Admin(company, "issue list --csv");
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("\r\n")),
              "Issue number,Description,Follow-up,Urgency,Classification,Status,Notify date,Due date,Responsible,Problem")
        << "the grid's columns without the attachments column, headed by their labels";
    EXPECT_NE(run.out.find("\r\n1,\"with, comma \"\"and quote\"\"\",,Normal,,,,03/04/2026,,\r\n"), std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\r\n2,\"two\nlines\",,Normal,,Open,,"), std::string::npos) << run.out;
    run = Admin(company, "issue list --csv --iso-dates");
    EXPECT_NE(run.out.find(",2026-03-04,"), std::string::npos) << run.out;
}
