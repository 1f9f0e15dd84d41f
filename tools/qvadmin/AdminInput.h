// What qvadmin accepts from its command line: issue numbers, text encodings, and values
// shown back in messages without flooding the terminal.
#pragma once

#include <string>
#include <string_view>

// An issue number as typed: plain decimal digits only (no sign, blanks, "0x", exponent or
// fraction), at least 1 and at most 10 digits. false with *error naming the argument.
bool AdminParseIssueNumber(const std::string& text, double* number, std::string* error);

// Whether text is well-formed UTF-8 (no overlong forms, surrogates or values past
// U+10FFFF); *badOffset receives the offset of the first bad byte.
bool AdminIsUtf8(std::string_view text, size_t* badOffset = nullptr);

// The text as a message may repeat it: quoted, cut to its first 40 characters with "..."
// after, control characters shown as blanks and bytes that are no UTF-8 as "?".
std::string AdminShown(std::string_view text);
