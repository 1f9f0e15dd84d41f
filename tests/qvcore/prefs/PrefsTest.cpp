// Preferences: defaults, saving and loading both blocks, the version rule, report names,
// grid columns, the name lists and the postpone interval.
#include "qvcore/prefs/Prefs.h"

#include "kwcommon/prefs/xpref.h"
#include "kwcommon/strings/kwStringTable.h"
#include "kwcommon/values/kwDate.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

// The main program's string table, compiled in here as the program itself compiles it: the
// preferences live under its product name.
#include "QV/strings/QVStrings.cpp"

namespace fs = std::filesystem;

namespace {
class Preferences : public ::testing::Test {
protected:
    void SetUp() override {
        _config = TestCompany::MakeTempFolder("qvprefs-");
        setenv("XDG_CONFIG_HOME", _config.c_str(), 1);
        _company = std::make_unique<TestCompany>(false);
        Prefs::SetDefaults();
    }
    void TearDown() override {
        _company.reset();
        unsetenv("XDG_CONFIG_HOME");
        std::error_code ignored;
        fs::remove_all(_config, ignored);
        Prefs::SetDefaults();
    }

    static void ExpectUserDefaults() {
        EXPECT_STREQ(Prefs::QueryName(), "");
        EXPECT_FALSE(Prefs::AutoStartViewer());
        EXPECT_FALSE(Prefs::DeleteWhenClosed());
        EXPECT_FALSE(Prefs::NotifyOnNew());
        EXPECT_FALSE(Prefs::NotifyOnChange());
        EXPECT_EQ(Prefs::SnoozeDays(), 7);
        EXPECT_TRUE(Prefs::DisallowWeekend());
    }
    static void ChangeUser() {
        Prefs::SetQueryName("Open issues");
        Prefs::SetAutoStartViewer(true);
        Prefs::SetDeleteWhenClosed(true);
        Prefs::SetNotifyOnNew(true);
        Prefs::SetNotifyOnChange(true);
        Prefs::SetSnoozeDays(-300);
        Prefs::SetDisallowWeekend(false);
    }

    std::string _config;
    std::unique_ptr<TestCompany> _company;
};

std::string StoreText(short scope) {
    std::ifstream in(xpref_store_path(scope));
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

TEST_F(Preferences, DefaultsWhenNothingIsStored) {
    ChangeUser();
    Prefs::SetAutoFilter(false);
    Prefs::SetFormName("Mine");
    Prefs::Load();
    ExpectUserDefaults();
    EXPECT_TRUE(Prefs::AutoFilter());
    EXPECT_FALSE(Prefs::AutoFilterPrivileged());
    EXPECT_EQ(Prefs::FormName(), "QV Form View");
    EXPECT_EQ(Prefs::ListName(), "QV Table View");
    EXPECT_EQ(Prefs::ApplicationName(), "Quorvel");
}

TEST_F(Preferences, UserAndSystemBlocksRoundTrip) {
    ChangeUser();
    Prefs::SetAutoFilter(false);
    Prefs::SetAutoFilterPrivileged(true);
    std::string form = "Forms/Issue form";
    std::string list = "Issue list";
    Prefs::SetFormName(form);
    Prefs::SetListName(list);
    ASSERT_TRUE(Prefs::SaveUser());
    ASSERT_TRUE(Prefs::SaveSystem());

    Prefs::SetDefaults();
    Prefs::Load();
    EXPECT_STREQ(Prefs::QueryName(), "Open issues");
    EXPECT_TRUE(Prefs::AutoStartViewer());
    EXPECT_TRUE(Prefs::DeleteWhenClosed());
    EXPECT_TRUE(Prefs::NotifyOnNew());
    EXPECT_TRUE(Prefs::NotifyOnChange());
    EXPECT_EQ(Prefs::SnoozeDays(), -300);
    EXPECT_FALSE(Prefs::DisallowWeekend());
    EXPECT_FALSE(Prefs::AutoFilter());
    EXPECT_TRUE(Prefs::AutoFilterPrivileged());
    EXPECT_EQ(Prefs::FormName(), form);
    EXPECT_EQ(Prefs::ListName(), list);

    // The stored blocks keep their byte layout: name, four flags, little-endian days, flag.
    char user[38] = {};
    ASSERT_NE(xpref_get_data(XPREF_USER, "Quorvel", "Controls", user, 38), 0);
    EXPECT_STREQ(user, "Open issues");
    EXPECT_EQ(std::string(user + 31, 4), std::string("\x01\x01\x01\x01", 4));
    EXPECT_EQ(static_cast<unsigned char>(user[35]), 0xd4) << "-300 low byte";
    EXPECT_EQ(static_cast<unsigned char>(user[36]), 0xfe) << "-300 high byte";
    EXPECT_EQ(user[37], 0);
    char version[16] = {};
    ASSERT_NE(xpref_get_string(XPREF_SYSTEM, "Quorvel", "Controls Version", version, 16), 0);
    EXPECT_STREQ(version, "1.1.0");
    EXPECT_NE(StoreText(XPREF_SYSTEM).find("\"0001\""), std::string::npos)
        << "system block: auto filter off, privileged on";
}

TEST_F(Preferences, OnlyTheFirstThreeVersionCharactersCount) {
    ChangeUser();
    ASSERT_TRUE(Prefs::SaveUser());

    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Controls Version", "1.1.7"), 0);
    Prefs::Load();
    EXPECT_STREQ(Prefs::QueryName(), "Open issues") << "1.1.7 has the same layout";

    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Controls Version", "1.2.0"), 0);
    Prefs::Load();
    ExpectUserDefaults();

    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Controls Version", "1.1.0"), 0);
    ASSERT_NE(xpref_put_data(XPREF_USER, "Quorvel", "Controls", "short", 5), 0);
    Prefs::Load();
    ExpectUserDefaults();
}

TEST_F(Preferences, ReportNamesNeedTheSystemVersion) {
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Form Report", "Stored form"), 0);
    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Columnar Report", "Stored list"), 0);
    Prefs::Load();
    EXPECT_EQ(Prefs::FormName(), "QV Form View") << "no version: names are not read";

    ASSERT_NE(xpref_put_string(XPREF_SYSTEM, "Quorvel", "Controls Version", "1.1.0"), 0);
    ASSERT_NE(xpref_delete(XPREF_SYSTEM, "Quorvel", "Columnar Report"), 0);
    Prefs::Load();
    EXPECT_EQ(Prefs::FormName(), "Stored form");
    EXPECT_EQ(Prefs::ListName(), "QV Table View") << "a missing name takes its default";
    EXPECT_TRUE(Prefs::AutoFilter()) << "no stored block: defaults";
}

TEST_F(Preferences, SettersKeepTheStoredLimits) {
    Prefs::SetQueryName("123456789012345678901234567890EXTRA");
    EXPECT_STREQ(Prefs::QueryName(), "123456789012345678901234567890");
    Prefs::SetQueryName((std::string(29, 'q') + "\xc3\xa9").c_str());
    EXPECT_STREQ(Prefs::QueryName(), std::string(29, 'q').c_str())
        << "a character that does not fit whole is left out";
    Prefs::SetQueryName(nullptr);
    EXPECT_STREQ(Prefs::QueryName(), "");
    Prefs::SetFormName(std::string(300, 'f'));
    EXPECT_EQ(Prefs::FormName().size(), 255u);
}

TEST_F(Preferences, GridColumnsFallBackToTheDefault) {
    const std::vector<std::string> defaults = {"IATTACH", "ISSUE",   "FORMESS", "FOLLOWU",
                                               "URGENCY", "CLASSIF", "STATUS",  "NOTDATE",
                                               "DUEDATE", "RESPONS", "PROBLEM"};
    std::vector<std::string> columns;
    Prefs::GetGridColumns(columns);
    EXPECT_EQ(columns, defaults) << "nothing stored";
    Prefs::GetGridColumnDefaults(columns);
    EXPECT_EQ(columns, defaults);

    ASSERT_NE(xpref_put_string(XPREF_USER, "Quorvel", "Grid Columns", ""), 0);
    Prefs::GetGridColumns(columns);
    EXPECT_EQ(columns, defaults) << "an empty value";

    std::vector<std::string> mine = {"STATUS", "ISSUE"};
    ASSERT_TRUE(Prefs::PutGridColumns(mine));
    char text[32] = {};
    ASSERT_NE(xpref_get_string(XPREF_USER, "Quorvel", "Grid Columns", text, 32), 0);
    EXPECT_STREQ(text, "STATUS,ISSUE");
    Prefs::GetGridColumns(columns);
    EXPECT_EQ(columns, mine);
}

TEST(PrefString, ParsesNamesBetweenCommasAndBlanks) {
    using V = std::vector<std::string>;
    EXPECT_EQ(ParsePrefString("IATTACH, ISSUE,,FORMESS"), (V{"IATTACH", "ISSUE", "FORMESS"}));
    EXPECT_EQ(ParsePrefString(""), V{});
    EXPECT_EQ(ParsePrefString(" , ,, "), V{}) << "separators only";
    EXPECT_EQ(ParsePrefString(",A"), V{"A"});
    EXPECT_EQ(ParsePrefString("A,"), V{"A"});
    EXPECT_EQ(ParsePrefString("ONE"), V{"ONE"});
    EXPECT_EQ(ParsePrefString("a\tb"), V{"a\tb"}) << "only commas and blanks separate";

    V names = {"IATTACH", "ISSUE"};
    EXPECT_EQ(BuildPrefString(names), "IATTACH,ISSUE");
    V none;
    EXPECT_EQ(BuildPrefString(none), "");
    V round = ParsePrefString(BuildPrefString(names));
    EXPECT_EQ(round, names);
}

TEST(PrefsSnooze, WeekendsMoveToMonday) {
    Prefs::SetDefaults();
    ASSERT_EQ(Prefs::SnoozeDays(), 7);
    // June 2024: the 1st is a Saturday, the 2nd a Sunday, the 3rd to 7th weekdays.
    EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, 1)), 9) << "Saturday start";
    EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, 2)), 8) << "Sunday start";
    for (int day = 3; day <= 7; ++day) {
        EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, day)), 7) << "weekday " << day;
    }
    Prefs::SetSnoozeDays(5);
    EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, 3)), 7) << "Monday + 5 lands on Saturday";
    EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, 4)), 6) << "Tuesday + 5 lands on Sunday";
    for (int day = 1; day <= 30; ++day) {
        kwDate landing(2024, 6, day);
        landing.AddDays(Prefs::SnoozeDays(kwDate(2024, 6, day)));
        EXPECT_FALSE(landing.IsWeekend()) << "June " << day;
    }

    Prefs::SetSnoozeDays(7);
    Prefs::SetDisallowWeekend(false);
    for (int day = 1; day <= 7; ++day) {
        EXPECT_EQ(Prefs::SnoozeDays(kwDate(2024, 6, day)), 7) << "weekends allowed, day " << day;
    }
    Prefs::SetDefaults();
}

TEST(QVStringTable, HoldsTheProgramsNameAndPrompts) {
    EXPECT_EQ(KWLoadString("QV.EXE", 3), "Quorvel");
    EXPECT_EQ(KWLoadString("QV.EXE", 4), "QV");
    EXPECT_EQ(KWLoadString("QV.EXE", 7010), "Views and modifies existing issues");
    EXPECT_EQ(KWLoadString("QV.EXE", static_cast<short>(57344)), "Quorvel");
    EXPECT_EQ(KWLoadString("QV.EXE", static_cast<short>(57345)), "Ready");
    EXPECT_EQ(KWLoadString("QV.EXE", static_cast<short>(61184)), "Change the window size");
    EXPECT_EQ(KWLoadString("QV.EXE", static_cast<short>(61215)), "Activate this window");
    EXPECT_EQ(KWLoadString("", 3), "Quorvel") << "the program's table heads the chain";
}
