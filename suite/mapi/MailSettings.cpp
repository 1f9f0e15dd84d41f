// Mail settings read from the current company.
#include "MailSettings.h"

#include "kwcommon/kwCompany.h"

#include <nlohmann/json.hpp>

namespace {
std::string Text(const nlohmann::json& mail, const char* key) {
    const auto it = mail.find(key);
    return it != mail.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
} // namespace

MailSettings MailSettings::Current() {
    MailSettings settings;
    const nlohmann::json& all = kwCompany::Settings();
    const auto mailIt = all.find("mail");
    if (mailIt == all.end() || !mailIt->is_object()) return settings;
    const nlohmann::json& mail = *mailIt;

    settings.host = Text(mail, "host");
    if (const auto it = mail.find("port"); it != mail.end() && it->is_number_integer()) {
        const auto port = it->get<long long>();
        if (port > 0 && port <= 65535) settings.port = static_cast<int>(port);
    }
    const std::string security = Lower(Text(mail, "security"));
    if (security == "none")
        settings.security = Security::None;
    else if (security == "tls" || security == "ssl")
        settings.security = Security::Tls;
    else
        settings.security = Security::StartTls;
    settings.user = Text(mail, "user");
    settings.password = Text(mail, "password");
    settings.sender = Text(mail, "sender");
    return settings;
}

int MailSettings::EffectivePort() const {
    if (port > 0) return port;
    switch (security) {
    case Security::None:
        return 25;
    case Security::Tls:
        return 465;
    default:
        return 587;
    }
}
