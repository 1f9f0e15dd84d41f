// The base of the typed values: the fallback comparison and shared text helpers.
#include "kwcommon/values/kwData.h"

int kwData::Compare(const kwData& other) const {
    return CompareFormatted(other);
}

int kwData::CompareFormatted(const kwData& other) const {
    const int result = Format().compare(other.Format());
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

namespace kwDataText {

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace kwDataText
