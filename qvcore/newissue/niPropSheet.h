// The New Issue / Edit Issue sheet: the General, Notify and Links pages over one issue, a
// button column with OK, Cancel, Help and "Attach...", and the saving of the issue when the
// user confirms (notification mail, attachments, the record). In New mode the issue is
// made here with a fresh number and written at once as a provisional record, which is
// removed again, and its number handed back, when the sheet closes without saving. The
// notification goes out once per sheet: a save that failed after the mail went out is not
// mailed again, and a number that a mail announced is never handed back.
#pragma once

#include "qvcore/newissue/niNotify.h"

#include "kwapp/sheets/kwPropertySheet.h"

#include <memory>
#include <vector>

class LinkedRecord;
class QPushButton;
class _niGeneral;
class _niNotify;
class kwCommand;
class kwPropertyPage;
class qvIssue;

class niPropSheet : public kwPropertySheet {
    Q_OBJECT
public:
    static constexpr int ID_ATTACH = 149;
    static constexpr unsigned int HELP_NEW = 8751;
    static constexpr unsigned int HELP_EDIT = 25500;
    static constexpr unsigned int HELP_GENERAL = 25510;
    static constexpr unsigned int HELP_NOTIFY = 25520;
    static constexpr unsigned int HELP_LINKS = 25530;

    // result(): open, saved, closed without saving.
    enum Result : int { RESULT_OPEN = 0, RESULT_SAVED = 1, RESULT_CLOSED = 2 };

    // New Issue on the open issue file fileNumber for the command (its id is the program
    // number of the issue).
    niPropSheet(short fileNumber, kwCommand* command);
    // Edit Issue on the caller's issue, read from its file.
    niPropSheet(kwCommand* command, qvIssue* issue);
    ~niPropSheet() override;

    int result() const { return _result; }
    bool IsNewMode() const { return _newMode; }
    bool DataChanged() const { return _dataChanged; }
    void SetDataChanged() { _dataChanged = true; }
    bool AttachmentsChanged() const { return _attachmentsChanged; }
    qvIssue* Issue() const { return _issue; }
    const std::vector<LinkedRecord*>& Links() const { return _links; }
    // The Links page's own flag; false while the sheet has no Links page.
    bool LinksChanged() const;
    _niGeneral* GeneralPage() const { return _general; }
    _niNotify* NotifyPage() const { return _notify; }
    kwPropertyPage* LinksPage() const { return _linksPage; }
    QPushButton* AttachButton() const { return _attach; }
    // What became of the notification of this sheet's last save attempt, and whether a
    // notification went out (it is then not sent again).
    niMailOutcome MailOutcome() const { return _mailOutcome; }
    bool NotificationWentOut() const { return _notificationWentOut; }
    // The status-bar text of the completed save ("Issue N saved ..."), empty before.
    const QString& SavedMessage() const { return _savedMessage; }

    // Attach... (command 149).
    void OnAttach();

protected:
    bool OnInitDialog() override;
    // Accepting runs the sheet's own saving after the pages applied; it stays open when the
    // issue could not be saved. Any other end is the closing without saving.
    void done(int result) override;

private:
    void AddPages(kwCommand* command);
    void LayOutButtonColumn();
    // The saving steps after the pages copied their values; false keeps the sheet open.
    bool ApplySheet();
    // The sheet's window went away without a completed save.
    void OnClosedWithoutSave();
    // Tells the user in the frame's status bar that the issue was saved, and where the mail
    // went.
    void ReportSaved();

    QPushButton* _attach = nullptr;
    _niGeneral* _general = nullptr;
    _niNotify* _notify = nullptr;
    kwPropertyPage* _linksPage = nullptr;
    int _result = RESULT_OPEN;
    bool _newMode;
    bool _dataChanged = false;
    bool _attachmentsChanged = false;
    qvIssue* _issue = nullptr;
    std::unique_ptr<qvIssue> _ownedIssue; // New mode only
    // The provisional record of New mode is in the file (the write may have failed).
    bool _provisionalWritten = false;
    niMailOutcome _mailOutcome = niMailOutcome::NotAsked;
    bool _notificationWentOut = false;
    QString _savedMessage;
    std::vector<LinkedRecord*> _links;
};
