// qvupgrade run as a user runs it: the old demo company upgraded (conversions, the dropped
// issue, its links and cross-references, the backup), dry runs, and every refusal leaving
// the company as it was.
#include "UpgradeTestSupport.h"

#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <regex>

namespace fs = std::filesystem;

namespace {
bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

double Number(short file, const char* name) {
    x_value_def value;
    xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
    return value.AsNumber();
}

std::string Text(short file, const char* name) {
    x_value_def value;
    xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
    return value.AsText();
}

// Reads a record of an open file by key 0 from (name, value) pairs; true when found.
bool Find(short file, short type, std::initializer_list<std::pair<const char*, x_value_def>> key) {
    xio_clr_record(file, type);
    for (const auto& [name, value] : key) xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
    return xio_rd_record(file, type, 0, 0) == XIO_OK;
}

short OpenByAbbreviation(const char* abbrev) {
    xio_open_def def{};
    std::snprintf(def.abbrev, sizeof def.abbrev, "%s", abbrev);
    short file = 0;
    EXPECT_EQ(xio_open_file(&def, &file), XIO_OK) << abbrev;
    return file;
}

std::vector<std::string> Backups(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().extension() == ".bak") names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
} // namespace

TEST(qvupgrade, HelpAndUsage) {
    HostRun run = RunHost("--help");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(Contains(run.out, "usage: qvupgrade --data DIR [--dry-run]")) << run.out;
    EXPECT_EQ(RunHost("").exitCode, 1);
    EXPECT_EQ(RunHost("--data").exitCode, 1);
    EXPECT_EQ(RunHost("--frobnicate").exitCode, 1);
    run = RunHost("--data /no/such/company");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "/no/such/company")) << "the message names the folder: " << run.err;
}

TEST(qvupgrade, CurrentCompaniesHaveNothingToUpgrade) {
    // A plain copy of the shipped demo: no issue file yet.
    CompanyCopy fresh(TestCompany::DemoFolder());
    HostRun run = RunHost("--data '" + fresh.Folder() + "' --dry-run");
    EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, "qvcore Library 13.1.24")) << run.out;
    EXPECT_TRUE(Contains(run.out, "lowest data version 9.8.26")) << run.out;
    EXPECT_TRUE(Contains(run.out, "ISSUES.QVI (Issues) does not exist yet: there is nothing to upgrade.")) << run.out;

    // An issue file the program made: current.
    CompanyCopy used(SeededDemoFolder());
    {
        CurrentCompany company(used.Folder());
        xio_open_def def{};
        std::strcpy(def.abbrev, "QVI");
        def.create = 1;
        short file = 0;
        ASSERT_EQ(xio_open_file(&def, &file), XIO_OK);
        xio_cls_file(file);
    }
    for (const char* mode : {" --dry-run", ""}) {
        run = RunHost("--data '" + used.Folder() + "'" + mode);
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_TRUE(Contains(run.out, "ISSUES.QVI is at data version 13.1.0, the current one: there is nothing to "
                                      "upgrade."))
            << run.out;
    }
    EXPECT_TRUE(Backups(used.Folder()).empty());
}

TEST(qvupgrade, OldDemoCompanyIsUpgradedDroppingTheIssueWithoutItsCheck) {
    CompanyCopy old(OldDemoFolder());
    const IssueFileDigest before = DigestIssueFile(old.Folder());
    ASSERT_EQ(before.dataVersion, "4.2.0") << before.error;
    ASSERT_EQ(before.issues, 16);

    // The program refuses the old file and names the upgrade.
    const std::string admin = "QT_QPA_PLATFORM=offscreen HOME='" + old.Folder() + "'";
    HostRun run = RunProgram("qvadmin", "--data '" + old.Folder() + "' issue list", admin);
    EXPECT_NE(run.exitCode, 0);
    EXPECT_TRUE(Contains(run.out + run.err, "Run the upgrade first: qvupgrade --data " + old.Folder()))
        << run.out << run.err;

    // A dry run tells everything and changes nothing.
    run = RunHost("--data '" + old.Folder() + "' --dry-run");
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Check number 10499 not found for bank OPERATING.  Issue 11 deleted.")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Nothing was changed.")) << run.out;
    EXPECT_EQ(DigestIssueFile(old.Folder()), before);
    EXPECT_TRUE(Backups(old.Folder()).empty());

    run = RunHost("--data '" + old.Folder() + "'");
    ASSERT_EQ(run.exitCode, 0) << run.out << run.err;
    EXPECT_TRUE(Contains(run.out, "Upgrading ISSUES.QVI (Issues) from data version 4.2.0 to 13.1.0: 38 records."))
        << run.out;
    EXPECT_TRUE(Contains(run.out, "  Check number 10499 not found for bank OPERATING.  Issue 11 deleted.")) << run.out;
    EXPECT_TRUE(Contains(run.out, "34 records converted, 1 dropped with 3 of their links, 2 cross-reference records "
                                  "removed"))
        << run.out;
    const std::vector<std::string> backups = Backups(old.Folder());
    ASSERT_EQ(backups.size(), 3u) << "the issue file and the two cross-reference files it changed";
    EXPECT_TRUE(std::regex_match(backups[0], std::regex(R"(ISSUES\.APZ\.\d{4}-\d\d-\d\d\.bak)"))) << backups[0];
    EXPECT_TRUE(Contains(ReadAll(old.Path("kwlog.txt")), "Issue 11 deleted.")) << "every line is logged";

    // The program's view: every other issue intact, converted.
    run = RunProgram("qvadmin", "--data '" + old.Folder() + "' issue list", admin);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 15) << run.out;
    EXPECT_FALSE(Contains(run.out, "\n11\t")) << run.out;
    EXPECT_TRUE(Contains(run.out, "Boltworks check 10402 cleared for a different amount than the invoice."))
        << run.out;
    {
        CurrentCompany company(old.Folder());
        const short issues = OpenByAbbreviation("QVI");
        xio_def info{};
        xio_get_def(issues, &info, 0);
        EXPECT_STREQ(info.fileVersion, "13.1.0");
        int64_t count = 0;
        xio_count_records(issues, 1, &count);
        EXPECT_EQ(count, 15);
        xio_count_records(issues, 2, &count);
        EXPECT_EQ(count, 19);
        EXPECT_FALSE(Find(issues, 1, {{"ISSUE", x_value_def::OfNumber(11)}}));
        ASSERT_TRUE(Find(issues, 1, {{"ISSUE", x_value_def::OfNumber(2)}}));
        EXPECT_EQ(Number(issues, "CMTRUN"), 240101);
        EXPECT_EQ(Number(issues, "CMTSEQ"), 2);
        EXPECT_EQ(Number(issues, "ARSTYPE"), 1) << "ARSTYPE 0 became 1";
        EXPECT_EQ(Text(issues, "APVND"), "BOLTWORKS");
        std::string message;
        xio_get_long_text(issues, xio_num(issues, 0, 0, "FORMESS"), &message);
        EXPECT_EQ(message, "Boltworks check 10402 cleared for a different amount than the invoice.");
        ASSERT_TRUE(Find(issues, 1, {{"ISSUE", x_value_def::OfNumber(3)}}));
        EXPECT_EQ(Number(issues, "ARSTYPE"), 1) << "ARSTYPE 1 stays";
        EXPECT_EQ(Text(issues, "STATUS"), "On-Hold");
        ASSERT_TRUE(Find(issues, 1, {{"ISSUE", x_value_def::OfNumber(15)}}));
        EXPECT_EQ(Text(issues, "CMBANK"), "PAYROLL");
        EXPECT_EQ(Number(issues, "CMTRUN"), 0) << "no check: the register was not consulted";
        EXPECT_EQ(Text(issues, "PMPROP"), "") << "a field the old dictionary lacked";
        ASSERT_EQ(xio_rd_header(issues, 0, 0), XIO_OK);
        EXPECT_EQ(Number(issues, "LASTID"), 16);
        xio_cls_file(issues);

        const short apz = OpenByAbbreviation("APZ");
        EXPECT_FALSE(Find(apz, 1, {{"APVND", x_value_def::OfText("DELTAELEC")}, {"ISSUE1", x_value_def::OfNumber(11)}}));
        EXPECT_TRUE(Find(apz, 1, {{"APVND", x_value_def::OfText("BOLTWORKS")}, {"ISSUE1", x_value_def::OfNumber(2)}}));
        xio_cls_file(apz);
        const short cmz = OpenByAbbreviation("CMZ");
        EXPECT_FALSE(Find(cmz, 1, {{"CMBANK", x_value_def::OfText("OPERATING")}, {"ISSUE1", x_value_def::OfNumber(11)}}));
        EXPECT_TRUE(Find(cmz, 1, {{"CMBANK", x_value_def::OfText("OPERATING")}, {"ISSUE1", x_value_def::OfNumber(7)}}));
        xio_cls_file(cmz);
    }
    // The backup is the old file, whole.
    CompanyCopy restored(old.Folder());
    fs::copy_file(old.Path(backups[2]), restored.Path("ISSUES.QVI"),
                  fs::copy_options::overwrite_existing);
    fs::remove(restored.Path("ISSUES.QVI-wal"));
    fs::remove(restored.Path("ISSUES.QVI-shm"));
    EXPECT_EQ(DigestIssueFile(restored.Folder()), before) << backups[2];

    run = RunHost("--data '" + old.Folder() + "'");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(Contains(run.out, "the current one: there is nothing to upgrade.")) << run.out;
}

TEST(qvupgrade, RefusalsLeaveTheCompanyAsItWas) {
    // Another user has the issue file open.
    {
        CompanyCopy old(OldDemoFolder());
        const IssueFileDigest before = DigestIssueFile(old.Folder());
        CurrentCompany company(old.Folder());
        std::string version, ownDictionary, error;
        ASSERT_EQ(ReadFileInfo("QVI", old.Path("ISSUES.QVI"), &version, &ownDictionary), XIO_OK);
        xio_open_def def{};
        std::snprintf(def.path, sizeof def.path, "%s", old.Path("ISSUES.QVI").c_str());
        short file = 0;
        ASSERT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Parse(ownDictionary, "own", &error), 0, &file),
                  XIO_OK);
        const HostRun run = RunHost("--data '" + old.Folder() + "'");
        xio_cls_file(file);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(Contains(run.err, "ISSUES.QVI is in use by another user.")) << run.err;
        EXPECT_EQ(DigestIssueFile(old.Folder()), before);
    }
    // The bank register must be upgraded first.
    {
        CompanyCopy old(OldDemoFolder());
        const IssueFileDigest before = DigestIssueFile(old.Folder());
        {
            CurrentCompany company(old.Folder());
            std::string text = ReadAll(OldDictionaryPath("cmt-7.2.0.dct"));
            text.replace(text.find("7.2.0"), 5, "6.9.0");
            std::string error;
            auto dict = kwDictionaryLoader::Parse(text, "cmt 6.9.0", &error);
            fs::remove(old.Path("REGISTER.CMT"));
            xio_open_def def{};
            def.create = 1;
            short file = 0;
            ASSERT_EQ(xio_open_file_with(&def, dict, 0, &file), XIO_OK);
            xio_cls_file(file);
        }
        const HostRun run = RunHost("--data '" + old.Folder() + "'");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(Contains(run.out, "REGISTER.CMT must be upgraded before upgrading the QVI file.")) << run.out;
        EXPECT_TRUE(Contains(run.err, "The conversion stopped at ISSUE 2 of ISSUES.QVI")) << run.err;
        EXPECT_EQ(DigestIssueFile(old.Folder()), before);
        EXPECT_TRUE(Backups(old.Folder()).empty());
        for (const auto& entry : fs::directory_iterator(old.Folder()))
            EXPECT_EQ(entry.path().filename().string().find(".ISSUES.QVI.tmp"), std::string::npos)
                << "the scratch file is removed: " << entry.path();
    }
    // Data newer than the installed dictionary.
    {
        CompanyCopy company(SeededDemoFolder());
        {
            CurrentCompany current(company.Folder());
            std::string text = ReadAll(company.Path("dict/qvi.dct"));
            text.replace(text.find("13.1.0"), 6, "14.0.0");
            std::string error;
            xio_open_def def{};
            def.create = 1;
            short file = 0;
            ASSERT_EQ(xio_open_file_with(&def, kwDictionaryLoader::Parse(text, "qvi 14", &error), 0, &file), XIO_OK);
            xio_cls_file(file);
        }
        const HostRun run = RunHost("--data '" + company.Folder() + "' --dry-run");
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(Contains(run.err, "ISSUES.QVI holds data of version 14.0.0, made by a newer program"))
            << run.err;
    }
}

TEST(qvupgrade, CrossReferencesWrittenDownBeforeThePlacingAreRemovedByTheNextRun) {
    CompanyCopy counted(OldDemoFolder());
    const HostRun full = RunHost("--data '" + counted.Folder() + "'", "QV_UPGRADE_KILL_AT=0");
    ASSERT_EQ(full.exitCode, 0) << full.err;
    const long points = std::stol(full.err.substr(full.err.rfind("kill points: ") + 13));
    // The last points: the new file placed, two cross-references removed, the old file closed.
    CompanyCopy old(OldDemoFolder());
    const HostRun killed = RunHost("--data '" + old.Folder() + "'", "QV_UPGRADE_KILL_AT=" + std::to_string(points - 3));
    ASSERT_EQ(killed.signal, SIGKILL);
    ASSERT_TRUE(fs::exists(old.Path("ISSUES.QVI.upgrade-pending")));
    EXPECT_EQ(DigestIssueFile(old.Folder()), DigestIssueFile(counted.Folder())) << "the new file is in place";

    const HostRun again = RunHost("--data '" + old.Folder() + "'");
    EXPECT_EQ(again.exitCode, 0) << again.err;
    EXPECT_TRUE(Contains(again.out, "stopped before it removed the cross-reference records")) << again.out;
    EXPECT_TRUE(Contains(again.out, "The cross-reference record of ISSUE 11 in APZ (Vendor issue) is removed."))
        << again.out;
    EXPECT_TRUE(Contains(again.out, "the current one: there is nothing to upgrade.")) << again.out;
    EXPECT_FALSE(fs::exists(old.Path("ISSUES.QVI.upgrade-pending")));
    CurrentCompany company(old.Folder());
    const short cmz = OpenByAbbreviation("CMZ");
    EXPECT_FALSE(Find(cmz, 1, {{"CMBANK", x_value_def::OfText("OPERATING")}, {"ISSUE1", x_value_def::OfNumber(11)}}));
    xio_cls_file(cmz);
}
