// The log-on of a company with operator security, as a program meets it at start-up: one of
// the company's operators chosen, another company opened, or the start given up.
#include "kwapp/dialogs/kwLogOnDlg.h"

#include "../KwappTestSupport.h"
#include "TestCompany.h"
#include "UiControlIds.h"
#include "kwapp/app/kwMainApp.h"
#include "kwapp/dialogs/kwFolderDialog.h"
#include "kwapp/messages/kwMessageBox.h"
#include "kwapp/widgets/kwCtrl.h"
#include "kwcommon/kwCompany.h"
#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>

#include <cstdlib>
#include <fstream>

namespace {

class LogOn : public ::testing::Test {
protected:
    void SetUp() override {
        kwapptest::App();
        xw_clear_shown_messages();
        std::ofstream(secured.Path("operators.json")) << R"({ "security": true, "operators": [
            { "id": "ADMIN", "name": "Alex Rivera", "privilege": 1 },
            { "id": "DANA", "name": "Dana Whitfield", "privilege": 0 } ] })";
    }
    void TearDown() override {
        kwMessageBox::Uninstall();
        xw_clear_shown_messages();
    }
    // Starts a program on the secured company as operator "root".
    bool Start(kwMainApp& app, std::vector<std::string> more = {}) {
        std::vector<std::string> arguments{"--data", secured.Folder(), "--operator", "root"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        EXPECT_TRUE(app.SetArguments(arguments, nullptr));
        const bool started = app.InitInstance();
        kwMessageBox::Uninstall();
        return started;
    }
    static void Press(kwLogOnDlg& dialog, int id) {
        qobject_cast<QAbstractButton*>(dialog.GetDlgItem(id))->click();
    }

    kwapptest::UserFolders folders;
    TestCompany secured{false};
};

} // namespace

TEST_F(LogOn, TheUserLogsOnAsOneOfTheCompanysOperators) {
    kwMainApp app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
    QString message;
    int offered = 0;
    auto runner = kwLogOnDlg::RunnerSeam().Replace([&](kwLogOnDlg& dialog) {
        message = kwFindCtrl<QLabel>(&dialog, kwLogOnDlg::IDC_MESSAGE)->text();
        offered = dialog.OperatorCount();
        if (const char* folder = std::getenv("QV_SCREENSHOT_DIR")) {
            dialog.show();
            dialog.grab().save(QString::fromLocal8Bit(folder) + "/kwlogon.png");
        }
        EXPECT_TRUE(dialog.Select("dana")) << "ids are matched without regard to case";
        Press(dialog, kwDialog::IDOK);
        return dialog.Result();
    });
    ASSERT_TRUE(Start(app)) << "the start goes on instead of ending";
    EXPECT_TRUE(message.startsWith("The operator \"root\" is not an operator of ")) << message.toStdString();
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(kwCompany::CurrentOperatorId(), "DANA");
    EXPECT_TRUE(xw_shown_messages().empty()) << "no error: the user chose";
}

TEST_F(LogOn, AnotherCompanyCanBeOpenedOrTheStartGivenUp) {
    TestCompany open(false); // operator security off
    {
        kwMainApp app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
        kwFolderDialog::Script chooser({std::nullopt, open.Folder()});
        int runs = 0;
        auto runner = kwLogOnDlg::RunnerSeam().Replace([&](kwLogOnDlg& dialog) {
            ++runs;
            Press(dialog, kwLogOnDlg::IDC_OPEN_COMPANY); // the chooser is cancelled: nothing happens
            EXPECT_EQ(dialog.Result(), kwDialog::IDCANCEL);
            Press(dialog, kwLogOnDlg::IDC_OPEN_COMPANY);
            return dialog.Result();
        });
        ASSERT_TRUE(Start(app));
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(kwCompany::Folder(), std::filesystem::canonical(open.Folder()).string())
            << "the company the user opened instead";
        EXPECT_EQ(kwApplication::LastCompany(), kwCompany::Folder());
    }
    {
        kwMainApp app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
        auto runner = kwLogOnDlg::RunnerSeam().Replace([&](kwLogOnDlg& dialog) {
            Press(dialog, kwDialog::IDCANCEL);
            return dialog.Result();
        });
        EXPECT_FALSE(Start(app)) << "Exit ends the start";
        EXPECT_TRUE(xw_shown_messages().empty());
    }
    {
        // Without a window nobody can choose: the run ends and says why.
        kwMainApp app("Tester", "ZZ", kwBase::Version("1.0"), kwBase::Version("1.0"));
        auto runner = kwLogOnDlg::RunnerSeam().Replace([](kwLogOnDlg&) -> int {
            ADD_FAILURE() << "no dialog without a window";
            return kwDialog::IDCANCEL;
        });
        EXPECT_FALSE(Start(app, {"--background"}));
        ASSERT_EQ(xw_shown_messages().size(), 1u);
        EXPECT_EQ(xw_shown_messages()[0].text,
                  "The operator \"root\" is not an operator of " + kwCompany::Name() + ".");
    }
}

TEST(kwLogOnDlgTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{
        {"message", kwLogOnDlg::IDC_MESSAGE},   {"company", kwLogOnDlg::IDC_COMPANY},
        {"operators", kwLogOnDlg::IDC_OPERATORS}, {"openCompany", kwLogOnDlg::IDC_OPEN_COMPANY},
        {"ok", kwDialog::IDOK},                  {"cancel", kwDialog::IDCANCEL},
    };
    EXPECT_EQ(UiControlIds("suite/kwapp/dialogs/kwLogOnDlg.ui"), expected);
}
