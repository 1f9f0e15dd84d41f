// The base of the suite's typed values (the kwData family): a value of one field that can
// be shown, set from what a user typed, compared, copied and moved to and from the record
// manager's value carrier (x_value_def).
//
// Rules every kind keeps:
// - Set never throws: bad user text answers false; each kind says what it holds then
//   (normally the value is unchanged).
// - Compare answers <0, 0 or >0. Kinds that know each other (all numbers, all texts, two
//   dates ...) compare their values; unrelated kinds compare their Format() texts.
// - CopyFrom answers false, changing nothing, when the other value is not of a fitting kind.
#pragma once

#include "kwcommon/x_value_def.h"

#include <memory>
#include <string>
#include <string_view>

class kwData {
public:
    virtual ~kwData() = default;

    // The field type code (xio_field_type) of the kind.
    virtual short TypeCode() const = 0;
    // The value as shown to users.
    virtual std::string Format() const = 0;
    // Sets the value from a user's text. Never throws; false on bad input.
    virtual bool Set(std::string_view text) = 0;
    // The empty test: no text, zero, no date ...
    virtual bool IsNull() const = 0;
    // Makes the value empty: IsNull() is true afterwards.
    virtual void Clear() = 0;
    // <0, 0, >0.
    virtual int Compare(const kwData& other) const;
    virtual std::unique_ptr<kwData> Clone() const = 0;
    // Into and out of the record manager's value carrier. FromXval answers false (value
    // unchanged) when the carrier holds nothing this kind can take.
    virtual void ToXval(x_value_def& value) const = 0;
    virtual bool FromXval(const x_value_def& value) = 0;
    // Takes the other's value; false (unchanged) when the kinds don't fit.
    virtual bool CopyFrom(const kwData& other) = 0;

    bool operator==(const kwData& other) const { return Compare(other) == 0; }
    bool operator<(const kwData& other) const { return Compare(other) < 0; }
    bool operator>(const kwData& other) const { return Compare(other) > 0; }
    bool operator<=(const kwData& other) const { return Compare(other) <= 0; }
    bool operator>=(const kwData& other) const { return Compare(other) >= 0; }

protected:
    kwData() = default;
    // Copying belongs to the concrete kinds (no slicing through the base).
    kwData(const kwData&) = default;
    kwData& operator=(const kwData&) = default;

    // The fallback of Compare: the Format() texts, byte by byte.
    int CompareFormatted(const kwData& other) const;
    // -1, 0 or 1 for a < b, a == b, a > b.
    template <typename T> static int Order(const T& a, const T& b) {
        return a < b ? -1 : (b < a ? 1 : 0);
    }
};

// Text helpers shared by the kinds.
namespace kwDataText {
// The text without blanks (space, tab, CR, LF) at either end.
std::string_view Trim(std::string_view text);
// ASCII case-insensitive equality.
bool EqualsNoCase(std::string_view a, std::string_view b);
} // namespace kwDataText
