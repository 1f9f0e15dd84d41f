// Telephone number values.
#include "kwcommon/values/kwPhone.h"

#include "kwcommon/xio_dict.h"

#include <cmath>
#include <cstdio>

namespace {
constexpr size_t kMaxDigits = 30;
}

kwPhone::kwPhone(std::string_view text) {
    Set(text);
}

short kwPhone::TypeCode() const {
    return XIO_PHONE;
}

std::string kwPhone::Format() const {
    const std::string& d = _digits;
    if (d.size() == 10) return "(" + d.substr(0, 3) + ") " + d.substr(3, 3) + "-" + d.substr(6);
    if (d.size() == 7) return d.substr(0, 3) + "-" + d.substr(3);
    return d;
}

bool kwPhone::Set(std::string_view text) {
    std::string digits;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            digits += c;
            if (digits.size() > kMaxDigits) return false;
        } else if (c != ' ' && c != '\t' && c != '(' && c != ')' && c != '-' && c != '.' &&
                   c != '+' && c != '/') {
            return false;
        }
    }
    _digits = std::move(digits);
    return true;
}

int kwPhone::Compare(const kwData& other) const {
    const auto* phone = dynamic_cast<const kwPhone*>(&other);
    if (!phone) return CompareFormatted(other);
    const int result = _digits.compare(phone->_digits);
    return result < 0 ? -1 : (result > 0 ? 1 : 0);
}

bool kwPhone::FromXval(const x_value_def& value) {
    if (!value.IsNumber()) return Set(value.AsText());
    const double number = value.number;
    if (!std::isfinite(number) || number < 0 || number != std::trunc(number) || number >= 1e15)
        return false;
    if (number == 0) {
        _digits.clear();
        return true;
    }
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.0f", number);
    _digits = buffer;
    return true;
}

bool kwPhone::CopyFrom(const kwData& other) {
    const auto* phone = dynamic_cast<const kwPhone*>(&other);
    if (!phone) return false;
    _digits = phone->_digits;
    return true;
}
