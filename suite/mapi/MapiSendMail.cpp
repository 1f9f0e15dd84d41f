// MAPISendMail: checks the message, resolves its recipients against the company's
// operators, lets the user edit it in the compose window when asked to, and hands it to the
// company's SMTP server or, with no server set, stores it in the company's outbox.
#include "MAPI.h"

#include "ComposeWindow.h"
#include "GuiSession.h"
#include "LogonWindow.h"
#include "MailSettings.h"
#include "OutboxWriter.h"
#include "OutgoingMail.h"
#include "RecipientResolver.h"
#include "ScriptedAnswers.h"
#include "SmtpTransport.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/x_log.h"
#include "kwcommon/x_message.h"
#include "kwcommon/xs.h"

#include <QApplication>

#include <ctime>
#include <map>
#include <utility>

namespace {
// Log id of the mail service's lines in the suite log.
constexpr short kLogId = 0;
constexpr int kLogonAttempts = 3;

ULONG Fail(ULONG status, const std::string& why) {
    x_log(kLogId, ("Mail not sent: " + why).c_str());
    return status;
}

// Shows the busy cursor while the server is talked to.
class WaitIndicator {
public:
    explicit WaitIndicator(const char* text) { x_wait_on(text); }
    ~WaitIndicator() { x_wait_off(); }
    WaitIndicator(const WaitIndicator&) = delete;
    WaitIndicator& operator=(const WaitIndicator&) = delete;
};

// What was typed into the logon window, kept for the life of the process only, by server
// ("host:port") and the user of the settings, so the user is asked once per session.
struct TypedLogon {
    std::string user;
    std::string password;
};
using SessionKey = std::pair<std::string, std::string>;
std::map<SessionKey, TypedLogon>& SessionLogons() {
    static std::map<SessionKey, TypedLogon> logons;
    return logons;
}

SessionKey KeyOf(const MailSettings& settings) {
    return {settings.host + ":" + std::to_string(settings.EffectivePort()), settings.user};
}

std::string Text(const char* text) {
    return text ? text : "";
}

// The message's recipients as the compose window shows them, and resolved.
struct Recipients {
    ComposeFields fields;
    ComposedRecipients resolved;
};

ULONG ReadRecipients(const MapiMessage& message, Recipients* recipients) {
    if (message.nRecipCount > 0 && !message.lpRecips) return MAPI_E_INVALID_RECIPS;
    for (ULONG i = 0; i < message.nRecipCount; ++i) {
        const MapiRecipDesc& descriptor = message.lpRecips[i];
        std::string* shown = nullptr;
        ResolvedRecipients* resolved = nullptr;
        switch (descriptor.ulRecipClass) {
        case MAPI_TO:
            shown = &recipients->fields.to, resolved = &recipients->resolved.to;
            break;
        case MAPI_CC:
            shown = &recipients->fields.cc, resolved = &recipients->resolved.cc;
            break;
        case MAPI_BCC:
            shown = &recipients->fields.bcc, resolved = &recipients->resolved.bcc;
            break;
        default:
            return MAPI_E_BAD_RECIPTYPE;
        }
        const std::string name = std::string(MailTrim(Text(descriptor.lpszName)));
        const std::string address = std::string(MailTrim(Text(descriptor.lpszAddress)));
        if (name.empty() && address.empty()) continue;

        ResolvedRecipients one;
        if (!address.empty()) {
            if (std::optional<MailAddress> mailbox = MailAddress::Parse(address)) {
                if (mailbox->displayName.empty()) mailbox->displayName = name;
                one.addresses.push_back(*mailbox);
            } else {
                one.unknown.push_back(name.empty() ? address : name);
            }
        } else {
            one = RecipientResolver::Resolve(name);
        }

        std::string text;
        if (one.Complete()) {
            for (const MailAddress& mailbox : one.addresses)
                text += (text.empty() ? "" : "; ") + mailbox.Display();
        } else {
            text = name.empty() ? address : name;
        }
        *shown += (shown->empty() ? "" : "; ") + text;
        resolved->Append(one);
    }
    return SUCCESS_SUCCESS;
}

ULONG RecipientStatus(const ComposedRecipients& recipients) {
    for (const auto* list : {&recipients.to, &recipients.cc, &recipients.bcc})
        if (!list->unknown.empty()) return MAPI_E_UNKNOWN_RECIPIENT;
    if (!recipients.Complete()) return MAPI_E_AMBIGUOUS_RECIPIENT;
    if (recipients.Empty()) return MAPI_E_INVALID_RECIPS;
    return SUCCESS_SUCCESS;
}

// The compose window, or its scripted answer. On Send the fields and recipients are
// replaced by what the user left in the window.
ULONG Compose(Recipients* recipients) {
    int answer = MAPI_ANSWER_OK;
    if (ScriptedAnswers::Take(&answer)) {
        if (answer == MAPI_ANSWER_CANCEL) return MAPI_USER_ABORT;
        return RecipientStatus(recipients->resolved);
    }
    GuiSession session;
    if (!session.Available())
        return Fail(MAPI_E_FAILURE, "the compose window cannot be shown here");
    ComposeWindow window(recipients->fields, recipients->resolved.Notice(),
                         QApplication::activeWindow());
    if (window.exec() != QDialog::Accepted) return MAPI_USER_ABORT;
    recipients->fields = window.Fields();
    recipients->resolved = window.Recipients();
    return SUCCESS_SUCCESS;
}

// The logon window, or its scripted answer; false when cancelled or it cannot be shown.
bool AskLogon(MailSettings* settings, const std::string& notice) {
    int answer = MAPI_ANSWER_OK;
    if (ScriptedAnswers::Take(&answer)) return answer != MAPI_ANSWER_CANCEL;
    GuiSession session;
    if (!session.Available()) return false;
    LogonWindow window(settings->host, settings->user, notice, QApplication::activeWindow());
    if (window.exec() != QDialog::Accepted) return false;
    settings->user = window.User();
    settings->password = window.Password();
    return true;
}

// The From address: the company's sender, else the current operator's own address.
std::optional<MailAddress> Sender(const MailSettings& settings) {
    if (std::optional<MailAddress> sender = MailAddress::Parse(settings.sender)) return sender;
    xs_oper_def oper{};
    if (xs_get_oper_def(&oper) == 0 && MailAddress::IsValidAddress(oper.email)) {
        return MailAddress{oper.name, oper.email};
    }
    return std::nullopt;
}

ULONG SendOverSmtp(MailSettings settings, const OutgoingMail& mail, const std::string& message,
                   FLAGS flags) {
    const bool mayAsk = (flags & MAPI_LOGON_UI) != 0;
    const SessionKey key = KeyOf(settings);
    bool typed = false;
    if (!settings.user.empty() && settings.password.empty()) {
        const auto known = SessionLogons().find(key);
        if (known != SessionLogons().end()) {
            settings.user = known->second.user;
            settings.password = known->second.password;
        } else {
            if (!mayAsk) return Fail(MAPI_E_LOGIN_FAILURE, "no password for the mail server");
            if (!AskLogon(&settings, "Enter the password for the mail server."))
                return MAPI_USER_ABORT;
            typed = true;
        }
    }
    for (int attempt = 1;; ++attempt) {
        std::string error;
        SmtpTransport::Result result;
        {
            WaitIndicator wait("Sending mail...");
            result = SmtpTransport(settings).Send(mail.from.address, mail.EnvelopeRecipients(),
                                                  message, &error);
        }
        if (result == SmtpTransport::Result::Sent) {
            if (typed) SessionLogons()[key] = {settings.user, settings.password};
            return SUCCESS_SUCCESS;
        }
        if (result == SmtpTransport::Result::Failed) return Fail(MAPI_E_FAILURE, error);
        SessionLogons().erase(key);
        if (!mayAsk || attempt >= kLogonAttempts) return Fail(MAPI_E_LOGIN_FAILURE, error);
        if (!AskLogon(&settings, "The mail server did not accept the user name or password.")) {
            return MAPI_USER_ABORT;
        }
        typed = true;
    }
}
} // namespace

extern "C" ULONG MAPISendMail(LHANDLE, ULONG_PTR, MapiMessage* message, FLAGS flags, ULONG) {
    if (!message) return MAPI_E_INVALID_MESSAGE;
    // Attachments would go out silently missing; refuse rather than send less than asked.
    if (message->nFileCount > 0) return Fail(MAPI_E_NOT_SUPPORTED, "attachments are not supported");

    Recipients recipients;
    recipients.fields.subject = Text(message->lpszSubject);
    recipients.fields.body = Text(message->lpszNoteText);
    if (const ULONG status = ReadRecipients(*message, &recipients); status != SUCCESS_SUCCESS)
        return status;

    if (flags & MAPI_DIALOG) {
        if (const ULONG status = Compose(&recipients); status != SUCCESS_SUCCESS) return status;
    } else if (const ULONG status = RecipientStatus(recipients.resolved);
               status != SUCCESS_SUCCESS) {
        return status;
    }

    MailSettings settings;
    std::string settingsError;
    if (!MailSettings::Current(&settings, &settingsError)) return Fail(MAPI_E_FAILURE, settingsError);
    const std::optional<MailAddress> sender = Sender(settings);
    if (!sender)
        return Fail(MAPI_E_FAILURE, "no sender address: set the mail sender of the company");

    OutgoingMail mail;
    mail.from = *sender;
    mail.to = recipients.resolved.to.addresses;
    mail.cc = recipients.resolved.cc.addresses;
    mail.bcc = recipients.resolved.bcc.addresses;
    mail.subject = recipients.fields.subject;
    mail.body = recipients.fields.body;
    const std::string text = mail.Rfc5322(std::time(nullptr), mail.NewMessageId());

    if (settings.HasServer()) return SendOverSmtp(settings, mail, text, flags);

    if (!kwCompany::IsOpen()) return Fail(MAPI_E_FAILURE, "no company is open for the outbox");
    std::string error;
    if (!OutboxWriter(kwCompany::Path("outbox")).Write(text, nullptr, &error)) {
        return Fail(MAPI_E_FAILURE, error);
    }
    return SUCCESS_SUCCESS;
}
