// qvadmin print run as a scheduled report runs it: issues added through qvadmin, printed
// through the shipped designs to a PDF, read back with pdftotext; and its refusals.
#include "TestCompany.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sstream>
#include <sys/wait.h>

namespace {

struct ShellRun {
    int exitCode = -1;
    std::string out;
};

ShellRun Shell(const std::string& command) {
    ShellRun run;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

ShellRun Admin(const TestCompany& company, const std::string& args) {
    return Shell(std::string(QV_BIN_DIR) + "/qvadmin --data '" + company.Folder() + "' --operator ADMIN " + args);
}

std::string PdfText(const std::string& pdf) { return Shell("pdftotext -enc UTF-8 '" + pdf + "' -").out; }

} // namespace

TEST(qvadminPrint, PrintsIssuesThroughADesignToAPdf) {
    TestCompany company(false);
    for (const char* message : {"printed issue 1", "printed issue 2", "printed issue 3"})
        ASSERT_EQ(Admin(company, std::string("issue add --message '") + message + "' --status Open").exitCode, 0);

    const std::string pdf = company.Path("out.pdf");
    ShellRun run = Admin(company, "print --design 'QV Table View' --pdf '" + pdf + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("3 issues printed on 1 page to " + pdf), std::string::npos) << run.out;
    std::string text = PdfText(pdf);
    for (const char* message : {"printed issue 1", "printed issue 2", "printed issue 3", "Page 1 of 1"})
        EXPECT_NE(text.find(message), std::string::npos) << message << " is not in\n" << text;

    run = Admin(company, "print --design 'QV Form View' --range 2-3 --pdf '" + pdf + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out;
    text = PdfText(pdf);
    EXPECT_EQ(text.find("printed issue 1"), std::string::npos) << "issue 1 lies outside the range";
    EXPECT_NE(text.find("printed issue 2"), std::string::npos);
    EXPECT_NE(text.find("Page 2 of 2"), std::string::npos) << "a page per issue";

    run = Admin(company, "print --design 'QV Form View' --range 3- --pdf '" + pdf + "'");
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_NE(run.out.find("1 issue printed on 1 page"), std::string::npos) << run.out;
}

// A scheduled report prints what the operator's View Issues window shows under a query:
// the issues issue list --query names, in the query's order.
TEST(qvadminPrint, AQueryPrintsWhatTheWindowShows) {
    TestCompany company(false);
    const char* issues[] = {
        "--message 'first one' --status Open --respons 'Dana Whitfield' --due 03/04/2026",
        "--message 'second one' --status Open --due 03/01/2026",
        "--message 'third one' --status Closed --due 03/02/2026",
        "--message 'fourth one' --status Open --respons 'Lee Okafor' --due 03/03/2026",
        "--message 'fifth one' --status On-Hold --respons 'Dana Whitfield' --due 02/01/2026",
    };
    for (const char* args : issues) ASSERT_EQ(Admin(company, std::string("issue add ") + args).exitCode, 0);
    ASSERT_EQ(Admin(company, "query save Mine --order 2 --cond 'STATUS not-equal Closed'").exitCode, 0);
    const char* words[] = {"", "first", "second", "third", "fourth", "fifth"};

    const std::string pdf = company.Path("mine.pdf");
    for (const char* oper : {"DANA", "LEE"}) {
        const ShellRun listed = Admin(company, std::string("issue list --query Mine --operator ") + oper);
        ASSERT_EQ(listed.exitCode, 0) << listed.out;
        const ShellRun run =
            Admin(company, std::string("print --design 'QV Table View' --query Mine --operator ") + oper + " --pdf '" + pdf + "'");
        ASSERT_EQ(run.exitCode, 0) << run.out;
        const std::string text = PdfText(pdf);
        size_t at = 0;
        std::istringstream lines(listed.out);
        int count = 0;
        for (std::string line; std::getline(lines, line); ++count) {
            const std::string message = std::string(words[std::stoi(line.substr(0, line.find('\t')))]) + " one";
            const size_t found = text.find(message, at);
            EXPECT_NE(found, std::string::npos) << oper << ": " << message << " is missing or out of order";
            at = found == std::string::npos ? at : found;
        }
        EXPECT_NE(run.out.find(std::to_string(count) + " issues printed"), std::string::npos) << run.out;
        EXPECT_EQ(text.find("third one"), std::string::npos) << "the query leaves closed issues out";
        if (std::string(oper) == "DANA") {
            EXPECT_NE(text.find("Due date: 02/01/2026"), std::string::npos) << "grouped by the order's first field";
        }
    }
    const ShellRun run = Admin(company, "print --design 'QV Table View' --query Nothing --pdf '" + pdf + "'");
    EXPECT_EQ(run.exitCode, 1) << "an unknown query is the user's error";
}

TEST(qvadminPrint, RefusalsSayWhatIsWrong) {
    TestCompany company(false);
    const std::string pdf = company.Path("out.pdf");
    const auto refuses = [&](const std::string& args, int code, const std::string& words) {
        const ShellRun run = Admin(company, args);
        EXPECT_EQ(run.exitCode, code) << args << "\n" << run.out;
        EXPECT_NE(run.out.find(words), std::string::npos) << args << "\n" << run.out;
    };
    refuses("print --pdf '" + pdf + "'", 1, "usage: qvadmin print");
    refuses("print --design 'QV Table View' --range 9-2 --pdf x.pdf", 1, "\"9-2\" is not a range");
    refuses("print --design 'QV Table View' --range 0x1 --pdf x.pdf", 1, "is not a range");
    refuses("print --design Nowhere --pdf '" + pdf + "'", 1, "the report design \"Nowhere\" was not found");
    refuses("print --design 'QV Table View' --pdf '" + company.Path("no/such/out.pdf") + "'", 1,
            "its folder does not exist");

    WriteAll(company.Path("reports/QV Table View.RPT"), "{ \"version\": 1, \"kind\": \"columnar\" }");
    refuses("print --design 'QV Table View' --pdf '" + pdf + "'", 2, "QV Table View.RPT: \"file\" is missing");
    EXPECT_FALSE(std::filesystem::exists(pdf)) << "nothing is written when the design is damaged";
}
