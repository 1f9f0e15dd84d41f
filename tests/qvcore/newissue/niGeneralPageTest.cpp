// The General page inside a real New Issue / Edit Issue sheet: the date checks with their
// questions answered through the message box's script, the custom-list fill rule, "Add 7
// days", the spin buttons and the field-code labels.
#include "qvcore/newissue/_niGeneral.h"

#include "qvcore/newissue/niPropSheet.h"

#include "qvkit/layout/kwSpinButton.h"

#include "kwapp/tasks/kwCommand.h"

#include "kwcommon/values/kwDate.h"
#include "kwcommon/xk.h"

#include "NewIssueFixture.h"
#include "UiControlIds.h"

#include <nlohmann/json.hpp>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <chrono>
#include <fstream>

using namespace newissuetest;
using namespace std::chrono;

namespace {

const char* const kDuePassed = "Due date has passed.  Would you like to change it?";
const char* const kNotifyPassed = "Notify date has passed.  Would you like to change it?";
const char* const kNotifyAfterDue =
    "Notify date is greater than due date.  Would you like to change it?";

class GeneralPage : public NewIssueFixture {
protected:
    void SetUp() override {
        NewIssueFixture::SetUp();
        pinned.emplace(xd_pin_now(year_month_day{2025y, June, 18d})); // a Wednesday
    }
    std::optional<xd_clock::Guard> pinned;
    // A New Issue sheet on screen.
    std::unique_ptr<niPropSheet> NewSheet() {
        auto sheet = std::make_unique<niPropSheet>(file.Number(), &command);
        Show(*sheet);
        return sheet;
    }
    // An Edit Issue sheet on issue (read from the file) on screen.
    std::unique_ptr<niPropSheet> EditSheet(qvIssue& issue) {
        auto sheet = std::make_unique<niPropSheet>(&command, &issue);
        Show(*sheet);
        return sheet;
    }
    static void Show(niPropSheet& sheet) {
        sheet.show();
        QApplication::processEvents();
    }
    static void Retype(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        if (text.isEmpty())
            Key(edit, Qt::Key_Delete);
        else
            Type(edit, text);
    }
    static QLineEdit* Due(niPropSheet& sheet) {
        return Control<QLineEdit>(&sheet, _niGeneral::IDC_DUE_DATE);
    }
    static QLineEdit* Notify(niPropSheet& sheet) {
        return Control<QLineEdit>(&sheet, _niGeneral::IDC_NOTIFY_DATE);
    }
    static std::vector<std::string> Items(const QComboBox* box) {
        std::vector<std::string> items;
        for (int i = 0; i < box->count(); ++i)
            items.push_back(box->itemText(i).toStdString());
        return items;
    }
    static std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        for (const auto& shown : xw_shown_messages())
            texts.push_back(shown.text);
        return texts;
    }

    kwCommand command{kNewIssue};
};

} // namespace

TEST_F(GeneralPage, APastDateIsAskedAboutOnceAndOnlyWhenItWasChanged) {
    auto sheet = NewSheet();
    Retype(Due(*sheet), "06/17/2025");
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(sheet->SetActivePage(1)) << "No: the user keeps yesterday and leaves";
    ASSERT_EQ(Texts(), std::vector<std::string>{kDuePassed});
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);

    EXPECT_TRUE(sheet->SetActivePage(0));
    EXPECT_TRUE(sheet->SetActivePage(1)) << "the same date is not asked about again";
    EXPECT_EQ(xw_shown_messages().size(), 1u);

    // Yes: the user stays to change the date, with the notify date the one to change.
    ASSERT_TRUE(sheet->SetActivePage(0));
    xw_clear_shown_messages();
    Retype(Notify(*sheet), "06/01/2025");
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_FALSE(sheet->SetActivePage(1));
    EXPECT_EQ(sheet->ActiveIndex(), 0);
    EXPECT_EQ(Texts(), std::vector<std::string>{kNotifyPassed});
    EXPECT_EQ(QApplication::focusWidget(), Notify(*sheet))
        << "the notify date is ready to be changed";

    // Not changed after all: leaving again asks nothing more.
    xw_clear_shown_messages();
    EXPECT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(xw_shown_messages().empty());

    // Today has not passed.
    ASSERT_TRUE(sheet->SetActivePage(0));
    Retype(Due(*sheet), "06/18/2025");
    EXPECT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(xw_shown_messages().empty());

    EXPECT_TRUE(sheet->PressOK());
    EXPECT_EQ(sheet->Issue()->Value(QV_NOTDATE).Format(), "06/01/2025")
        << "the kept past date is saved";
}

TEST_F(GeneralPage, AStoredPastDateIsLeftAloneWhileItIsNotChanged) {
    const double number = StoreIssue([](qvIssue& issue) {
        issue.Value(QV_DUEDATE).Set("01/02/2025");
        issue.Value(QV_NOTDATE).Set("01/01/2025");
    });
    qvIssue issue(file.Number(), kNewIssue, false);
    ASSERT_TRUE(issue.ReadRecord(number));
    auto sheet = EditSheet(issue);
    EXPECT_EQ(Due(*sheet)->text(), "01/02/2025");
    EXPECT_TRUE(sheet->SetActivePage(1));
    EXPECT_TRUE(sheet->SetActivePage(0));
    EXPECT_TRUE(sheet->PressOK());
    EXPECT_TRUE(xw_shown_messages().empty()) << "an untouched stored date raises no question";
    EXPECT_EQ(Stored(number)->Value(QV_DUEDATE).Format(), "01/02/2025");

    // Changed to another past date: that one is asked about.
    auto again = EditSheet(issue);
    Retype(Due(*again), "01/03/2025");
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(again->SetActivePage(1));
    EXPECT_EQ(Texts(), std::vector<std::string>{kDuePassed});
    again->PressCancel();
}

TEST_F(GeneralPage, ANotifyDateAfterTheDueDateIsQuestioned) {
    auto sheet = NewSheet();
    Retype(Due(*sheet), "07/01/2030");
    Retype(Notify(*sheet), "07/01/2030");
    EXPECT_TRUE(sheet->SetActivePage(1)) << "equal dates raise nothing";
    EXPECT_TRUE(xw_shown_messages().empty());

    ASSERT_TRUE(sheet->SetActivePage(0));
    Retype(Notify(*sheet), "07/02/2030");
    xw_script_answers({XW_ANSWER_YES});
    EXPECT_FALSE(sheet->SetActivePage(1)) << "Yes: the user stays to change the notify date";
    EXPECT_EQ(Texts(), std::vector<std::string>{kNotifyAfterDue});
    EXPECT_EQ(xw_shown_messages()[0].type, XW_YESNO);

    xw_clear_shown_messages();
    xw_script_answers({XW_ANSWER_NO});
    EXPECT_TRUE(sheet->SetActivePage(1)) << "No: both dates stay as entered";
    EXPECT_EQ(Texts(), std::vector<std::string>{kNotifyAfterDue});
    xw_script_answers({XW_ANSWER_NO}); // OK checks the page it leaves, not this one
    EXPECT_TRUE(sheet->PressOK());
    EXPECT_EQ(sheet->Issue()->Value(QV_NOTDATE).Format(), "07/02/2030");
    EXPECT_EQ(sheet->Issue()->Value(QV_DUEDATE).Format(), "07/01/2030");
    const auto stored = Stored(sheet->Issue()->Number());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Value(QV_NOTDATE).Format(), "07/02/2030");

    // Text that is no date is named, and the user stays on the page.
    auto other = NewSheet();
    Retype(Due(*other), "13/45/2030");
    xw_clear_shown_messages();
    EXPECT_FALSE(other->SetActivePage(1));
    ASSERT_EQ(xw_shown_messages().size(), 1u);
    EXPECT_EQ(xw_shown_messages()[0].text,
              "Due date \"13/45/2030\" is not a date.  Type it as MM/DD/YYYY.");
    EXPECT_FALSE(other->PressOK()) << "nothing is saved with a date that is no date";
    EXPECT_TRUE(other->isVisible());
    other->PressCancel();
}

TEST_F(GeneralPage, ComboBoxesFollowTheCustomListFillRule) {
    ASSERT_EQ(xk_put_custom_list(264, {"Letter", "Call back", "Letter", "Meeting"}), XIO_OK);
    ASSERT_EQ(xk_put_custom_list(263, {"normal", "Low", "Normal"}), XIO_OK);
    auto sheet = NewSheet();
    auto* followUp = Control<QComboBox>(sheet.get(), _niGeneral::IDC_FOLLOWUP);
    EXPECT_EQ(Items(followUp), (std::vector<std::string>{"Call back", "Letter", "Meeting"}))
        << "the first entry names the default and is not an item of its own";
    EXPECT_EQ(followUp->currentText(), "Letter") << "the new issue's default is selected";
    auto* status = Control<QComboBox>(sheet.get(), _niGeneral::IDC_STATUS);
    EXPECT_EQ(Items(status), (std::vector<std::string>{"Open", "On-Hold", "Closed"}));
    EXPECT_EQ(status->currentIndex(), -1)
        << "the status list's default is blank: nothing is selected";
    sheet->PressCancel();

    // A value that has left the list stays, as a last item, selected.
    const double number = StoreIssue([](qvIssue& issue) { issue.Value(QV_STATUS).Set("Waiting"); });
    qvIssue issue(file.Number(), kNewIssue, false);
    ASSERT_TRUE(issue.ReadRecord(number));
    auto edit = EditSheet(issue);
    auto* editStatus = Control<QComboBox>(edit.get(), _niGeneral::IDC_STATUS);
    EXPECT_EQ(Items(editStatus),
              (std::vector<std::string>{"Open", "On-Hold", "Closed", "Waiting"}));
    EXPECT_EQ(editStatus->currentText(), "Waiting");
    EXPECT_TRUE(edit->PressOK());
    EXPECT_EQ(Stored(number)->Value(QV_STATUS).Format(), "Waiting") << "the old value is kept";

    // An empty value selects the item equal to the default, exactly; none when there is none.
    QComboBox box;
    _niGeneral::FillFromCustomList(&box, 263, "");
    EXPECT_EQ(box.currentIndex(), -1) << "\"normal\" is no item: the default must match exactly";
    _niGeneral::FillFromCustomList(&box, 264, "");
    EXPECT_EQ(box.currentText(), "Letter");
    EXPECT_EQ(box.count(), 3) << "a refill replaces the items";
    _niGeneral::FillFromCustomList(&box, 266, "");
    EXPECT_EQ(box.currentIndex(), -1) << "a blank default selects nothing";
}

TEST_F(GeneralPage, AddDaysMovesTheDueDateByTheSnoozeRule) {
    auto sheet = NewSheet();
    auto* add = Control<QPushButton>(sheet.get(), _niGeneral::IDC_ADD_DAYS);
    EXPECT_EQ(Due(*sheet)->text(), "06/18/2025") << "a new issue is due today";
    ASSERT_TRUE(add->isEnabled());
    add->click();
    EXPECT_EQ(Due(*sheet)->text(), "06/25/2025") << "seven days by default";
    Prefs::SetSnoozeDays(3);
    add->click(); // Wednesday + 3 is a Saturday: on to Monday
    EXPECT_EQ(Due(*sheet)->text(), "06/30/2025");
    EXPECT_EQ(add->text(), "Add 7 days") << "the text does not follow the preference";

    // Spin button and arrow keys step one day.
    auto* spin = Control<kwSpinButton>(sheet.get(), _niGeneral::IDC_DUE_SPIN);
    Click(spin, QPoint(spin->width() / 2, 1));
    EXPECT_EQ(Due(*sheet)->text(), "07/01/2025") << "the upper arrow steps a day on";
    Key(Due(*sheet), Qt::Key_Down);
    Key(Due(*sheet), Qt::Key_Down);
    EXPECT_EQ(Due(*sheet)->text(), "06/29/2025");
    Key(Notify(*sheet), Qt::Key_Up);
    EXPECT_EQ(Notify(*sheet)->text(), "06/18/2025") << "an empty date starts from today";
    sheet->PressCancel();

    // No due date: the button is off, and typing one does not turn it on.
    const double number = StoreIssue([](qvIssue& issue) { issue.Value(QV_DUEDATE).Set(""); });
    qvIssue issue(file.Number(), kNewIssue, false);
    ASSERT_TRUE(issue.ReadRecord(number));
    auto edit = EditSheet(issue);
    auto* editAdd = Control<QPushButton>(edit.get(), _niGeneral::IDC_ADD_DAYS);
    EXPECT_EQ(Due(*edit)->text(), "");
    EXPECT_FALSE(editAdd->isEnabled());
    Type(Due(*edit), "07/01/2030");
    EXPECT_FALSE(editAdd->isEnabled());
    Screenshot(edit->Page(0), "newissue-general-page");
    edit->PressCancel();
}

TEST_F(GeneralPage, LabelsUseTheCompanysNamesForItsCustomFields) {
    ASSERT_EQ(xk_put_description(265, 0, "Stage"), XIO_OK);
    {
        auto sheet = NewSheet();
        EXPECT_EQ(Control<QLabel>(sheet.get(), _niGeneral::IDC_STATUS_LABEL)->text(), "&Stage:");
        EXPECT_EQ(Control<QLabel>(sheet.get(), _niGeneral::IDC_URGENCY_LABEL)->text(), "&Urgency:");
        sheet->PressCancel();
    }
    // A field the company does not use (no width) keeps the template's word.
    nlohmann::json lists;
    std::ifstream(company.Path("lists.json")) >> lists;
    lists["lists"].erase("264");
    lists["kinds"].erase("264");
    lists["descriptions"]["264"] = "Next step";
    std::ofstream(company.Path("lists.json")) << lists.dump(2);
    xk_reload();
    ASSERT_EQ(xk_width(264, 0), 0);
    auto sheet = NewSheet();
    EXPECT_EQ(Control<QLabel>(sheet.get(), _niGeneral::IDC_FOLLOWUP_LABEL)->text(), "&Follow-up:");
    sheet->PressCancel();
}

TEST_F(GeneralPage, TheDescriptionHoldsNoMoreThanTheRecordStores) {
    auto sheet = NewSheet();
    auto* description = Control<QPlainTextEdit>(sheet.get(), _niGeneral::IDC_DESCRIPTION);
    description->setPlainText(QString(999, u'd') + QStringLiteral("éz"));
    EXPECT_EQ(description->toPlainText(), QString(999, u'd'))
        << "1000 bytes: a two-byte letter does not fit";
    EXPECT_TRUE(sheet->PressOK());
    EXPECT_EQ(Stored(sheet->Issue()->Number())->Value(QV_FORMESS).Format(), std::string(999, 'd'));
}

TEST_F(GeneralPage, LongFieldNamesNeverCoverTheFieldsBesideThem) {
    // Names of the company's custom fields that are much longer than the template's words.
    ASSERT_EQ(xk_put_description(262, 0, "Classification of the reported problem"), XIO_OK);
    ASSERT_EQ(xk_put_description(263, 0, "Urgency as the customer states it"), XIO_OK);
    ASSERT_EQ(xk_put_description(264, 0, "Follow-up agreed with the customer"), XIO_OK);
    ASSERT_EQ(xk_put_description(265, 0, "Status in the service department"), XIO_OK);
    auto sheet = NewSheet();
    Notify(*sheet)->setText(Due(*sheet)->text());
    QApplication::processEvents();
    Screenshot(sheet.get(), "newissue-general-long-labels");

    // Every field shows its whole text: a date, the longest item of a list.
    for (QLineEdit* date : {Due(*sheet), Notify(*sheet)}) {
        const int needed = date->fontMetrics().horizontalAdvance(date->text());
        EXPECT_GE(date->contentsRect().width() - 4, needed)
            << date->text().toStdString() << " fits its field";
    }
    for (int id : {_niGeneral::IDC_FOLLOWUP, _niGeneral::IDC_URGENCY, _niGeneral::IDC_CLASSIFICATION,
                   _niGeneral::IDC_STATUS}) {
        auto* box = Control<QComboBox>(sheet.get(), id);
        EXPECT_GE(box->width(), box->sizeHint().width()) << "list " << id << " is as wide as its items";
    }
    // No label reaches into a field, and each label shows its whole text.
    const auto area = [&](QWidget* w) { return QRect(w->mapTo(sheet.get(), QPoint(0, 0)), w->size()); };
    std::vector<QWidget*> fields;
    for (int id : {_niGeneral::IDC_FOLLOWUP, _niGeneral::IDC_URGENCY, _niGeneral::IDC_CLASSIFICATION,
                   _niGeneral::IDC_STATUS, _niGeneral::IDC_NOTIFY_DATE, _niGeneral::IDC_DUE_DATE,
                   _niGeneral::IDC_ADD_DAYS})
        fields.push_back(Control<QWidget>(sheet.get(), id));
    for (QLabel* label : sheet->findChildren<QLabel*>()) {
        if (!label->isVisible()) continue;
        for (QWidget* field : fields)
            EXPECT_FALSE(area(label).intersects(area(field)))
                << label->text().toStdString() << " overlaps control "
                << field->property("ctrlId").toInt();
        EXPECT_GE(label->height(), label->heightForWidth(label->width()) > 0
                                       ? label->heightForWidth(label->width())
                                       : label->sizeHint().height())
            << label->text().toStdString() << " is shown whole";
    }
    sheet->PressCancel();
}

TEST(GeneralPageTemplate, ControlIdsMatchTheOnesTheCodeUses) {
    const std::map<std::string, int> expected{
        {"description", _niGeneral::IDC_DESCRIPTION},
        {"followUpLabel", _niGeneral::IDC_FOLLOWUP_LABEL},
        {"followUp", _niGeneral::IDC_FOLLOWUP},
        {"urgencyLabel", _niGeneral::IDC_URGENCY_LABEL},
        {"urgency", _niGeneral::IDC_URGENCY},
        {"classificationLabel", _niGeneral::IDC_CLASSIFICATION_LABEL},
        {"classification", _niGeneral::IDC_CLASSIFICATION},
        {"statusLabel", _niGeneral::IDC_STATUS_LABEL},
        {"status", _niGeneral::IDC_STATUS},
        {"notifyDate", _niGeneral::IDC_NOTIFY_DATE},
        {"notifySpin", _niGeneral::IDC_NOTIFY_SPIN},
        {"dueDate", _niGeneral::IDC_DUE_DATE},
        {"dueSpin", _niGeneral::IDC_DUE_SPIN},
        {"addDays", _niGeneral::IDC_ADD_DAYS},
    };
    EXPECT_EQ(UiControlIds("qvcore/newissue/_niGeneral.ui"), expected);
}
