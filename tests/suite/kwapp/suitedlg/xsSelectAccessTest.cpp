// The operator selection: the real dialog answered by a driver, its replacement seam, and a
// company without operators.
#include "kwapp/suitedlg/xs_select_access.h"
#include "kwapp/suitedlg/xsSelectAccessDlg.h"

#include "kwcommon/kwStatus.h"
#include "kwcommon/x_message.h"

#include "SuiteDlgTestSupport.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTreeWidget>

#include <fstream>

using namespace suitedlgtest;

namespace {
class SelectAccess : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
    }


    TestCompany company{false};
};

QTreeWidget* List(xsSelectAccessDlg* dialog) {
    return qobject_cast<QTreeWidget*>(dialog->GetDlgItem(xsSelectAccessDlg::IDC_OPERATORS));
}
} // namespace

TEST_F(SelectAccess, TheDialogListsTheOperatorsAndAnswersTheChosenOne) {
    std::string startRow;
    int count = 0;
    WhenShown<xsSelectAccessDlg>([&](xsSelectAccessDlg* dialog) {
        count = dialog->OperatorCount();
        startRow = List(dialog)->currentItem()->text(0).toStdString();
        Screenshot(dialog, "suite-select-operator");
        List(dialog)->setCurrentItem(List(dialog)->topLevelItem(2));
        qobject_cast<QAbstractButton*>(dialog->GetDlgItem(kwDialog::IDOK))->click();
    });
    std::string id = "untouched", name = "untouched";
    EXPECT_EQ(xs_select_access(7098, "dana", &id, &name), XIO_OK);
    EXPECT_EQ(count, 3) << "every operator of the company";
    EXPECT_EQ(startRow, "DANA") << "the list opens at the starting operator, whatever its case";
    EXPECT_EQ(id, "LEE");
    EXPECT_EQ(name, "Lee Okafor");

    WhenShown<xsSelectAccessDlg>([](xsSelectAccessDlg* dialog) {
        qobject_cast<QAbstractButton*>(dialog->GetDlgItem(kwDialog::IDCANCEL))->click();
    });
    EXPECT_EQ(xs_select_access(7098, "", &id, &name), XIO_CANCELLED);
    EXPECT_EQ(id, "LEE") << "a cancel leaves the answers alone";

    // The selection can be answered without the dialog.
    auto selector = xs_access_selector_seam().Replace([](unsigned short command, const std::string& start, std::string* chosen,
                              std::string* chosenName) {
        *chosen = start + std::to_string(command);
        *chosenName = "scripted";
        return short{XIO_OK};
    });
    EXPECT_EQ(xs_select_access(7098, "X", &id, &name), XIO_OK);
    EXPECT_EQ(id, "X7098");
    EXPECT_EQ(name, "scripted");
}

TEST_F(SelectAccess, ACompanyWithoutOperatorsIsToldSo) {
    std::ofstream(company.Path("operators.json")) << R"({"security": true, "operators": []})";
    std::string id, name;
    EXPECT_EQ(xs_select_access(7098, "", &id, &name), XIO_NO_RECORD);
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text, "The company has no operators to choose from.");
    EXPECT_TRUE(id.empty());
}
