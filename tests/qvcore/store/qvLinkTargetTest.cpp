// Finding where links point on the demo company: the data files that hold an issue
// record type's records (one line per file type, link groups, the single-mask
// dictionaries), and records found by their key values as shown.
#include "qvcore/store/qvLinkTarget.h"
#include "qvcore/tasks/qvCommands.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Line {
    std::string dictName;
    short recType;
    short fileMask;
    std::string text;
    bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Line& line) {
    return out << "{" << line.dictName << " " << line.recType << " " << line.fileMask << " \"" << line.text << "\"}";
}

// The wizard's file-type lines of an issue record type, and the link group it ends with.
std::vector<Line> Scan(const std::string& app, short issueRecordType, short* groupAfter = nullptr) {
    kwioDictFile issueDict;
    EXPECT_EQ(issueDict.Open(app + "Z"), XIO_OK) << app;
    xio_rec_def rec{};
    xio_get_rec_def(issueDict.FileNum(), issueRecordType, &rec, 1);
    short group = rec.linkGroup;
    std::vector<Line> lines;
    for (const qvDataRecordType& found :
         qvFindDataRecordTypes(app, qvLinkedKeyFields(issueDict.FileNum(), issueRecordType), &group))
        lines.push_back({found.dictName, found.recType, found.fileMask, found.text});
    if (groupAfter) *groupAfter = group;
    return lines;
}

} // namespace

TEST(qvLinkTarget, DataFilesOfAnIssueRecordType) {
    TestCompany company(false);
    using Lines = std::vector<Line>;
    EXPECT_EQ(Scan("AP", 1), (Lines{{"APV", 1, 0, "APV - Vendors"}})) << "one data file: the step is passed over";
    EXPECT_EQ(Scan("JC", 3), (Lines{{"JCJ", 3, 0, "JCJ - Jobs"}})) << "a three-part key";
    EXPECT_EQ(Scan("AR", 2), (Lines{{"ART", 1, 1, "ART - Transactions (Open Items)"},
                                    {"ART", 1, 2, "ART - Transactions (History)"},
                                    {"ART", 1, 4, "ART - Transactions (Recurring)"}}))
        << "one line per file type, masks 1, 2 and 4";
    EXPECT_EQ(Scan("QX", 1), (Lines{{"QXA", 1, 1, "QXA - Properties"}}))
        << "QXA to QXF give one line for all their file types, with mask 1";

    short group = 0;
    EXPECT_EQ(Scan("EQ", 1, &group), (Lines{{"EQM", 1, 0, "EQM - Equipment"}, {"EQR", 1, 0, "EQR - Rental Fleet"}}))
        << "the first record type with the key brings its link group along";
    EXPECT_EQ(group, 1) << "the issue record takes the group over";
    EXPECT_EQ(Scan("PR", 1), (Lines{{"PRE", 1, 0, "PRE - Employees"}, {"PRH", 1, 0, "PRH - Former Employees"}}))
        << "an issue record with a link group takes every record type of the group";
    EXPECT_EQ(Scan("PR", 3), (Lines{{"PRC", 1, 0, "PRC - Checks"}}));

    EXPECT_EQ(qvDataDictionaries("ap"), (std::vector<std::string>{"API", "APV"}))
        << "not the issue dictionary APZ";
    const std::vector<std::string> apps = qvIssueApplications();
    EXPECT_EQ(apps, (std::vector<std::string>{"AP", "AR", "CM", "EQ", "GL", "JC", "PR", "QX"}));
    EXPECT_TRUE(qvIsSingleMaskDictionary("qxf"));
    EXPECT_FALSE(qvIsSingleMaskDictionary("QXG"));
}

TEST(qvLinkTarget, RecordsFoundByTheirKeysAsShown) {
    TestCompany company(true);
    qvLinkedData accounts;
    ASSERT_EQ(accounts.Open("GLA", QV_CMD_NEW_ISSUE), XIO_OK);
    EXPECT_EQ(accounts.Find(1, {"1000-00-000"}), XIO_OK) << "a sectioned key as shown";
    EXPECT_EQ(accounts.Description(1), "Cash - operating");
    EXPECT_EQ(accounts.Find(1, {"9999-99-999"}), XIO_NO_RECORD);

    qvLinkedData transactions;
    ASSERT_EQ(transactions.Open("ART", QV_CMD_NEW_ISSUE), XIO_OK);
    EXPECT_EQ(transactions.Find(1, {"ALDEN", "Invoice", "01/02/2024", "1"}), XIO_OK)
        << "a choice by its text, a date in the company's format";
    const std::vector<xio_fld_def> key = qvKeyFields(transactions.FileNum(), 1);
    ASSERT_EQ(key.size(), 4u);
    EXPECT_EQ(transactions.Shown(key[1]), "Invoice");
    EXPECT_EQ(transactions.Shown(key[2]), "01/02/2024");
    EXPECT_EQ(transactions.Find(1, {"ALDEN", "Invoice", "the second", "1"}), XIO_BAD_VALUE)
        << "a text that is no date names no record";
    EXPECT_EQ(transactions.Find(1, {"ALDEN", "Refund", "01/02/2024", "1"}), XIO_BAD_VALUE);

    qvDataRecordType found;
    std::string recDesc;
    EXPECT_FALSE(qvFindKeyedRecordType("JC", qvKeyFields(transactions.FileNum(), 1), &found, &recDesc))
        << "no JC record has an AR transaction's key";
    kwioDictFile jobs;
    ASSERT_EQ(jobs.Open("JCJ"), XIO_OK);
    ASSERT_TRUE(qvFindKeyedRecordType("JC", qvKeyFields(jobs.FileNum(), 2), &found, &recDesc));
    EXPECT_EQ(found.dictName, "JCJ");
    EXPECT_EQ(found.recType, 2);
    EXPECT_EQ(recDesc, "Extra");

    std::filesystem::remove(company.Path("VENDORS.APV"));
    qvLinkedData vendors;
    EXPECT_EQ(vendors.Open("APV", QV_CMD_NEW_ISSUE), XIO_ABSENT) << "quietly: nothing is asked or made";
    EXPECT_FALSE(std::filesystem::exists(company.Path("VENDORS.APV")));
}
