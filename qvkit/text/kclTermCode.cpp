// Term codes replaced by the company's custom field descriptions, and the capitalisation
// styles they ask for.
#include "qvkit/text/kclTermCode.h"

#include "kwcommon/x_text.h"
#include "kwcommon/xk.h"

#include <cstring>
#include <optional>
#include <string_view>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char ToUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

struct TermCode {
    short code = 0;
    short sub = 0;
    bool plural = false;
    kclCapStyle style = kclCapAsIs;
};

// Decimal digits from `at` into a 16-bit number; nothing when there are none or the number
// does not fit (such a code names no field, so it is left alone).
std::optional<short> ParseNumber(std::string_view text, size_t& at) {
    const size_t start = at;
    long value = 0;
    while (at < text.size() && IsDigit(text[at])) {
        value = value * 10 + (text[at] - '0');
        if (value > 32767) return std::nullopt;
        ++at;
    }
    if (at == start) return std::nullopt;
    return static_cast<short>(value);
}

// The inside of "<...>": number, optional ".number", then letters A, F, I, P only.
std::optional<TermCode> ParseTermCode(std::string_view inside) {
    TermCode term;
    size_t at = 0;
    const std::optional<short> code = ParseNumber(inside, at);
    if (!code) return std::nullopt;
    term.code = *code;
    if (at < inside.size() && inside[at] == '.') {
        ++at;
        const std::optional<short> sub = ParseNumber(inside, at);
        if (!sub) return std::nullopt;
        term.sub = *sub;
    }
    for (; at < inside.size(); ++at) {
        switch (inside[at]) {
        case 'A':
            term.style = kclCapAll;
            break;
        case 'F':
            term.style = kclCapFirst;
            break;
        case 'I':
            term.style = kclCapWords;
            break;
        case 'P':
            term.plural = true;
            break;
        default:
            return std::nullopt;
        }
    }
    return term;
}

} // namespace

char* kclApplyCap(char* text, kclCapStyle style) {
    if (!text || !*text) return text;
    switch (style) {
    case kclCapFirst:
        text[0] = ToUpper(text[0]);
        break;
    case kclCapWords: {
        // x_init_caps changes ASCII letters only, so the result has the text's length.
        const std::string capitalised = x_init_caps(text);
        std::memcpy(text, capitalised.data(), capitalised.size());
        break;
    }
    case kclCapAll:
        for (char* c = text; *c; ++c)
            *c = ToUpper(*c);
        break;
    default:
        break;
    }
    return text;
}

std::string kclGetFieldCode(short code, short sub, bool plural, kclCapStyle style) {
    std::string description = xk_description(code, sub);
    if (description.empty()) return description;
    if (plural) description = x_pluralize(description);
    kclApplyCap(description.data(), style);
    return description;
}

std::string kclRepTermCode(const std::string& text) {
    std::string result = text;
    size_t at = 0;
    while ((at = result.find('<', at)) != std::string::npos) {
        if (at + 1 < result.size() && result[at + 1] == '<') {
            result.erase(at + 1, 1);
            ++at;
            continue;
        }
        const size_t close = result.find('>', at + 1);
        if (close == std::string::npos) break;
        const std::optional<TermCode> term =
            ParseTermCode(std::string_view(result).substr(at + 1, close - at - 1));
        if (!term) {
            // Not a code (a comparison, say): a real code may still follow before the '>'.
            ++at;
            continue;
        }
        const std::string description =
            kclGetFieldCode(term->code, term->sub, term->plural, term->style);
        if (description.empty()) {
            at = close + 1;
            continue;
        }
        result.replace(at, close - at + 1, description);
        at += description.size();
    }
    return result;
}

std::string kclRepTermCode(const char* text) {
    return kclRepTermCode(std::string(text ? text : ""));
}

bool kclContainsTermCode(const std::string& text) {
    if (text.find("<<") != std::string::npos) return true;
    const size_t open = text.find('<');
    return open != std::string::npos && text.find('>', open + 1) != std::string::npos;
}
