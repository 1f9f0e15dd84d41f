// Company Settings > Custom Descriptions: the company's descriptions listed, changed ones
// written on OK and announced to the handlers, empty ones refused.
#include "kwapp/dialogs/kwCustomDescriptionsDlg.h"

#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/x_message.h"
#include "kwcommon/xk.h"

#include "TestApplication.h"
#include "TestCompany.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QPushButton>
#include <QTableWidget>

TEST(kwCustomDescriptionsDlg, WritesChangedDescriptionsAndTellsTheHandlers) {
    TestApplication();
    TestCompany company(false);
    int told = 0;
    const int handler = kwCustomDescriptionsDlg::AddChangedHandler([&] { ++told; });
    xw_clear_shown_messages();

    kwCustomDescriptionsDlg dialog;
    dialog.show();
    auto* table = kwFindCtrl<QTableWidget>(&dialog, kwCustomDescriptionsDlg::IDC_DESCRIPTIONS);
    ASSERT_NE(table, nullptr);
    const int status = dialog.RowOf("265");
    ASSERT_GE(status, 0);
    EXPECT_EQ(table->item(status, 1)->text(), "Status");
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    dialog.grab().save(folder + QStringLiteral("/kwCustomDescriptionsDlg.png"));

    table->item(status, 1)->setText("   ");
    kwFindCtrl<QPushButton>(&dialog, kwDialog::IDOK)->click();
    EXPECT_TRUE(dialog.isVisible()) << "an empty description is refused";
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "The description of 265 cannot be empty.");
    EXPECT_EQ(told, 0);

    table->item(status, 1)->setText(" Stage ");
    kwFindCtrl<QPushButton>(&dialog, kwDialog::IDOK)->click();
    EXPECT_EQ(dialog.Result(), kwDialog::IDOK);
    EXPECT_EQ(xk_description(265), "Stage");
    EXPECT_EQ(xk_description(262), "Classification") << "unchanged ones stay";
    EXPECT_EQ(told, 1) << "told once, after writing";
    kwCustomDescriptionsDlg::RemoveChangedHandler(handler);
    kwCustomDescriptionsDlg::DescriptionsChanged();
    EXPECT_EQ(told, 1) << "a removed handler is not told";
    xw_clear_shown_messages();
}
