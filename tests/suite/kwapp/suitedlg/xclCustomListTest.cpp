// The custom-list editor: the real dialog driven entry by entry, its checks, its
// replacement seam, and a list file that cannot be written.
#include "kwapp/suitedlg/xcl_edit_custom_list.h"
#include "kwapp/suitedlg/xclCustomListDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include "SuiteDlgTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <fstream>
#include <sstream>

using namespace suitedlgtest;

namespace {
using Entries = std::vector<std::string>;

class CustomListEditor : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
    }
    void TearDown() override {
        xw_clear_shown_messages();
    }
    static Entries List(short list) {
        Entries entries;
        xk_get_custom_list(list, &entries);
        return entries;
    }
    template <class T> static T* Ctrl(xclCustomListDlg* dialog, int id) {
        T* control = qobject_cast<T*>(dialog->GetDlgItem(id));
        EXPECT_NE(control, nullptr) << "control " << id;
        return control;
    }
    static void Press(xclCustomListDlg* dialog, int id) {
        Ctrl<QAbstractButton>(dialog, id)->click();
    }
    static Entries Shown(xclCustomListDlg* dialog) {
        Entries entries;
        auto* list = Ctrl<QListWidget>(dialog, xclCustomListDlg::IDC_ENTRIES);
        for (int row = 0; row < list->count(); ++row)
            entries.push_back(list->item(row)->text().toStdString());
        return entries;
    }

    TestCompany company{false};
};
} // namespace

TEST_F(CustomListEditor, EntriesAreAddedRemovedOrderedAndSavedWithTheirDefault) {
    ASSERT_EQ(List(264), (Entries{"", "Call back", "E-mail", "Letter", "Meeting", "None"}));
    Entries opened;
    std::string defaultShown = "unset";
    bool duplicateRefused = false;
    WhenShown<xclCustomListDlg>([&](xclCustomListDlg* dialog) {
        opened = Shown(dialog);
        defaultShown =
            Ctrl<QComboBox>(dialog, xclCustomListDlg::IDC_DEFAULT)->currentText().toStdString();
        auto* newEntry = Ctrl<QLineEdit>(dialog, xclCustomListDlg::IDC_NEW_ENTRY);
        Type(newEntry, "Fax");
        Press(dialog, xclCustomListDlg::IDC_ADD);
        EXPECT_TRUE(newEntry->text().isEmpty()) << "the field is ready for the next entry";
        Type(newEntry, "Letter");
        Key(newEntry, Qt::Key_Return); // adds, does not close
        duplicateRefused = xw_shown_messages().size() == 1 && dialog->isVisible();
        auto* list = Ctrl<QListWidget>(dialog, xclCustomListDlg::IDC_ENTRIES);
        list->setCurrentRow(4); // None
        Press(dialog, xclCustomListDlg::IDC_REMOVE);
        list->setCurrentRow(4); // Fax
        Press(dialog, xclCustomListDlg::IDC_MOVE_UP);
        Ctrl<QComboBox>(dialog, xclCustomListDlg::IDC_DEFAULT)->setEditText("Call back");
        Screenshot(dialog, "suite-custom-list");
        Press(dialog, kwDialog::IDOK);
    });
    EXPECT_EQ(xcl_edit_custom_list(264), XIO_OK);
    EXPECT_EQ(opened, (Entries{"Call back", "E-mail", "Letter", "Meeting", "None"}))
        << "the default is shown apart";
    EXPECT_EQ(defaultShown, "");
    EXPECT_TRUE(duplicateRefused) << "an entry already in the list is refused with a message";
    EXPECT_EQ(xw_shown_messages().at(0).text, "\"Letter\" is already in the list.");
    EXPECT_EQ(List(264), (Entries{"Call back", "Call back", "E-mail", "Letter", "Fax", "Meeting"}));
}

TEST_F(CustomListEditor, ABlankEntryKeepsTheDialogOpenAndCancelSavesNothing) {
    const Entries stored = List(262);
    bool stayed = false;
    WhenShown<xclCustomListDlg>([&](xclCustomListDlg* dialog) {
        Ctrl<QListWidget>(dialog, xclCustomListDlg::IDC_ENTRIES)->item(1)->setText("   ");
        Press(dialog, kwDialog::IDOK);
        stayed = dialog->isVisible();
        Press(dialog, kwDialog::IDCANCEL);
    });
    EXPECT_EQ(xcl_edit_custom_list(262), XIO_CANCELLED);
    EXPECT_TRUE(stayed);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "An entry of the list is blank. Type a value or remove the entry.");
    EXPECT_EQ(List(262), stored);
}

TEST_F(CustomListEditor, WithoutTheOwningApplicationNoRuleApplies) {
    // This program does not load the issue tracker, so its status-list rule is not there.
    auto editor = xcl_custom_list_editor_seam().Replace([](short, Entries* entries) {
        *entries = {"", "Closed"};
        return true;
    });
    EXPECT_EQ(xcl_edit_custom_list(265), XIO_OK);
    EXPECT_EQ(List(265), (Entries{"", "Closed"}));

    auto cancelling = xcl_custom_list_editor_seam().Replace([](short, Entries*) { return false; });
    EXPECT_EQ(xcl_edit_custom_list(265), XIO_CANCELLED);
    EXPECT_EQ(List(265), (Entries{"", "Closed"}));
}

TEST_F(CustomListEditor, AListFileThatCannotBeWrittenIsReportedAndLeftAlone) {
    std::ofstream(company.Path("lists.json")) << "{ not json";
    xk_reload();
    auto editor = xcl_custom_list_editor_seam().Replace([](short, Entries* entries) {
        *entries = {"", "A"};
        return true;
    });
    EXPECT_EQ(xcl_edit_custom_list(264), XIO_CORRUPT);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(
        xw_shown_messages()[0].text,
        "The list could not be saved. The company's list file is damaged; it was left as it is.");
    std::ifstream in(company.Path("lists.json"));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "{ not json");
}
