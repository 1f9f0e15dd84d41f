// The value carrier and UTF-8 cutting.
#include "kwcommon/x_value_def.h"

#include <charconv>
#include <cstdio>
#include <cstring>

std::string x_utf8_cut(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t end = maxBytes;
    // Step back over continuation bytes so the cut never splits a character.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end));
}

void x_value_def::SetText(std::string_view value) {
    kind = X_VALUE_TEXT;
    const std::string cut = x_utf8_cut(value, X_VALUE_TEXT_MAX);
    std::memset(text, 0, sizeof(text));
    std::memcpy(text, cut.data(), cut.size());
    number = 0.0;
}

void x_value_def::SetNumber(double value) {
    kind = X_VALUE_NUMBER;
    std::memset(text, 0, sizeof(text));
    number = value;
}

std::string x_value_def::AsText() const {
    if (kind == X_VALUE_TEXT) return std::string(text, strnlen(text, sizeof(text)));
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.15g", number);
    return buffer;
}

double x_value_def::AsNumber() const {
    if (kind == X_VALUE_NUMBER) return number;
    const char* begin = text;
    const char* end = text + strnlen(text, sizeof(text));
    while (begin < end && (*begin == ' ' || *begin == '\t')) ++begin;
    if (begin < end && *begin == '+') ++begin;
    double value = 0.0;
    auto result = std::from_chars(begin, end, value);
    if (result.ec != std::errc()) return 0.0;
    return value;
}
