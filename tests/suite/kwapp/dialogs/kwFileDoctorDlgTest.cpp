// The File Doctor driven as a user drives it: the company's data files listed, a damaged
// issue file checked, repaired after the user agrees, and checked again.
#include "kwapp/dialogs/kwFileDoctorDlg.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "kwapp/widgets/kwCtrl.h"
#include "kwcommon/kwioFile.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

// The issue file with 150 issues whose messages fill many pages, then a page in its
// middle overwritten.
void MakeDamagedIssueFile(const std::string& path) {
    {
        kwioDataFile file;
        ASSERT_EQ(file.PromptedOpen("QVI", 1, "", 0, true, true, false), 0);
        const short f = file.FileNum();
        xio_set_durability(f, XIO_FAST);
        for (int i = 1; i <= 150; ++i) {
            xio_init_record(f, 1);
            const x_value_def number = x_value_def::OfNumber(i);
            xio_put_field(f, 0, xio_num(f, 0, 0, "ISSUE"), &number);
            xio_put_long_text(f, xio_num(f, 0, 0, "FORMESS"), std::string(700, static_cast<char>('a' + i % 26)));
            ASSERT_EQ(xio_wr_record(f, 1, 0), 0);
        }
    }
    std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
    file.seekg(0, std::ios::end);
    const long pages = static_cast<long>(file.tellg()) / 4096;
    std::mt19937 random(5);
    file.seekp(pages / 2 * 4096 + 8);
    for (int i = 0; i < 4000; ++i) file.put(static_cast<char>(random()));
}

} // namespace

TEST(kwFileDoctorDlg, ChecksAndRepairsADamagedFileOfTheCompany) {
    kwapptest::App();
    TestCompany company(true);
    MakeDamagedIssueFile(company.Path("ISSUES.QVI"));
    for (const auto& data : xio_company_files())
        if (data.abbrev == "EQZ") std::filesystem::remove(data.path); // one file not made yet

    kwFileDoctorDlg dialog;
    auto* files = kwFindCtrl<QTreeWidget>(&dialog, kwFileDoctorDlg::IDC_FILE_LIST);
    auto* check = kwFindCtrl<QPushButton>(&dialog, kwFileDoctorDlg::IDC_CHECK);
    auto* repair = kwFindCtrl<QPushButton>(&dialog, kwFileDoctorDlg::IDC_REPAIR);
    auto* report = kwFindCtrl<QPlainTextEdit>(&dialog, kwFileDoctorDlg::IDC_REPORT);
    ASSERT_TRUE(files && check && repair && report);
    EXPECT_GT(files->topLevelItemCount(), 10) << "every dictionary of the company is offered";
    EXPECT_FALSE(dialog.ChooseFile("NOPE"));
    ASSERT_TRUE(dialog.ChooseFile("qvi"));
    EXPECT_EQ(dialog.ChosenFile(), "QVI");
    EXPECT_TRUE(check->isEnabled());

    check->click();
    EXPECT_TRUE(report->toPlainText().startsWith("The file is damaged")) << report->toPlainText().toStdString();
    dialog.resize(760, 520);
    EXPECT_TRUE(dialog.grab().save(QString::fromStdString(company.Path("checked.png"))));

    xw_script_answers({XW_ANSWER_NO});
    const QString checked = report->toPlainText();
    repair->click();
    EXPECT_EQ(report->toPlainText(), checked) << "No leaves the file alone";

    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_YES});
    repair->click();
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_NE(xw_shown_messages()[0].text.find("Everyone must close it"), std::string::npos);
    const std::string repaired = report->toPlainText().toStdString();
    EXPECT_EQ(repaired.rfind("The file was repaired. Every record that could be read was saved.", 0), 0u) << repaired;
    EXPECT_NE(repaired.find("The damaged file is kept as " + company.Path("ISSUES.QVI.damaged-")), std::string::npos)
        << repaired;
    EXPECT_EQ(dialog.ChosenFile(), "QVI") << "the file stays chosen";

    check->click();
    EXPECT_TRUE(report->toPlainText().startsWith("The file is sound.")) << report->toPlainText().toStdString();
    ASSERT_TRUE(dialog.ChooseFile("EQZ"));
    EXPECT_EQ(files->currentItem()->text(2), "absent");
    EXPECT_FALSE(check->isEnabled()) << "a file not made yet cannot be checked";
    EXPECT_FALSE(repair->isEnabled());
}
