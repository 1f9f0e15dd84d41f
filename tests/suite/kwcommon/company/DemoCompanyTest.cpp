// The demo company's issue dictionary and settings fit together: the issue record's
// fields, the link fields' kind codes, the custom lists, the operators and applications.
#include "kwcommon/xa.h"
#include "kwcommon/xio_dict.h"
#include "kwcommon/xk.h"
#include "kwcommon/xs.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

namespace {

struct ExpectedField {
    const char* name;
    short type;
};

// The issue record, field numbers 1 to 71.
constexpr ExpectedField kIssueFields[] = {
    {"ISSUE", 1},   {"FORMESS", 0}, {"RULEID", 0},  {"CLASSIF", 0}, {"URGENCY", 0}, {"FOLLOWU", 0},
    {"STATUS", 0},  {"PROBLEM", 0}, {"REVIEWE", 2}, {"INQNAME", 0}, {"RESPONS", 0}, {"EMAIL", 2},
    {"DUEDATE", 3}, {"NOTDATE", 3}, {"IOPERID", 0}, {"OPERCRE", 0}, {"DATECRE", 3}, {"TIMECRE", 4},
    {"OPERCLO", 0}, {"DATECLO", 3}, {"TIMECLO", 4}, {"OPERCHG", 0}, {"DATECHG", 3}, {"TIMECHG", 4},
    {"APVND", 0},   {"APINVOI", 0}, {"ARCUST", 0},  {"ARSTYPE", 7}, {"ARDATE", 3},  {"ARSEQ", 1},
    {"ARASEQ", 1},  {"ARDEPDT", 3}, {"ARDEPID", 0}, {"ARCDATE", 3}, {"ARCTIME", 4}, {"ARCSEQ", 0},
    {"ARCONT", 0},  {"BLGDATE", 3}, {"BLGSEQ", 1},  {"CMBANK", 0},  {"CMTRUN", 1},  {"CMTSEQ", 1},
    {"CNC", 0},     {"CNCI", 0},    {"CNCO", 0},    {"EQEQUIP", 0}, {"EQTYPE", 0},  {"GLACCT", 0},
    {"GLAPRFX", 0}, {"GLBPRFX", 0}, {"GLCPRFX", 0}, {"GLPRTNR", 1}, {"JCJOB", 0},   {"JCEXTRA", 0},
    {"JCPHASE", 0}, {"JCCAT", 0},   {"JCDRAW", 0},  {"JCCO", 0},    {"JCCOITM", 1}, {"JCSUB", 0},
    {"JCITEM", 1},  {"PMPROP", 0},  {"PMUNIT", 0},  {"PMTENAN", 0}, {"PMLEASE", 0}, {"PMREV", 1},
    {"PREMPID", 0}, {"PRUNION", 0}, {"PRLOCID", 0}, {"PRPDEND", 3}, {"PRCKSEQ", 7},
};
static_assert(std::size(kIssueFields) == 71);

constexpr short kFirstLinkField = 25;

std::vector<std::string> KeyFieldNames(const kwDictionary& dict, const xio_key_def& key) {
    std::vector<std::string> names;
    for (int i = 0; i < key.fieldCount; ++i)
        names.push_back(dict.Field(key.fields[i])->name);
    return names;
}

} // namespace

TEST(DemoCompany, IssueDictionaryRecordTypes) {
    TestCompany company(false);
    std::string error;
    const auto dict = kwDictionaryLoader::Load("qvi", &error);
    ASSERT_TRUE(dict) << "qvi.dct loads: " << error;

    EXPECT_STREQ(dict->file.abbrev, "QVI");
    EXPECT_STREQ(dict->file.dataVersion, "13.1.0");
    EXPECT_STREQ(dict->file.defaultFileName, "ISSUES.QVI");
    ASSERT_EQ(dict->recordTypes.size(), 2u);

    const xio_rec_def* issue = dict->RecordType(1);
    ASSERT_NE(issue, nullptr);
    EXPECT_STREQ(issue->name, "ISSUE");
    EXPECT_EQ(issue->firstField, 1)
        << "issue fields are numbered from 1, as the issue object indexes them";
    ASSERT_EQ(issue->fieldCount, 71);
    for (short n = 1; n <= 71; ++n) {
        const xio_fld_def* field = dict->Field(n);
        ASSERT_NE(field, nullptr);
        EXPECT_STREQ(field->name, kIssueFields[n - 1].name) << "field " << n;
        EXPECT_EQ(field->type, kIssueFields[n - 1].type) << "type of " << field->name;
        EXPECT_EQ(field->hidden, 0) << field->name << " is offered to users";
    }
    const xio_fld_def* message = dict->Field(2);
    EXPECT_TRUE(message->longText) << "FORMESS is long text";
    EXPECT_EQ(message->width, 1000);
    EXPECT_EQ(dict->Field(1)->decimals, 0) << "issue numbers have no decimals";
    const std::pair<const char*, short> widths[] = {{"RULEID", 10},  {"CLASSIF", 20},
                                                    {"RESPONS", 30}, {"INQNAME", 35},
                                                    {"OPERCRE", 20}, {"TIMECRE", 8}};
    for (const auto& [name, width] : widths)
        EXPECT_EQ(dict->Field(dict->FieldNumber(name))->width, width) << "width of " << name;

    const xio_rec_def* link = dict->RecordType(2);
    ASSERT_NE(link, nullptr);
    EXPECT_STREQ(link->name, "LINK");
    ASSERT_EQ(link->fieldCount, 5);
    const char* linkFields[] = {"AISSUE", "FILEABB", "RECNUM", "RECDESC", "DATADES"};
    const short linkTypes[] = {1, 0, 1, 0, 0};
    for (short i = 0; i < 5; ++i) {
        const xio_fld_def* field = dict->Field(static_cast<short>(link->firstField + i));
        EXPECT_STREQ(field->name, linkFields[i])
            << "link fields follow one another: FILEABB after AISSUE";
        EXPECT_EQ(field->type, linkTypes[i]) << field->name;
        EXPECT_NE(field->hidden, 0) << field->name << " is a system field";
    }

    const short lastId = dict->FieldNumber("LASTID");
    ASSERT_NE(lastId, 0) << "the header holds LASTID";
    EXPECT_TRUE(dict->IsHeaderField(lastId));
    EXPECT_EQ(dict->Field(lastId)->type, 1);
}

TEST(DemoCompany, IssueDictionaryKeys) {
    TestCompany company(false);
    std::string error;
    const auto dict = kwDictionaryLoader::Load("qvi", &error);
    ASSERT_TRUE(dict) << error;
    using Names = std::vector<std::string>;

    const xio_key_def* primary = dict->Key(1, 0);
    ASSERT_NE(primary, nullptr);
    EXPECT_STREQ(primary->name, "ISSUE NUMBER");
    EXPECT_EQ(KeyFieldNames(*dict, *primary), (Names{"ISSUE"}));
    EXPECT_NE(primary->unique, 0);

    const xio_key_def* status = dict->Key(1, 1);
    ASSERT_NE(status, nullptr) << "closed issues are found through alternate key 1";
    EXPECT_EQ(KeyFieldNames(*dict, *status), (Names{"STATUS", "ISSUE"}));
    EXPECT_NE(dict->Field(dict->FieldNumber("STATUS"))->caseFlag, 0)
        << "STATUS compares without regard to case, so \"closed\" finds \"Closed\"";

    std::set<std::string> orders;
    for (short k = 1; k <= dict->file.keyCount; ++k) {
        const xio_key_def* key = dict->Key(1, k);
        if (!key) continue;
        EXPECT_EQ(key->internal, 0) << key->name;
        EXPECT_EQ(key->userOrder, 1) << key->name << " is offered as a sort order";
        EXPECT_EQ(KeyFieldNames(*dict, *key).back(), "ISSUE")
            << key->name << " ends with the issue number";
        orders.insert(KeyFieldNames(*dict, *key).front());
    }
    EXPECT_EQ(orders,
              (std::set<std::string>{"STATUS", "DUEDATE", "NOTDATE", "RESPONS", "CLASSIF"}));

    const xio_key_def* links = dict->Key(2, 0);
    ASSERT_NE(links, nullptr);
    EXPECT_EQ(KeyFieldNames(*dict, *links), (Names{"AISSUE", "FILEABB", "RECNUM", "DATADES"}));
    EXPECT_NE(links->unique, 0);
}

TEST(DemoCompany, LinkFieldsMatchListsAndApplications) {
    TestCompany company(false);
    std::string error;
    const auto dict = kwDictionaryLoader::Load("qvi", &error);
    ASSERT_TRUE(dict) << error;

    const std::pair<const char*, short> listFields[] = {
        {"CLASSIF", 262}, {"URGENCY", 263}, {"FOLLOWU", 264}, {"STATUS", 265}, {"PROBLEM", 266}};
    for (const auto& [name, list] : listFields) {
        const xio_fld_def* field = dict->Field(dict->FieldNumber(name));
        EXPECT_EQ(field->kind, list) << name << " takes its values from list " << list;
        EXPECT_NE(field->listFlag, 0) << name;
        EXPECT_EQ(xk_get_custom_list(list, nullptr), 0) << "the demo company has list " << list;
        EXPECT_FALSE(xk_description(list).empty()) << "list " << list << " has a description";
        EXPECT_NE(xk_width(list, 0), 0) << "list " << list << " is a field the company uses";
    }

    std::set<std::pair<short, short>> seen;
    for (short n = kFirstLinkField; n <= 71; ++n) {
        const xio_fld_def* field = dict->Field(n);
        EXPECT_NE(field->kind, 0) << field->name << " carries a kind code";
        EXPECT_TRUE(seen.insert({field->kind, field->qualifier}).second)
            << field->name << ": kind " << field->kind << " qualifier " << field->qualifier
            << " names one link field only";
        EXPECT_FALSE(xk_description(field->kind, field->qualifier).empty())
            << field->name << " has a description";

        // Select Columns tells a link field by "code, blank" at the start of its description.
        const std::string description = field->description;
        ASSERT_GE(description.size(), 4u) << field->name;
        EXPECT_EQ(description[2], ' ') << field->name;
        EXPECT_EQ(description.substr(0, 2), std::string(field->name).substr(0, 2)) << field->name;
        x_kw_apl_info app{};
        EXPECT_NE(xa_get_kw_nam(1, &app, description.substr(0, 2).c_str()), 0)
            << field->name << " belongs to a known application";
        EXPECT_EQ(xk_multi_section(field->kind) != 0, field->formatFlag != 0)
            << field->name << ": only sectioned keys are formatted";
    }
    for (short n = 1; n < kFirstLinkField; ++n) {
        const std::string description = dict->Field(n)->description;
        EXPECT_FALSE(description.size() > 2 && description[2] == ' ')
            << dict->Field(n)->name << " must not look like a link field";
    }

    const xio_fld_def* account = dict->Field(dict->FieldNumber("GLACCT"));
    EXPECT_NE(account->formatFlag, 0) << "GL accounts are shown sectioned";
    EXPECT_EQ(xk_format_field(account->kind, account->qualifier, "100000000"), "1000-00-000");
    EXPECT_EQ(static_cast<int>(
                  xk_unformat_field(account->kind, account->qualifier, "1000-00-000").size()),
              account->width)
        << "a stored account fills the field";

    const char* const arTypes[] = {"Invoice", "Payment", "Credit memo", "Debit memo",
                                   "Finance charge"};
    const short arType = dict->FieldNumber("ARSTYPE");
    ASSERT_EQ(dict->Field(arType)->itemCount, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(dict->items[arType - 1][i], arTypes[i]);
    const short checkSeq = dict->FieldNumber("PRCKSEQ");
    EXPECT_EQ(dict->items[checkSeq - 1],
              (std::vector<std::string>{"Regular", "Supplemental", "Manual", "Void"}));
}

TEST(DemoCompany, OperatorsAndApplications) {
    TestCompany company(false);
    const auto operators = xs_all_operators();
    ASSERT_EQ(operators.size(), 3u);
    int privileged = 0;
    for (const auto& oper : operators) {
        privileged += oper.privilege == 1;
        EXPECT_NE(std::strstr(oper.email, "@example."), nullptr)
            << oper.id << " mails to a demo domain";
    }
    EXPECT_EQ(privileged, 1);
    EXPECT_FALSE(xs_security_on());

    const auto all = xa_all_applications();
    bool notInstalled = false;
    for (const auto& app : all) {
        notInstalled |= app.installed == 0;
        EXPECT_STRCASENE(app.name, "imi");
        EXPECT_EQ(std::strlen(app.code), 2u) << app.name;
    }
    EXPECT_TRUE(notInstalled) << "at least one application is not installed";
    EXPECT_EQ(xa_appl_installed("QV"), 1);
}
