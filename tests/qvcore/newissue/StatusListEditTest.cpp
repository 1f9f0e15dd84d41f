// The suite's custom-list editor finds this library's rule for the status list (265) at run
// time and refuses a list that breaks it; other lists are not checked by it.
#include "kwapp/suitedlg/xcl_edit_custom_list.h"
#include "kwapp/suitedlg/xclCustomListDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/xk.h"

#include "NewIssueFixture.h"

#include <QAbstractButton>
#include <QListWidget>

using namespace newissuetest;

namespace {
using Entries = std::vector<std::string>;

const char* const kRule =
    "The first three values in the list must be 'Open', 'On-Hold' and 'Closed'.";

class StatusListEdit : public NewIssueFixture {
protected:
    static Entries List(short list) {
        Entries entries;
        xk_get_custom_list(list, &entries);
        return entries;
    }
};
} // namespace

TEST_F(StatusListEdit, TheStatusListMustKeepItsFirstThreeValues) {
    const Entries stored = List(265);
    Entries offered;
    auto editor = xcl_custom_list_editor_seam().Replace([&](short, Entries* entries) {
        offered = *entries;
        *entries = {"", "Open", "Closed", "On-Hold"};
        return true;
    });
    EXPECT_EQ(xcl_edit_custom_list(265), XIO_BAD_VALUE);
    EXPECT_EQ(offered, stored) << "the editor gets the stored list, default first";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, kRule);
    EXPECT_EQ(List(265), stored) << "a refused list is not saved";

    xw_clear_shown_messages();
    auto accepting = xcl_custom_list_editor_seam().Replace([](short, Entries* entries) {
        *entries = {"open", "open", "on-hold", "CLOSED", "Waiting"};
        return true;
    });
    EXPECT_EQ(xcl_edit_custom_list(265), XIO_OK);
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(List(265), (Entries{"open", "open", "on-hold", "CLOSED", "Waiting"}));

    // The rule is the status list's alone.
    auto otherList = xcl_custom_list_editor_seam().Replace([](short, Entries* entries) {
        *entries = {"", "Closed"};
        return true;
    });
    EXPECT_EQ(xcl_edit_custom_list(264), XIO_OK);
    EXPECT_EQ(List(264), (Entries{"", "Closed"}));
}

TEST_F(StatusListEdit, TheDialogStaysOpenOnARefusedList) {
    const Entries stored = List(265);
    bool refusedWhileOpen = false;
    WhenShown<xclCustomListDlg>([&](xclCustomListDlg* dialog) {
        auto* entries = Control<QListWidget>(dialog, xclCustomListDlg::IDC_ENTRIES);
        entries->setCurrentRow(0); // Open
        dialog->MoveSelected(1);   // On-Hold, Open, Closed
        Control<QAbstractButton>(dialog, kwDialog::IDOK)->click();
        refusedWhileOpen = dialog->isVisible() && xw_shown_messages().size() == 1;
        dialog->MoveSelected(-1); // back in order
        Control<QAbstractButton>(dialog, kwDialog::IDOK)->click();
    });
    EXPECT_EQ(xcl_edit_custom_list(265), XIO_OK);
    EXPECT_TRUE(refusedWhileOpen) << "the rule's message was shown and the dialog stayed";
    EXPECT_EQ(xw_shown_messages().at(0).text, kRule);
    EXPECT_EQ(List(265), stored);
}
