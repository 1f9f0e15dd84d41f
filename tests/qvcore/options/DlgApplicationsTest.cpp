// The Applications panel: marks and the show-names choice taken on OK; closing with
// changes asks, and Cancel in that question keeps the panel.
#include "qvcore/options/DlgApplications.h"

#include "OptionsFixture.h"

#include <QCheckBox>
#include <QListWidget>
#include <QPushButton>

using namespace optionstest;

namespace {
class ApplicationsPanel : public OptionsFixture {};
const std::vector<std::pair<std::string, std::string>> kApps = {
    {"AP", "Accounts Payable"}, {"GL", "General Ledger"}, {"QV", "Quorvel"}};
} // namespace

TEST_F(ApplicationsPanel, OkTakesTheMarksAndTheCloseBoxAsksAboutChanges) {
    DlgApplications dialog(kApps, {"GL"}, true);
    dialog.show();
    auto* list = Control<QListWidget>(&dialog, DlgApplications::IDC_APPLICATIONS);
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked) << "GL is not available";
    EXPECT_TRUE(Control<QCheckBox>(&dialog, DlgApplications::IDC_SHOW_NAMES)->isChecked());
    Screenshot(&dialog, "DlgApplications");

    dialog.reject(); // the close box, no changes: closes without a question
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_FALSE(dialog.isVisible());

    dialog.show();
    list->item(0)->setCheckState(Qt::Unchecked);
    xw_script_answers({XW_ANSWER_CANCEL});
    dialog.reject();
    EXPECT_EQ(Texts(), std::vector<std::string>{"Do you want to save changes to Applications?"});
    EXPECT_EQ(xw_shown_messages()[0].type, XW_SAVE);
    EXPECT_TRUE(dialog.isVisible()) << "Cancel returns to the panel";

    xw_script_answers({XW_ANSWER_YES});
    dialog.reject();
    EXPECT_EQ(dialog.Result(), DlgApplications::IDOK) << "Yes saves";
    EXPECT_EQ(dialog.NotAvailable(), (std::vector<std::string>{"AP", "GL"}));
    EXPECT_TRUE(dialog.ShowNames());
}

TEST_F(ApplicationsPanel, CancelDropsTheChangesWithoutAQuestion) {
    DlgApplications dialog(kApps, {}, true);
    dialog.show();
    Control<QCheckBox>(&dialog, DlgApplications::IDC_SHOW_NAMES)->setChecked(false);
    Control<QPushButton>(&dialog, DlgApplications::IDCANCEL)->click();
    EXPECT_TRUE(xw_shown_messages().empty());
    EXPECT_EQ(dialog.Result(), DlgApplications::IDCANCEL);
}
