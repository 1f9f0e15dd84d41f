// Applications known to the company and data files known by their abbreviation.
#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xa.h"
#include "TestCompany.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>


TEST(Applications, LookupByCodeAndName) {
    TestCompany company(false);
    x_kw_apl_info info{};

    ASSERT_NE(xa_get_kw_nam(1, &info, "ap"), 0) << "codes are found without regard to case";
    EXPECT_STREQ(info.code, "AP");
    EXPECT_STREQ(info.name, "Accounts Payable");
    EXPECT_EQ(info.installed, 1);
    ASSERT_NE(xa_get_kw_nam(2, &info, "general ledger"), 0)
        << "names are found without regard to case";
    EXPECT_STREQ(info.code, "GL");
    EXPECT_EQ(xa_get_kw_nam(1, &info, "imi"), 0) << "the demo company knows nothing named imi";
    EXPECT_EQ(xa_get_kw_nam(2, &info, "imi"), 0);
    EXPECT_EQ(xa_get_kw_nam(3, &info, "AP"), 0) << "only lookups 1 and 2 exist";
    EXPECT_EQ(xa_get_kw_nam(1, &info, nullptr), 0);
    EXPECT_NE(xa_get_kw_nam(1, nullptr, "JC"), 0) << "a lookup without a record still answers";

    char name[40];
    EXPECT_EQ(xa_get_appl_name("jc", name, sizeof(name)), XIO_OK);
    EXPECT_STREQ(name, "Job Cost");
    char small[5];
    EXPECT_EQ(xa_get_appl_name("PM", small, sizeof(small)), XIO_OK);
    EXPECT_STREQ(small, "Prop") << "the name is cut to the buffer";
    EXPECT_EQ(xa_get_appl_name("ZZ", name, sizeof(name)), XIO_NO_RECORD);
    EXPECT_STREQ(name, "") << "no name for an unknown code";

    EXPECT_EQ(xa_appl_installed("AP"), 1);
    EXPECT_EQ(xa_appl_installed("iv"), 0) << "Inventory is known but not installed";
    EXPECT_EQ(xa_appl_installed("ZZ"), 0);
    EXPECT_EQ(xa_appl_installed(nullptr), 0);

    const auto installed = xa_get_kw_apl();
    const auto all = xa_all_applications();
    EXPECT_LT(installed.size(), all.size()) << "some applications are not installed";
    bool hiddenListed = false;
    for (const auto& app : installed) {
        EXPECT_EQ(app.installed, 1) << app.code << " is listed as installed";
        if (app.hidden) hiddenListed = true;
    }
    EXPECT_TRUE(hiddenListed) << "hidden applications are listed; callers leave them out";
}

TEST(Applications, DataFilesByAbbreviation) {
    TestCompany company(false);
    x_kw_apl_info info{};

    ASSERT_NE(xa_get_kw_nam(1, &info, "qvi"), 0) << "the issue file is known by its abbreviation";
    EXPECT_STREQ(info.code, "QV");
    EXPECT_STREQ(info.name, "Issues") << "a data file's name is its dictionary's description";
    EXPECT_EQ(info.installed, 1);
    EXPECT_EQ(xa_get_kw_nam(1, &info, "xyz"), 0) << "no dictionary, no file";
    EXPECT_EQ(xa_get_kw_nam(1, &info, "../"), 0) << "an abbreviation is never a path";
    EXPECT_EQ(xa_get_kw_nam(2, &info, "Issues"), 0) << "names find applications only";
}

TEST(Applications, MissingOrMalformedFile) {
    TestCompany company(false);
    const std::string path = company.Path("applications.json");
    x_kw_apl_info info{};

    WriteAll(path, R"({ "applications": [ { "code": "xx", "name": "Extra" } ] })");
    ASSERT_NE(xa_get_kw_nam(1, &info, "XX"), 0);
    EXPECT_STREQ(info.code, "XX") << "codes are kept in capitals";
    EXPECT_EQ(info.installed, 1) << "a listed application is installed unless it says otherwise";

    // Each malformed file, and the place its log line names.
    const std::pair<const char*, const char*> malformed[] = {
        {R"({ "applications": [ { "code": "ABC", "name": "Too long" } ] })", "applications[0].code"},
        {R"({ "applications": [ { "name": "No code" } ] })", "applications[0] has no \"code\""},
        {R"({ "applications": [ { "code": 12 } ] })", "applications[0].code must be a text, not 12"},
        {R"({ "applications": [ { "code": "AP", "name": 7 } ] })", "applications[0].name must be a text"},
        {R"({ "applications": [ { "code": "AP", "installed": "yes" } ] })", "applications[0].installed"},
        {R"({ "applications": [ { "code": "AP", "hidden": null } ] })", "applications[0].hidden"},
        {R"({ "applications": [ "AP" ] })", "applications[0] must be a JSON object"},
        {R"({ "applications": { "code": "AP" } })", "applications must be a list"},
        {R"([ "AP" ])", "the file must be a JSON object"},
        {R"({ "applications": [ )", "not valid JSON"},
    };
    for (const auto& [text, place] : malformed) {
        WriteAll(path, text);
        EXPECT_EQ(xa_get_kw_nam(1, &info, "XX"), 0) << "malformed: " << text;
        EXPECT_TRUE(xa_all_applications().empty()) << "malformed: " << text;
        EXPECT_EQ(xa_appl_installed("AP"), 0) << "malformed: " << text;
        EXPECT_NE(LastLine(ReadAll(kwCompany::LogFile())).find("applications.json: " + std::string(place)),
                  std::string::npos)
            << "the log names the file and the place: " << LastLine(ReadAll(kwCompany::LogFile()));
    }
    std::remove(path.c_str());
    EXPECT_TRUE(xa_get_kw_apl().empty()) << "no file, no applications";
}
