// Alternate keys switched on and off in the company's control file.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"

#include "kwcommon/conditions/xc_alt_keys.h"
#include "kwcommon/kwStatus.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

nlohmann::json ReadJson(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return nlohmann::json::parse(text.str(), nullptr, false);
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
}

class AltKeys : public ::testing::Test {
protected:
    std::string ControlPath() const { return company.Path("altkeys.json"); }
    TestCompany company{false};
};

} // namespace

TEST_F(AltKeys, WithoutOpenControlFile) {
    EXPECT_EQ(xc_alt_key_active("QVI", 0), 1) << "the primary key is always active";
    EXPECT_EQ(xc_alt_key_active("QVI", 3), 1) << "keys the file does not name are active";
    EXPECT_EQ(xc_alt_key_active("QVI", -1), 0);
    EXPECT_FALSE(fs::exists(ControlPath())) << "reading creates nothing";

    ASSERT_EQ(xc_deactivate_alt_key("qvi", 3), XIO_OK);
    EXPECT_EQ(xc_alt_key_active("QVI", 3), 0) << "written at once; abbreviations in any case";
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 1);
    EXPECT_EQ(xc_alt_key_active("APV", 3), 1) << "another file's key 3 is its own";
    const auto json = ReadJson(ControlPath());
    ASSERT_FALSE(json.is_discarded());
    EXPECT_EQ(json, nlohmann::json::parse(R"({"QVI": {"3": false}})"));

    ASSERT_EQ(xc_activate_alt_key("QVI", 3), XIO_OK);
    EXPECT_EQ(xc_alt_key_active("QVI", 3), 1);
    EXPECT_EQ(xc_activate_alt_key("QVI", 0), XIO_BAD_KEY) << "the primary key is not switched";
    for (const auto& entry : fs::directory_iterator(company.Folder())) {
        EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos)
            << "no temporary file left";
    }
}

TEST_F(AltKeys, OpenControlFileHoldsChangesUntilWritten) {
    ASSERT_EQ(xc_deactivate_alt_key("QVI", 5), XIO_OK);
    const short handle = xc_open_control_file(1);
    ASSERT_GT(handle, 0);
    EXPECT_EQ(xc_alt_key_active("QVI", 5), 0) << "the open file's contents";

    ASSERT_EQ(xc_deactivate_alt_key("QVI", 2), XIO_OK);
    ASSERT_EQ(xc_activate_alt_key("QVI", 5), XIO_OK);
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 0) << "pending changes are seen through the handle";
    EXPECT_EQ(xc_alt_key_active("QVI", 5), 1);
    EXPECT_EQ(ReadJson(ControlPath()), nlohmann::json::parse(R"({"QVI": {"5": false}})"))
        << "nothing is written before xc_wr_control_file";

    // Meanwhile another workstation switches another key off.
    WriteText(ControlPath(), R"({"QVI": {"5": false, "4": false}, "APV": {"1": false}})");
    ASSERT_EQ(xc_wr_control_file(handle), XIO_OK);
    EXPECT_EQ(ReadJson(ControlPath()),
              nlohmann::json::parse(
                  R"({"QVI": {"2": false, "4": false, "5": true}, "APV": {"1": false}})"))
        << "our changes merged into the file as it was; theirs survive";
    ASSERT_EQ(xc_rd_control_file(handle), XIO_OK);
    EXPECT_EQ(xc_alt_key_active("QVI", 4), 0) << "read again, their change is seen";
    ASSERT_EQ(xc_cls_control_file(handle), XIO_OK);
    EXPECT_EQ(xc_cls_control_file(handle), XIO_FAILED);

    // Closing without writing drops the changes.
    const short second = xc_open_control_file(1);
    ASSERT_GT(second, 0);
    ASSERT_EQ(xc_activate_alt_key("QVI", 2), XIO_OK);
    ASSERT_EQ(xc_cls_control_file(second), XIO_OK);
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 0);

    const short readOnly = xc_open_control_file(0);
    ASSERT_GT(readOnly, 0);
    ASSERT_EQ(xc_activate_alt_key("QVI", 2), XIO_OK);
    EXPECT_EQ(xc_wr_control_file(readOnly), XIO_NOT_AUTHORISED)
        << "a read-only handle writes nothing";
    xc_cls_control_file(readOnly);
    EXPECT_EQ(xc_alt_key_active("QVI", 2), 0);
}

TEST_F(AltKeys, MalformedControlFile) {
    // Each malformed file, and the place its log line names.
    const std::pair<const char*, const char*> malformed[] = {
        {"{ \"QVI\": [ not json", "not valid JSON"},
        {"[]", "the file must be a JSON object"},
        {"{ \"QVI\": [2, 3] }", "QVI must be a JSON object"},
        {"{ \"QVI\": { \"2\": \"no\" } }", "QVI.2 must be true or false, not \"no\""},
        {"{ \"QVI\": { \"2\": null } }", "QVI.2 must be true or false, not null"},
        {"{ \"QVI\": { \"two\": false } }", "QVI holds \"two\", which is no key number"},
    };
    for (const auto& [garbage, place] : malformed) {
        WriteText(ControlPath(), garbage);
        EXPECT_LT(xc_open_control_file(1), 0) << "a malformed file cannot be opened: " << garbage;
        EXPECT_EQ(xc_alt_key_active("QVI", 2), 1) << "keys stay as the dictionary has them";
        EXPECT_EQ(xc_deactivate_alt_key("QVI", 2), XIO_CORRUPT) << "never written over";
        std::ifstream in(ControlPath());
        std::stringstream text;
        text << in.rdbuf();
        EXPECT_EQ(text.str(), garbage);
        const std::string log = LastLine(ReadAll(kwCompany::LogFile()));
        EXPECT_NE(log.find("altkeys.json: " + std::string(place)), std::string::npos) << log;
    }
}
