// The file control: folders and named-files mode per abbreviation, and damaged files that
// are refused with the place named rather than read as "no control".
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/xc_file_control.h"

#include <gtest/gtest.h>

TEST(FileControl, EntriesAndDamagedFiles) {
    TestCompany company(false);
    const std::string path = company.Path("filecontrol.json");
    xc_file_control_def def{};
    WriteAll(path, R"({ "cmt": { "folder": "bank", "namedFiles": true }, "RPT": { "folder": "/srv/rpt" } })");
    ASSERT_EQ(xc_get_file_control_def("CMT", &def), XIO_OK);
    EXPECT_STREQ(def.abbrev, "CMT");
    EXPECT_EQ(std::string(def.path), kwCompany::Path("bank")) << "a relative folder is the company's";
    EXPECT_EQ(def.namedFiles, 1);
    ASSERT_EQ(xc_get_file_control_def("rpt", &def), XIO_OK);
    EXPECT_STREQ(def.path, "/srv/rpt");
    EXPECT_EQ(def.namedFiles, 0);
    EXPECT_EQ(xc_get_file_control_def("APV", &def), XIO_NO_RECORD);

    // Each damaged file, and the place its log line names.
    const std::pair<std::string, std::string> damaged[] = {
        {R"({ "CMT": { "folder": 5 } })", "CMT.folder must be a text, not 5"},
        {R"({ "CMT": { "folder": "bank", "namedFiles": "yes" } })", "CMT.namedFiles must be true or false"},
        {R"({ "CMT": "bank" })", "CMT must be a JSON object"},
        {R"({ "CMT": { "folder": ")" + std::string(300, 'x') + R"(" } })", "CMT.folder names a folder longer than"},
        {R"([ "CMT" ])", "the file must be a JSON object"},
        {R"({ "CMT": )", "not valid JSON"},
    };
    for (const auto& [text, place] : damaged) {
        WriteAll(path, text);
        EXPECT_EQ(xc_get_file_control_def("CMT", &def), XIO_CORRUPT) << text;
        EXPECT_STREQ(def.path, "") << "nothing half-read is handed out";
        const std::string log = LastLine(ReadAll(kwCompany::LogFile()));
        EXPECT_NE(log.find("filecontrol.json: " + place), std::string::npos) << log;
    }
}
