// Word capitals and the status-list rule.
#include "qvcore/store/qvTextRules.h"

#include "kwcommon/x_text.h"

#include "kwcommon/x_message.h"

namespace {
char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool EqualsNoCase(const std::string& a, const char* b) { return x_equal_nocase(a, b); }
} // namespace

void qvInitCaps(char* text) {
    if (!text || !*text) return;
    text[0] = UpperAscii(text[0]);
    for (char* p = text + 1; *p; ++p) {
        if (p[-1] == ' ' || p[-1] == '/') *p = UpperAscii(*p);
    }
}

extern "C" bool im_265_is_valid_clist(std::vector<std::string>* list) {
    // The first entry is the list's default (often blank) and is not part of the rule.
    static const char* const required[] = {"Open", "On-Hold", "Closed"};
    bool valid = list && list->size() >= 4;
    for (size_t i = 0; valid && i < 3; ++i)
        valid = EqualsNoCase((*list)[i + 1], required[i]);
    if (!valid) {
        xw_wr_message(0, XW_INFO,
                      "The first three values in the list must be 'Open', 'On-Hold' and "
                      "'Closed'.",
                      0);
    }
    return valid;
}
