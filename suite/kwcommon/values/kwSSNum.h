// A social security number, held as a number (0 = none). Shown "123-45-6789" (with
// leading zeros: "012-34-5678"); in the value carrier it is the number.
#pragma once

#include "kwcommon/values/kwData.h"

class kwSSNum : public kwData {
public:
    // number outside 0..999999999 gives none.
    explicit kwSSNum(long number = 0);

    long Number() const { return _number; }
    bool SetNumber(long number); // false (unchanged) outside 0..999999999

    short TypeCode() const override; // XIO_SSN
    // "123-45-6789"; "" for none.
    std::string Format() const override;
    // Exactly nine digits, either bare ("123456789") or as "123-45-6789"; blanks around are
    // ignored; empty text is none. Anything else answers false and leaves the value unchanged.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return _number == 0; }
    void Clear() override { _number = 0; }
    // By number; other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwSSNum>(*this); }
    void ToXval(x_value_def& value) const override {
        value.SetNumber(static_cast<double>(_number));
    }
    // A number: a whole number 0..999999999, else false. A text: as Set reads it.
    bool FromXval(const x_value_def& value) override;
    // From another kwSSNum only.
    bool CopyFrom(const kwData& other) override;

private:
    long _number = 0;
};
