// The RFC 5322 form of a message. Header lines are folded at blanks to stay within 76
// characters; text that is not plain ASCII goes into RFC 2047 encoded words, and a body that
// is not plain short-lined ASCII is sent quoted-printable, so any server takes it unchanged.
#include "OutgoingMail.h"

#include <cstdio>
#include <random>

namespace {
// Lines holding encoded words may have at most 76 characters; all header lines keep to it.
constexpr size_t kFoldWidth = 76;
constexpr size_t kHardLineLimit = 998;
// Bytes of UTF-8 per encoded word: 39 bytes make 52 base64 characters, a word of 64 with
// "=?UTF-8?B?" and "?=", so even the first word fits beside "Subject: " within 76.
constexpr size_t kEncodedWordBytes = 39;

bool IsPlainAscii(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte >= 0x7F) return false;
    }
    return true;
}

// Header text must not end its line early: line ends, tabs and other control characters
// become blanks.
std::string HeaderSafe(std::string_view text) {
    std::string safe;
    safe.reserve(text.size());
    for (char c : text)
        safe += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
    return safe;
}

std::string Base64(std::string_view bytes) {
    static const char* const kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    size_t i = 0;
    for (; i + 2 < bytes.size(); i += 3) {
        const unsigned n = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += kAlphabet[(n >> 6) & 63];
        out += kAlphabet[n & 63];
    }
    if (i < bytes.size()) {
        unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(n >> 18) & 63];
        out += kAlphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// Encoded words separated by blanks; no word splits a UTF-8 character.
std::string EncodedWords(std::string_view text) {
    std::string words;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.size(), start + kEncodedWordBytes);
        while (end < text.size() && end > start + 1 &&
               (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            --end;
        if (!words.empty()) words += ' ';
        words += "=?UTF-8?B?" + Base64(text.substr(start, end - start)) + "?=";
        start = end;
    }
    return words;
}

// "Name: value" folded at blanks to kFoldWidth. A run of blanks is kept on one line, so no folded
// line holds only white space.
std::string Fold(const std::string& line) {
    std::string folded;
    size_t lineLength = 0;
    size_t start = 0;
    bool first = true;
    while (start <= line.size()) {
        size_t end = line.find(' ', start);
        if (end == std::string::npos) end = line.size();
        const std::string_view word(line.data() + start, end - start);
        if (first) {
            folded += word;
            lineLength = word.size();
            first = false;
        } else if (!word.empty() && lineLength + 1 + word.size() > kFoldWidth && lineLength > 0) {
            folded += "\r\n ";
            folded += word;
            lineLength = 1 + word.size();
        } else {
            folded += ' ';
            folded += word;
            lineLength += 1 + word.size();
        }
        start = end + 1;
    }
    return folded + "\r\n";
}

bool HasLongLine(const std::string& text) {
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        if (end == std::string::npos) end = text.size();
        if (end - start > kHardLineLimit) return true;
        start = end + 2;
    }
    return false;
}

// A header carrying free text: plain ASCII stays readable; anything else, or a word too
// long to fold, goes into encoded words.
std::string TextHeader(const std::string& name, std::string_view text) {
    const std::string safe = HeaderSafe(text);
    if (IsPlainAscii(safe)) {
        std::string folded = Fold(name + ": " + safe);
        if (!HasLongLine(folded)) return folded;
    }
    return Fold(name + ": " + EncodedWords(safe));
}

bool IsAtextOrBlank(char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
    return std::string_view(" !#$%&'*+-/=?^_`{|}~").find(c) != std::string_view::npos;
}

std::string Mailbox(const MailAddress& mailbox) {
    const std::string name = HeaderSafe(mailbox.displayName);
    if (name.find_first_not_of(' ') == std::string::npos) return "<" + mailbox.address + ">";
    std::string phrase;
    if (!IsPlainAscii(name)) {
        phrase = EncodedWords(name);
    } else {
        bool plain = true;
        for (char c : name)
            plain = plain && IsAtextOrBlank(c);
        if (plain) {
            phrase = name;
        } else {
            phrase = "\"";
            for (char c : name) {
                if (c == '"' || c == '\\') phrase += '\\';
                phrase += c;
            }
            phrase += '"';
        }
    }
    return phrase + " <" + mailbox.address + ">";
}

std::string AddressHeader(const std::string& name, const std::vector<MailAddress>& list) {
    std::string line = name + ":";
    for (size_t i = 0; i < list.size(); ++i)
        line += " " + Mailbox(list[i]) + (i + 1 < list.size() ? "," : "");
    return Fold(line);
}

std::string Rfc5322Date(std::time_t date) {
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::tm local{};
    localtime_r(&date, &local);
    const long offset = local.tm_gmtoff / 60;
    const long magnitude = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                  kDays[local.tm_wday % 7], local.tm_mday, kMonths[local.tm_mon % 12],
                  local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec,
                  offset < 0 ? '-' : '+', magnitude / 60, magnitude % 60);
    return text;
}

// Every line end of the text as CRLF, and a CRLF at its end.
std::string CrlfLines(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 40 + 2);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
            out += "\r\n";
        } else if (text[i] == '\n') {
            out += "\r\n";
        } else {
            out += text[i];
        }
    }
    if (out.size() < 2 || out.compare(out.size() - 2, 2, "\r\n") != 0) out += "\r\n";
    return out;
}

bool IsSevenBitText(const std::string& crlfText) {
    for (size_t i = 0; i < crlfText.size(); ++i) {
        const auto byte = static_cast<unsigned char>(crlfText[i]);
        if (byte == 0 || byte >= 0x80) return false;
    }
    return !HasLongLine(crlfText);
}

std::string QuotedPrintable(const std::string& crlfText) {
    static const char* const kHex = "0123456789ABCDEF";
    std::string out;
    size_t start = 0;
    while (start < crlfText.size()) {
        size_t end = crlfText.find("\r\n", start);
        if (end == std::string::npos) end = crlfText.size();
        std::string line;
        for (size_t i = start; i < end; ++i) {
            const auto byte = static_cast<unsigned char>(crlfText[i]);
            std::string token;
            const bool blank = byte == ' ' || byte == '\t';
            if ((blank && i + 1 < end) || (byte >= 33 && byte <= 126 && byte != '=')) {
                token = static_cast<char>(byte);
            } else {
                token = {'=', kHex[byte >> 4], kHex[byte & 15]};
            }
            // 76 characters per line, one of them kept for the soft break's "=".
            if (line.size() + token.size() > 75) {
                out += line + "=\r\n";
                line.clear();
            }
            line += token;
        }
        out += line + "\r\n";
        start = end + 2;
    }
    return out;
}
} // namespace

std::vector<std::string> OutgoingMail::EnvelopeRecipients() const {
    std::vector<std::string> recipients;
    for (const auto* list : {&to, &cc, &bcc})
        for (const MailAddress& mailbox : *list)
            recipients.push_back(mailbox.address);
    return recipients;
}

std::string OutgoingMail::NewMessageId() const {
    std::random_device random;
    std::uniform_int_distribution<unsigned long long> digits;
    char unique[64];
    std::snprintf(unique, sizeof unique, "%llx.%016llx",
                  static_cast<unsigned long long>(std::time(nullptr)), digits(random));
    const size_t at = from.address.find('@');
    const std::string domain = at == std::string::npos ? "localhost" : from.address.substr(at + 1);
    return "<" + std::string(unique) + "@" + domain + ">";
}

std::string OutgoingMail::Rfc5322(std::time_t date, const std::string& messageId) const {
    std::string message;
    message += "Date: " + Rfc5322Date(date) + "\r\n";
    message += AddressHeader("From", {from});
    if (!to.empty()) message += AddressHeader("To", to);
    if (!cc.empty()) message += AddressHeader("Cc", cc);
    if (to.empty() && cc.empty()) message += "To: undisclosed-recipients:;\r\n";
    message += TextHeader("Subject", subject);
    message += "Message-ID: " + HeaderSafe(messageId) + "\r\n";
    message += "MIME-Version: 1.0\r\n";
    message += "Content-Type: text/plain; charset=UTF-8\r\n";
    const std::string text = CrlfLines(body);
    if (IsSevenBitText(text)) {
        message += "Content-Transfer-Encoding: 7bit\r\n\r\n";
        message += text;
    } else {
        message += "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
        message += QuotedPrintable(text);
    }
    return message;
}
