// Opening a company: company.json's values are checked for their type, and a wrong one is
// refused with the file and the key named; the company open before stays open.
#include "TestCompany.h"
#include "TestFiles.h"

#include "kwcommon/kwCompany.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

TEST(kwCompany, WrongTypesInCompanyJsonAreRefusedNamingTheKey) {
    TestCompany company(false);
    const std::string path = company.Path("company.json");
    const auto settings = nlohmann::json::parse(ReadAll(path));
    const std::string folder = kwCompany::Folder();

    // (key, bad value, what the message says)
    const std::tuple<const char*, nlohmann::json, const char*> cases[] = {
        {"name", 7, "name must be a text, not 7"},
        {"name", nullptr, "name must be a text, not null"},
        {"name", true, "name must be a text, not true"},
        {"name", nlohmann::json::array(), "name must be a text, not []"},
        {"dateFormat", 5, "dateFormat must be a text"},
        {"dateFormat", "MM/MM/YYYY", "dateFormat must combine MM, DD and YYYY"},
    };
    for (const auto& [key, bad, what] : cases) {
        nlohmann::json spoiled = settings;
        spoiled[key] = bad;
        WriteAll(path, spoiled.dump(2));
        std::string error;
        EXPECT_FALSE(kwCompany::Open(company.Folder(), &error)) << key << " = " << bad.dump();
        EXPECT_NE(error.find("company.json: " + std::string(what)), std::string::npos) << error;
        EXPECT_EQ(kwCompany::Folder(), folder) << "the company open before stays open";
    }
    WriteAll(path, "[\"Acme\"]");
    std::string error;
    EXPECT_FALSE(kwCompany::Open(company.Folder(), &error));
    EXPECT_NE(error.find("company.json: the file must be a JSON object"), std::string::npos) << error;
    WriteAll(path, "{ \"name\": ");
    EXPECT_FALSE(kwCompany::Open(company.Folder(), &error));
    EXPECT_NE(error.find("company.json: not valid JSON"), std::string::npos) << error;

    nlohmann::json unnamed = settings;
    unnamed.erase("name");
    WriteAll(path, unnamed.dump());
    ASSERT_TRUE(kwCompany::Open(company.Folder(), &error)) << error;
    EXPECT_EQ(kwCompany::Name(), company.Folder().substr(company.Folder().rfind('/') + 1))
        << "a company without a name is named after its folder";
}
