// Screen files: the built-in "QV" file holds the panels the program's features call, a
// site's folder comes first, and a damaged file is refused naming the file and the place.
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xwScreenFile.h"

#include "kwcommon/x_message.h"

#include "../KwappTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::string Error(const std::string& text) {
    std::string error;
    EXPECT_EQ(xwScreenFile::Parse(text, "qv.scr", &error), nullptr) << text;
    return error;
}

const char* kPanel = R"({"screen": "QV", "groups": [{"name": "TOOLS", "panels": [
    {"name": "APPLS", "width": 20, "height": 5, "fields": [%s]}]}]})";

std::string WithFields(const std::string& fields) {
    std::string text = kPanel;
    text.replace(text.find("%s"), 2, fields);
    return text;
}

} // namespace

TEST(ScreenFile, TheBuiltInScreenHoldsThePanelsTheProgramCalls) {
    std::string error;
    auto screen = xwScreenFile::Load("QV", &error);
    ASSERT_NE(screen, nullptr) << error;
    const xwPanelDef* apps = screen->Panel("tools", "appls");
    ASSERT_NE(apps, nullptr);
    const xwPanelDef* print = screen->Panel("ISSUE", "PRINT");
    ASSERT_NE(print, nullptr);
    auto field = [](const xwPanelDef* panel, short number) {
        for (const xwFieldDef& f : panel->fields) {
            if (f.number == number) return f;
        }
        ADD_FAILURE() << panel->name << " has no field " << number;
        return xwFieldDef{};
    };
    EXPECT_EQ(field(apps, 1).type, XW_FIELD_LIST);
    EXPECT_TRUE(field(apps, 1).checks);
    EXPECT_EQ(field(apps, 2).type, XW_FIELD_CHECK);
    EXPECT_LE(field(apps, 3).row, apps->height - 3) << "the buttons stay when the task takes three rows off";
    EXPECT_EQ(field(apps, 3).action, XW_ACTION_SAVE);
    EXPECT_EQ(field(apps, 4).action, XW_ACTION_DISCARD);
    EXPECT_EQ(field(print, 1).type, XW_FIELD_CHECK);
    EXPECT_EQ(field(print, 2).type, XW_FIELD_CHECK);
    EXPECT_EQ(field(print, 6).exitKey, 0) << "Conditions is the hub's";
    EXPECT_EQ(field(print, 7).exitKey, 0) << "Ranges is the hub's";
    EXPECT_EQ(field(print, 8).exitKey, XW_EXIT_ENTER);
    EXPECT_EQ(field(print, 8).action, XW_ACTION_ACCEPT);
}

TEST(ScreenFile, ADamagedFileNamesTheFileAndThePlace) {
    EXPECT_EQ(Error("{\"screen\": \"QV\", \"groups\": ["), "qv.scr: not valid JSON at byte 29");
    EXPECT_EQ(Error(R"({"groups": []})"), "qv.scr: \"screen\" is missing");
    EXPECT_EQ(Error(WithFields(R"({"number": 1, "type": "text", "row": 6, "column": 1, "width": 5})")),
              "qv.scr: groups[0].panels[0].fields[0].row: must lie between 1 and 5");
    EXPECT_EQ(Error(WithFields(R"({"number": 1, "type": "text", "row": 1, "column": 10, "width": 15})")),
              "qv.scr: groups[0].panels[0].fields[0]: reaches past the panel's last column (20)");
    EXPECT_EQ(Error(WithFields(R"({"number": 1, "type": "edit", "row": 1, "column": 1, "width": 5})")),
              "qv.scr: groups[0].panels[0].fields[0].type: \"edit\" is not a field type (text, number, "
              "check, radio, combo, list, button)");
    EXPECT_EQ(Error(WithFields(R"({"number": 2, "type": "check", "row": 1, "column": 1, "width": 5},
                                  {"number": 2, "type": "check", "row": 2, "column": 1, "width": 5})")),
              "qv.scr: groups[0].panels[0].fields[1].number: field 2 is defined twice");
    EXPECT_EQ(Error(WithFields(R"({"number": 3, "type": "button", "row": 1, "column": 1, "width": 5,
                                   "action": 1})")),
              "qv.scr: groups[0].panels[0].fields[0].action: a button with an action needs an exit key");
    EXPECT_EQ(Error(WithFields(R"({"number": 4, "type": "radio", "row": 1, "column": 1,
                                   "items": [{"text": "A", "row": 9, "column": 1}]})")),
              "qv.scr: groups[0].panels[0].fields[0].items[0].row: must lie between 1 and 5");
    EXPECT_EQ(Error(R"({"screen": "QV", "groups": [{"name": "TOOLS", "panels": [
                       {"name": "APPLS", "width": "wide", "height": 5}]}]})"),
              "qv.scr: groups[0].panels[0].width: must be a whole number");
}

TEST(ScreenFile, AScreenFolderComesFirstAndADamagedFileIsToldToTheUser) {
    kwapptest::App();
    TestCompany company{false};
    const std::string folder = TestCompany::MakeTempFolder("screens-");
    xw_set_screen_folders({folder});
    xw_clear_shown_messages();

    std::ofstream(folder + "/qv.scr") << WithFields(R"({"number": 1, "type": "list", "row": 1, "column": 1,
                                                        "width": 5})");
    EXPECT_EQ(xw_open_screen_file("QV"), 0);
    const std::string expected = "qv.scr: groups[0].panels[0].fields[0]: \"height\" is missing";
    EXPECT_EQ(xw_screen_file_error(), expected);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "The screen file \"QV\" cannot be used. " + expected);

    std::ofstream(folder + "/qv.scr") << WithFields("");
    const short screen = xw_open_screen_file("QV");
    EXPECT_GT(screen, 0) << "the folder's own file is taken before the built-in one";
    EXPECT_EQ(xw_display_panel(screen, "ISSUE", "PRINT", 0, nullptr, nullptr), 0) << "it has no print panel";
    EXPECT_EQ(xw_shown_messages().back().text, "The screen file qv.scr has no panel PRINT in group ISSUE.");
    xw_cls_screen_file(screen);

    EXPECT_EQ(xw_open_screen_file("NONE"), 0);
    EXPECT_EQ(xw_screen_file_error(), "none.scr: there is no such screen file");
    EXPECT_EQ(xw_open_screen_file("../qv"), 0) << "a name is no path";
    xw_set_screen_folders({});
    xw_clear_shown_messages();
    std::filesystem::remove_all(folder);
}
