// The New Issue sheet driven as a user drives it: through qv_new_issue (modal, answered by a
// driver once it shows) or built directly, its pages' controls found by id, the mail
// service's compose window answered through its scripts, and the issue read back from the
// file afterwards.
#include "qvcore/newissue/niPropSheet.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvcore/newissue/_niGeneral.h"
#include "qvcore/newissue/_niNotify.h"
#include "qvcore/newissue/qv_new_issue.h"
#include "qvcore/prefs/Prefs.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvNextIssueNumber.h"

#include "qvkit/mail/kclMail.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/suitedlg/kwAttachmentsDlg.h"
#include "kwapp/tasks/kwNewIssueTask.h"
#include "kwapp/widgets/kwCtrl.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xio.h"

#include "mapi/MAPI.h"

#include "NewIssueFixture.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using namespace newissuetest;

namespace {

class NewIssueSheet : public NewIssueFixture {
protected:
    std::vector<fs::path> Outbox() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (const auto& entry : fs::directory_iterator(company.Path("outbox"), ec))
            files.push_back(entry.path());
        return files;
    }
    // Runs New Issue as the framework does; driver answers the sheet. Answers what
    // qv_new_issue answered; number receives the issue's number.
    unsigned char RunNewIssue(const std::function<void(niPropSheet*)>& driver,
                              double* number = nullptr) {
        kwCommand command(kNewIssue);
        WhenShown<niPropSheet>([&](niPropSheet* sheet) {
            if (number) *number = sheet->Issue()->Number();
            driver(sheet);
            // A driver that left the sheet open would hang the test.
            if (sheet->isVisible()) {
                ADD_FAILURE() << "the driver left the sheet open";
                sheet->PressCancel();
            }
        });
        return qv_new_issue(nullptr, &command);
    }
};

} // namespace

TEST_F(NewIssueSheet, CancelDeletesTheProvisionalRecordAndHandsItsNumberBack) {
    double first = 0;
    bool provisionalStored = false;
    const unsigned char answer = RunNewIssue(
        [&](niPropSheet* sheet) {
            EXPECT_EQ(sheet->windowTitle(), "New Issue");
            EXPECT_TRUE(sheet->IsNewMode());
            provisionalStored = Stored(sheet->Issue()->Number()) != nullptr;
            sheet->PressCancel();
        },
        &first);
    EXPECT_EQ(answer, 0) << "qv_new_issue answers 0 after Cancel";
    EXPECT_GT(first, 0) << "the sheet drew a number";
    EXPECT_TRUE(provisionalStored)
        << "the provisional record is in the file while the sheet is open";
    EXPECT_EQ(IssueCount(), 0) << "Cancel leaves no issue record";

    double second = 0;
    RunNewIssue(
        [](niPropSheet* sheet) {
            sheet->close(); /* the close box */
        },
        &second);
    EXPECT_EQ(second, first) << "the number was handed back and is drawn again";
    EXPECT_EQ(IssueCount(), 0);

    // Someone else numbers an issue meanwhile: the number can no longer go back.
    double third = 0;
    double othersNumber = 0;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            othersNumber = qvNextIssueNumber(file.Number()).Next();
            sheet->PressCancel();
        },
        &third);
    EXPECT_EQ(third, first);
    EXPECT_EQ(othersNumber, first + 1);
    double fourth = 0;
    RunNewIssue([](niPropSheet* sheet) { sheet->PressCancel(); }, &fourth);
    EXPECT_EQ(fourth, first + 2) << "a number issued after ours stays issued";
}

TEST_F(NewIssueSheet, OkStoresTheIssueAsTypedWithoutMailWhenNotifyIsOff) {
    ScriptMail({MAPI_ANSWER_OK}); // would be taken by any compose window
    double number = 0;
    const unsigned char answer = RunNewIssue(
        [&](niPropSheet* sheet) {
            Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION)->setFocus();
            Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION),
                 "Printer jams on invoices");
            auto* status = Control<QComboBox>(sheet, _niGeneral::IDC_STATUS);
            status->setCurrentIndex(status->findText("On-Hold"));
            auto* due = Control<QLineEdit>(sheet, _niGeneral::IDC_DUE_DATE);
            EXPECT_EQ(due->text().toStdString(), kwDate::Today().Format())
                << "a new issue is due today";
            due->selectAll();
            Type(due, "07/01/2030");
            Screenshot(sheet, "newissue-sheet-general");
            ASSERT_TRUE(sheet->SetActivePage(1))
                << "leaving General with a future date asks nothing";
            Type(Control<QLineEdit>(sheet, _niNotify::IDC_RESPONSIBLE), "Dana");
            Type(Control<QPlainTextEdit>(sheet, _niNotify::IDC_OTHERS), "LEE");
            EXPECT_FALSE(Control<QAbstractButton>(sheet, _niNotify::IDC_NOTIFY)->isChecked())
                << "notify on new issues is off by default";
            Screenshot(sheet, "newissue-sheet-notify");
            EXPECT_TRUE(sheet->PressOK());
            EXPECT_EQ(sheet->result(), niPropSheet::RESULT_SAVED);
            EXPECT_TRUE(sheet->DataChanged()) << "the pages set the data-changed flag";
        },
        &number);
    EXPECT_EQ(answer, 1) << "qv_new_issue answers 1 after OK";
    EXPECT_EQ(IssueCount(), 1);
    auto stored = Stored(number);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Value(QV_FORMESS).Format(), "Printer jams on invoices");
    EXPECT_EQ(stored->Value(QV_STATUS).Format(), "On-Hold");
    EXPECT_EQ(stored->Value(QV_DUEDATE).Format(), "07/01/2030");
    EXPECT_EQ(stored->Value(QV_URGENCY).Format(), "Normal") << "the list's default stays selected";
    EXPECT_EQ(stored->Value(QV_RESPONS).Format(), "Dana");
    EXPECT_FALSE(Email(*stored)) << "EMAIL as the Notify page set it";
    EXPECT_TRUE(Outbox().empty()) << "no mail with notify off";
    EXPECT_EQ(MailAnswersLeft(), 1) << "no compose window was opened";
    EXPECT_TRUE(xw_shown_messages().empty());

    // The record is no longer locked: another user can read it for change.
    qvIssueFile other(kNewIssue);
    ASSERT_TRUE(other.Open());
    qvIssue again(other.Number(), kNewIssue, false);
    again.PutFields(QV_ISSUE, QV_ISSUE + 1);
    x_value_def key;
    key.SetNumber(number);
    xio_put_field(other.Number(), 0, xio_num(other.Number(), 0, 0, "ISSUE"), &key);
    EXPECT_EQ(xio_rd_record(other.Number(), QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1), XIO_OK) << "the saved issue is unlocked";
    xio_unlock_record(other.Number(), QV_RECORD_ISSUE, 1);
}

TEST_F(NewIssueSheet, NotificationFollowsTheNotifyValueAndEmailRecordsWhetherItWentOut) {
    Prefs::SetNotifyOnNew(true);
    ScriptMail({MAPI_ANSWER_OK});
    double sent = 0;
    RunNewIssue(
        [](niPropSheet* sheet) {
            Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION), "Bank feed stalled");
            // The Notify page is never shown: its value comes from the preferences.
            sheet->Issue()->Value(QV_RESPONS).Set("DANA");
            EXPECT_TRUE(sheet->PressOK());
        },
        &sent);
    EXPECT_EQ(MailAnswersLeft(), 0) << "the compose window was shown";
    EXPECT_EQ(Outbox().size(), 1u) << "the notification went out";
    EXPECT_TRUE(xw_shown_messages().empty());
    ASSERT_NE(Stored(sent), nullptr);
    EXPECT_TRUE(Email(*Stored(sent))) << "a mail that went out is recorded";

    // The compose window cancelled: no message, but the issue shows no notice went out.
    fs::remove_all(company.Path("outbox"));
    ScriptMail({MAPI_ANSWER_CANCEL});
    double cancelled = 0;
    RunNewIssue(
        [](niPropSheet* sheet) {
            Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION), "Second");
            ASSERT_TRUE(sheet->SetActivePage(1));
            Type(Control<QLineEdit>(sheet, _niNotify::IDC_RESPONSIBLE), "DANA");
            EXPECT_TRUE(Control<QAbstractButton>(sheet, _niNotify::IDC_NOTIFY)->isChecked());
            EXPECT_TRUE(sheet->PressOK());
        },
        &cancelled);
    EXPECT_EQ(MailAnswersLeft(), 0);
    EXPECT_TRUE(Outbox().empty());
    EXPECT_TRUE(xw_shown_messages().empty()) << "a cancel is the user's own choice";
    ASSERT_NE(Stored(cancelled), nullptr);
    EXPECT_FALSE(Email(*Stored(cancelled))) << "EMAIL stored false after a cancelled mail";

    // The user turns the box off on the page: nothing is sent.
    ScriptMail({MAPI_ANSWER_OK});
    RunNewIssue([](niPropSheet* sheet) {
        ASSERT_TRUE(sheet->SetActivePage(1));
        Control<QAbstractButton>(sheet, _niNotify::IDC_NOTIFY)->click();
        EXPECT_TRUE(sheet->PressOK());
    });
    EXPECT_EQ(MailAnswersLeft(), 1);
    EXPECT_TRUE(Outbox().empty());
}

TEST_F(NewIssueSheet, ButtonColumnHidesApplyAndPutsAttachBelowHelp) {
    {
        niPropSheet sheet(file.Number(), nullptr);
        sheet.show();
        QApplication::processEvents();
        QPushButton* ok = sheet.Button(kwPropertySheet::ID_OK);
        QPushButton* cancel = sheet.Button(kwPropertySheet::ID_CANCEL);
        QPushButton* help = sheet.Button(kwPropertySheet::ID_HELP);
        QPushButton* attach = Control<QPushButton>(&sheet, niPropSheet::ID_ATTACH);
        ASSERT_NE(attach, nullptr);
        EXPECT_EQ(attach->text(), "Attach...");
        EXPECT_FALSE(sheet.Button(kwPropertySheet::ID_APPLY)->isVisible())
            << "Apply is never visible";
        EXPECT_TRUE(attach->isVisible());
        const auto top = [&](QWidget* w) { return w->mapTo(&sheet, QPoint(0, 0)).y(); };
        const auto left = [&](QWidget* w) { return w->mapTo(&sheet, QPoint(0, 0)).x(); };
        EXPECT_LT(top(ok), top(cancel));
        EXPECT_LT(top(cancel), top(help));
        EXPECT_GT(top(attach), top(help) + help->height())
            << "Attach... sits below Help, after a gap";
        EXPECT_EQ(left(ok), left(attach)) << "one column";
        auto* tabs = sheet.findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        EXPECT_GT(left(ok), left(tabs) + tabs->width()) << "the column stands right of the pages";
        EXPECT_EQ(tabs->count(), 3) << "General, Notify and the Links page through its slot";
        EXPECT_EQ(tabs->tabText(0), "General");
        EXPECT_EQ(tabs->tabText(1), "Notify");
        EXPECT_EQ(tabs->tabText(2), "Links");
        Screenshot(&sheet, "newissue-sheet-layout");
        EXPECT_EQ(IssueCount(), 1);
        // Destroyed without ever being closed: still no record left behind.
    }
    EXPECT_EQ(IssueCount(), 0) << "the destructor removed the provisional record";
}

TEST_F(NewIssueSheet, AttachmentsAreWrittenOnlyWhenTheIssueIsSaved) {
    const std::string source = company.Path("note.txt");
    std::ofstream(source) << "call the bank";
    auto runner = kwAttachmentsDlg::RunnerSeam().Replace([&](kwAttachmentsDlg& dialog) {
        EXPECT_TRUE(dialog.AddFile(source));
        return kwDialog::IDOK;
    });
    double saved = 0;
    RunNewIssue(
        [](niPropSheet* sheet) {
            Control<QPushButton>(sheet, niPropSheet::ID_ATTACH)->click();
            EXPECT_TRUE(sheet->AttachmentsChanged());
            EXPECT_TRUE(sheet->PressOK());
            EXPECT_FALSE(sheet->AttachmentsChanged()) << "cleared once written";
        },
        &saved);
    auto issue = Stored(saved);
    ASSERT_NE(issue, nullptr);
    ASSERT_EQ(issue->Attachments(), XIO_OK);
    ASSERT_EQ(issue->AttachmentList()->Count(), 1u);
    EXPECT_EQ(issue->AttachmentList()->At(0).name, "note.txt");
    EXPECT_FALSE(issue->AttachmentList()->At(0).pending);
    issue->AttachmentList()->Free();

    // Attached, then cancelled: nothing stays.
    double dropped = 0;
    RunNewIssue(
        [](niPropSheet* sheet) {
            Control<QPushButton>(sheet, niPropSheet::ID_ATTACH)->click();
            sheet->PressCancel();
        },
        &dropped);
    kwioAttachments leftOver("QVI", 1, std::to_string(static_cast<long long>(dropped)));
    ASSERT_EQ(leftOver.Fetch(false), XIO_OK);
    EXPECT_EQ(leftOver.Count(), 0u);

    // Nothing changed in the dialog: the list is let go at once for other users.
    auto closesAtOnce = kwAttachmentsDlg::RunnerSeam().Replace([](kwAttachmentsDlg&) { return kwDialog::IDOK; });
    RunNewIssue([](niPropSheet* sheet) {
        Control<QPushButton>(sheet, niPropSheet::ID_ATTACH)->click();
        EXPECT_FALSE(sheet->AttachmentsChanged());
        ASSERT_NE(sheet->Issue()->AttachmentList(), nullptr);
        EXPECT_FALSE(sheet->Issue()->AttachmentList()->HeldForChange());
        sheet->PressCancel();
    });
}

TEST_F(NewIssueSheet, EditModeRewritesTheIssueAndRestoresEmailInMemory) {
    qvIssue original(file.Number(), kNewIssue, true);
    original.Value(QV_FORMESS).Set("Old text");
    original.Value(QV_RESPONS).Set("DANA");
    original.Value(QV_EMAIL).Set("Yes");
    ASSERT_TRUE(original.AddRecord());
    xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
    const double number = original.Number();

    qvIssue issue(file.Number(), QV_CMD_VIEW_ISSUES, false);
    ASSERT_TRUE(issue.ReadRecord(number));
    Prefs::SetNotifyOnChange(true);
    ScriptMail({MAPI_ANSWER_CANCEL});
    kwCommand command(QV_CMD_VIEW_ISSUES);
    {
        niPropSheet sheet(&command, &issue);
        sheet.show();
        QApplication::processEvents();
        EXPECT_EQ(sheet.windowTitle(), "Edit Issue");
        EXPECT_FALSE(sheet.IsNewMode());
        EXPECT_EQ(sheet.HelpId(), niPropSheet::HELP_EDIT);
        EXPECT_EQ(sheet.Page(0)->HelpId(), niPropSheet::HELP_GENERAL);
        EXPECT_EQ(sheet.Page(1)->HelpId(), niPropSheet::HELP_NOTIFY);
        auto* description = Control<QPlainTextEdit>(&sheet, _niGeneral::IDC_DESCRIPTION);
        EXPECT_EQ(description->toPlainText(), "Old text");
        description->setPlainText("New text");
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_EQ(Control<QLineEdit>(&sheet, _niNotify::IDC_RESPONSIBLE)->text(), "DANA");
        EXPECT_TRUE(sheet.PressOK());
        EXPECT_EQ(sheet.result(), niPropSheet::RESULT_SAVED);
    }
    EXPECT_EQ(IssueCount(), 1) << "an edit never deletes";
    EXPECT_TRUE(Email(issue)) << "in memory EMAIL is back to what the page set before the mail";
    auto stored = Stored(number);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Value(QV_FORMESS).Format(), "New text");
    EXPECT_FALSE(Email(*stored)) << "the stored issue shows that the cancelled mail did not go out";

    // Edit and cancel: the record stays.
    {
        niPropSheet sheet(&command, &issue);
        sheet.show();
        QApplication::processEvents();
        sheet.PressCancel();
        EXPECT_EQ(sheet.result(), niPropSheet::RESULT_CLOSED);
    }
    EXPECT_NE(Stored(number), nullptr);
}

TEST_F(NewIssueSheet, AFailedProvisionalWriteNeverTouchesAnotherIssue) {
    // An issue already holds the number the header will hand out next (a damaged counter).
    qvIssue squatter(file.Number(), kNewIssue, false);
    squatter.Value(QV_ISSUE).Set("1");
    squatter.Value(QV_FORMESS).Set("Somebody else's issue");
    ASSERT_TRUE(squatter.AddRecord());
    xio_unlock_record(file.Number(), QV_RECORD_ISSUE, 1);
    xw_clear_shown_messages();

    {
        niPropSheet sheet(file.Number(), nullptr);
        EXPECT_EQ(sheet.Issue()->Number(), 1);
        EXPECT_FALSE(xw_shown_messages().empty()) << "the failed write was reported";
        sheet.show();
        QApplication::processEvents();
        Type(Control<QPlainTextEdit>(&sheet, _niGeneral::IDC_DESCRIPTION), "Mine");
        const size_t before = xw_shown_messages().size();
        sheet.PressOK();
        EXPECT_TRUE(sheet.isVisible()) << "the sheet stays open with what was typed";
        EXPECT_GT(xw_shown_messages().size(), before) << "the user is told";
        EXPECT_NE(sheet.result(), niPropSheet::RESULT_SAVED);
        sheet.PressCancel();
    }
    auto kept = Stored(1);
    ASSERT_NE(kept, nullptr) << "closing did not delete the other issue";
    EXPECT_EQ(kept->Value(QV_FORMESS).Format(), "Somebody else's issue");
}

TEST_F(NewIssueSheet, NoSheetWhenTheIssueFileCannotBeOpened) {
    kwCommand noProgram(0); // the file refuses program number 0, quietly
    bool shown = false;
    WhenShown<niPropSheet>([&](niPropSheet* sheet) {
        shown = true;
        sheet->PressCancel();
    });
    EXPECT_EQ(qv_new_issue(nullptr, &noProgram), 0);
    QApplication::processEvents();
    EXPECT_FALSE(shown);
    EXPECT_EQ(IssueCount(), 0);
}

TEST_F(NewIssueSheet, NewIssueCommandRunsTheSheetModally) {
    kwApplication app("Quorvel", "QV", kwBase::Version("13.1.24"), kwBase::Version("9.8.26"));
    auto* task = &app.AddTask(std::make_unique<kwNewIssueTask>(kNewIssue)); // the application owns it
    EXPECT_TRUE(task->IsEnabled()) << "the framework finds qv_new_issue in the loaded library";
    bool shown = false;
    WhenShown<niPropSheet>([&](niPropSheet* sheet) {
        shown = true;
        EXPECT_TRUE(sheet->isModal());
        Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION), "From the menu");
        sheet->PressOK();
    });
    EXPECT_TRUE(app.OnCommand(kNewIssue)) << "the command starts the task";
    EXPECT_TRUE(shown);
    EXPECT_EQ(task->LastResult(), 1) << "the run returned once the sheet closed, saved";
    EXPECT_EQ(IssueCount(), 1);
}

TEST_F(NewIssueSheet, AMailedIssueIsMailedOnceAndItsNumberIsNeverHandedBack) {
    Prefs::SetNotifyOnNew(true);
    const std::string source = company.Path("note.txt");
    std::ofstream(source) << "call the bank";
    auto runner = kwAttachmentsDlg::RunnerSeam().Replace([&](kwAttachmentsDlg& dialog) {
        EXPECT_TRUE(dialog.AddFile(source));
        return kwDialog::IDOK;
    });
    // A folder where the attachments list belongs makes the save fail after the mail.
    const auto attachAndBlock = [](niPropSheet* sheet) {
        Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION), "Announced");
        sheet->Issue()->Value(QV_RESPONS).Set("DANA");
        Control<QPushButton>(sheet, niPropSheet::ID_ATTACH)->click();
        const fs::path list = fs::path(sheet->Issue()->AttachmentList()->Folder()) / "list.json";
        fs::remove(list);
        fs::create_directories(list / "blocker");
        return list;
    };

    ScriptMail({MAPI_ANSWER_OK, MAPI_ANSWER_OK});
    double saved = 0;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            const fs::path list = attachAndBlock(sheet);
            sheet->PressOK();
            EXPECT_TRUE(sheet->isVisible()) << "the failed save keeps the sheet open";
            EXPECT_TRUE(sheet->NotificationWentOut());
            EXPECT_EQ(Outbox().size(), 1u) << "the first OK mailed";
            sheet->PressOK();
            EXPECT_TRUE(sheet->isVisible());
            EXPECT_EQ(MailAnswersLeft(), 1) << "the second OK opened no compose window";
            EXPECT_EQ(Outbox().size(), 1u) << "the second OK mailed nothing";
            fs::remove_all(list);
            sheet->PressOK();
            EXPECT_EQ(sheet->result(), niPropSheet::RESULT_SAVED);
        },
        &saved);
    EXPECT_EQ(Outbox().size(), 1u) << "one issue, one mail";
    ASSERT_NE(Stored(saved), nullptr);
    EXPECT_TRUE(Email(*Stored(saved))) << "the issue says its people were told";

    // Mailed, not saved, given up: the number stays used.
    fs::remove_all(company.Path("outbox"));
    ScriptMail({MAPI_ANSWER_OK});
    double announced = 0;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            attachAndBlock(sheet);
            sheet->PressOK();
            EXPECT_TRUE(sheet->isVisible());
            sheet->PressCancel();
        },
        &announced);
    EXPECT_EQ(Outbox().size(), 1u);
    EXPECT_EQ(Stored(announced), nullptr) << "nothing was saved under the number";
    double next = 0;
    RunNewIssue([](niPropSheet* sheet) { sheet->PressCancel(); }, &next);
    EXPECT_EQ(next, announced + 1) << "a number a mail announced is not drawn again";
    std::ifstream log(company.Path("kwlog.txt"));
    const std::string logText((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
    EXPECT_NE(logText.find("was announced by mail but not saved"), std::string::npos) << logText;
}

TEST_F(NewIssueSheet, TheStatusBarSaysWhichIssueWasSavedAndWhereTheMailWent) {
    double number = 0;
    QString quiet;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            Type(Control<QPlainTextEdit>(sheet, _niGeneral::IDC_DESCRIPTION), "No mail");
            sheet->PressOK();
            quiet = sheet->SavedMessage();
        },
        &number);
    EXPECT_EQ(quiet, QStringLiteral("Issue %1 saved.").arg(number));

    Prefs::SetNotifyOnNew(true);
    ScriptMail({MAPI_ANSWER_OK});
    QString outbox;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            sheet->Issue()->Value(QV_RESPONS).Set("DANA");
            sheet->PressOK();
            outbox = sheet->SavedMessage();
        },
        &number);
    EXPECT_EQ(outbox, QStringLiteral("Issue %1 saved; the notification was put in the outbox because "
                                     "no mail server is set up.")
                          .arg(number));

    company.UpdateSettings("mail", {{"host", "127.0.0.1"}, {"port", 1}});
    ScriptMail({MAPI_ANSWER_OK});
    QString failed;
    RunNewIssue(
        [&](niPropSheet* sheet) {
            sheet->Issue()->Value(QV_RESPONS).Set("DANA");
            sheet->PressOK();
            failed = sheet->SavedMessage();
        },
        &number);
    EXPECT_EQ(failed, QStringLiteral("Issue %1 saved; no notification went out.").arg(number))
        << "a server that cannot be reached";
}

TEST_F(NewIssueSheet, TypingStartsInTheDescriptionAndTabVisitsTheFieldsBeforeTheButtons) {
    niPropSheet sheet(file.Number(), nullptr);
    sheet.show();
    sheet.activateWindow();
    QApplication::processEvents();
    auto* description = Control<QPlainTextEdit>(&sheet, _niGeneral::IDC_DESCRIPTION);
    ASSERT_EQ(sheet.focusWidget(), description) << "the focus starts in the first field";
    Type(sheet.focusWidget(), "Typed");
    EXPECT_EQ(description->toPlainText(), "Typed");

    std::vector<int> expected{_niGeneral::IDC_FOLLOWUP,    _niGeneral::IDC_URGENCY,
                              _niGeneral::IDC_CLASSIFICATION, _niGeneral::IDC_STATUS,
                              _niGeneral::IDC_NOTIFY_DATE, _niGeneral::IDC_DUE_DATE,
                              _niGeneral::IDC_ADD_DAYS,    kwPropertySheet::ID_OK,
                              kwPropertySheet::ID_CANCEL};
    if (sheet.Button(kwPropertySheet::ID_HELP)->isEnabled()) expected.push_back(kwPropertySheet::ID_HELP);
    expected.push_back(niPropSheet::ID_ATTACH);
    std::vector<int> visited;
    for (size_t i = 0; i < expected.size(); ++i) {
        Key(sheet.focusWidget(), Qt::Key_Tab);
        visited.push_back(sheet.focusWidget()->property("ctrlId").toInt());
    }
    EXPECT_EQ(visited, expected) << "the page's order, then the sheet's buttons";
    Screenshot(&sheet, "newissue-sheet-focus");
    sheet.PressCancel();
}
