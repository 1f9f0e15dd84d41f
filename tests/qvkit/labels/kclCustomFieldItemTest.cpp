// The label updaters: written at once, rewritten by UpdateAll after the descriptions
// change (also from the Custom Descriptions dialog's OK), in registration order, never
// reaching destroyed items or copies; the static text clears what a longer text left.
#include "qvkit/labels/kclCustFldSuiteWindow.h"
#include "qvkit/labels/kclCustFldWidgets.h"
#include "qvkit/labels/kclCustomFieldItem.h"

#include "kwapp/dialogs/kwCustomDescriptionsDlg.h"
#include "kwapp/suitewin/xw.h"
#include "kwapp/suitewin/xw_qt.h"
#include "kwapp/tasks/kwTask.h"

#include "kwcommon/xk.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

namespace {
class Labels : public ::testing::Test {
protected:
    void SetUp() override { TestApplication(); }
    TestCompany company{false};
};

QAction* Item(QMenu& menu, unsigned short id, const char* text) {
    QAction* action = menu.addAction(QString::fromLatin1(text));
    action->setProperty("cmdId", id);
    return action;
}
} // namespace

TEST_F(Labels, MenuItemsWithTermCodesFollowTheDescriptions) {
    QMenu menu;
    QMenu* sub = menu.addMenu(QStringLiteral("Lists"));
    QAction* status = Item(*sub, 7601, "");
    QAction* plain = Item(menu, 7602, "");
    kclCustFldMenuItem statusItem(&menu, 7601, "Edit <265F> List...");
    kclCustFldMenuItem plainItem(&menu, 7602, "Plain words");
    EXPECT_EQ(status->text(), "Edit Status List...") << "written as soon as the item exists (found in a submenu)";
    EXPECT_EQ(plain->text(), "Plain words") << "text without a term code is written unchanged";

    ASSERT_EQ(xk_put_description(265, 0, "State"), 0);
    EXPECT_EQ(status->text(), "Edit Status List...") << "nothing changes before UpdateAll";
    kclCustomFieldItem::UpdateAll();
    EXPECT_EQ(status->text(), "Edit State List...");

    ASSERT_EQ(xk_put_description(265, 0, "Phase"), 0);
    kwCustomDescriptionsDlg::DescriptionsChanged(); // what the dialog's OK does after writing
    EXPECT_EQ(status->text(), "Edit Phase List...") << "the Custom Descriptions dialog reaches every label";
}

TEST_F(Labels, UpdateAllFollowsRegistrationOrderAndSkipsDestroyedItemsAndCopies) {
    std::vector<int> calls;
    auto first = std::make_unique<kclCustFldzControlList>([&] { calls.push_back(1); });
    auto second = std::make_unique<kclCustFldzControlList>([&] { calls.push_back(2); });
    auto third = std::make_unique<kclCustFldzControlList>([&] { calls.push_back(3); });
    EXPECT_EQ(calls, (std::vector<int>{1, 2, 3})) << "each filled once when made";
    calls.clear();
    second.reset();
    kclCustomFieldItem::UpdateAll();
    EXPECT_EQ(calls, (std::vector<int>{1, 3})) << "the other two, in registration order";

    const size_t registered = kclCustomFieldItem::Registered().size();
    {
        kclCustFldzControlList copy(*first);
        EXPECT_EQ(kclCustomFieldItem::Registered().size(), registered) << "a copy is not registered";
    }
    EXPECT_EQ(kclCustomFieldItem::Registered().size(), registered) << "destroying the copy leaves the registry";
    calls.clear();
    kclCustomFieldItem::Update(0);
    EXPECT_EQ(calls, (std::vector<int>{1, 3})) << "the original stays registered";
}

TEST_F(Labels, ControlTextsTitlesAndTaskNames) {
    QWidget frame;
    QLabel label;
    kclCustFldzWindowTitle title(&frame, "<262F> Report");
    kclCustFldzControlText text(&label, "&<263F>:");
    kwTask task("Task", 0, 7777, 0, {}, {});
    kclCustFldTaskName name(&task, "Print <264F>", "<264F> in the background");
    EXPECT_EQ(frame.windowTitle(), "Classification Report");
    EXPECT_EQ(label.text(), "&Urgency:");
    EXPECT_EQ(task.Name(), "Print Follow-up");
    EXPECT_EQ(task.BackgroundName(), "Follow-up in the background");

    ASSERT_EQ(xk_put_description(262, 0, "Area"), 0);
    ASSERT_EQ(xk_put_description(264, 0, "Next step"), 0);
    kclCustomFieldItem::UpdateAll();
    EXPECT_EQ(frame.windowTitle(), "Area Report");
    EXPECT_EQ(task.Name(), "Print Next step");
    EXPECT_EQ(task.BackgroundName(), "Next step in the background");
}

TEST_F(Labels, StaticTextClearsWhatALongerTextLeft) {
    xw_window_def def{};
    def.kind = XW_KIND_PLAIN;
    def.rows = 5;
    def.columns = 40;
    const short window = xw_open_window(&def);
    ASSERT_GT(window, 0);
    const auto shown = [&] {
        QString text;
        for (QLabel* label : xw_window_widget(window)->findChildren<QLabel*>()) text += label->text();
        return text.trimmed();
    };
    ASSERT_EQ(xk_put_description(262, 0, "Department A"), 0); // 12 characters
    {
        kclCustFldC3StaticText item(window, 2, 3, 1, 0, 0, "<262F>");
        EXPECT_EQ(shown(), "Department A");
        EXPECT_EQ(item.WrittenLength(), 12);
        ASSERT_EQ(xk_put_description(262, 0, "Sales"), 0); // 5 characters
        kclCustomFieldItem::UpdateAll();
        EXPECT_EQ(shown(), "Sales") << "the 12 positions were cleared before the 5 were written";
        EXPECT_EQ(item.WrittenLength(), 5);
    }
    xw_cls_window(window);
}
