// The Notify page inside a real sheet: operator security on and off (the selection answered
// through its seam), the field widths, the check box without mail, and what the page
// stores.
#include "qvcore/newissue/_niNotify.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/newissue/niPropSheet.h"

#include "kwapp/tasks/kwCommand.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwStatus.h"

#include "NewIssueFixture.h"
#include "UiControlIds.h"

#include <nlohmann/json.hpp>

#include <QAbstractButton>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <fstream>

using namespace newissuetest;

namespace {

class NotifyPage : public NewIssueFixture {
protected:
    std::unique_ptr<niPropSheet> OnNotifyPage(qvIssue* editIssue = nullptr) {
        auto sheet = editIssue ? std::make_unique<niPropSheet>(&command, editIssue)
                               : std::make_unique<niPropSheet>(file.Number(), &command);
        sheet->show();
        QApplication::processEvents();
        EXPECT_TRUE(sheet->SetActivePage(1));
        return sheet;
    }
    void SetSecurity(bool on) {
        nlohmann::json operators;
        std::ifstream(company.Path("operators.json")) >> operators;
        operators["security"] = on;
        std::ofstream(company.Path("operators.json")) << operators.dump(2);
    }
    void SetMailInstalled(bool installed) {
        nlohmann::json settings;
        std::ifstream(company.Path("company.json")) >> settings;
        settings["mail"]["installed"] = installed;
        std::ofstream(company.Path("company.json")) << settings.dump(2);
        std::string error;
        ASSERT_TRUE(kwCompany::Open(company.Folder(), &error)) << error;
    }
    static QLineEdit* Responsible(niPropSheet& sheet) {
        return Control<QLineEdit>(&sheet, _niNotify::IDC_RESPONSIBLE);
    }
    static QPushButton* Pick(niPropSheet& sheet) {
        return Control<QPushButton>(&sheet, _niNotify::IDC_PICK);
    }

    kwCommand command{kNewIssue};
};

} // namespace

TEST_F(NotifyPage, WithoutOperatorSecurityTheNameIsTypedWithinTheFieldWidth) {
    auto sheet = OnNotifyPage();
    EXPECT_FALSE(Pick(*sheet)->isVisible()) << "no operator selection without security";
    EXPECT_FALSE(Pick(*sheet)->isEnabled());
    ASSERT_TRUE(Responsible(*sheet)->isEnabled());
    Type(Responsible(*sheet), QString(40, u'r'));
    EXPECT_EQ(Responsible(*sheet)->text(), QString(30, u'r'))
        << "RESPONS is 30 wide: the rest cannot be typed";
    Type(Responsible(*sheet), QStringLiteral("é"));
    EXPECT_EQ(Responsible(*sheet)->text().size(), 30);
    auto* others = Control<QPlainTextEdit>(sheet.get(), _niNotify::IDC_OTHERS);
    Type(others, QString(80, u'o'));
    EXPECT_EQ(others->toPlainText(), QString(75, u'o')) << "the others to notify hold 75";
    EXPECT_TRUE(sheet->PressOK());
    const auto stored = Stored(sheet->Issue()->Number());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Value(QV_RESPONS).Format(), std::string(30, 'r'));
    EXPECT_EQ(stored->Value(QV_IOPERID).Format(), "") << "typing names nobody's operator id";
    EXPECT_EQ(sheet->Issue()->Value(QV_NOTIFY_OTHERS).Format(), std::string(75, 'o'));
}

TEST_F(NotifyPage, WithOperatorSecurityOnlyThePickButtonSetsTheResponsiblePerson) {
    SetSecurity(true);
    unsigned short askedCommand = 0;
    std::string askedStart = "unset";
    auto selector = xs_access_selector_seam().Replace(
        [&](unsigned short command, const std::string& start, std::string* id, std::string* name) {
            askedCommand = command;
            askedStart = start;
            *id = "DANA";
            *name = "Dana Whitfield";
            return short{XIO_OK};
        });
    auto sheet = OnNotifyPage();
    EXPECT_TRUE(Pick(*sheet)->isVisible());
    EXPECT_TRUE(Pick(*sheet)->isEnabled());
    EXPECT_FALSE(Responsible(*sheet)->isEnabled()) << "the name can only be chosen";
    Screenshot(sheet.get(), "newissue-notify-security");
    Pick(*sheet)->click();
    EXPECT_EQ(askedCommand, QV_CMD_NEW_ISSUE);
    EXPECT_EQ(askedStart, "") << "a new issue has no operator yet";
    EXPECT_EQ(Responsible(*sheet)->text(), "Dana Whitfield");
    EXPECT_TRUE(sheet->PressOK());
    const double number = sheet->Issue()->Number();
    auto stored = Stored(number);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Value(QV_IOPERID).Format(), "DANA");
    EXPECT_EQ(stored->Value(QV_RESPONS).Format(), "Dana Whitfield");

    // Editing: the selection starts at the stored operator; a cancel changes nothing.
    auto cancelling = xs_access_selector_seam().Replace(
        [&](unsigned short, const std::string& start, std::string* id, std::string* name) {
            askedStart = start;
            *id = "LEE";
            *name = "Lee Okafor";
            return short{XIO_CANCELLED};
        });
    auto edit = OnNotifyPage(stored.get());
    Pick(*edit)->click();
    EXPECT_EQ(askedStart, "DANA");
    EXPECT_EQ(Responsible(*edit)->text(), "Dana Whitfield") << "cancelled: unchanged";
    EXPECT_TRUE(edit->PressOK());
    EXPECT_EQ(Stored(number)->Value(QV_IOPERID).Format(), "DANA");

    // Security off again: the button goes away, the name is free text.
    SetSecurity(false);
    auto open = OnNotifyPage(stored.get());
    EXPECT_FALSE(Pick(*open)->isVisible());
    EXPECT_TRUE(Responsible(*open)->isEnabled());
    open->PressCancel();
}

TEST_F(NotifyPage, WithoutMailTheBoxIsOffButThePreferenceStillDecides) {
    SetMailInstalled(false);
    Prefs::SetNotifyOnNew(true);
    auto sheet = OnNotifyPage();
    auto* notify = Control<QAbstractButton>(sheet.get(), _niNotify::IDC_NOTIFY);
    EXPECT_FALSE(notify->isEnabled()) << "no mail on this machine";
    EXPECT_TRUE(notify->isChecked()) << "its state still comes from the preferences";
    EXPECT_TRUE(sheet->PressOK());
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "Unable to load MAPI32.DLL.  Cannot mail the issue.  [QV0202]");
    const auto stored = Stored(sheet->Issue()->Number());
    ASSERT_NE(stored, nullptr);
    EXPECT_FALSE(Email(*stored)) << "no mail went out";
}

TEST_F(NotifyPage, AnEditedIssueStartsWithNoOthersToNotify) {
    const double number = StoreIssue([](qvIssue& issue) { issue.Value(QV_RESPONS).Set("Lee"); });
    qvIssue issue(file.Number(), kNewIssue, false);
    ASSERT_TRUE(issue.ReadRecord(number));
    issue.Value(QV_NOTIFY_OTHERS).Set("DANA"); // left over in memory from an earlier edit
    auto sheet = OnNotifyPage(&issue);
    EXPECT_EQ(Control<QPlainTextEdit>(sheet.get(), _niNotify::IDC_OTHERS)->toPlainText(), "");
    EXPECT_EQ(Responsible(*sheet)->text(), "Lee");
    EXPECT_FALSE(Control<QAbstractButton>(sheet.get(), _niNotify::IDC_NOTIFY)->isChecked())
        << "notify on changed issues is off by default";
    EXPECT_TRUE(sheet->PressOK());
    EXPECT_EQ(issue.Value(QV_NOTIFY_OTHERS).Format(), "")
        << "confirming without typing stores an empty text";
}

TEST(NotifyPageTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{
        {"responsible", _niNotify::IDC_RESPONSIBLE},
        {"pick", _niNotify::IDC_PICK},
        {"notify", _niNotify::IDC_NOTIFY},
        {"others", _niNotify::IDC_OTHERS},
    };
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niNotify.ui"), expected);
}
