// qvadmin prefs show, run as its own process, shows what the program stored through Prefs:
// the program and the tool keep preferences under one product name.
#include "TestCompany.h"

#include "qvcore/prefs/Prefs.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

TEST(PrefsCommands, ShowPrintsWhatTheProgramStored) {
    const std::string config = TestCompany::MakeTempFolder("qvadmin-config-");
    const char* old = std::getenv("XDG_CONFIG_HOME");
    const std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    {
        TestCompany company(false);
        Prefs::SetDefaults();
        Prefs::SetQueryName("Open issues");
        Prefs::SetAutoStartViewer(true);
        Prefs::SetSnoozeDays(3);
        Prefs::SetDisallowWeekend(false);
        ASSERT_TRUE(Prefs::SaveUser());
        Prefs::SetAutoFilter(false);
        Prefs::SetAutoFilterPrivileged(true);
        Prefs::SetFormName("Issue Card");
        ASSERT_TRUE(Prefs::SaveSystem());
        std::vector<std::string> columns{"ISSUE", "STATUS", "DUEDATE"};
        ASSERT_TRUE(Prefs::PutGridColumns(columns));
        Prefs::SetDefaults();

        const std::string command =
            std::string(QV_BIN_DIR) + "/qvadmin --data '" + company.Folder() + "' prefs show 2>&1";
        std::string out;
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::array<char, 4096> buffer{};
        size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) out.append(buffer.data(), n);
        EXPECT_EQ(::pclose(pipe), 0) << out;
        for (const char* line : {"user\tQueryName\tOpen issues\n", "user\tAutoStartViewer\tyes\n",
                                 "user\tSnoozeDays\t3\n", "user\tDisallowWeekend\tno\n",
                                 "user\tGridColumns\tISSUE,STATUS,DUEDATE\n", "system\tAutoFilter\tno\n",
                                 "system\tAutoFilterPrivileged\tyes\n", "system\tFormName\tIssue Card\n",
                                 "system\tListName\tQV Table View\n"})
            EXPECT_NE(out.find(line), std::string::npos) << "missing \"" << line << "\" in:\n" << out;
    }
    if (old) ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
    else ::unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(config);
}
