// The application chooser: the dialog lists the applications and answers the one chosen,
// -1 for a cancel; the no-application message.
#include "kwinq/kwInqApplList.h"

#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/x_message.h"

#include "TestApplication.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace {
// Answers the chooser dialog once it is up: picks row (or cancels for -1).
void AnswerChooser(int row) {
    QTimer::singleShot(0, [row] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* dialog = qobject_cast<QDialog*>(window);
            if (!dialog || !dialog->isVisible()) continue;
            if (row < 0) {
                kwFindCtrl<QPushButton>(dialog, 2)->click();
                return;
            }
            auto* list = kwFindCtrl<QListWidget>(dialog, 100);
            EXPECT_EQ(list->count(), 3);
            EXPECT_EQ(list->item(1)->text(), "Accounts Receivable (AR)");
            list->setCurrentRow(row);
            kwFindCtrl<QPushButton>(dialog, 1)->click();
            return;
        }
        ADD_FAILURE() << "no chooser on screen";
    });
}
} // namespace

TEST(kwInqApplList, ChooserAnswersTheChosenIndexOrMinusOne) {
    TestApplication();
    const InqApplList list = {{"AP", "Accounts Payable"}, {"AR", "Accounts Receivable"}, {"QV", "Quorvel"}};
    AnswerChooser(2);
    EXPECT_EQ(GetInqRptApplList(list, "formulas"), 2);
    AnswerChooser(-1);
    EXPECT_EQ(GetInqRptApplList(list, "formulas"), -1);
    EXPECT_EQ(GetInqRptApplList({}, "formulas"), -1) << "nothing to choose from";

    {
        auto chooser = InqApplChooserSeam().Replace([](const InqApplList&, const std::string&) { return 7; });
        EXPECT_EQ(GetInqRptApplList(list, "formulas"), -1) << "an answer outside the list is no choice";
    }

    xw_clear_shown_messages();
    InqNoApplMessage();
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, INQ_NO_APPL_TEXT);
    xw_clear_shown_messages();
}
