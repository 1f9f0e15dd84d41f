// A whole number value of a fixed integer type (kwNum<short>, kwNum<long>): the sequence
// numbers and partner numbers of the link fields.
// - Format: "%ld".
// - Set: decimal conversion that always succeeds, as atol reads: blanks, a sign, digits up
//   to the first other character; no digits gives 0. Set always answers true.
// - Values outside T's range (from text, from a number, from another kind) are clamped to
//   it; fractions are dropped (toward zero).
// - Compares by value against any kwNumeric, copies from any kwNumeric, is null when 0,
//   and moves through the value carrier as a number.
#pragma once

#include "kwcommon/values/kwNumeric.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <type_traits>

template <typename T> class kwNum : public kwNumeric {
    static_assert(std::is_integral_v<T> && std::is_signed_v<T> && sizeof(T) <= sizeof(long),
                  "kwNum holds a signed integer no wider than long");

public:
    explicit kwNum(T value = 0) : _value(value) {}

    T Get() const { return _value; }
    void Put(T value) { _value = value; }

    double Value() const override { return static_cast<double>(_value); }
    void SetValue(double value) override {
        if (std::isnan(value)) {
            _value = 0;
        } else if (value <= static_cast<double>(std::numeric_limits<T>::min())) {
            _value = std::numeric_limits<T>::min();
        } else if (value >= static_cast<double>(std::numeric_limits<T>::max())) {
            _value = std::numeric_limits<T>::max();
        } else {
            _value = static_cast<T>(std::trunc(value));
        }
    }

    std::string Format() const override {
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%ld", static_cast<long>(_value));
        return buffer;
    }

    bool Set(std::string_view text) override {
        size_t pos = 0;
        while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
            ++pos;
        bool negative = false;
        if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
            negative = text[pos++] == '-';
        // Accumulate a magnitude that saturates at one past T's maximum (the magnitude of
        // T's minimum).
        constexpr unsigned long long limit =
            static_cast<unsigned long long>(std::numeric_limits<T>::max()) + 1;
        unsigned long long magnitude = 0;
        for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
            const auto digit = static_cast<unsigned long long>(text[pos] - '0');
            magnitude = magnitude > (limit - digit) / 10 ? limit : magnitude * 10 + digit;
        }
        if (negative) {
            _value = magnitude >= limit ? std::numeric_limits<T>::min()
                                        : static_cast<T>(-static_cast<long long>(magnitude));
        } else {
            _value = magnitude >= limit ? std::numeric_limits<T>::max() : static_cast<T>(magnitude);
        }
        return true;
    }

    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwNum<T>>(*this); }

private:
    T _value = 0;
};
