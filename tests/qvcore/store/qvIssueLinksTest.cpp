// Links of issues to other applications' records: link records in the issue file,
// cross-reference records in the applications' files, reading them back and deleting
// them; the applications' issue dictionaries against the issue file; attachments.
#include "TestCompany.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

namespace fs = std::filesystem;

namespace {

struct StoredLink {
    std::string fileAbbrev;
    double recNum = 0;
    std::string recDesc;
    std::string dataDesc;
};

x_value_def Get(short file, const char* name) {
    x_value_def value;
    xio_get_field(file, 0, xio_num(file, 0, 0, name), &value);
    return value;
}

void Put(short file, const char* name, const x_value_def& value) {
    xio_put_field(file, 0, xio_num(file, 0, 0, name), &value);
}

x_value_def Text(const std::string& text) { return x_value_def::OfText(text); }

x_value_def Number(double number) { return x_value_def::OfNumber(number); }

// The link records of an issue, in key order.
std::vector<StoredLink> LinkRecordsOf(short file, double issue) {
    std::vector<StoredLink> links;
    xio_clr_record(file, QV_RECORD_LINK);
    Put(file, "AISSUE", Number(issue));
    for (short s = xio_rd_ge(file, QV_RECORD_LINK, QV_KEY_LINK, 0); s == 0 && Get(file, "AISSUE").AsNumber() == issue;
         s = xio_rd_next(file, QV_RECORD_LINK, QV_KEY_LINK, 0))
        links.push_back({Get(file, "FILEABB").AsText(), Get(file, "RECNUM").AsNumber(),
                         Get(file, "RECDESC").AsText(), Get(file, "DATADES").AsText()});
    return links;
}

// Reads a cross-reference record by its key 0; the values are left in found.
bool FindCrossReference(const std::string& abbrev, short type,
                        const std::map<std::string, x_value_def>& key,
                        std::map<std::string, x_value_def>* found = nullptr) {
    kwioDataFile file;
    if (file.PromptedOpen(abbrev, QV_CMD_NEW_ISSUE, "", 0, false, true, false) != 0) return false;
    const short f = file.FileNum();
    xio_clr_record(f, type);
    for (const auto& [name, value] : key)
        Put(f, name.c_str(), value);
    if (xio_rd_record(f, type, 0, 0) != 0) return false;
    if (found)
        for (auto& [name, value] : *found)
            value = Get(f, name.c_str());
    return true;
}

std::unique_ptr<LinkedRecord> Link(const std::string& abbrev, short xrefType,
                                   const std::string& recDesc, const std::string& dataDesc) {
    auto link = std::make_unique<LinkedRecord>();
    link->applAbbrev = abbrev;
    link->xrefRecType = xrefType;
    link->recDesc = recDesc;
    link->dataDesc = dataDesc;
    return link;
}

struct OwnedLinks {
    std::vector<LinkedRecord*> list;
    ~OwnedLinks() {
        for (auto* link : list)
            delete link;
    }
};

class IssueLinks : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(file.Open());
        f = file.Number();
    }
    // A stored issue with the given link field values.
    std::unique_ptr<qvIssue> NewIssue(const std::map<int, std::string>& values) {
        auto issue = std::make_unique<qvIssue>(f, QV_CMD_NEW_ISSUE, true);
        for (const auto& [field, text] : values)
            EXPECT_TRUE(issue->Value(field).Set(text)) << qvIssue::FieldName(field);
        EXPECT_TRUE(issue->AddRecord());
        return issue;
    }

    TestCompany company{true};
    qvIssueFile file{QV_CMD_NEW_ISSUE};
    short f = 0;
};

} // namespace

TEST_F(IssueLinks, LinkFieldsAreFoundByKindAndQualifier) {
    qvIssue issue(f, QV_CMD_NEW_ISSUE, false);
    short index = 0;
    EXPECT_EQ(issue.FindLinkField(311, 0, &index), xio_num(f, 0, 0, "APVND"));
    EXPECT_EQ(index, QV_APVND);
    EXPECT_EQ(issue.FindLinkField(393, 5, &index), xio_num(f, 0, 0, "CMTSEQ"))
        << "the qualifier tells sequences apart";
    EXPECT_EQ(index, QV_CMTSEQ);
    EXPECT_EQ(issue.FindLinkField(302, 2), xio_num(f, 0, 0, "GLBPRFX"));
    index = -1;
    EXPECT_EQ(issue.FindLinkField(393, 9, &index), 0);
    EXPECT_EQ(index, -1) << "no index when there is no field";
    EXPECT_EQ(issue.FindLinkField(265, 0), 0)
        << "only link fields (25 to 71) are looked at, not STATUS";
    EXPECT_EQ(issue.FindLinkField(8, 0), 0);

    qvIssue detached(0, QV_CMD_NEW_ISSUE, false);
    EXPECT_EQ(detached.FindLinkField(311, 0), 0);
}

TEST_F(IssueLinks, AddLinkWritesTheLinkAndTheCrossReference) {
    auto issue =
        NewIssue({{QV_APVND, "ACME"}, {QV_APINVOI, "INV-01001"}, {QV_GLACCT, "1000-00-000"}});
    const double n = issue->Number();
    ASSERT_TRUE(issue->AddLink(*Link("AP", 2, "Invoice", "Lumber and framing ")));
    ASSERT_TRUE(issue->AddLink(*Link("GL", 1, "Account", "Cash - operating ")));
    EXPECT_TRUE(xw_shown_messages().empty()) << xw_shown_messages().front().text;

    const auto links = LinkRecordsOf(f, n);
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].fileAbbrev, "APZ");
    EXPECT_EQ(links[0].recNum, 2);
    EXPECT_EQ(links[0].recDesc, "Invoice");
    EXPECT_EQ(links[0].dataDesc, "Lumber and framing ");
    EXPECT_EQ(links[1].fileAbbrev, "GLZ");

    std::map<std::string, x_value_def> found{{"IAPVND", {}}, {"APINVOI", {}}};
    EXPECT_TRUE(FindCrossReference(
        "APZ", 2, {{"IAPVND", Text("ACME")}, {"APINVOI", Text("INV-01001")}, {"ISSUE2", Number(n)}},
        &found))
        << "the invoice's cross-reference record carries vendor, invoice and issue";
    EXPECT_FALSE(FindCrossReference("APZ", 1, {{"APVND", Text("ACME")}, {"ISSUE1", Number(n)}}))
        << "only the record type of the link is written";
    EXPECT_TRUE(
        FindCrossReference("GLZ", 1, {{"GLACCT", Text("100000000")}, {"ISSUE1", Number(n)}}))
        << "the account is stored without its separators";

    // The same link twice is refused by both files and reported.
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_OK, XW_ANSWER_OK});
    EXPECT_FALSE(issue->AddLink(*Link("AP", 2, "Invoice", "Lumber and framing ")));
    EXPECT_EQ(LinkRecordsOf(f, n).size(), 2u);
    EXPECT_FALSE(xw_shown_messages().empty());
}

TEST_F(IssueLinks, ReadLinksGivesBackKeysAsShown) {
    auto issue = NewIssue({{QV_APVND, "ACME"},
                           {QV_APINVOI, "INV-01001"},
                           {QV_ARCUST, "ALDEN"},
                           {QV_ARSTYPE, "Payment"},
                           {QV_ARDATE, "03/05/2024"},
                           {QV_ARSEQ, "2"},
                           {QV_CMBANK, "OPERATING"},
                           {QV_CMTRUN, "240101"},
                           {QV_CMTSEQ, "2"},
                           {QV_GLACCT, "1000-00-000"},
                           {QV_PREMPID, "100-00-0003"},
                           {QV_PRPDEND, "05/10/2024"},
                           {QV_PRCKSEQ, "Supplemental"}});
    ASSERT_TRUE(issue->AddLink(*Link("GL", 1, "Account", "Cash - operating ")));
    ASSERT_TRUE(issue->AddLink(*Link("AR", 2, "Transaction", "Payment 2405 ")));
    ASSERT_TRUE(issue->AddLink(*Link("CM", 2, "Transaction", "Check to Acme ")));
    ASSERT_TRUE(issue->AddLink(*Link("AP", 2, "Invoice", "Lumber and framing ")));
    ASSERT_TRUE(issue->AddLink(*Link("PR", 3, "Check", "1234.50 ")));

    EXPECT_TRUE(FindCrossReference("ARZ", 2,
                                   {{"TARCUST", Text("ALDEN")},
                                    {"ARSTYPE", Number(2)},
                                    {"ARDATE", Number(20240305)},
                                    {"ARSEQ", Number(2)},
                                    {"ISSUE2", Number(issue->Number())}}))
        << "choice, date and number keys keep their stored form";

    // A fresh issue object, as a later session reads it.
    qvIssue again(f, QV_CMD_NEW_ISSUE, false);
    ASSERT_TRUE(again.ReadRecord(issue->Number()));
    OwnedLinks read;
    auto* keep = new LinkedRecord();
    read.list.push_back(keep);
    ASSERT_TRUE(again.ReadLinks(read.list));
    ASSERT_EQ(read.list.size(), 6u) << "links are appended to what the list holds";
    EXPECT_EQ(read.list[0], keep);

    const LinkedRecord& ap = *read.list[1];
    EXPECT_EQ(ap.applAbbrev, "AP");
    EXPECT_EQ(ap.xrefRecType, 2);
    EXPECT_EQ(ap.recDesc, "Invoice");
    EXPECT_EQ(ap.dataDesc, "Lumber and framing ");
    EXPECT_EQ(ap.keyValues, (std::vector<std::string>{"ACME", "INV-01001"}));
    EXPECT_EQ(ap.keyKindCodes, (std::vector<int16_t>{311, 312}));
    EXPECT_EQ(ap.keyQualifiers, (std::vector<int16_t>{0, 0}));

    const LinkedRecord& arLink = *read.list[2];
    EXPECT_EQ(arLink.applAbbrev, "AR");
    EXPECT_EQ(arLink.keyValues, (std::vector<std::string>{"ALDEN", "Payment", "03/05/2024", "2"}))
        << "a choice shows its item, a date the company's format";
    EXPECT_EQ(arLink.keyKindCodes, (std::vector<int16_t>{321, 322, 391, 393}));
    EXPECT_EQ(arLink.keyQualifiers, (std::vector<int16_t>{0, 0, 1, 1}));

    EXPECT_EQ(read.list[3]->keyValues, (std::vector<std::string>{"OPERATING", "240101", "2"}));
    EXPECT_EQ(read.list[4]->keyValues, (std::vector<std::string>{"1000-00-000"}))
        << "the account is shown sectioned";
    EXPECT_EQ(read.list[4]->keyKindCodes, (std::vector<int16_t>{301}));
    EXPECT_EQ(read.list[5]->keyValues,
              (std::vector<std::string>{"100-00-0003", "05/10/2024", "Supplemental"}));

    // Another issue's links are not read.
    auto other = NewIssue({{QV_EQEQUIP, "CR-101"}});
    ASSERT_TRUE(other->AddLink(*Link("EQ", 1, "Equipment", "30 ton crane ")));
    OwnedLinks otherLinks;
    ASSERT_TRUE(other->ReadLinks(otherLinks.list));
    ASSERT_EQ(otherLinks.list.size(), 1u);
    EXPECT_EQ(otherLinks.list[0]->keyValues, (std::vector<std::string>{"CR-101"}));
}

TEST_F(IssueLinks, CrossReferenceFilesThatDoNotOpenAreSkippedQuietly) {
    auto issue = NewIssue({{QV_APVND, "ACME"}, {QV_APINVOI, "INV-01001"}, {QV_EQEQUIP, "CR-101"}});
    ASSERT_TRUE(issue->AddLink(*Link("EQ", 1, "Equipment", "30 ton crane ")));
    std::string apz, eqz;
    for (const auto& data : xio_company_files()) {
        if (data.abbrev == "APZ") apz = data.path;
        if (data.abbrev == "EQZ") eqz = data.path;
    }
    ASSERT_FALSE(apz.empty());
    ASSERT_TRUE(fs::exists(eqz));

    // Absent: nothing asks to make it, while linking or while reading links.
    fs::remove(apz);
    xw_clear_shown_messages();
    EXPECT_TRUE(issue->AddLink(*Link("AP", 2, "Invoice", "Lumber and framing ")))
        << "the link stands without the application's file";
    OwnedLinks read;
    EXPECT_TRUE(issue->ReadLinks(read.list));
    EXPECT_EQ(read.list.size(), 2u);
    EXPECT_TRUE(xw_shown_messages().empty()) << xw_shown_messages().front().text;
    EXPECT_FALSE(fs::exists(apz)) << "no cross-reference file is made, by a write nor by a read";

    // In use by someone who holds it alone: no Retry, while reading or deleting links.
    kwioDataFile holder;
    ASSERT_EQ(holder.PromptedOpen("EQZ", 7098, "", 0, false, true, true), 0);
    OwnedLinks again;
    EXPECT_TRUE(issue->ReadLinks(again.list));
    EXPECT_TRUE(issue->DeleteLinks());
    EXPECT_TRUE(xw_shown_messages().empty()) << xw_shown_messages().front().text;
    holder.Close();
    EXPECT_TRUE(FindCrossReference("EQZ", 1, {{"EQEQUIP", Text("CR-101")}, {"ISSUE1", Number(issue->Number())}}))
        << "the application's record stays when its file could not be opened";
}

TEST_F(IssueLinks, DeleteLinksRemovesBothRecordsAndClearsTheFields) {
    auto first = NewIssue({{QV_APVND, "ACME"},
                           {QV_APINVOI, "INV-01001"},
                           {QV_GLACCT, "1000-00-000"},
                           {QV_ARSTYPE, "Payment"},
                           {QV_PRCKSEQ, "Void"}});
    auto second = NewIssue({{QV_APVND, "ACME"}, {QV_APINVOI, "INV-01002"}});
    const double a = first->Number(), b = second->Number();
    ASSERT_TRUE(first->AddLink(*Link("AP", 2, "Invoice", "one ")));
    ASSERT_TRUE(first->AddLink(*Link("GL", 1, "Account", "cash ")));
    ASSERT_TRUE(second->AddLink(*Link("AP", 2, "Invoice", "two ")));

    // The keys removed are the stored ones, not what was typed since.
    first->Value(QV_APVND).Set("CHANGED");
    ASSERT_TRUE(first->DeleteLinks());
    EXPECT_TRUE(LinkRecordsOf(f, a).empty());
    EXPECT_FALSE(FindCrossReference(
        "APZ", 2,
        {{"IAPVND", Text("ACME")}, {"APINVOI", Text("INV-01001")}, {"ISSUE2", Number(a)}}));
    EXPECT_FALSE(
        FindCrossReference("GLZ", 1, {{"GLACCT", Text("100000000")}, {"ISSUE1", Number(a)}}));
    for (int n = qvIssue::kFirstLinkField; n < qvIssue::kValueCount; ++n) {
        if (n == QV_ARSTYPE || n == QV_PRCKSEQ) continue;
        EXPECT_TRUE(first->Value(n).IsNull()) << qvIssue::FieldName(n) << " is cleared";
    }
    EXPECT_EQ(first->Value(QV_ARSTYPE).Format(), "Invoice");
    EXPECT_EQ(first->Value(QV_PRCKSEQ).Format(), "Regular");

    ASSERT_EQ(LinkRecordsOf(f, b).size(), 1u) << "the other issue keeps its link";
    EXPECT_TRUE(FindCrossReference(
        "APZ", 2,
        {{"IAPVND", Text("ACME")}, {"APINVOI", Text("INV-01002")}, {"ISSUE2", Number(b)}}));

    // The issue record is free again for others.
    qvIssueFile elsewhere(QV_CMD_NEW_ISSUE);
    ASSERT_TRUE(elsewhere.Open());
    qvIssue other(elsewhere.Number(), QV_CMD_NEW_ISSUE, false);
    ASSERT_TRUE(other.ReadRecord(a));
    EXPECT_TRUE(other.ReplaceRecord()) << "DeleteLinks lets go of the issue record";
    EXPECT_TRUE(xw_shown_messages().empty());
}

TEST_F(IssueLinks, DeletingTheLinksOfAnIssueWithNoneSucceeds) {
    auto issue = NewIssue({{QV_JCJOB, "2401"}});
    ASSERT_TRUE(issue->DeleteLinks());
    EXPECT_TRUE(issue->Value(QV_JCJOB).IsNull()) << "the link fields are cleared all the same";
    EXPECT_TRUE(xw_shown_messages().empty());

    qvIssue unsaved(f, QV_CMD_NEW_ISSUE, false);
    unsaved.Value(QV_ISSUE).Set("999");
    xw_script_answers({XW_ANSWER_OK});
    EXPECT_FALSE(unsaved.DeleteLinks()) << "an issue that is not stored has nothing to delete from";
}

TEST_F(IssueLinks, AThreeLetterAbbreviationReadsBackWithTwo) {
    auto issue = NewIssue({{QV_APVND, "BOLTWORKS"}});
    // "APXZ" has no file; asked whether to create it, the user says No.
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(issue->AddLink(*Link("APX", 1, "Vendor", "Boltworks Hardware ")))
        << "the link stands when the cross-reference file does not open";
    const auto stored = LinkRecordsOf(f, issue->Number());
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].fileAbbrev, "APX") << "FILEABB holds three characters";

    OwnedLinks read;
    ASSERT_TRUE(issue->ReadLinks(read.list));
    ASSERT_EQ(read.list.size(), 1u);
    EXPECT_EQ(read.list[0]->applAbbrev, "AP");
    EXPECT_EQ(read.list[0]->keyValues, (std::vector<std::string>{"BOLTWORKS"}))
        << "the keys come from the two-letter application's cross-reference file";
}

TEST_F(IssueLinks, ACrossReferenceFieldWithNoLinkFieldStaysEmpty) {
    std::ofstream(company.Path("dict/tsz.dct")) << R"({
      "file": { "abbrev": "TSZ", "description": "Test issues", "defaultFileName": "ISSUES.TSZ" },
      "recordTypes": [ { "number": 1, "name": "BANK NOTE ISSUE",
        "fields": [ { "name": "BANK", "type": 0, "width": 10, "kind": 341 },
                    { "name": "NOTE", "type": 0, "width": 20, "kind": 999 },
                    { "name": "ISSUE1", "type": 1, "width": 10 } ],
        "keys": [ { "number": 0, "name": "BANK NOTE", "fields": ["BANK", "NOTE", "ISSUE1"] } ] } ] })";
    {
        kwioDataFile create;
        ASSERT_EQ(create.PromptedOpen("TSZ", QV_CMD_NEW_ISSUE, "", 0, true, true, false), 0);
    }
    auto issue = NewIssue({{QV_CMBANK, "SAVINGS"}});
    ASSERT_TRUE(issue->AddLink(*Link("TS", 1, "Bank note", "")));

    kwioDataFile xref;
    ASSERT_EQ(xref.PromptedOpen("TSZ", QV_CMD_NEW_ISSUE, "", 0, false, true, false), 0);
    ASSERT_EQ(xio_rd_first(xref.FileNum(), 1, 0, 0), 0);
    EXPECT_EQ(Get(xref.FileNum(), "BANK").AsText(), "SAVINGS");
    EXPECT_EQ(Get(xref.FileNum(), "NOTE").AsText(), "") << "no link field has kind 999";
    EXPECT_EQ(Get(xref.FileNum(), "ISSUE1").AsNumber(), issue->Number());

    OwnedLinks read;
    ASSERT_TRUE(issue->ReadLinks(read.list));
    ASSERT_EQ(read.list.size(), 1u);
    EXPECT_EQ(read.list[0]->keyKindCodes, (std::vector<int16_t>{341}))
        << "the unmatched field is left out";
    EXPECT_EQ(read.list[0]->keyValues, (std::vector<std::string>{"SAVINGS"}));

    ASSERT_TRUE(issue->DeleteLinks());
    EXPECT_EQ(xio_rd_first(xref.FileNum(), 1, 0, 0), XIO_NO_RECORD)
        << "found again by its key and removed";
}

TEST_F(IssueLinks, AnIssueWithoutFileDoesNothing) {
    qvIssue detached(0, QV_CMD_NEW_ISSUE, false);
    detached.Value(QV_APVND).Set("ACME");
    EXPECT_FALSE(detached.AddLink(*Link("AP", 1, "Vendor", "")));
    EXPECT_FALSE(detached.DeleteLinks());
    EXPECT_EQ(detached.Value(QV_APVND).Format(), "ACME") << "nothing is cleared";
    OwnedLinks read;
    EXPECT_FALSE(detached.ReadLinks(read.list));
    EXPECT_TRUE(read.list.empty());
    EXPECT_NE(detached.Attachments(), XIO_OK);
    EXPECT_EQ(detached.AttachmentList(), nullptr);
    EXPECT_TRUE(xw_shown_messages().empty());
}

TEST_F(IssueLinks, AttachmentsBelongToTheIssueAndOneUserChangesThem) {
    auto issue = NewIssue({});
    ASSERT_EQ(issue->Attachments(), XIO_OK);
    ASSERT_NE(issue->AttachmentList(), nullptr);
    const std::string source = company.Path("scan.pdf");
    std::ofstream(source) << "scan";
    ASSERT_EQ(issue->AttachmentList()->Add(source), XIO_OK);
    ASSERT_EQ(issue->AttachmentList()->Write(), XIO_OK);
    EXPECT_EQ(issue->Attachments(), XIO_OK) << "fetching again keeps the list";

    kwioAttachments byName("QVI", 1, std::to_string(static_cast<long>(issue->Number())));
    ASSERT_EQ(byName.Fetch(false), XIO_OK);
    ASSERT_EQ(byName.Count(), 1u)
        << "listed under the issue file, record type 1 and the issue number";
    EXPECT_EQ(byName.At(0).name, "scan.pdf");

    qvIssue same(f, QV_CMD_NEW_ISSUE, false);
    same.Value(QV_ISSUE).Set(std::to_string(static_cast<long>(issue->Number())));
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_OK});
    EXPECT_EQ(same.Attachments(), XIO_IN_USE);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_NE(xw_shown_messages()[0].text.find("Attachments in use"), std::string::npos)
        << xw_shown_messages()[0].text;
    EXPECT_NE(xw_shown_messages()[0].text.find("0500]"), std::string::npos)
        << xw_shown_messages()[0].text;

    issue->AttachmentList()->Free();
    EXPECT_EQ(same.Attachments(), XIO_OK);
    EXPECT_EQ(same.AttachmentList()->Count(), 1u);
}

// Every application's issue dictionary fits the issue file and its own data dictionaries,
// the way the Link Wizard and the cross-reference records rely on.
TEST_F(IssueLinks, IssueDictionariesMatchTheLinkFieldsAndTheData) {
    qvIssue issue(f, QV_CMD_NEW_ISSUE, false);
    int dictionaries = 0;
    for (const auto& entry : fs::directory_iterator(company.Path("dict"))) {
        const std::string name = entry.path().filename().string();
        if (name.size() != 7 || name[2] != 'z' || name.substr(3) != ".dct") continue;
        ++dictionaries;
        std::string error;
        const std::string code = name.substr(0, 2);
        const auto xref = kwDictionaryLoader::Load(code + "z", &error);
        ASSERT_TRUE(xref) << error;
        EXPECT_TRUE(fs::exists(company.Path(xref->file.defaultFileName)))
            << name << ": the demo has the file";
        for (const auto& rec : xref->recordTypes) {
            const std::string where = name + " " + rec.name;
            EXPECT_NE(std::string(rec.name).find("ISSUE"), std::string::npos) << where;
            const xio_key_def* key = xref->Key(rec.number, 0);
            ASSERT_NE(key, nullptr) << where;
            ASSERT_EQ(key->fieldCount, rec.fieldCount) << where << ": key 0 holds every field";
            EXPECT_EQ(xref->Field(static_cast<short>(rec.firstField + rec.fieldCount - 1))->type,
                      XIO_NUMBER)
                << where << ": the issue number comes last";
            std::vector<std::pair<short, short>> kinds;
            for (short i = 0; i + 1 < rec.fieldCount; ++i) {
                const xio_fld_def& def = *xref->Field(static_cast<short>(rec.firstField + i));
                EXPECT_EQ(key->fields[i], def.number) << where << ": key in field order";
                ASSERT_NE(issue.FindLinkField(def.kind, def.qualifier), 0)
                    << where << "." << def.name << " has a link field";
                xio_fld_def linkDef{};
                xio_get_fld_def(f, issue.FindLinkField(def.kind, def.qualifier), &linkDef, 1, 1);
                EXPECT_EQ(def.type, linkDef.type)
                    << where << "." << def.name << " holds what " << linkDef.name << " holds";
                EXPECT_EQ(def.formatFlag, linkDef.formatFlag) << where << "." << def.name;
                kinds.emplace_back(def.kind, def.qualifier);
            }
            // A data record of the application whose key 0 is made of the same kinds.
            bool matched = false;
            for (const auto& data : fs::directory_iterator(company.Path("dict"))) {
                const std::string dataName = data.path().filename().string();
                if (dataName.substr(0, 2) != code || dataName.size() != 7 || dataName[2] == 'z')
                    continue;
                const auto dict = kwDictionaryLoader::Load(dataName.substr(0, 3), &error);
                ASSERT_TRUE(dict) << error;
                for (const auto& dataRec : dict->recordTypes) {
                    const xio_key_def* dataKey = dict->Key(dataRec.number, 0);
                    if (!dataKey || dataKey->fieldCount != static_cast<int>(kinds.size())) continue;
                    bool same = true;
                    for (size_t i = 0; i < kinds.size(); ++i) {
                        const xio_fld_def& def = *dict->Field(dataKey->fields[i]);
                        same =
                            same && def.kind == kinds[i].first && def.qualifier == kinds[i].second;
                    }
                    matched = matched || same;
                }
            }
            EXPECT_TRUE(matched) << where << ": some data record of " << code << " has this key";
        }
    }
    EXPECT_GE(dictionaries, 7) << "AP, AR, CM, EQ, GL, JC and PR store issues";
}
