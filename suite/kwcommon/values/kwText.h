// A long text value (the message of an issue, text fields marked long-text): no width
// limit unless one is given. The value carrier holds only 81 bytes, so ToXval cuts the text
// there, on a UTF-8 character boundary; the record manager keeps long texts whole by other
// means.
#pragma once

#include "kwcommon/values/kwString.h"

class kwText : public kwString {
public:
    explicit kwText(size_t width = 0, bool caseSensitive = true)
        : kwString({}, width, caseSensitive) {}
    explicit kwText(std::string_view text, size_t width = 0, bool caseSensitive = true)
        : kwString(text, width, caseSensitive) {}

    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwText>(*this); }
};
