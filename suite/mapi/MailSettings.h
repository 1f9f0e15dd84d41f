// The company's mail settings: the "mail" object of company.json.
//
//   "mail": { "installed": true, "host": "smtp.example.com", "port": 587,
//             "security": "starttls", "user": "...", "password": "...",
//             "sender": "quorvel@example.com" }
//
// No host means no server: messages go into the company's outbox folder instead.
#pragma once

#include <string>

struct MailSettings {
    enum class Security { None, StartTls, Tls };

    std::string host;
    int port = 0; // 0: the usual port of the security
    Security security = Security::StartTls;
    std::string user;
    std::string password;
    std::string sender;

    // The settings of the current company; values of the wrong type count as absent.
    static MailSettings Current();

    bool HasServer() const { return !host.empty(); }
    // The port to connect to: the setting, else 25, 587 or 465 by security.
    int EffectivePort() const;
};
