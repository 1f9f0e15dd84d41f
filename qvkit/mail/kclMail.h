// One e-mail sent through the mail service's Simple MAPI (MAPISendMail), bound at run time
// so that programs run on machines without mail: recipients by display name (the service
// resolves them), a subject and a note text; the service's status is kept.
#pragma once

#include "kwcommon/kwSeam.h"
#include "mapi/MAPI.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

enum MailState : short {
    MAIL_STATE_UNDETERMINED = 0, // only while the object is being made
    MAIL_STATE_BOUND = 1,        // MAPISendMail is bound
    MAIL_STATE_NO_LIBRARY = 2,   // the mail service could not be loaded
    MAIL_STATE_NO_ENTRY = 3,     // the library has no MAPISendMail
};

class kclMail {
public:
    kclMail();
    // Makes the mail with one primary recipient, sends it with flags and keeps the status.
    kclMail(const std::string& to, const std::string& subject, const std::string& noteText,
            ULONG flags);
    virtual ~kclMail();
    kclMail(const kclMail&) = delete;
    kclMail& operator=(const kclMail&) = delete;

    // True when MAPISendMail is bound and the company's mail setting "installed" says mail
    // is installed: true, 1, or a text of at most 4 characters starting with "1".
    bool isEnabled();

    // Appends a recipient by display name (MAPI_TO = 1 primary, 2 copy, 3 blind copy); an
    // empty name adds nothing.
    void addRecipient(short recipClass, const std::string& name);
    void setSubject(const std::string& subject);
    void setNoteText(const std::string& noteText);
    // The message that send() fills, for callers that set further fields.
    MapiMessage& getMapiMessage() { return _message; }

    // Sends the mail as it now stands (the subject is first cut to 255 characters) and
    // returns the service's status: 0 sent, 1 cancelled by the user, 3 logon failure,
    // others errors. Without a bound service nothing is sent and the previous status (2
    // at first) comes back. The process's current folder is the same afterwards.
    ULONG send(ULONG flags);

    // Forgets recipients, subject, note and status, so the object can build a new mail.
    void clearMail();

    MailState mailState() const { return _mailState; }
    ULONG mapiStatus() const { return _mapiStatus; }
    short recipientCount() const { return _recipientCount; }
    short recipientCapacity() const { return _recipientCapacity; }
    const MapiRecipDesc* recipients() const { return _recipients.get(); }
    const std::string& subject() const { return _subject; }
    const std::string& noteText() const { return _noteText; }

    // Stands in for the mail service's send function (the library's file is replaced
    // through kclMailLibrary::FileSeam). Mails made while it is replaced send through it.
    static kwSeam<LPMAPISENDMAIL()>& SendMailSeam();

private:
    void Initialise();

    short _recipientCapacity = 0;
    short _recipientCount = 0;
    std::unique_ptr<MapiRecipDesc[]> _recipients;
    std::string _subject;
    std::string _noteText;
    MapiMessage _message{};
    ULONG _mapiStatus = MAPI_E_FAILURE;
    MailState _mailState = MAIL_STATE_UNDETERMINED;

    // The copies the descriptors and the message point into.
    std::vector<std::unique_ptr<char[]>> _nameCopies;
    std::unique_ptr<char[]> _subjectCopy;
    std::unique_ptr<char[]> _noteCopy;

    // Shared by every mail of the process; bound once per library (a replaced library or
    // send function binds again).
    static LPMAPISENDMAIL _lpfnMAPISendMail;
    static void* _boundLibrary;
};
