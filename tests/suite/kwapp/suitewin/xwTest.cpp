// The window layer through the built-in "QV" screen file: the Applications panel read the
// way the Applications task reads it (save, discard, and the close box's question with its
// cancel), the print dialog's panel, labels, and calls on windows that are not there.
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xw_qt.h"

#include "kwcommon/x_message.h"

#include "../suitedlg/SuiteDlgTestSupport.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <vector>

using namespace suitedlgtest;

namespace {

struct Application {
    std::string code;
    std::string name;
};

struct Choice {
    bool saved = false;
    std::vector<std::string> notAvailable;
    bool hideNames = false;
    int reads = 0;
    short rowsAfterShortening = 0;
    std::string menuGroupLabel;
};

// One step per read: what the user does in the panel.
using Step = std::function<void(short window)>;

// The Applications task's selection panel, step for step as the task runs it.
Choice RunApplicationsPanel(const std::vector<Application>& apps, std::vector<std::string> notAvailable,
                            bool hideNames, std::deque<Step> steps) {
    Choice choice;
    xw_set_panel_driver([&steps](short window) {
        if (steps.empty()) return;
        Step step = std::move(steps.front());
        steps.pop_front();
        step(window);
    });
    const short screen = xw_open_screen_file("QV");
    EXPECT_GT(screen, 0);
    const short window = xw_display_panel(screen, "TOOLS", "APPLS", 0, nullptr, nullptr);
    EXPECT_GT(window, 0);
    EXPECT_EQ(xw_active_window(), window);

    xw_field_def field2;
    xw_get_field_def(xw_active_window(), 2, &field2);
    xw_wr_string(window, static_cast<short>(field2.row + 1), static_cast<short>(field2.column + 2), 1, 0, 0,
                 "menu group");
    xw_window_def def;
    xw_get_window_def(window, &def);
    def.rows = static_cast<int16_t>(def.rows - 3);
    xw_chg_window(window, &def);
    xw_get_window_def(window, &def);
    choice.rowsAfterShortening = def.rows;
    for (QLabel* label : xw_window_widget(window)->findChildren<QLabel*>()) {
        if (label->property("xwText").toInt() == field2.row + 1) choice.menuGroupLabel = label->text().toStdString();
    }

    for (size_t i = 0; i < apps.size(); ++i) {
        xw_list_entry entry;
        std::memset(&entry, 0, sizeof(entry));
        entry.selected = std::find(notAvailable.begin(), notAvailable.end(), apps[i].code) == notAvailable.end();
        entry.text1 = apps[i].name.c_str();
        entry.text2 = apps[i].code.c_str();
        EXPECT_EQ(xw_ins_list(window, 1, static_cast<short>(i + 1), &entry, 1), XW_OK);
    }
    const x_value_def one = x_value_def::OfNumber(1), show = x_value_def::OfNumber(hideNames ? 0 : 1);
    xw_put_field(window, 1, &one);
    xw_put_field(window, 2, &show);
    xw_wr_fields(window, 1, 2);

    for (;;) {
        xw_read_def read;
        std::memset(&read, 0, sizeof(read));
        xw_rd_panel(window, &read);
        ++choice.reads;
        if (read.exitKey == XW_EXIT_CLOSE) {
            read.exitKey = XW_EXIT_ENTER;
            if (xw_panel_changed(window)) {
                switch (xw_wr_message(0, XW_SAVE, "Do you want to save changes to Applications?", 0)) {
                case 1:
                    read.action = XW_ACTION_SAVE;
                    break;
                case 2:
                    read.action = XW_ACTION_DISCARD;
                    break;
                case 4:
                    read.exitKey = XW_EXIT_CLOSE;
                    break;
                }
            } else {
                read.action = XW_ACTION_DISCARD;
            }
        }
        if (read.exitKey != XW_EXIT_ENTER) continue;
        if (read.action == XW_ACTION_DISCARD) break;
        if (read.action == XW_ACTION_SAVE) {
            notAvailable.clear();
            for (short row = 1; row <= xw_list_count(window, 1); ++row) {
                xw_list_entry entry;
                xw_get_list(window, 1, row, &entry);
                if (!entry.selected) notAvailable.push_back(entry.text2);
            }
            x_value_def names;
            xw_get_field(window, 2, &names);
            choice.hideNames = names.AsNumber() <= 0;
            choice.notAvailable = notAvailable;
            choice.saved = true;
            break;
        }
    }
    xw_cls_window(window);
    xw_cls_screen_file(screen);
    xw_set_panel_driver({});
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return choice;
}

QTreeWidget* List(short window) {
    return qobject_cast<QTreeWidget*>(xw_field_widget(window, 1));
}

void Toggle(short window, int row) {
    QTreeWidgetItem* item = List(window)->topLevelItem(row - 1);
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void Click(short window, short field) {
    qobject_cast<QAbstractButton*>(xw_field_widget(window, field))->click();
}

const std::vector<Application> kApps = {{"AP", "Accounts Payable"}, {"AR", "Accounts Receivable"},
                                        {"GL", "General Ledger"}};

class SuiteWindows : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
    }
    void TearDown() override {
        xw_set_panel_driver({});
        xw_clear_shown_messages();
    }
    TestCompany company{false};
};

} // namespace

TEST_F(SuiteWindows, ApplicationsPanelSavesDiscardsAndAsksOnClose) {
    // Save: the unchecked application and the show-names box are taken.
    Choice saved = RunApplicationsPanel(kApps, {"GL"}, false, {[](short window) {
        QTreeWidget* list = List(window);
        EXPECT_EQ(list->topLevelItemCount(), 3);
        EXPECT_EQ(list->topLevelItem(2)->checkState(0), Qt::Unchecked) << "GL starts not available";
        EXPECT_EQ(list->topLevelItem(1)->text(1).toStdString(), "AR");
        Toggle(window, 1);
        Toggle(window, 3);
        qobject_cast<QCheckBox*>(xw_field_widget(window, 2))->setChecked(false);
        Screenshot(xw_window_widget(window), "suitewin-applications-panel");
        Click(window, 3);
    }});
    EXPECT_TRUE(saved.saved);
    EXPECT_EQ(saved.notAvailable, std::vector<std::string>{"AP"});
    EXPECT_TRUE(saved.hideNames);
    EXPECT_EQ(saved.rowsAfterShortening, 16) << "three rows shorter";
    EXPECT_EQ(saved.menuGroupLabel, "menu group");

    // Cancel after a change: discarded without a question.
    Choice cancelled = RunApplicationsPanel(kApps, {}, false, {[](short window) {
        Toggle(window, 2);
        Click(window, 4);
    }});
    EXPECT_FALSE(cancelled.saved);
    EXPECT_TRUE(xw_shown_messages().empty());

    // The close box with changes asks; its Cancel goes back to the panel, then No discards.
    xw_script_answers({XW_ANSWER_CANCEL, XW_ANSWER_NO});
    Choice asked = RunApplicationsPanel(kApps, {}, false,
                                        {[](short window) {
                                             Toggle(window, 2);
                                             xw_window_widget(window)->close();
                                         },
                                         [](short window) { xw_window_widget(window)->close(); }});
    EXPECT_FALSE(asked.saved);
    EXPECT_EQ(asked.reads, 2) << "the question's Cancel reads the panel again";
    ASSERT_EQ(xw_shown_messages().size(), 2u);
    EXPECT_EQ(xw_shown_messages()[0].text, "Do you want to save changes to Applications?");

    // Esc with changes answered Yes saves; a mark toggled back is no change at all.
    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_YES});
    Choice yes = RunApplicationsPanel(kApps, {}, false, {[](short window) {
        Toggle(window, 2);
        Key(xw_window_widget(window), Qt::Key_Escape);
    }});
    EXPECT_TRUE(yes.saved);
    EXPECT_EQ(yes.notAvailable, std::vector<std::string>{"AR"});
    Choice unchanged = RunApplicationsPanel(kApps, {}, false, {[](short window) {
        Toggle(window, 2);
        Toggle(window, 2);
        xw_window_widget(window)->close();
    }});
    EXPECT_FALSE(unchanged.saved);
    EXPECT_EQ(xw_shown_messages().size(), 1u) << "no question without a change";
}

TEST_F(SuiteWindows, PrintPanelReportsItsFieldsButtonsAndExits) {
    struct Seen {
        std::vector<std::vector<short>> events;
    } seen;
    auto callback = [](short, short event, short p1, short p2, short p3, void* data) -> short {
        static_cast<Seen*>(data)->events.push_back({event, p1, p2, p3});
        return 1;
    };
    const short screen = xw_open_screen_file("qv");
    const short window = xw_display_panel(screen, "issue", "print", 0, callback, &seen);
    ASSERT_GT(window, 0);
    EXPECT_EQ(seen.events.at(0), (std::vector<short>{XW_EVENT_PANEL_SHOWN, 0, 0, 0}));
    const x_value_def one = x_value_def::OfNumber(1);
    xw_put_field(window, 1, &one);
    xw_put_field(window, 2, &one);
    xw_put_field(window, 3, &one);
    xw_wr_fields(window, 1, 3);
    xw_set_active_field(window, 1);
    EXPECT_EQ(xw_panel_changed(window), 0) << "what the program writes is no change";
    EXPECT_EQ(xw_chg_button(window, 6, "*~Conditions...*"), XW_OK);
    Screenshot(xw_window_widget(window), "suitewin-print-panel");

    auto read = [window](std::function<void()> user) {
        xw_set_panel_driver([user](short) { user(); });
        xw_read_def def;
        std::memset(&def, 0, sizeof(def));
        xw_rd_panel(window, &def);
        return def;
    };
    // Field 1 ends the read when the user changes it.
    xw_read_def def = read([window] { qobject_cast<QCheckBox*>(xw_field_widget(window, 1))->click(); });
    EXPECT_EQ(def.exitKey, XW_EXIT_CHANGED);
    EXPECT_EQ(def.field, 1);
    ASSERT_GE(seen.events.size(), 2u);
    EXPECT_EQ(seen.events[seen.events.size() - 2], (std::vector<short>{XW_EVENT_FIELD_CHANGED, 1, 0, 0}));
    EXPECT_EQ(seen.events.back(), (std::vector<short>{XW_EVENT_READ_END, 1, XW_EXIT_CHANGED, 0}));
    x_value_def value;
    xw_get_field(window, 1, &value);
    EXPECT_EQ(value.AsNumber(), 0);

    // A range that is no number keeps the read going; OK then ends it with 13 and 3.
    seen.events.clear();
    def = read([window] {
        auto* from = qobject_cast<QLineEdit*>(xw_field_widget(window, 4));
        from->setText("12x");
        emit from->textEdited(from->text());
        Click(window, 8);
        from->setText("120");
        emit from->textEdited(from->text());
        Click(window, 8);
    });
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "\"12x\" is not a number. Type a number in \"Issues from\".");
    EXPECT_EQ(def.exitKey, XW_EXIT_ENTER);
    EXPECT_EQ(def.action, XW_ACTION_ACCEPT);
    EXPECT_EQ(seen.events.back(), (std::vector<short>{XW_EVENT_READ_END, 8, XW_EXIT_ENTER, XW_ACTION_ACCEPT}));
    xw_get_field(window, 4, &value);
    EXPECT_EQ(value.AsNumber(), 120);

    // A field marked changed by the program counts as the user's change until written.
    xw_wr_fields(window, 1, 9);
    EXPECT_EQ(xw_panel_changed(window), 0);
    xw_field_def field;
    ASSERT_EQ(xw_get_field_def(window, 5, &field), XW_OK);
    EXPECT_EQ(field.type, XW_FIELD_NUMBER);
    field.changed = 1;
    xw_chg_field(window, 5, &field);
    EXPECT_EQ(xw_panel_changed(window), 1);
    xw_wr_fields(window, 5, 5);
    EXPECT_EQ(xw_panel_changed(window), 0);

    // A button without an exit key is the callback's; when it does not handle it, the read ends.
    def = read([window] { Click(window, 7); });
    EXPECT_EQ(def.exitKey, XW_EXIT_BUTTON);
    EXPECT_EQ(def.field, 7);
    xw_cls_window(window);
    xw_cls_screen_file(screen);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST_F(SuiteWindows, LabelsTitlesAndWindowsThatAreNotThere) {
    xw_window_def def;
    std::memset(&def, 0, sizeof(def));
    def.kind = XW_KIND_PLAIN;
    def.rows = 5;
    def.columns = 30;
    std::strcpy(def.title, "Notes");
    const short window = xw_open_window(&def);
    ASSERT_GT(window, 0);
    auto texts = [window] {
        std::vector<std::string> shown;
        for (QLabel* label : xw_window_widget(window)->findChildren<QLabel*>()) shown.push_back(label->text().toStdString());
        std::sort(shown.begin(), shown.end());
        return shown;
    };
    xw_wr_string(window, 2, 3, 1, 0, 0, "Classification");
    xw_clr_part(window, 2, 2, 3, 3 + 14 - 1, 0);
    xw_wr_string(window, 2, 3, 1, 0, 0, "Class");
    xw_wr_string(window, 3, 3, 2, 0, 0, "Total");
    EXPECT_EQ(texts(), (std::vector<std::string>{"Class", "Total"})) << "the longer text left no remains";
    xw_chg_title(window, "Notes", "Vendor");
    EXPECT_EQ(xw_window_widget(window)->windowTitle().toStdString(), "Notes - Vendor");
    xw_chg_title(window, "Notes", nullptr);
    EXPECT_EQ(xw_window_widget(window)->windowTitle().toStdString(), "Notes");
    EXPECT_EQ(xw_chg_button(window, 1, "x"), XW_NO_FIELD);
    xw_cls_window(window);

    xw_read_def read;
    std::memset(&read, 0, sizeof(read));
    EXPECT_EQ(xw_rd_panel(window, &read), XW_NO_WINDOW);
    EXPECT_EQ(read.exitKey, XW_EXIT_ENTER) << "a caller's read loop ends as on Cancel";
    EXPECT_EQ(read.action, XW_ACTION_DISCARD);
    EXPECT_EQ(xw_wr_fields(window, 1, 2), XW_NO_WINDOW);
    EXPECT_EQ(xw_panel_changed(window), 0);
    EXPECT_EQ(xw_display_panel(999, "TOOLS", "APPLS", 0, nullptr, nullptr), 0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}
