// One mailbox of a message (display name and address), and the reading of what a user or
// a caller writes for one: "someone@example.com", "Some One <someone@example.com>" or
// "SMTP:someone@example.com".
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct MailAddress {
    std::string displayName; // UTF-8, may be empty
    std::string address;     // local@domain, ASCII

    bool operator==(const MailAddress&) const = default;

    // True for an address the service can put into an envelope: one "@", a local part of
    // printable ASCII without blanks or the characters that delimit addresses, and a domain
    // of letters, digits, hyphens and inner dots.
    static bool IsValidAddress(std::string_view address);

    // A mailbox written as an address, "Name <address>" or with an "SMTP:" prefix; nothing
    // when the text is not one.
    static std::optional<MailAddress> Parse(std::string_view text);

    // How the compose window shows it: "Name <address>", or the address alone.
    std::string Display() const;
};

// The text without blanks (space, tab, CR, LF) at either end.
std::string_view MailTrim(std::string_view text);
