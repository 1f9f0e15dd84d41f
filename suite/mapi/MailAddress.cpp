// Reading and checking mailboxes. Addresses are kept strict: whatever passes here goes into
// SMTP commands and message headers, so nothing that could end a command or a header may.
#include "MailAddress.h"

#include "kwcommon/x_text.h"

namespace {
bool IsLetterOrDigit(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != prefix[i]) return false;
    }
    return true;
}
} // namespace

std::string_view MailTrim(std::string_view text) { return x_trim(text); }

bool MailAddress::IsValidAddress(std::string_view address) {
    const size_t at = address.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 >= address.size()) return false;
    if (address.find('@', at + 1) != std::string_view::npos) return false;
    if (address.size() > 254) return false;
    const std::string_view local = address.substr(0, at);
    const std::string_view domain = address.substr(at + 1);
    for (char c : local) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) return false;
        if (std::string_view("<>()[]\\,;:\"").find(c) != std::string_view::npos) return false;
    }
    if (local.front() == '.' || local.back() == '.') return false;
    if (domain.front() == '.' || domain.back() == '.' || domain.front() == '-') return false;
    char previous = 0;
    for (char c : domain) {
        if (!IsLetterOrDigit(c) && c != '-' && c != '.') return false;
        if (c == '.' && previous == '.') return false;
        previous = c;
    }
    return true;
}

std::optional<MailAddress> MailAddress::Parse(std::string_view text) {
    text = MailTrim(text);
    if (StartsWithNoCase(text, "SMTP:")) text = MailTrim(text.substr(5));
    if (text.empty()) return std::nullopt;
    if (text.back() == '>') {
        const size_t open = text.rfind('<');
        if (open == std::string_view::npos) return std::nullopt;
        const std::string_view address = MailTrim(text.substr(open + 1, text.size() - open - 2));
        if (!IsValidAddress(address)) return std::nullopt;
        std::string_view name = MailTrim(text.substr(0, open));
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"') {
            name = name.substr(1, name.size() - 2);
        }
        MailAddress mailbox;
        for (char c : name) {
            // Control characters in a name could break the header it goes into.
            mailbox.displayName += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
        mailbox.address = std::string(address);
        return mailbox;
    }
    if (!IsValidAddress(text)) return std::nullopt;
    return MailAddress{"", std::string(text)};
}

std::string MailAddress::Display() const {
    if (displayName.empty()) return address;
    return displayName + " <" + address + ">";
}
