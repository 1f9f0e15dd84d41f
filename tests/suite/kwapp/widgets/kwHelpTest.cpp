// Help is available only where its pages are installed; a missing topic falls back to the
// contents page.
#include "kwapp/widgets/kwHelp.h"

#include "../KwappTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(kwHelp, TopicsComeFromTheInstalledHelpFolderOnly) {
    kwapptest::UserFolders folders;
    const std::string help = folders.Root() + "/help";
    ::setenv("QV_HELP_DIR", help.c_str(), 1);
    EXPECT_FALSE(kwHelp::Available()) << "no folder yet";
    EXPECT_EQ(kwHelp::TopicFile(0), "");
    std::filesystem::create_directories(help);
    EXPECT_FALSE(kwHelp::Available()) << "a folder without its contents page is no help";
    std::ofstream(help + "/index.html") << "<h1>Contents</h1>";
    std::ofstream(help + "/8751.html") << "<h1>New Issue</h1>";
    EXPECT_TRUE(kwHelp::Available());
    EXPECT_EQ(kwHelp::TopicFile(8751), help + "/8751.html");
    EXPECT_EQ(kwHelp::TopicFile(25500), "") << "a topic that is not installed";
    ::unsetenv("QV_HELP_DIR");
}
