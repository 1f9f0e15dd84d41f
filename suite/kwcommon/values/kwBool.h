// A yes/no value: shown "Yes" or "No"; null when No.
#pragma once

#include "kwcommon/values/kwData.h"

class kwBool : public kwData {
public:
    explicit kwBool(bool value = false) : _value(value) {}

    bool Get() const { return _value; }
    void Put(bool value) { _value = value; }

    short TypeCode() const override; // XIO_YESNO
    std::string Format() const override { return _value ? "Yes" : "No"; }
    // Y, Yes, True, 1 -> yes; N, No, False, 0 and empty text -> no; any letter case, blanks
    // around ignored. Anything else answers false and leaves the value unchanged.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return !_value; }
    void Clear() override { _value = false; }
    // No before Yes; other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwBool>(*this); }
    // The number 1 or 0.
    void ToXval(x_value_def& value) const override { value.SetNumber(_value ? 1.0 : 0.0); }
    // A number: nonzero is yes. A text: as Set takes it.
    bool FromXval(const x_value_def& value) override;
    // From another kwBool only.
    bool CopyFrom(const kwData& other) override;

private:
    bool _value = false;
};
