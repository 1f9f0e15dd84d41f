// The user's settings file keeps every value, also those another program wrote meanwhile,
// and a damaged file reads as empty instead of failing.
#include "kwapp/app/kwUserSettings.h"

#include "../KwappTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

TEST(kwUserSettings, StoresValuesSideBySideAndSurvivesADamagedFile) {
    kwapptest::UserFolders folders;
    EXPECT_EQ(kwUserSettings::FilePath(), folders.Root() + "/config/quorvel/kwapp.json");
    EXPECT_FALSE(kwUserSettings::Get("company.last").has_value());
    ASSERT_TRUE(kwUserSettings::Put("company.last", "/data/acme"));
    ASSERT_TRUE(kwUserSettings::Put("window.QV.frame.maximized", "1"));
    EXPECT_EQ(kwUserSettings::Get("company.last").value_or(""), "/data/acme");
    EXPECT_EQ(kwUserSettings::Get("window.QV.frame.maximized").value_or(""), "1");
    ASSERT_TRUE(kwUserSettings::Put("company.last", "/data/zenith"));
    EXPECT_EQ(kwUserSettings::Get("company.last").value_or(""), "/data/zenith");
    ASSERT_TRUE(kwUserSettings::Remove("company.last"));
    EXPECT_FALSE(kwUserSettings::Get("company.last").has_value());
    EXPECT_TRUE(kwUserSettings::Get("window.QV.frame.maximized").has_value()) << "others stay";
    EXPECT_FALSE(kwUserSettings::Put("", "x")) << "a value needs a name";

    std::ofstream(kwUserSettings::FilePath(), std::ios::trunc) << "{ broken";
    std::string error;
    EXPECT_FALSE(kwUserSettings::Get("window.QV.frame.maximized", &error).has_value());
    EXPECT_NE(error.find("kwapp.json: not valid JSON"), std::string::npos) << error;
    EXPECT_TRUE(kwUserSettings::Put("company.last", "/again")) << "a damaged file is replaced";
    EXPECT_EQ(kwUserSettings::Get("company.last").value_or(""), "/again");
    std::ifstream aside(kwUserSettings::FilePath() + ".bad");
    std::string kept((std::istreambuf_iterator<char>(aside)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "{ broken") << "the damaged file is kept aside, not lost";

    // Values of another type: no value, the file and the key named; the others still read.
    std::ofstream(kwUserSettings::FilePath(), std::ios::trunc)
        << R"({"company.last": 7, "window.maximized": null, "window.geometry": "AAA"})";
    EXPECT_FALSE(kwUserSettings::Get("company.last", &error).has_value());
    EXPECT_NE(error.find("kwapp.json: [\"company.last\"] must be a text, not 7"), std::string::npos) << error;
    EXPECT_FALSE(kwUserSettings::Get("window.maximized", &error).has_value());
    EXPECT_NE(error.find("must be a text, not null"), std::string::npos) << error;
    EXPECT_EQ(kwUserSettings::Get("window.geometry").value_or(""), "AAA");
    EXPECT_TRUE(kwUserSettings::Put("company.last", "/fixed")) << "writing a key mends it";
    EXPECT_EQ(kwUserSettings::Get("company.last").value_or(""), "/fixed");
    EXPECT_EQ(kwUserSettings::Get("window.geometry").value_or(""), "AAA");
}
