// The system log shows the end of a long log from a whole line, and says so when there is
// no log to show.
#include "kwapp/dialogs/kwLogDialog.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "UiControlIds.h"
#include "kwapp/widgets/kwCtrl.h"
#include "kwcommon/kwCompany.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>

#include <fstream>

TEST(kwLogDialog, ShowsTheLogsEndFromAWholeLine) {
    kwapptest::App();
    TestCompany company(false);
    EXPECT_EQ(kwLogDialog::LogText(""), "No company is open.");
    EXPECT_EQ(kwLogDialog::LogText(company.Path("none.txt")), "The log is empty.");

    {
        std::ofstream log(kwCompany::LogFile(), std::ios::trunc);
        for (int line = 0; line < 30000; ++line)
            log << "2024-01-01 10:00:00 ADMIN 0 line " << line << "\n";
    }
    const QString text = kwLogDialog::LogText(kwCompany::LogFile());
    EXPECT_LE(text.toUtf8().size(), kwLogDialog::SHOWN_BYTES);
    EXPECT_TRUE(text.startsWith("2024-01-01")) << "the first line shown is whole";
    EXPECT_TRUE(text.endsWith("line 29999\n")) << "the newest lines are shown";

    kwLogDialog dialog;
    auto* view = kwFindCtrl<QPlainTextEdit>(&dialog, kwLogDialog::IDC_LOG_TEXT);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->isReadOnly());
    EXPECT_EQ(view->toPlainText(), text);
}

TEST(kwLogDialogTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{{"logText", kwLogDialog::IDC_LOG_TEXT},
                                              {"closeButton", kwDialog::IDCANCEL}};
    EXPECT_EQ(UiControlIds("suite/kwapp/dialogs/kwLogDialog.ui"), expected);
}
