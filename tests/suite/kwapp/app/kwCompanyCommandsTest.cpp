// New Company copies the template's settings, lists and dictionaries and nothing else;
// Open Company refuses folders that hold no company.
#include "kwapp/app/kwCompanyCommands.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

TEST(kwCompanyCommands, NewCompanyGetsSettingsListsAndDictionariesButNoRecords) {
    kwapptest::UserFolders folders;
    const std::string target = folders.Root() + "/companies/Zenith Supply";
    std::string error;
    ASSERT_TRUE(kwCompanyCommands::CreateCompany(target, &error)) << error;
    EXPECT_TRUE(kwCompanyCommands::IsCompany(target));
    const fs::path demo = kwCompany::DemoSourceFolder();
    for (const auto& entry : fs::directory_iterator(demo)) {
        const fs::path name = entry.path().filename();
        const bool wanted = (entry.is_regular_file() && name.extension() == ".json") || name == "dict";
        EXPECT_EQ(fs::exists(fs::path(target) / name), wanted) << name;
    }
    EXPECT_TRUE(fs::exists(fs::path(target) / "dict" / "qvi.dct"));
    std::ifstream in(fs::path(target) / "company.json");
    const nlohmann::json settings = nlohmann::json::parse(in);
    EXPECT_EQ(settings.value("name", ""), "Zenith Supply") << "named after its folder";
    for (const auto& entry : fs::directory_iterator(fs::path(target).parent_path()))
        EXPECT_EQ(entry.path().filename(), "Zenith Supply") << "no partial copy left behind";

    EXPECT_FALSE(kwCompanyCommands::CreateCompany(target, &error));
    EXPECT_NE(error.find("already holds a company"), std::string::npos) << error;
    const std::string busy = folders.Root() + "/busy";
    fs::create_directories(busy);
    std::ofstream(busy + "/notes.txt") << "mine";
    EXPECT_FALSE(kwCompanyCommands::CreateCompany(busy, &error));
    EXPECT_NE(error.find("is not empty"), std::string::npos) << error;
    EXPECT_TRUE(fs::exists(busy + "/notes.txt")) << "nothing of the user's is touched";
    const std::string empty = folders.Root() + "/empty";
    fs::create_directories(empty);
    EXPECT_TRUE(kwCompanyCommands::CreateCompany(empty, &error)) << "an empty folder is fine: " << error;
}

TEST(kwCompanyCommands, OpenCompanyExplainsARefusedFolderAndKeepsTheCurrentCompany) {
    kwapptest::App();
    kwapptest::UserFolders folders;
    TestCompany current(false);
    kwApplication app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
    const std::string before = kwCompany::Folder();
    const std::string plain = folders.Root() + "/plain";
    fs::create_directories(plain);
    xw_clear_shown_messages();

    kwFolderDialog::Script plainFolder({plain});
    kwCompanyCommands::OnOpenCompany();
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].type, XW_ERROR);
    EXPECT_NE(xw_shown_messages()[0].text.find("is not a company folder"), std::string::npos);
    EXPECT_EQ(kwCompany::Folder(), before);

    xw_clear_shown_messages();
    kwFolderDialog::Script cancelled({std::nullopt});
    kwCompanyCommands::OnOpenCompany();
    EXPECT_TRUE(xw_shown_messages().empty()) << "a cancelled chooser says nothing";

    const std::string fresh = folders.Root() + "/fresh";
    kwFolderDialog::Script freshFolder({fresh});
    kwCompanyCommands::OnNewCompany();
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(kwCompany::Folder(), fs::canonical(fresh).string()) << "the new company is opened";
    EXPECT_EQ(kwCompany::Name(), "fresh");
    EXPECT_EQ(plainFolder.Left() + cancelled.Left() + freshFolder.Left(), 0u);
}
