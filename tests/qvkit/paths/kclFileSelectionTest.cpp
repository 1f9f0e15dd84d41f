// Choosing files and report designs through the chooser seam: where the chooser starts,
// what comes back for files in and out of that folder, drives, and the window-field forms.
#include "PathTestHelpers.h"
#include "TestApplication.h"
#include "TestCompany.h"

#include "qvkit/paths/kclFileChooser.h"
#include "qvkit/paths/kclFileSelection.h"
#include "qvkit/paths/kclWindowFields.h"
#include "kwapp/suitewin/xw.h"
#include "kwcommon/x_value_def.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <vector>

namespace {

// Answers the chooser with a file, or cancels when there is no answer; records each request.
struct ScriptedChooser {
    kclFileChooser::Guard guard = kclFileChooserSeam().Replace([this](const kclFileChoice& choice, std::string* chosen) -> short {
        shown.push_back(choice);
        if (!answer) return 15;
        *chosen = *answer;
        return 0;
    });
    const kclFileChoice& Last() const { return shown.back(); }
    std::optional<std::string> answer;
    std::vector<kclFileChoice> shown;
};

} // namespace

TEST(kclSelectFileFromList, StartFolderAndTheNameThatComesBack) {
    TestCompany company(false);
    ScriptedChooser chooser;
    const std::string folder = company.Path("exports/");
    auto select = [&](std::string& path, const std::string& start, short keepFull) {
        return kclSelectFileFromList(path, "csv", "Exports", "Export to", start, 1, keepFull);
    };

    std::string path = folder + "old.csv";
    chooser.answer = folder + "new.csv";
    EXPECT_EQ(select(path, "", 0), 1);
    EXPECT_EQ(chooser.Last().startFolder, folder) << "no start folder: the path's own";
    EXPECT_EQ(path, "new.csv") << "a file in the start folder comes back bare";
    EXPECT_EQ(select(path, folder, 1), 1);
    EXPECT_EQ(path, folder + "new.csv") << "keep-full-path keeps it whole";
    chooser.answer = company.Path("other/./x.csv");
    EXPECT_EQ(select(path, folder, 0), 1);
    EXPECT_EQ(path, company.Path("other/x.csv")) << "elsewhere: whole, in universal form";
    chooser.answer = company.Path("Exports/x.csv");
    EXPECT_EQ(select(path, folder, 0), 1);
    EXPECT_EQ(path, company.Path("Exports/x.csv")) << "a folder differing in case is another";

    path = "bare.csv";
    chooser.answer.reset();
    EXPECT_EQ(select(path, "", 0), 0);
    EXPECT_EQ(chooser.Last().startFolder, "*.csv") << "a bare name starts at the default place";
    EXPECT_EQ(path, "bare.csv") << "cancel changes nothing";

    DriveScope drive('C');
    chooser.answer = "C:/co/exports/a.csv";
    EXPECT_EQ(select(path, "/co/exports", 0), 1);
    EXPECT_EQ(path, "a.csv") << "a start folder without a drive is on the current drive";
    EXPECT_EQ(select(path, "//server/co/exports", 0), 1);
    EXPECT_EQ(path, "C:/co/exports/a.csv") << "a network start folder gets no drive";
}

TEST(kclSelectReportFromList, StartsWhereTheDesignIsAndReturnsShortNames) {
    TestCompany company(false);
    ScriptedChooser chooser;
    const std::string reports = company.Path("reports/");
    MakeFile(reports + "Shipped.RPT");

    std::string design;
    chooser.answer = reports + "QV Table View.RPT";
    EXPECT_EQ(kclSelectReportFromList(design, "Report Designs", 0, 1), 1);
    EXPECT_EQ(chooser.Last().startFolder, reports) << "no file control: the reports folder";
    EXPECT_EQ(design, "QV Table View")
        << "chosen in the reports folder: bare name without extension, even keeping full paths";
    chooser.answer = company.Path("mine/Custom.rpt");
    EXPECT_EQ(kclSelectReportFromList(design, "Report Designs", 0, 0), 1);
    EXPECT_EQ(design, company.Path("mine/Custom")) << "elsewhere: the full path less .rpt";
    chooser.answer.reset();
    EXPECT_EQ(kclSelectReportFromList(design, "Report Designs", 0, 0), 0);
    EXPECT_EQ(chooser.Last().startFolder, company.Path("mine/")) << "a path starts in its folder";
    EXPECT_EQ(design, company.Path("mine/Custom")) << "cancel keeps the design";

    SetReportControl(company.Folder(), "designs");
    const std::string designs = company.Path("designs");
    MakeFile(designs + "/Local.RPT");
    auto startFor = [&](std::string name) {
        kclSelectReportFromList(name, "Report Designs", 0, 0);
        return chooser.Last().startFolder;
    };
    EXPECT_EQ(startFor("local"), designs) << "found in the file control's folder";
    EXPECT_EQ(startFor("Shipped"), reports) << "found only in the reports folder";
    EXPECT_EQ(startFor("Missing"), designs) << "found nowhere: the file control's folder";

    chooser.answer = designs + "/New.rpt";
    EXPECT_EQ(kclSelectReportFromList(design, "Report Designs", 1, 1), 1);
    EXPECT_TRUE(chooser.Last().newFile);
    EXPECT_EQ(design, "New") << "the file control's folder is implied as well";
    DriveScope drive('C');
    chooser.answer = "C:" + reports + "Shipped.RPT";
    EXPECT_EQ(kclSelectReportFromList(design, "Report Designs", 0, 1), 1);
    EXPECT_EQ(design, "Shipped") << "the folders compare with the current drive too";
}

TEST(kclSelectReportFromList, WindowFieldFormWritesTheChoiceBack) {
    TestCompany company(false);
    ScriptedChooser chooser;
    std::map<short, std::string> fields{{7, "Old"}};
    std::vector<std::string> calls;
    bool refuse = false;
    kclWindowFieldAccess access;
    access.get = [&](short, short field, std::string* text) {
        if (!fields.count(field)) return false;
        *text = fields[field];
        return true;
    };
    access.put = [&](short, short field, const std::string& text) {
        calls.push_back("put");
        if (!refuse) fields[field] = text;
        return !refuse;
    };
    access.redisplay = [&](short, short) { calls.push_back("show"); };
    access.markChanged = [&](short, short) { calls.push_back("changed"); };
    kclSetWindowFieldAccess(access);

    chooser.answer = company.Path("reports/Chosen.RPT");
    EXPECT_EQ(kclSelectReportFromList(3, 7, "Report Designs", 0, 0), 1);
    EXPECT_EQ(chooser.Last().path, "Old") << "the selection starts from the field's text";
    EXPECT_EQ(fields[7], "Chosen");
    EXPECT_EQ(calls, (std::vector<std::string>{"put", "show", "changed"}));

    calls.clear();
    refuse = true;
    EXPECT_EQ(kclSelectFileFromList(3, 7, "txt", "Text", "T", "", 0, 0), 0)
        << "a choice the field refused is not reported as made";
    EXPECT_EQ(calls, std::vector<std::string>{"put"});
    kclSetWindowFieldAccess({});
}

TEST(FileSelection, ByDefaultTheFieldIsASuiteWindowField) {
    TestApplication();
    TestCompany company;
    ScriptedChooser chooser;
    const std::string screens = company.Path("screens");
    std::filesystem::create_directories(screens);
    std::ofstream(screens + "/pick.scr") << R"({"screen": "PICK", "groups": [{"name": "G", "panels": [
        {"name": "P", "title": "Pick", "width": 40, "height": 3,
         "fields": [{"number": 1, "type": "text", "row": 1, "column": 2, "width": 30, "maxLength": 60}]}]}]})";
    xw_set_screen_folders({screens});
    const short screen = xw_open_screen_file("PICK");
    ASSERT_NE(screen, 0) << xw_screen_file_error();
    const short window = xw_display_panel(screen, "G", "P", 0, nullptr, nullptr);
    ASSERT_NE(window, 0);
    x_value_def old{};
    old.SetText("Old");
    xw_put_field(window, 1, &old);

    chooser.answer = company.Path("reports/Chosen.RPT");
    EXPECT_EQ(kclSelectReportFromList(window, 1, "Report Designs", 0, 0), 1);
    EXPECT_EQ(chooser.Last().path, "Old") << "the selection starts from the window field's text";
    x_value_def now{};
    ASSERT_EQ(xw_get_field(window, 1, &now), XW_OK);
    EXPECT_EQ(now.AsText(), "Chosen");
    xw_field_def def{};
    xw_get_field_def(window, 1, &def);
    EXPECT_EQ(def.changed, 1) << "the choice counts as the user's change";
    xw_cls_window(window);
    xw_cls_screen_file(screen);
    xw_set_screen_folders({});
}
