// qvadmin driven as a user drives it: its output, and its exit codes for good runs,
// user errors and data errors.
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>

namespace {

struct AdminRun {
    int exitCode;
    std::string out;
};

AdminRun Admin(const TestCompany& company, const std::string& args) {
    const std::string command = std::string(QV_BIN_DIR) + "/qvadmin --data '" + company.Folder() +
                                "' --operator ADMIN " + args + " 2>/dev/null";
    AdminRun run{-1, {}};
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
