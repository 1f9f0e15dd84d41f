// Help > About: the facts a support call starts with, the versions of Qt and SQLite in use
// among them.
#include "kwapp/dialogs/kwAboutDialog.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "UiControlIds.h"
#include "kwapp/app/kwApplication.h"
#include "kwapp/widgets/kwCtrl.h"

#include <gtest/gtest.h>

#include <QLabel>

#include <sqlite3.h>

TEST(kwAboutDialog, ShowsTheVersionsOfQtAndSQLiteInUse) {
    kwapptest::App();
    TestCompany company(false);
    kwApplication app("Tester", "ZZ", kwBase::Version("2.3.4"), kwBase::Version("1.0"));
    kwAboutDialog about;
    EXPECT_EQ(kwFindCtrl<QLabel>(&about, kwAboutDialog::IDC_VERSION)->text(), "2.3.4");
    EXPECT_EQ(kwFindCtrl<QLabel>(&about, kwAboutDialog::IDC_QT_VERSION)->text(), QString::fromLatin1(qVersion()));
    EXPECT_EQ(kwFindCtrl<QLabel>(&about, kwAboutDialog::IDC_SQLITE_VERSION)->text(),
              QString::fromLatin1(sqlite3_libversion()));
}

TEST(kwAboutDialogTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{
        {"name", kwAboutDialog::IDC_NAME},
        {"version", kwAboutDialog::IDC_VERSION},
        {"dataVersion", kwAboutDialog::IDC_DATA_VERSION},
        {"company", kwAboutDialog::IDC_COMPANY},
        {"folder", kwAboutDialog::IDC_FOLDER},
        {"operatorName", kwAboutDialog::IDC_OPERATOR},
        {"qtVersion", kwAboutDialog::IDC_QT_VERSION},
        {"sqliteVersion", kwAboutDialog::IDC_SQLITE_VERSION},
        {"ok", kwDialog::IDOK},
    };
    EXPECT_EQ(UiControlIds("suite/kwapp/dialogs/kwAboutDialog.ui"), expected);
}
