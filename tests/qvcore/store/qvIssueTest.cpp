// The issue file, issue numbering and issue records against a copy of the demo company.
#include "TestCompany.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/store/qvGet_kwData.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvNextIssueNumber.h"

#include "kwcommon/values/kwDate.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <csignal>
#include <fstream>
#include <filesystem>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TEST(qvIssueFileTest, OpensCreatingTheFileAndRefusesProgramZero) {
    TestCompany company(false);
    qvIssueFile none(0);
    EXPECT_FALSE(none.Open());
    EXPECT_EQ(none.Number(), 0);
    EXPECT_TRUE(xw_shown_messages().empty()) << "program number 0 fails without a message";

    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open()) << "an absent issue file is created";
    EXPECT_NE(file.Number(), 0);
    EXPECT_TRUE(std::filesystem::exists(company.Path("ISSUES.QVI")));
    file.Close();
    EXPECT_EQ(file.Number(), 0);

    // A damaged file: reported once with the fixed text and caption.
    std::filesystem::remove(company.Path("ISSUES.QVI"));
    { std::ofstream(company.Path("ISSUES.QVI")) << std::string(4096, 'x'); }
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_OK, XW_ANSWER_OK});
    EXPECT_FALSE(file.Open());
    ASSERT_FALSE(xw_shown_messages().empty());
    EXPECT_EQ(xw_shown_messages().back().text, "Unable to open Issue File");
    EXPECT_EQ(xw_shown_messages().back().caption, "Error");
}

TEST(qvIssueFileTest, DataOlderThanTheLibraryWorksWithWaitsForTheUpgrade) {
    TestCompany company(false);
    {
        qvIssueFile file(7098);
        ASSERT_TRUE(file.Open());
    }
    auto storeVersion = [&](const char* version) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(company.Path("ISSUES.QVI").c_str(), &db), SQLITE_OK);
        const std::string sql = std::string("UPDATE kw_meta SET value = '") + version + "' WHERE name = 'dataVersion'";
        EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(db);
    };
    storeVersion("9.8.25");
    qvIssueFile file(7098);
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_OK, XW_ANSWER_OK});
    EXPECT_FALSE(file.Open()) << "9.8.25 is older than 9.8.26, the lowest version the library works with";
    ASSERT_EQ(xw_shown_messages().size(), 2u);
    EXPECT_NE(xw_shown_messages()[0].text.find("qvupgrade --data " + company.Folder()), std::string::npos)
        << xw_shown_messages()[0].text;
    EXPECT_EQ(xw_shown_messages()[1].text, "Unable to open Issue File");

    storeVersion("9.8.26");
    xw_clear_shown_messages();
    EXPECT_TRUE(file.Open()) << "data at the lowest version is used as it is";
    EXPECT_TRUE(xw_shown_messages().empty());
}

TEST(qvNextIssueNumberTest, NumbersFollowEachOtherAndOnlyTheLastIsGivenBack) {
    TestCompany company(false);
    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    qvNextIssueNumber numbers(file.Number());
    const double first = numbers.Next();
    const double second = numbers.Next();
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    numbers.Release(first);
    EXPECT_EQ(numbers.Next(), 3) << "an older number is not given back";
    numbers.Release(3);
    EXPECT_EQ(numbers.Next(), 3) << "the last number is given back";
}

TEST(qvNextIssueNumberTest, ProcessesNumberingAtOnceNeverShareANumber) {
    TestCompany company(false);
    { qvIssueFile create(QV_CMD_NEW_ISSUE); ASSERT_TRUE(create.Open()); }
    constexpr int kProcesses = 4, kEach = 40;
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(fds[0]);
            qvIssueFile file(QV_CMD_NEW_ISSUE);
            if (!file.Open()) _exit(2);
            qvNextIssueNumber numbers(file.Number());
            for (int i = 0; i < kEach; ++i) {
                const double n = numbers.Next();
                if (write(fds[1], &n, sizeof(n)) != sizeof(n)) _exit(3);
            }
            _exit(0);
        }
        children.push_back(pid);
    }
    close(fds[1]);
    std::vector<double> seen;
    double n = 0;
    while (read(fds[0], &n, sizeof(n)) == sizeof(n)) seen.push_back(n);
    close(fds[0]);
    for (pid_t pid : children) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    std::sort(seen.begin(), seen.end());
    ASSERT_EQ(seen.size(), static_cast<size_t>(kProcesses * kEach));
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], static_cast<double>(i + 1)) << "numbers 1.." << seen.size();
}

TEST(qvNextIssueNumberTest, AHeaderHeldByADeadProcessBlocksNobody) {
    TestCompany company(false);
    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        static qvIssueFile mine(QV_CMD_NEW_ISSUE);
        if (!mine.Open() || xio_rd_header(mine.Number(), 1, 1) != 0) _exit(2);
        const char ok = 1;
        if (write(fds[1], &ok, 1) != 1) _exit(3);
        pause();
        _exit(0);
    }
    close(fds[1]);
    char flag = 0;
    ASSERT_EQ(read(fds[0], &flag, 1), 1);
    close(fds[0]);
    EXPECT_EQ(xio_rd_header(file.Number(), 1, 1), XIO_LOCKED);
    // Killed a moment later, while Next() is already waiting for the header.
    const pid_t killer = fork();
    if (killer == 0) {
        usleep(200 * 1000);
        kill(child, SIGKILL);
        _exit(0);
    }
    qvNextIssueNumber numbers(file.Number());
    EXPECT_EQ(numbers.Next(), 1) << "the number comes once the holder is gone";
    int status = 0;
    waitpid(killer, &status, 0);
    waitpid(child, &status, 0);
}

TEST(qvNextIssueNumberTest, TheUserDecidesWhetherToKeepWaitingForAHeldHeader) {
    TestCompany company(false);
    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    qvIssueFile other(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(other.Open());
    ASSERT_EQ(xio_rd_header(other.Number(), 1, 1), 0) << "another user holds the header";
    auto askSoon = qvNextIssueNumber::AskAfterSeam().Replace([] { return std::chrono::milliseconds(50); });
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_YES, XW_ANSWER_NO});
    qvNextIssueNumber numbers(file.Number());
    EXPECT_EQ(numbers.Next(), 0) << "no number when the user stops waiting";
    ASSERT_EQ(xw_shown_messages().size(), 2u) << "asked again after waiting on";
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);
    EXPECT_NE(xw_shown_messages()[0].text.find("keep waiting"), std::string::npos);
    xio_free_header(other.Number(), 1);
    EXPECT_EQ(numbers.Next(), 1) << "the number comes once the header is free";
}

TEST(qvIssueTest, ANewIssueStartsFromTheDefaults) {
    TestCompany company(false);
    qvIssue detached(0, QV_CMD_NEW_ISSUE, true);
    EXPECT_EQ(detached.Number(), 0) << "no file, no number";
    EXPECT_EQ(detached.Width(QV_FORMESS), 1000);
    EXPECT_EQ(detached.Width(QV_RESPONS), 30);
    EXPECT_EQ(detached.Width(QV_APVND), 0);
    EXPECT_EQ(detached.Width(QV_NOTIFY_OTHERS), 75);
    EXPECT_FALSE(detached.AddRecord());

    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    qvIssue issue(file.Number(), QV_CMD_NEW_ISSUE, true);
    EXPECT_EQ(issue.Number(), 1);
    EXPECT_EQ(issue.Value(QV_STATUS).Format(), "") << "the status list's default is its blank first entry";
    EXPECT_TRUE(issue.Value(QV_NOTDATE).IsNull()) << "no notify date";
    EXPECT_EQ(issue.Value(QV_DUEDATE).Format(), kwDate().Format()) << "due today";
    EXPECT_EQ(issue.Value(QV_DATECRE).Format(), kwDate().Format());
    EXPECT_EQ(issue.Value(QV_OPERCRE).Format(), "ADMIN");
    EXPECT_EQ(issue.Value(QV_ARSTYPE).Format(), "Invoice") << "the choice starts at its first item";
    EXPECT_EQ(issue.KindCode(QV_STATUS), 265);
    EXPECT_EQ(issue.Width(QV_NOTIFY_OTHERS), 75);
    EXPECT_STREQ(qvIssue::FieldName(71), "PRCKSEQ");
    EXPECT_STREQ(qvIssue::FieldName(72), "");
}

TEST(qvIssueTest, RecordsRoundTripThroughTheFile) {
    TestCompany company(false);
    qvIssueFile file(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(file.Open());
    double number = 0;
    {
        qvIssue issue(file.Number(), QV_CMD_NEW_ISSUE, true);
        number = issue.Number();
        issue.Value(QV_FORMESS).Set(std::string(300, 'm') + " the end");
        issue.Value(QV_STATUS).Set("Open");
        issue.Value(QV_RESPONS).Set("Robin Clerk");
        issue.Value(QV_NOTDATE).Set("12/24/2026");
        issue.Value(QV_GLACCT).Set("1000-00-000");
        issue.Value(QV_CMTRUN).Set("123456");
        issue.Value(QV_PRCKSEQ).Set("Manual");
        ASSERT_TRUE(issue.AddRecord());
        issue.Value(QV_STATUS).Set("Closed");
        ASSERT_TRUE(issue.ReplaceRecord()) << "the record added and locked here can be rewritten";
    }
    qvIssue back(file.Number(), QV_CMD_NEW_ISSUE, false);
    ASSERT_TRUE(back.ReadRecord(number));
    EXPECT_EQ(back.Value(QV_FORMESS).Format(), std::string(300, 'm') + " the end") << "long text whole";
    EXPECT_EQ(back.Value(QV_STATUS).Format(), "Closed");
    EXPECT_EQ(back.Value(QV_RESPONS).Format(), "Robin Clerk");
    EXPECT_EQ(back.Value(QV_NOTDATE).Format(), "12/24/2026");
    EXPECT_EQ(back.Value(QV_GLACCT).Format(), "1000-00-000") << "sectioned key shown with its separators";
    EXPECT_EQ(back.Value(QV_CMTRUN).Format(), "123456");
    EXPECT_EQ(back.Value(QV_PRCKSEQ).Format(), "Manual");

    // Stored without the separators.
    xio_clr_record(file.Number(), QV_RECORD_ISSUE);
    x_value_def key;
    key.SetNumber(number);
    xio_put_field(file.Number(), 0, xio_num(file.Number(), 0, 0, "ISSUE"), &key);
    ASSERT_EQ(xio_rd_record(file.Number(), QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 0), 0);
    x_value_def stored;
    xio_get_field(file.Number(), 0, xio_num(file.Number(), 0, 0, "GLACCT"), &stored);
    EXPECT_EQ(stored.AsText(), "100000000");

    back.ClearLinkFields(qvIssue::kFirstLinkField, QV_FIELD_END);
    EXPECT_EQ(back.Value(QV_GLACCT).Format(), "");
    EXPECT_EQ(back.Value(QV_PRCKSEQ).Format(), "Regular") << "choices go back to their first item";
    EXPECT_EQ(back.Value(QV_ARSTYPE).Format(), "Invoice");
    EXPECT_TRUE(back.Value(QV_PRPDEND).IsNull());

    // Deleting needs the record current.
    ASSERT_TRUE(back.ReadRecord(number));
    ASSERT_TRUE(back.DeleteRecord());
    xw_clear_shown_messages();
    EXPECT_FALSE(back.ReadRecord(number));
    EXPECT_TRUE(xw_shown_messages().empty()) << "a missing issue is no I/O error";
}

TEST(qvGet_kwDataTest, EachTypeCodeGivesItsKind) {
    TestCompany company(false);
    xio_fld_def def{};
    def.type = XIO_TEXT;
    def.listFlag = 1;
    def.kind = 263;
    auto value = qvGet_kwData(def);
    ASSERT_TRUE(value);
    EXPECT_EQ(value->TypeCode(), XIO_TEXT);
    def.type = XIO_NUMBER;
    def.decimals = 2;
    EXPECT_EQ(qvGet_kwData(def)->Format(), "0.00");
    def.decimals = 0;
    def.defaultItem = 5;
    EXPECT_EQ(qvGet_kwData(def)->Format(), "5") << "a default item number sets the value";
    def.defaultItem = 0;
    def.type = XIO_DATE;
    def.monthYear = 1;
    EXPECT_EQ(qvGet_kwData(def)->TypeCode(), XIO_DATE);
    def.type = 12;
    EXPECT_FALSE(qvGet_kwData(def)) << "an unknown type code gives no value";
}

} // namespace
