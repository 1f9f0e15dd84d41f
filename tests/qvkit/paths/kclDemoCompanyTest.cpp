// The demo company the build ships is what the program hands to the data library.
#include "qvkit/paths/kclDemoCompany.h"

#include "kwcommon/kwCompany.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

TEST(kclDemoCompany, HandsTheShippedDemoToTheDataLibrary) {
    if (std::getenv("QV_DEMO_SOURCE")) GTEST_SKIP() << "QV_DEMO_SOURCE names another demo";
    kwCompany::SetDemoSourceFolder("");
    kclUseDemoCompany();
    EXPECT_EQ(kwCompany::DemoSourceFolder(), kclDemoCompanyFolder());
    EXPECT_TRUE(std::filesystem::exists(kclDemoCompanyFolder() + "/company.json"));
}
