// A telephone number, kept as its digits. Shown "(555) 123-4567" with ten digits,
// "123-4567" with seven, and as the bare digits otherwise. In the value carrier it is the
// text of its digits.
#pragma once

#include "kwcommon/values/kwData.h"

class kwPhone : public kwData {
public:
    kwPhone() = default;
    // From a user's text; text Set refuses gives an empty number.
    explicit kwPhone(std::string_view text);

    const std::string& Digits() const { return _digits; }

    short TypeCode() const override; // XIO_PHONE
    std::string Format() const override;
    // Keeps the digits; blanks and the punctuation "()-.+/" are dropped. Any other character
    // (letters above all) or more than 30 digits answers false and leaves the value
    // unchanged. Empty text gives the empty number.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return _digits.empty(); }
    void Clear() override { _digits.clear(); }
    // By digits (as text); other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwPhone>(*this); }
    // The digits as text.
    void ToXval(x_value_def& value) const override { value.SetText(_digits); }
    // A text: as Set reads it. A number: its digits when it is a whole number >= 0 (0 is the
    // empty number); else false.
    bool FromXval(const x_value_def& value) override;
    // From another kwPhone only.
    bool CopyFrom(const kwData& other) override;

private:
    std::string _digits;
};
