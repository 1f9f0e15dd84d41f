// Hands one message to the company's SMTP server through libcurl.
#pragma once

#include "MailSettings.h"

#include <string>
#include <vector>

class SmtpTransport {
public:
    enum class Result { Sent, AuthenticationFailed, Failed };

    explicit SmtpTransport(MailSettings settings) : _settings(std::move(settings)) {}

    // Sends the RFC 5322 message from the sender to the envelope recipients. On failure the
    // server's or the library's reason is in error.
    Result Send(const std::string& sender, const std::vector<std::string>& recipients,
                const std::string& message, std::string* error) const;

private:
    MailSettings _settings;
};
