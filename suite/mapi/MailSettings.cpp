// Mail settings read from the current company, every value checked for its type.
#include "MailSettings.h"

#include "kwcommon/kwCompany.h"
#include "kwcommon/kwJsonFile.h"

namespace {
std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}
} // namespace

bool MailSettings::Current(MailSettings* settings, std::string* error) {
    *settings = MailSettings{};
    const std::string file = kwCompany::IsOpen() ? kwCompany::Path("company.json") : "company.json";
    MailSettings read;
    const bool sound = kwJsonLoad(file, error, [&] {
        const auto mail = kwJsonNode(kwCompany::Settings(), file).Find("mail");
        if (!mail) return;
        mail->ExpectObject();
        read.host = mail->Text("host", "");
        read.port = static_cast<int>(mail->Whole("port", 0, 0, 65535));
        const std::string security = Lower(mail->Text("security", "starttls"));
        if (security == "none")
            read.security = Security::None;
        else if (security == "tls" || security == "ssl")
            read.security = Security::Tls;
        else if (security == "starttls")
            read.security = Security::StartTls;
        else
            mail->Member("security").Fail("must be \"none\", \"starttls\" or \"tls\", not \"" + security + "\"");
        read.user = mail->Text("user", "");
        read.password = mail->Text("password", "");
        read.sender = mail->Text("sender", "");
    });
    if (sound) *settings = std::move(read);
    return sound;
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
