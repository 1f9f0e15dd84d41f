// Mailing an issue notification through kclMail.
#include "qvcore/newissue/niNotify.h"

#include "qvcore/store/LinkedRecord.h"
#include "qvcore/store/qvErrorMessage.h"
#include "qvcore/store/qvIssue.h"
#include "qvcore/store/qvLiteral.h"
#include "qvcore/tasks/qvCommands.h"

#include "qvkit/mail/kclMail.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/values/kwBool.h"

#include <nlohmann/json.hpp>

#include <string>

namespace {
constexpr short kNewIssueTask = QV_CMD_NEW_ISSUE; // the log id of the notification's messages
constexpr const char* kModule = "QVCORE.DLL";
constexpr size_t kSubjectMessageCharacters = 60;

// The first `characters` UTF-8 characters of text, and whether text was longer.
std::string FirstCharacters(const std::string& text, size_t characters, bool* cut) {
    size_t offset = 0;
    for (size_t count = 0; count < characters && offset < text.size(); ++count) {
        ++offset;
        while (offset < text.size() && (static_cast<unsigned char>(text[offset]) & 0xC0) == 0x80)
            ++offset;
    }
    *cut = offset < text.size();
    return text.substr(0, offset);
}

// The mail service sends through the server of the company's mail settings ("mail" of
// company.json, its "host"), and into the company's outbox when none is named.
bool MailServerSetUp() {
    const nlohmann::json& settings = kwCompany::Settings();
    const auto mail = settings.find("mail");
    if (mail == settings.end() || !mail->is_object()) return false;
    const auto host = mail->find("host");
    return host != mail->end() && host->is_string() && !host->get<std::string>().empty();
}

std::string Subject(bool newIssue, const qvIssue& issue) {
    const qvLiteral kind(newIssue ? 14 : 48, -1, kModule);
    bool cut = false;
    std::string message =
        FirstCharacters(issue.Value(QV_FORMESS).Format(), kSubjectMessageCharacters, &cut);
    if (cut) message += "...";
    return kind.str() + ": " + message;
}

std::string NoteText(qvIssue& issue, const std::vector<LinkedRecord*>& links) {
    const qvLiteral rule(49, -1, kModule);
    std::string note = rule.str() + issue.NotifyText() + "Linked Records:\r\n";
    for (const LinkedRecord* link : links) {
        if (!link) continue;
        note += link->applAbbrev + " - " + link->recDesc + ": ";
        for (const std::string& key : link->keyValues)
            note += key + " ";
        note += link->dataDesc + "\r\n";
    }
    return note;
}
} // namespace

niMailOutcome niSendNotification(bool newIssue, qvIssue& issue,
                                 const std::vector<LinkedRecord*>& links, bool notifyChecked,
                                 bool interactive) {
    if (!notifyChecked) return niMailOutcome::NotAsked;

    ULONG status = MAPI_E_FAILURE;
    kclMail mail;
    const bool enabled = mail.isEnabled();
    if (!enabled) {
        qvErrorMessage error(202, kNewIssueTask, kModule);
    } else {
        mail.addRecipient(static_cast<short>(MAPI_TO), issue.Value(QV_RESPONS).Format());
        mail.addRecipient(static_cast<short>(MAPI_TO), issue.Value(QV_NOTIFY_OTHERS).Format());
        mail.setSubject(Subject(newIssue, issue));
        mail.setNoteText(NoteText(issue, links));
        status = mail.send(interactive ? MAPI_LOGON_UI | MAPI_DIALOG : 0);
        if (status != SUCCESS_SUCCESS && status != MAPI_USER_ABORT &&
            status != MAPI_E_LOGIN_FAILURE) {
            qvErrorMessage error(201, kNewIssueTask, kModule);
        }
    }
    // The stored issue must not claim a notice that did not go out.
    if (status != SUCCESS_SUCCESS) issue.Value(QV_EMAIL).Set("No");
    if (status == SUCCESS_SUCCESS)
        return MailServerSetUp() ? niMailOutcome::Sent : niMailOutcome::PutInOutbox;
    if (!enabled) return niMailOutcome::Unavailable;
    if (status == MAPI_USER_ABORT || status == MAPI_E_LOGIN_FAILURE) return niMailOutcome::Cancelled;
    return niMailOutcome::Failed;
}
