// One message ready to go out, and its RFC 5322 form: UTF-8 text, headers encoded where
// they are not plain ASCII, lines ended by CRLF.
#pragma once

#include "MailAddress.h"

#include <ctime>
#include <string>
#include <vector>

struct OutgoingMail {
    MailAddress from;
    std::vector<MailAddress> to;
    std::vector<MailAddress> cc;
    std::vector<MailAddress> bcc;
    std::string subject; // UTF-8; line ends and control characters become blanks
    std::string body;    // UTF-8; any line ends (CRLF, LF, CR) are taken

    bool HasRecipients() const { return !to.empty() || !cc.empty() || !bcc.empty(); }
    // Every address the server must deliver to: To, Cc and Bcc.
    std::vector<std::string> EnvelopeRecipients() const;

    // The message as sent or stored. The Bcc recipients are in the envelope only.
    std::string Rfc5322(std::time_t date, const std::string& messageId) const;
    // A fresh "<...@domain>" id for a message from this sender.
    std::string NewMessageId() const;
};
