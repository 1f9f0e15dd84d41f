// The base of the number values (kwDouble, kwNum<short>, kwNum<long>): any two numbers
// compare by value whatever their kinds, copy from each other, and move through the value
// carrier as a number. A number is null when it is 0.
#pragma once

#include "kwcommon/values/kwData.h"

class kwNumeric : public kwData {
public:
    virtual double Value() const = 0;
    // Takes a number; each kind says how it fits it (kwNum rounds toward zero and clamps).
    virtual void SetValue(double value) = 0;

    short TypeCode() const override; // XIO_NUMBER
    bool IsNull() const override { return Value() == 0.0; }
    void Clear() override { SetValue(0.0); }
    // Against any number: by value. Against other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    void ToXval(x_value_def& value) const override { value.SetNumber(Value()); }
    // A number is taken as SetValue takes it; a text as Set takes it.
    bool FromXval(const x_value_def& value) override;
    // From any number (kwDouble, kwNum<short>, kwNum<long>); false for other kinds.
    bool CopyFrom(const kwData& other) override;
};
