// The condition editor through its real widgets in a suite window opened as the View Issues
// window opens it: conditions added on a real issue file then select exactly the right
// issues; values that do not parse are refused; Cancel, Esc and the close box leave the
// set as it was; a condition on a field the dictionary lost can be removed.
#include "kwapp/suitewin/xc_select_conditions.h"
#include "kwapp/suitewin/xcConditionEditor.h"
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xw_qt.h"
#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/conditions/xc_conditions.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"
#include "kwcommon/xio_dict.h"
#include "kwcommon/xk.h"

#include <nlohmann/json.hpp>

#include "../suitedlg/SuiteDlgTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QListWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <set>
#include <vector>

using namespace suitedlgtest;

namespace {

struct Events {
    std::vector<short> seen;
    bool closeOnEnd = true;
};

short Callback(short window, short event, short, short, short, void* appData) {
    auto* events = static_cast<Events*>(appData);
    events->seen.push_back(event);
    if (events->closeOnEnd && (event == XW_EVENT_ACCEPTED || event == XW_EVENT_CANCELLED)) xw_cls_window(window);
    return 1;
}

class ConditionEditor : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
        xc_set_condition_editor({});
        ASSERT_EQ(issues.PromptedOpen("QVI", 7010, "", 0, true, true, false), 0);
        file = issues.FileNum();
        xc_cond_init_def def;
        std::memset(&def, 0, sizeof(def));
        def.programNumber = 7010;
        def.fileNumber = file;
        def.recordType = 1;
        set = xc_init_conditions(&def, 1);
        ASSERT_GT(set, 0);
    }
    void TearDown() override {
        if (window && xw_window_widget(window)) xw_cls_window(window);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        xc_term_conditions(set, 1);
        xc_set_condition_editor({});
        xw_clear_shown_messages();
    }

    // The window the View Issues window opens for its Conditions button.
    short OpenWindow() {
        xw_window_def def;
        std::memset(&def, 0, sizeof(def));
        def.centreVertically = def.centreHorizontally = 1; // offsets 2 and 4
        def.modal = 1;                                     // offset 58
        def.closeBox = 1;                                  // offset 66
        def.kind = XW_KIND_DIALOG_HOST;                    // 2 at offset 18
        def.border = 0;                                    // offset 20
        def.callback = Callback;
        def.appData = &events;
        window = xw_open_window(&def);
        EXPECT_GT(window, 0);
        return window;
    }

    void OpenEditor() {
        ASSERT_EQ(xc_select_conditions(set, XC_SELECT_IN_WINDOW, 0, "display", OpenWindow()), 1);
        ASSERT_TRUE(xw_window_widget(window)->isVisible()) << "the editor shows in its window";
    }

    template <class T> T* Ctrl(int id) {
        T* control = kwFindCtrl<T>(xw_window_widget(window), id);
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    void Press(int id) { Ctrl<QAbstractButton>(id)->click(); }

    // Fills the condition being edited as a user would.
    void Edit(const char* field, short comparison, const char* value1, const char* value2 = "",
              bool orNext = false) {
        auto* fields = Ctrl<QComboBox>(xcConditionEditor::IDC_FIELD);
        const int at = fields->findText(field);
        ASSERT_GE(at, 0) << "the field list offers " << field;
        fields->setCurrentIndex(at);
        auto* comparisons = Ctrl<QComboBox>(xcConditionEditor::IDC_COMPARISON);
        comparisons->setCurrentIndex(comparisons->findData(comparison));
        for (auto [id, text] : {std::pair{xcConditionEditor::IDC_VALUE1, value1},
                                std::pair{xcConditionEditor::IDC_VALUE2, value2}}) {
            auto* box = Ctrl<QComboBox>(id);
            if (box->isEditable()) box->setEditText(text);
            else box->setCurrentIndex(box->findText(text));
        }
        Press(orNext ? xcConditionEditor::IDC_OR : xcConditionEditor::IDC_AND);
    }

    std::vector<std::string> Lines() {
        std::vector<std::string> lines;
        auto* list = Ctrl<QListWidget>(xcConditionEditor::IDC_CONDITIONS);
        for (int i = 0; list && i < list->count(); ++i) lines.push_back(list->item(i)->text().toStdString());
        return lines;
    }

    std::vector<xc_cond_def> Conditions() {
        std::vector<xc_cond_def> all(static_cast<size_t>(xc_condition_count(set)));
        for (size_t i = 0; i < all.size(); ++i) xc_get_condition_at(set, static_cast<short>(i), &all[i]);
        return all;
    }

    void AddIssue(double number, const char* status, const char* urgency) {
        ASSERT_EQ(xio_init_record(file, 1), 0);
        const x_value_def id = x_value_def::OfNumber(number), s = x_value_def::OfText(status),
                          u = x_value_def::OfText(urgency);
        xio_put_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &id);
        xio_put_field(file, 0, xio_num(file, 0, 0, "STATUS"), &s);
        xio_put_field(file, 0, xio_num(file, 0, 0, "URGENCY"), &u);
        ASSERT_EQ(xio_wr_record(file, 1, 0), 0);
    }

    std::set<int> Selected() {
        std::set<int> numbers;
        for (short status = xio_rd_first(file, 1, 0, 0); status == 0; status = xio_rd_next(file, 1, 0, 0)) {
            if (!xc_meets_conditions(set, file, 1, 0, 0, 1)) continue;
            x_value_def id;
            xio_get_field(file, 0, xio_num(file, 0, 0, "ISSUE"), &id);
            numbers.insert(static_cast<int>(id.AsNumber()));
        }
        return numbers;
    }

    TestCompany company{false};
    kwioDataFile issues;
    short file = 0;
    short set = 0;
    short window = 0;
    Events events;
};

} // namespace

TEST_F(ConditionEditor, StatusOpenOrUrgencyHighSelectsExactlyThoseIssues) {
    AddIssue(1, "Open", "Low");
    AddIssue(2, "Closed", "High");
    AddIssue(3, "Closed", "Normal");
    AddIssue(4, "On-Hold", "Critical");
    AddIssue(5, "open", "High");
    OpenEditor();

    Edit("Status", XC_EQUAL, "Open", "", true);
    Press(xcConditionEditor::IDC_ADD);
    Edit("Urgency", XC_EQUAL, "High");
    Press(xcConditionEditor::IDC_ADD);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Status is equal to \"Open\" or", "Urgency is equal to \"High\""}));
    EXPECT_TRUE(events.seen.empty()) << "nothing is reported before OK";
    Screenshot(xw_window_widget(window), "suitewin-condition-editor");

    Press(xcConditionEditor::IDOK);
    EXPECT_EQ(events.seen, std::vector<short>{XW_EVENT_ACCEPTED});
    EXPECT_EQ(xw_window_widget(window), nullptr) << "the callback closed the window";
    EXPECT_EQ(Selected(), (std::set<int>{1, 2, 5})) << "Status Open (any case) or Urgency High";
    EXPECT_NE(xc_changed_conditions(set), 0);
}

TEST_F(ConditionEditor, AConditionIsChangedMovedAndRemoved) {
    xc_cond_def status, urgency;
    const x_value_def open = x_value_def::OfText("Open"), high = x_value_def::OfText("High");
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "STATUS"), XC_EQUAL, &open, nullptr, XC_AND, &status), 1);
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "URGENCY"), XC_EQUAL, &high, nullptr, XC_AND, &urgency), 1);
    xc_put_condition(set, &status);
    xc_put_condition(set, &urgency);
    OpenEditor();
    auto* list = Ctrl<QListWidget>(xcConditionEditor::IDC_CONDITIONS);

    list->setCurrentRow(0);
    EXPECT_EQ(Ctrl<QComboBox>(xcConditionEditor::IDC_FIELD)->currentText(), "Status") << "a chosen line is loaded";
    EXPECT_EQ(Ctrl<QComboBox>(xcConditionEditor::IDC_VALUE1)->currentText(), "Open");
    Edit("Status", XC_NOT_EQUAL, "Closed", "", true);
    Press(xcConditionEditor::IDC_CHANGE);
    Press(xcConditionEditor::IDC_MOVE_DOWN);
    EXPECT_EQ(Lines(), (std::vector<std::string>{"Urgency is equal to \"High\" and",
                                                 "Status is not equal to \"Closed\""}));
    EXPECT_EQ(list->currentRow(), 1) << "the moved line stays chosen";
    Press(xcConditionEditor::IDC_REMOVE);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Urgency is equal to \"High\""});
    Press(xcConditionEditor::IDOK);
    ASSERT_EQ(Conditions().size(), 1u);
    EXPECT_STREQ(Conditions()[0].fieldName, "URGENCY");
}

TEST_F(ConditionEditor, ValuesThatDoNotParseAreRefusedWithTheirMessage) {
    OpenEditor();
    Edit("Due date", XC_EQUAL, "02/30/2024");
    Press(xcConditionEditor::IDC_ADD);
    Edit("Issue number", XC_BETWEEN, "10", "1o");
    Press(xcConditionEditor::IDC_ADD);
    Edit("Due date", XC_LESS, "");
    Press(xcConditionEditor::IDC_ADD);
    ASSERT_EQ(xw_shown_messages().size(), 3u);
    EXPECT_EQ(xw_shown_messages()[0].text, "\"02/30/2024\" is not a date. Type the date for Due date as MM/DD/YYYY.");
    EXPECT_EQ(xw_shown_messages()[1].text, "\"1o\" is not a number. Type a number for Issue number.");
    EXPECT_EQ(xw_shown_messages()[2].text, "Type a value for Due date, or choose \"is blank\".");
    EXPECT_TRUE(Lines().empty()) << "nothing was added";
    EXPECT_EQ(xc_changed_conditions(set), 0);

    Edit("Due date", XC_BETWEEN, "3/1/2024", "03/31/2024");
    Press(xcConditionEditor::IDC_ADD);
    EXPECT_EQ(Lines(), std::vector<std::string>{"Due date is between 03/01/2024 and 03/31/2024"});
    Press(xcConditionEditor::IDCANCEL);
}

TEST_F(ConditionEditor, CancelEscapeAndTheCloseBoxLeaveTheSetAsItWas) {
    xc_cond_def status;
    const x_value_def open = x_value_def::OfText("Open");
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "STATUS"), XC_EQUAL, &open, nullptr, XC_OR, &status), 1);
    xc_put_condition(set, &status);
    const std::vector<xc_cond_def> before = Conditions();

    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Cancel", [this] { Press(xcConditionEditor::IDCANCEL); }},
        {"Esc", [this] { Key(xw_window_widget(window), Qt::Key_Escape); }},
        {"close box", [this] { xw_window_widget(window)->close(); }},
    };
    for (const auto& [way, leave] : ways) {
        events.seen.clear();
        OpenEditor();
        Press(xcConditionEditor::IDC_REMOVE);
        Edit("Urgency", XC_EQUAL, "High");
        Press(xcConditionEditor::IDC_ADD);
        ASSERT_EQ(xc_condition_count(set), 1) << way << ": the set is edited in place";
        leave();
        EXPECT_EQ(events.seen, std::vector<short>{XW_EVENT_CANCELLED}) << way;
        const std::vector<xc_cond_def> after = Conditions();
        ASSERT_EQ(after.size(), before.size()) << way;
        EXPECT_EQ(std::memcmp(after.data(), before.data(), sizeof(xc_cond_def)), 0) << way;
        EXPECT_EQ(xc_changed_conditions(set), 0) << way << ": not marked changed";
    }
}

TEST_F(ConditionEditor, AConditionOnAFieldTheDictionaryLostIsMarkedAndRemoved) {
    xc_cond_def urgency, status;
    const x_value_def high = x_value_def::OfText("High"), open = x_value_def::OfText("Open");
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "URGENCY"), XC_EQUAL, &high, nullptr, XC_AND, &urgency), 1);
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "STATUS"), XC_EQUAL, &open, nullptr, XC_AND, &status), 1);
    xc_put_condition(set, &urgency);
    xc_put_condition(set, &status);

    // The company's dictionary loses URGENCY while the set lives on; the file is opened again.
    issues.Close();
    const std::string path = kwDictionaryLoader::PathOf("QVI");
    std::ifstream in(path);
    nlohmann::json dictionary = nlohmann::json::parse(in);
    auto& fields = dictionary["recordTypes"][0]["fields"];
    for (auto it = fields.begin(); it != fields.end(); ++it) {
        if ((*it)["name"] == "URGENCY") {
            fields.erase(it);
            break;
        }
    }
    std::ofstream(path) << dictionary.dump(1);
    kwDictionaryLoader::ClearCache();
    kwioDictFile dictionaryOnly;
    ASSERT_EQ(dictionaryOnly.Open("QVI"), 0);
    ASSERT_EQ(dictionaryOnly.FileNum(), file) << "the set's file number names the file again";

    OpenEditor();
    auto* list = Ctrl<QListWidget>(xcConditionEditor::IDC_CONDITIONS);
    ASSERT_EQ(Lines().size(), 2u);
    EXPECT_EQ(Lines()[0], "URGENCY is equal to \"High\"  (field no longer in the dictionary) and");
    EXPECT_EQ(Lines()[1], "Status is equal to \"Open\"") << "the renumbered field is found by its name";
    EXPECT_TRUE(list->item(0)->data(Qt::UserRole).toBool()) << "marked";
    EXPECT_EQ(Ctrl<QComboBox>(xcConditionEditor::IDC_FIELD)->findText("Urgency"), -1);
    list->setCurrentRow(0);
    EXPECT_FALSE(Ctrl<QAbstractButton>(xcConditionEditor::IDC_CHANGE)->isEnabled());
    EXPECT_TRUE(Ctrl<QAbstractButton>(xcConditionEditor::IDC_MOVE_DOWN)->isEnabled());
    Press(xcConditionEditor::IDC_MOVE_DOWN);
    EXPECT_EQ(Lines()[1], "URGENCY is equal to \"High\"  (field no longer in the dictionary)")
        << "moving past a lost field keeps it";
    Press(xcConditionEditor::IDC_REMOVE);
    Press(xcConditionEditor::IDOK);
    ASSERT_EQ(Conditions().size(), 1u);
    EXPECT_STREQ(Conditions()[0].fieldName, "STATUS");
}

TEST_F(ConditionEditor, TheEditorTakesInputWhileTheWindowThatOpenedItIsDisabled) {
    QDialog owner;
    owner.show();
    owner.activateWindow();
    QCoreApplication::processEvents();
    ASSERT_EQ(QApplication::activeWindow(), &owner);
    OpenEditor();
    owner.setEnabled(false); // as the Build Query dialog does while the editor runs
    EXPECT_TRUE(xw_window_widget(window)->isEnabled());
    EXPECT_TRUE(Ctrl<QAbstractButton>(xcConditionEditor::IDOK)->isEnabled());
    Press(xcConditionEditor::IDOK);
    EXPECT_EQ(events.seen, std::vector<short>{XW_EVENT_ACCEPTED});
}

TEST_F(ConditionEditor, FieldsAreOfferedByTheCompanysDescriptions) {
    xio_fld_def def{};
    std::strcpy(def.name, "STATUS");
    std::strcpy(def.description, "Status");
    def.listFlag = 1;
    def.kind = 265;
    ASSERT_EQ(xk_put_description(265, 0, "State"), 0);
    EXPECT_EQ(xcConditionEditor::FieldDescription(def), "State") << "a list field goes by its list's name";
    std::strcpy(def.description, "<265F> code");
    def.listFlag = 0;
    EXPECT_EQ(xcConditionEditor::FieldDescription(def), "State code") << "term codes are filled in";
    OpenEditor();
    EXPECT_GE(Ctrl<QComboBox>(xcConditionEditor::IDC_FIELD)->findText("State"), 0);
    EXPECT_EQ(Ctrl<QComboBox>(xcConditionEditor::IDC_FIELD)->findText("Status"), -1);
    Press(xcConditionEditor::IDCANCEL);
}

TEST_F(ConditionEditor, TheStandInAndTheModalModeKeepTheSamePromises) {
    xc_set_condition_editor([](short handle) {
        xc_clear_conditions(handle);
        return false;
    });
    xc_cond_def status;
    const x_value_def open = x_value_def::OfText("Open");
    ASSERT_EQ(xc_make_condition(file, xio_num(file, 0, 0, "STATUS"), XC_EQUAL, &open, nullptr, XC_AND, &status), 1);
    xc_put_condition(set, &status);

    ASSERT_EQ(xc_select_conditions(set, XC_SELECT_IN_WINDOW, 0, "display", OpenWindow()), 1);
    EXPECT_TRUE(events.seen.empty()) << "the end comes after the call has returned";
    QCoreApplication::processEvents();
    EXPECT_EQ(events.seen, std::vector<short>{XW_EVENT_CANCELLED});
    EXPECT_EQ(xc_condition_count(set), 1) << "a cancel restores the set";

    xc_set_condition_editor([](short handle) { return xc_clear_conditions(handle) != 0; });
    EXPECT_EQ(xc_select_conditions(set, XC_SELECT_MODAL, 0, nullptr, 0), 1);
    EXPECT_EQ(xc_condition_count(set), 0);

    EXPECT_EQ(xc_select_conditions(set, XC_SELECT_IN_WINDOW, 0, "stored", OpenWindow()), 0) << "unknown format";
    EXPECT_EQ(xc_select_conditions(9999, XC_SELECT_IN_WINDOW, 0, "display", window), 0) << "unknown set";
    EXPECT_EQ(xc_select_conditions(set, XC_SELECT_IN_WINDOW, 0, "display", 0), 0) << "no window";
}
