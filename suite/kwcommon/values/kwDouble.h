// A decimal number value (amounts, the issue number): a double shown with a fixed number of
// decimals.
#pragma once

#include "kwcommon/values/kwNumeric.h"

class kwDouble : public kwNumeric {
public:
    // decimals is kept within 0..15.
    explicit kwDouble(double value = 0.0, int decimals = 0);

    double Value() const override { return _value; }
    // Infinite and NaN values are taken as 0. The value is kept as given (Format rounds).
    void SetValue(double value) override;
    int Decimals() const { return _decimals; }
    void SetDecimals(int decimals);

    // "%.*f" with the decimals; never "-0".
    std::string Format() const override;
    // Accepts blanks around, a sign, digits with thousands commas (groups of three: "1,234"),
    // and one decimal point: "-1,234.50", "+.5", "7.". Empty or blank text is 0. Anything
    // else (letters, two points, "1,23", a lone sign) answers false and leaves the value
    // unchanged.
    bool Set(std::string_view text) override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwDouble>(*this); }

private:
    double _value = 0.0;
    int _decimals = 0;
};
