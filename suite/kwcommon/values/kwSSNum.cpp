// Social security number values.
#include "kwcommon/values/kwSSNum.h"

#include "kwcommon/xio_dict.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr long kMaxNumber = 999999999L;
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
} // namespace

kwSSNum::kwSSNum(long number) {
    SetNumber(number);
}

bool kwSSNum::SetNumber(long number) {
    if (number < 0 || number > kMaxNumber) return false;
    _number = number;
    return true;
}

short kwSSNum::TypeCode() const {
    return XIO_SSN;
}

std::string kwSSNum::Format() const {
    if (_number == 0) return {};
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%03ld-%02ld-%04ld", _number / 1000000,
                  _number / 10000 % 100, _number % 10000);
    return buffer;
}

bool kwSSNum::Set(std::string_view input) {
    const std::string_view text = kwDataText::Trim(input);
    if (text.empty()) {
        _number = 0;
        return true;
    }
    std::string digits;
    if (text.size() == 11) {
        // "123-45-6789"
        for (size_t i = 0; i < text.size(); ++i) {
            const bool dash = i == 3 || i == 6;
            if (dash ? text[i] != '-' : !IsDigit(text[i])) return false;
            if (!dash) digits += text[i];
        }
    } else if (text.size() == 9) {
        for (char c : text)
            if (!IsDigit(c)) return false;
        digits.assign(text);
    } else {
        return false;
    }
    _number = std::stol(digits);
    return true;
}

int kwSSNum::Compare(const kwData& other) const {
    const auto* ssn = dynamic_cast<const kwSSNum*>(&other);
    if (!ssn) return CompareFormatted(other);
    return Order(_number, ssn->_number);
}

bool kwSSNum::FromXval(const x_value_def& value) {
    if (!value.IsNumber()) return Set(value.AsText());
    const double number = value.number;
    if (!std::isfinite(number) || number != std::trunc(number) || number < 0 || number > kMaxNumber)
        return false;
    _number = static_cast<long>(number);
    return true;
}

bool kwSSNum::CopyFrom(const kwData& other) {
    const auto* ssn = dynamic_cast<const kwSSNum*>(&other);
    if (!ssn) return false;
    _number = ssn->_number;
    return true;
}
