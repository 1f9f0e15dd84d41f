// A short text value (the dictionary's text fields): at most `width` bytes (0 = no limit),
// cut on a UTF-8 character boundary; Set answers false when it had to cut and keeps the cut
// text. Case sensitivity decides how two texts compare.
#pragma once

#include "kwcommon/values/kwString.h"

class kwAlpha : public kwString {
public:
    explicit kwAlpha(size_t width = 0, bool caseSensitive = true)
        : kwString({}, width, caseSensitive) {}
    // The text is cut to the width when longer.
    explicit kwAlpha(std::string_view text, size_t width = 0, bool caseSensitive = true)
        : kwString(text, width, caseSensitive) {}

    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwAlpha>(*this); }
};
