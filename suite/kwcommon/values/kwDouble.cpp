// Decimal number values: formatting with a fixed number of decimals and strict parsing.
#include "kwcommon/values/kwDouble.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

kwDouble::kwDouble(double value, int decimals) {
    SetDecimals(decimals);
    SetValue(value);
}

void kwDouble::SetValue(double value) {
    _value = std::isfinite(value) ? value : 0.0;
}

void kwDouble::SetDecimals(int decimals) {
    _decimals = decimals < 0 ? 0 : (decimals > 15 ? 15 : decimals);
}

std::string kwDouble::Format() const {
    // Room for the largest double in fixed notation (309 digits) with 15 decimals.
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", _decimals, _value);
    std::string text(buffer);
    if (text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return text;
}

bool kwDouble::Set(std::string_view input) {
    const std::string_view text = kwDataText::Trim(input);
    if (text.empty()) {
        _value = 0.0;
        return true;
    }
    std::string clean; // sign, digits and point, as strtod reads them
    size_t pos = 0;
    if (text[0] == '+' || text[0] == '-') {
        if (text[0] == '-') clean += '-';
        ++pos;
    }
    // Integer part: digits, optionally grouped by commas in threes.
    size_t groupDigits = 0; // digits since the last comma (or the start)
    size_t intDigits = 0;
    bool sawComma = false;
    for (; pos < text.size() && text[pos] != '.'; ++pos) {
        const char c = text[pos];
        if (c >= '0' && c <= '9') {
            clean += c;
            ++groupDigits;
            ++intDigits;
        } else if (c == ',') {
            // The first group has 1 to 3 digits, every later one exactly 3.
            if (groupDigits == 0 || groupDigits > 3 || (sawComma && groupDigits != 3)) return false;
            sawComma = true;
            groupDigits = 0;
        } else {
            return false;
        }
    }
    if (sawComma && groupDigits != 3) return false;
    size_t fracDigits = 0;
    if (pos < text.size()) { // the decimal point
        clean += '.';
        for (++pos; pos < text.size(); ++pos) {
            const char c = text[pos];
            if (c < '0' || c > '9') return false;
            clean += c;
            ++fracDigits;
        }
    }
    if (intDigits + fracDigits == 0) return false;
    const double value = std::strtod(clean.c_str(), nullptr);
    if (!std::isfinite(value)) return false;
    _value = value == 0.0 ? 0.0 : value; // no negative zero
    return true;
}
