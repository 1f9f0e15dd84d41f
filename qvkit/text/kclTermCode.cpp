// Term codes replaced by the company's custom field descriptions, and the capitalisation
// styles they ask for: the data library's scanner (kwString), under the component
// library's exported names.
#include "qvkit/text/kclTermCode.h"

#include "kwcommon/values/kwString.h"

#include <cstring>

namespace {
constexpr bool SameStyle(kclCapStyle ours, kwString::CapStyle theirs) {
    return static_cast<short>(ours) == static_cast<short>(theirs);
}
static_assert(SameStyle(kclCapAsIs, kwString::CapAsIs) && SameStyle(kclCapFirst, kwString::CapFirst) &&
                  SameStyle(kclCapWords, kwString::CapWords) && SameStyle(kclCapAll, kwString::CapAll),
              "the component library's styles are the data library's");
} // namespace

char* kclApplyCap(char* text, kclCapStyle style) {
    if (!text || !*text) return text;
    std::string styled = text;
    kwString::ApplyCapStyle(styled, style);
    std::memcpy(text, styled.data(), styled.size()); // same length: ASCII letters only change
    return text;
}

std::string kclGetFieldCode(short code, short sub, bool plural, kclCapStyle style) {
    return kwString::TermCodeDescription({code, sub, plural, style});
}

std::string kclRepTermCode(const std::string& text) {
    return kwString::ReplaceTermCodes(text);
}

std::string kclRepTermCode(const char* text) {
    return kwString::ReplaceTermCodes(text ? text : "");
}

bool kclContainsTermCode(const std::string& text) {
    if (text.find("<<") != std::string::npos) return true;
    const size_t open = text.find('<');
    return open != std::string::npos && text.find('>', open + 1) != std::string::npos;
}
