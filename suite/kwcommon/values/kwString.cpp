// Text values: width cutting, comparison and term-code replacement.
#include "kwcommon/values/kwString.h"

#include "kwcommon/x_text.h"
#include "kwcommon/xio_dict.h"
#include "kwcommon/xk.h"

#include <optional>

namespace {

char FoldCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const auto x = static_cast<unsigned char>(FoldCase(a[i]));
        const auto y = static_cast<unsigned char>(FoldCase(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A 16-bit number of digits starting at pos; advances pos. false when there are no digits
// or the number is larger than 32767.
bool ReadNumber(std::string_view text, size_t& pos, short* value) {
    const size_t start = pos;
    long number = 0;
    while (pos < text.size() && IsDigit(text[pos])) {
        number = number * 10 + (text[pos] - '0');
        if (number > 32767) return false;
        ++pos;
    }
    if (pos == start) return false;
    *value = static_cast<short>(number);
    return true;
}

// The inside of a term code ("262.1PF"): the code, an optional full stop and second
// number, then only the letters A, F, I and P. Nothing when it is not a code.
std::optional<kwString::TermCode> ParseTermCode(std::string_view code) {
    kwString::TermCode term;
    size_t pos = 0;
    if (!ReadNumber(code, pos, &term.code)) return std::nullopt;
    if (pos < code.size() && code[pos] == '.') {
        ++pos;
        if (!ReadNumber(code, pos, &term.sub)) return std::nullopt;
    }
    for (; pos < code.size(); ++pos) {
        switch (code[pos]) {
        case 'P':
            term.plural = true;
            break;
        case 'F':
            term.style = kwString::CapFirst;
            break;
        case 'I':
            term.style = kwString::CapWords;
            break;
        case 'A':
            term.style = kwString::CapAll;
            break;
        default:
            return std::nullopt;
        }
    }
    return term;
}

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

} // namespace

kwString::kwString(std::string_view text, size_t width, bool caseSensitive)
    : _width(width), _caseSensitive(caseSensitive) {
    Set(text);
}

short kwString::TypeCode() const {
    return XIO_TEXT;
}

bool kwString::Set(std::string_view text) {
    if (_width > 0 && text.size() > _width) {
        _text = x_utf8_cut(text, _width);
        return false;
    }
    _text.assign(text);
    return true;
}

bool kwString::SetWidth(size_t width) {
    _width = width;
    if (_width > 0 && _text.size() > _width) {
        _text = x_utf8_cut(_text, _width);
        return false;
    }
    return true;
}

int kwString::Compare(const kwData& other) const {
    const auto* text = dynamic_cast<const kwString*>(&other);
    if (!text) return CompareFormatted(other);
    if (_caseSensitive) {
        const int result = _text.compare(text->_text);
        return result < 0 ? -1 : (result > 0 ? 1 : 0);
    }
    return CompareNoCase(_text, text->_text);
}

void kwString::ToXval(x_value_def& value) const {
    value.SetText(_text);
}

bool kwString::FromXval(const x_value_def& value) {
    return Set(value.AsText());
}

bool kwString::CopyFrom(const kwData& other) {
    const auto* text = dynamic_cast<const kwString*>(&other);
    if (!text) return false;
    if (text != this) Set(text->_text); // cut to the width like the constructor
    return true;
}

void kwString::ApplyCapStyle(std::string& text, short style) {
    switch (style) {
    case CapFirst:
        if (!text.empty()) text[0] = Upper(text[0]);
        break;
    case CapWords:
        text = x_init_caps(text);
        break;
    case CapAll:
        for (char& c : text)
            c = Upper(c);
        break;
    default:
        break;
    }
}

std::string kwString::TermCodeDescription(const TermCode& term) {
    std::string text = xk_description(term.code, term.sub);
    if (text.empty()) return text;
    if (term.plural) text = x_pluralize(text);
    ApplyCapStyle(text, term.style);
    return text;
}

std::string kwString::ReplaceTermCodes(std::string_view source) {
    std::string text(source);
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t open = text.find('<', pos);
        if (open == std::string::npos) break;
        if (open + 1 < text.size() && text[open + 1] == '<') {
            text.erase(open + 1, 1);
            pos = open + 1;
            continue;
        }
        const size_t close = text.find('>', open + 1);
        if (close == std::string::npos) break;
        const std::optional<TermCode> term = ParseTermCode(std::string_view(text).substr(open + 1, close - open - 1));
        const std::string replacement = term ? TermCodeDescription(*term) : std::string();
        if (replacement.empty()) {
            // What stands between the signs stays as it is, and the scan goes on after the
            // ">": a "<" meant as text is written "<<".
            pos = close + 1;
        } else {
            text.replace(open, close - open + 1, replacement);
            pos = open + replacement.size();
        }
    }
    return text;
}
