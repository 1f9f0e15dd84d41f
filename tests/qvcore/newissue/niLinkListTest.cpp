// The link list's rules on the demo company: parent links found through the issue
// dictionaries, one link per kind of first key field, duplicates refused, the list stored
// with the issue (link and cross-reference records exactly once), and stored links whose
// records have gone.
#include "qvcore/newissue/niLinkList.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/kwioFile.h"
#include "kwcommon/xio.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

constexpr short kProgram = QV_CMD_NEW_ISSUE;

// A link as the Link Wizard makes it.
std::unique_ptr<LinkedRecord> Link(const std::string& app, short xrefType, std::vector<int16_t> kinds,
                                   std::vector<int16_t> qualifiers, std::vector<std::string> values,
                                   const std::string& dict, short recType, short mask, const std::string& recDesc,
                                   const std::string& dataDesc) {
    auto link = std::make_unique<LinkedRecord>();
    link->keyKindCodes = std::move(kinds);
    link->keyQualifiers = std::move(qualifiers);
    link->keyValues = std::move(values);
    link->applAbbrev = app;
    link->xrefRecType = xrefType;
    link->dictName = dict;
    link->recType = recType;
    link->fileMask = mask;
    link->recDesc = recDesc;
    link->dataDesc = dataDesc;
    return link;
}

std::unique_ptr<LinkedRecord> Phase(const std::string& job, const std::string& extra, const std::string& phase) {
    return Link("JC", 3, {371, 372, 373}, {0, 0, 0}, {job, extra, phase}, "JCJ", 3, 0, "Phase", "Framing ");
}

std::unique_ptr<LinkedRecord> Vendor(const std::string& vendor, const std::string& name) {
    return Link("AP", 1, {311}, {0}, {vendor}, "APV", 1, 0, "Vendor", name + " ");
}

std::unique_ptr<LinkedRecord> Invoice(const std::string& vendor, const std::string& invoice) {
    return Link("AP", 2, {311, 312}, {0, 0}, {vendor, invoice}, "API", 1, 0, "Invoice", "Lumber and framing ");
}

// A list that deletes its links, as the sheet's does.
struct List {
    std::vector<LinkedRecord*> links;
    ~List() {
        for (LinkedRecord* link : links) delete link;
    }
    std::vector<std::string> Keys() const {
        std::vector<std::string> keys;
        for (const LinkedRecord* link : links) {
            std::string key = link->applAbbrev + std::to_string(link->xrefRecType) + ":";
            for (const std::string& value : link->keyValues) key += value + "/";
            keys.push_back(key);
        }
        return keys;
    }
};

int64_t Count(const std::string& abbrev, short type) {
    kwioDataFile file;
    if (file.PromptedOpen(abbrev, kProgram, "", 1, false, true, false) != XIO_OK) return -1;
    int64_t count = -1;
    xio_count_records(file.FileNum(), type, &count);
    return count;
}

class LinkList : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file.Open()); }
    TestCompany company{true};
    qvIssueFile file{kProgram};
};

} // namespace

TEST_F(LinkList, ParentLinksComeFromTheIssueDictionary) {
    std::vector<std::unique_ptr<LinkedRecord>> parents = niParentLinks(*Phase("2402", "E1", "03-000"), kProgram);
    ASSERT_EQ(parents.size(), 2u) << "a phase of an extra has the job and the extra as parents";
    const LinkedRecord& job = *parents[0];
    EXPECT_EQ(job.xrefRecType, 1);
    EXPECT_EQ(job.keyValues, (std::vector<std::string>{"2402"}));
    EXPECT_EQ(job.keyKindCodes, (std::vector<int16_t>{371}));
    EXPECT_EQ(job.dictName, "JCJ");
    EXPECT_EQ(job.recType, 1);
    EXPECT_EQ(job.recDesc, "Job");
    EXPECT_EQ(job.dataDesc, "Elmwood clinic wing ") << "the field after the key, as the grid shows it";
    const LinkedRecord& extra = *parents[1];
    EXPECT_EQ(extra.xrefRecType, 2);
    EXPECT_EQ(extra.keyValues, (std::vector<std::string>{"2402", "E1"}));
    EXPECT_EQ(extra.dataDesc, "Added imaging room ");

    parents = niParentLinks(*Phase("2402", "", "01-000"), kProgram);
    ASSERT_EQ(parents.size(), 1u) << "an empty extra has no extra record to link";
    EXPECT_EQ(parents[0]->keyValues, (std::vector<std::string>{"2402"}));

    parents = niParentLinks(*Invoice("ACME", "INV-01006"), kProgram);
    ASSERT_EQ(parents.size(), 1u);
    EXPECT_EQ(parents[0]->recDesc, "Vendor");
    EXPECT_EQ(parents[0]->dataDesc, "Acme Building Supply ");
    EXPECT_TRUE(niParentLinks(*Vendor("ACME", "Acme Building Supply"), kProgram).empty()) << "one key field";

    parents = niParentLinks(*Invoice("NOSUCH", "X-1"), kProgram);
    ASSERT_EQ(parents.size(), 1u) << "a parent whose record is not found is still a link";
    EXPECT_EQ(parents[0]->dataDesc, "");
}

TEST_F(LinkList, OneLinkPerFirstKeyKindAndNoDuplicates) {
    List list;
    int index = -1;
    EXPECT_EQ(niAddLink(list.links, Vendor("ACME", "Acme Building Supply"), kProgram, &index), niAddOutcome::Added);
    EXPECT_EQ(niAddLink(list.links, Phase("2402", "E1", "03-000"), kProgram, &index), niAddOutcome::Added);
    EXPECT_EQ(list.Keys(), (std::vector<std::string>{"AP1:ACME/", "JC1:2402/", "JC2:2402/E1/", "JC3:2402/E1/03-000/"}))
        << "parents before the record itself";
    EXPECT_EQ(index, 3);

    EXPECT_EQ(niAddLink(list.links, Phase("2402", "E1", "03-000"), kProgram, &index), niAddOutcome::Duplicate);
    EXPECT_EQ(index, 3) << "the line of the link already there";
    EXPECT_EQ(list.links.size(), 4u);
    auto otherCase = Vendor("acme", "Acme Building Supply");
    EXPECT_EQ(niFindSameLink(list.links, *otherCase), -1) << "key values compare with letter case";
    auto otherMask = Vendor("ACME", "Acme Building Supply");
    otherMask->fileMask = 2;
    EXPECT_EQ(niFindSameLink(list.links, *otherMask), -1);

    EXPECT_EQ(niAddLink(list.links, Invoice("BOLTWORKS", "INV-01046"), kProgram, &index), niAddOutcome::Added);
    EXPECT_EQ(list.Keys(), (std::vector<std::string>{"JC1:2402/", "JC2:2402/E1/", "JC3:2402/E1/03-000/",
                                                     "AP1:BOLTWORKS/", "AP2:BOLTWORKS/INV-01046/"}))
        << "the invoice's vendor replaces the other vendor";
    EXPECT_EQ(niAddLink(list.links, Phase("2405", "", "02-000"), kProgram, &index), niAddOutcome::Added);
    EXPECT_EQ(list.Keys(), (std::vector<std::string>{"AP1:BOLTWORKS/", "AP2:BOLTWORKS/INV-01046/", "JC1:2405/",
                                                     "JC3:2405//02-000/"}))
        << "a phase of another job replaces the job, the extra and the phase";
}

TEST_F(LinkList, StoredWithTheIssueExactlyOnce) {
    qvIssue issue(file.Number(), kProgram, true);
    ASSERT_TRUE(issue.AddRecord());
    List list;
    niAddLink(list.links, Phase("2402", "E1", "03-000"), kProgram, nullptr);
    niAddLink(list.links, Link("CM", 2, {341, 342, 393}, {0, 0, 5}, {"OPERATING", "240101", "2"}, "CMT", 1, 0,
                               "Transaction", "Check to Boltworks Hardware "),
              kProgram, nullptr);
    bool complete = false;
    ASSERT_TRUE(niStoreLinks(issue, list.links, &complete));
    EXPECT_TRUE(complete);
    EXPECT_EQ(issue.Value(QV_JCEXTRA).Format(), "E1") << "the link fields carry the key values";
    EXPECT_EQ(issue.Value(QV_CMTSEQ).Format(), "2");
    ASSERT_TRUE(issue.ReplaceRecord());
    EXPECT_EQ(Count("QVI", QV_RECORD_LINK), 5) << "job, extra, phase, bank account, transaction";
    EXPECT_EQ(Count("JCZ", 1) + Count("JCZ", 2) + Count("JCZ", 3), 3);
    EXPECT_EQ(Count("CMZ", 1), 1) << "the transaction's bank account";
    EXPECT_EQ(Count("CMZ", 2), 1);

    // Stored again after a change: the old links and cross-references go first.
    LinkedRecord* bank = list.links.back();
    list.links.pop_back();
    delete bank;
    ASSERT_TRUE(niStoreLinks(issue, list.links, &complete));
    EXPECT_EQ(Count("QVI", QV_RECORD_LINK), 4);
    EXPECT_EQ(Count("JCZ", 3), 1);
    EXPECT_EQ(Count("CMZ", 1), 1);
    EXPECT_EQ(Count("CMZ", 2), 0) << "the unlinked record's cross-reference is gone";
    EXPECT_NE(issue.Value(QV_CMTSEQ).Format(), "2") << "and the link field emptied";

    std::vector<LinkedRecord*> read;
    ASSERT_TRUE(issue.ReadLinks(read));
    EXPECT_EQ(read.size(), 4u);
    for (LinkedRecord* link : read) delete link;
}

TEST_F(LinkList, StoredLinksWhoseRecordsAreGone) {
    auto vendor = Vendor("ACME", "");
    vendor->dictName.clear(); // as read back from the issue file
    vendor->recType = 0;
    EXPECT_EQ(niCheckLinkedRecord(*vendor, kProgram), niLinkedRecordState::Present);
    EXPECT_EQ(vendor->dictName, "APV") << "completed, so a new link to the same vendor is the same link";
    EXPECT_EQ(vendor->recType, 1);

    auto gone = Vendor("GONE", "");
    gone->dictName.clear();
    EXPECT_EQ(niCheckLinkedRecord(*gone, kProgram), niLinkedRecordState::Missing);

    auto rental = Link("EQ", 1, {361}, {0}, {"RN-0001"}, "", 0, 0, "Rental Unit", "");
    EXPECT_EQ(niCheckLinkedRecord(*rental, kProgram), niLinkedRecordState::Present)
        << "found in the second file of the link group";

    auto transaction = Link("AR", 2, {321, 322, 391, 393}, {0, 0, 1, 1}, {"ALDEN", "Invoice", "01/02/2024", "1"}, "",
                            0, 0, "Transaction", "");
    EXPECT_EQ(niCheckLinkedRecord(*transaction, kProgram), niLinkedRecordState::Present);
    EXPECT_EQ(transaction->dictName, "") << "three file types: which one is not known";

    std::filesystem::remove(company.Path("VENDORS.APV"));
    EXPECT_EQ(niCheckLinkedRecord(*gone, kProgram), niLinkedRecordState::Unknown)
        << "without its data file nothing can be said";
}
