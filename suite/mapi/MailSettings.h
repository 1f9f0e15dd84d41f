// The company's mail settings: the "mail" object of company.json.
//
//   "mail": { "installed": true, "host": "smtp.example.com", "port": 587,
//             "security": "starttls", "user": "...", "password": "...",
//             "sender": "quorvel@example.com" }
//
// No host means no server: messages go into the company's outbox folder instead. Every
// member may be left out; "security" is "none", "starttls" (the default) or "tls" ("ssl"
// counts as "tls"), in any letter case.
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

    // The settings of the current company. false, with *settings empty, when a value has
    // the wrong type or an unknown security: *error names company.json and the key.
    static bool Current(MailSettings* settings, std::string* error);

    bool HasServer() const { return !host.empty(); }
    // The port to connect to: the setting, else 25, 587 or 465 by security.
    int EffectivePort() const;
};
