// The user's settings file keeps every value, also those another program wrote meanwhile,
// and a damaged file reads as empty instead of failing.
#include "kwapp/app/kwUserSettings.h"

#include "../KwappTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>

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
    EXPECT_FALSE(kwUserSettings::Get("window.QV.frame.maximized").has_value());
    EXPECT_TRUE(kwUserSettings::Put("company.last", "/again")) << "a damaged file is replaced";
    EXPECT_EQ(kwUserSettings::Get("company.last").value_or(""), "/again");
}
