// Checks of qvadmin's command-line input.
#include "AdminInput.h"

namespace {
constexpr size_t kIssueDigitsMax = 10; // the issue number field's width
constexpr size_t kShownCharacters = 40;
} // namespace

bool AdminParseIssueNumber(const std::string& text, double* number, std::string* error) {
    bool digits = !text.empty() && text.size() <= kIssueDigitsMax;
    for (char c : text)
        digits = digits && c >= '0' && c <= '9';
    double value = 0;
    if (digits)
        for (char c : text)
            value = value * 10 + (c - '0');
    if (!digits || value < 1) {
        if (error)
            *error = AdminShown(text) + " is not an issue number: give its plain decimal digits (1 to " +
                     std::to_string(kIssueDigitsMax) + " digits)";
        return false;
    }
    *number = value;
    return true;
}

bool AdminIsUtf8(std::string_view text, size_t* badOffset) {
    size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        size_t length = 0;
        unsigned long code = 0, least = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            length = 2, code = c & 0x1F, least = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            length = 3, code = c & 0x0F, least = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            length = 4, code = c & 0x07, least = 0x10000;
        }
        bool good = length > 0 && i + length <= text.size();
        for (size_t k = 1; good && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            good = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        good = good && code >= least && code <= 0x10FFFF && !(code >= 0xD800 && code <= 0xDFFF);
        if (!good) {
            if (badOffset) *badOffset = i;
            return false;
        }
        i += length;
    }
    return true;
}

std::string AdminShown(std::string_view text) {
    std::string shown;
    size_t characters = 0, i = 0;
    for (; i < text.size() && characters < kShownCharacters; ++characters) {
        // One whole character at a time, so a cut never splits one.
        size_t length = 1;
        while (i + length < text.size() && (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
            ++length;
        std::string piece(text.substr(i, length));
        if (piece.size() == 1 && static_cast<unsigned char>(piece[0]) < 0x20) piece = " ";
        if (!AdminIsUtf8(piece)) piece = "?";
        shown += piece;
        i += length;
    }
    return "\"" + shown + (i < text.size() ? "...\"" : "\"");
}
