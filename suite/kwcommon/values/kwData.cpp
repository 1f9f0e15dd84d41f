// The base of the typed values: the fallback comparison and shared text helpers.
#include "kwcommon/values/kwData.h"

#include "kwcommon/x_text.h"

int kwData::Compare(const kwData& other) const {
    return CompareFormatted(other);
}

int kwData::CompareFormatted(const kwData& other) const {
    const int result = Format().compare(other.Format());
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

namespace kwDataText {

std::string_view Trim(std::string_view text) { return x_trim(text); }

bool EqualsNoCase(std::string_view a, std::string_view b) { return x_equal_nocase(a, b); }

} // namespace kwDataText
