// The sheet saves in a fixed order: the pages copy their values, the notification goes out
// (and may mark the issue as not notified), changed attachments are written, then the
// record. A New Issue exists as a provisional record from the moment the sheet opens, so the
// number is taken and held; closing without saving removes that record again.
#include "qvcore/newissue/niPropSheet.h"

#include "qvcore/newissue/_niGeneral.h"
#include "qvcore/newissue/_niNotify.h"
#include "qvcore/newissue/niLinksPageSlot.h"
#include "qvcore/newissue/niNotify.h"
#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvIssueFile.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/store/qvNextIssueNumber.h"
#include "qvcore/strings/qvcoreStrings.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvkit/layout/kclDialogUnits.h"

#include "kwapp/app/kwApplication.h"
#include "kwapp/frame/kwAppFrame.h"
#include "kwapp/suitedlg/kwAttachmentsDlg.h"
#include "kwapp/tasks/kwCommand.h"

#include "kwcommon/attachments/kwioAttachments.h"
#include "kwcommon/kwStatus.h"
#include "kwcommon/x_log.h"
#include "kwcommon/xio.h"

#include <QBoxLayout>
#include <QPushButton>
#include <QTabWidget>

namespace {

QString Literal(short id) {
    return QString::fromStdString(qvLiteral(id, -1, QVCORE_MODULE).str());
}

short ProgramOf(const kwCommand* command) {
    return static_cast<short>(command ? command->ID() : QV_CMD_NEW_ISSUE);
}

// Takes widget out of whichever layout under layout holds it.
void RemoveFromLayouts(QLayout* layout, QWidget* widget) {
    if (!layout) return;
    layout->removeWidget(widget);
    for (int i = 0; i < layout->count(); ++i)
        RemoveFromLayouts(layout->itemAt(i)->layout(), widget);
}

} // namespace

niPropSheet::niPropSheet(short fileNumber, kwCommand* command)
    : kwPropertySheet(Literal(QVL_NEW_ISSUE), nullptr, HELP_NEW), _newMode(true) {
    _ownedIssue = std::make_unique<qvIssue>(fileNumber, ProgramOf(command), true);
    _issue = _ownedIssue.get();
    // A failed write has been reported; the sheet still opens so nothing typed is lost, and
    // saving writes the issue as new instead.
    _provisionalWritten = _issue->AddRecord();
    AddPages(command);
    LayOutButtonColumn();
}

niPropSheet::niPropSheet(kwCommand* command, qvIssue* issue)
    : kwPropertySheet(Literal(QVL_EDIT_ISSUE), nullptr, HELP_EDIT), _newMode(false), _issue(issue) {
    if (_issue) _issue->ReadLinks(_links);
    AddPages(command);
    LayOutButtonColumn();
}

niPropSheet::~niPropSheet() {
    // A sheet that was never shown, or never closed, still must not leave a provisional
    // record behind.
    if (_result == RESULT_OPEN) OnClosedWithoutSave();
    for (LinkedRecord* link : _links)
        delete link;
    _links.clear();
}

void niPropSheet::AddPages(kwCommand* /*command*/) {
    // Cancel drops everything without asking: the pages keep their values only in memory.
    SetHandleModifications(false);
    _general = new _niGeneral(_issue);
    _notify = new _niNotify(_issue, _newMode);
    if (niLinksPageSlot::Factory factory = niLinksPageSlot::Registered())
        _linksPage = factory(_issue, &_links);
    if (!_newMode) {
        _general->SetHelpId(HELP_GENERAL);
        _notify->SetHelpId(HELP_NOTIFY);
        if (_linksPage) _linksPage->SetHelpId(HELP_LINKS);
    }
    AddPage(_general);
    AddPage(_notify);
    if (_linksPage) AddPage(_linksPage);
}

void niPropSheet::LayOutButtonColumn() {
    auto* outer = qobject_cast<QBoxLayout*>(layout());
    auto* tabs = findChild<QTabWidget*>(QString(), Qt::FindDirectChildrenOnly);
    if (!outer || !tabs) return;

    _attach = new QPushButton(Literal(QVL_ATTACH), this);
    _attach->setProperty("ctrlId", ID_ATTACH);
    _attach->setAutoDefault(false);
    connect(_attach, &QPushButton::clicked, this, [this] { OnAttach(); });
    AddTrailingTabStop(_attach); // below Help, so after it

    auto* column = new QVBoxLayout();
    column->setContentsMargins(0, kclDialogUnitsToPixelsY(this, 7), 0, 0);
    column->setSpacing(kclDialogUnitsToPixelsY(this, 3));
    for (int id : {ID_OK, ID_CANCEL, ID_HELP}) {
        QPushButton* button = Button(id);
        RemoveFromLayouts(outer, button);
        column->addWidget(button);
    }
    column->addSpacing(kclDialogUnitsToPixelsY(this, 7));
    column->addWidget(_attach);
    column->addStretch(1);

    // The pages on the left, the button column at the right edge.
    const int index = outer->indexOf(tabs);
    outer->removeWidget(tabs);
    auto* body = new QHBoxLayout();
    body->setSpacing(kclDialogUnitsToPixelsX(this, 7));
    body->addWidget(tabs, 1);
    body->addLayout(column);
    outer->insertLayout(index, body, 1);

    // Every change is saved by OK alone.
    QPushButton* apply = Button(ID_APPLY);
    apply->setEnabled(false);
    apply->hide();
}

bool niPropSheet::OnInitDialog() {
    const bool ok = kwPropertySheet::OnInitDialog();
    Button(ID_APPLY)->hide();
    return ok;
}

bool niPropSheet::LinksChanged() const {
    const auto* links = dynamic_cast<const niLinksPageSlot*>(_linksPage);
    return links && links->LinksChanged();
}

void niPropSheet::OnAttach() {
    if (!_issue) return;
    // Fetching holds the list for this sheet; a list already changed here is kept as it is.
    if (!_attachmentsChanged && _issue->Attachments() != XIO_OK) return; // reported
    kwioAttachments* attachments = _issue->AttachmentList();
    if (!attachments) return;
    kwAttachmentsDlg dialog(*attachments, this);
    dialog.DoModal();
    if (dialog.Changed()) _attachmentsChanged = true;
    // An unchanged list is let go at once, so other users can change it meanwhile.
    if (!_attachmentsChanged) attachments->Free();
}

void niPropSheet::done(int result) {
    if (result == QDialog::Accepted && _result != RESULT_SAVED) {
        if (!ApplySheet()) return; // told why; the user can try again or cancel
    }
    kwPropertySheet::done(result);
    if (_result == RESULT_SAVED) ReportSaved();
    else OnClosedWithoutSave();
}

void niPropSheet::ReportSaved() {
    const QString number = QString::fromStdString(_issue->Value(QV_ISSUE).Format()).trimmed();
    _savedMessage = QStringLiteral("Issue %1 saved").arg(number);
    switch (_mailOutcome) {
    case niMailOutcome::Sent:
        _savedMessage += QStringLiteral("; the notification was sent");
        break;
    case niMailOutcome::PutInOutbox:
        _savedMessage += QStringLiteral(
            "; the notification was put in the outbox because no mail server is set up");
        break;
    case niMailOutcome::Cancelled:
    case niMailOutcome::Failed:
    case niMailOutcome::Unavailable:
        _savedMessage += QStringLiteral("; no notification went out");
        break;
    case niMailOutcome::NotAsked:
        break;
    }
    _savedMessage += QLatin1Char('.');
    if (kwApplication* app = KWGetApp(); app && app->MainWindow())
        app->MainWindow()->SetMessageText(_savedMessage);
}

bool niPropSheet::ApplySheet() {
    if (!_issue) return false;
    kwData& email = _issue->Value(QV_EMAIL);
    const bool emailWasSet = !email.IsNull();

    if (_notificationWentOut) {
        // An earlier try mailed the issue and then failed to save it: the people were told
        // once, and the issue says so.
        email.Set("Yes");
    } else {
        // Without its page ever shown, the notify value still comes from the preferences;
        // a mail that goes out must not leave the issue saying nobody was notified.
        const bool notify = _notify && _notify->Notify();
        if (notify && !_notify->IsCreated()) email.Set("Yes");
        _mailOutcome = niSendNotification(_newMode, *_issue, _links, notify);
        _notificationWentOut = niMailWentOut(_mailOutcome);
    }

    bool saved = true;
    if (_attachmentsChanged) {
        // A failed write has been told to the user and keeps the changes for another try.
        kwioAttachments* attachments = _issue->AttachmentList();
        if (attachments && attachments->Write() == XIO_OK)
            _attachmentsChanged = false;
        else
            saved = false;
    }
    if (saved) {
        if (_newMode && !_provisionalWritten) {
            _provisionalWritten = _issue->AddRecord();
            saved = _provisionalWritten;
        }
        if (saved) saved = _issue->ReplaceRecord();
    }
    if (!_newMode) email.Set(emailWasSet ? "Yes" : "No");
    if (!saved) return false;
    _result = RESULT_SAVED;
    return true;
}

void niPropSheet::OnClosedWithoutSave() {
    _result = RESULT_CLOSED;
    if (!_issue) return;
    if (_attachmentsChanged) {
        if (kwioAttachments* attachments = _issue->AttachmentList()) attachments->Free();
        _attachmentsChanged = false;
    }
    if (!_newMode) return;
    const short file = _issue->FileNumber();
    if (file && _provisionalWritten) {
        // The record is found again by its number: the file's buffer may have been used for
        // other records since it was written.
        _issue->PutFields(QV_ISSUE, QV_ISSUE + 1);
        const short status = xio_rd_record(file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1);
        // Links the Links page stored before the save failed go with the record, so a
        // number handed back never comes with another issue's links.
        if (status == XIO_OK && _linksPage && _linksPage->IsCreated()) {
            _issue->DeleteLinks();
            _issue->PutFields(QV_ISSUE, QV_ISSUE + 1);
            if (xio_rd_record(file, QV_RECORD_ISSUE, QV_KEY_ISSUE_NUMBER, 1) != XIO_OK) {
                _provisionalWritten = false;
                return;
            }
        }
        if (status == XIO_OK)
            _issue->DeleteRecord();
        else if (status != XIO_NO_RECORD)
            xio_io_error(file, status);
        _provisionalWritten = false;
    }
    if (!file || _issue->Number() == 0) return;
    if (_notificationWentOut) {
        // A mail announced this number: handing it back would let it name another issue.
        const std::string text = "Issue " + _issue->Value(QV_ISSUE).Format() +
                                 " was announced by mail but not saved; its number stays unused.";
        x_log(_issue->ProgramNumber(), text.c_str());
        return;
    }
    qvNextIssueNumber(file).Release(_issue->Number());
}
