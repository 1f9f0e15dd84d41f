// Time-of-day values.
#include "kwcommon/values/kwTime.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/xio_dict.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int kSecondsPerDay = 86400;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

std::optional<int> MakeTime(int hour, int minute, int second) {
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    return hour * 3600 + minute * 60 + second;
}

// Reads a time; see kwTime::Set. The text is already trimmed and not empty.
std::optional<int> ParseTime(std::string_view text) {
    // The am/pm suffix.
    int meridiem = 0; // 0 none, 1 am, 2 pm
    {
        std::string_view rest = text;
        if (!rest.empty() && Lower(rest.back()) == 'm') rest.remove_suffix(1);
        if (!rest.empty() && (Lower(rest.back()) == 'a' || Lower(rest.back()) == 'p')) {
            meridiem = Lower(rest.back()) == 'a' ? 1 : 2;
            rest.remove_suffix(1);
            while (!rest.empty() && rest.back() == ' ')
                rest.remove_suffix(1);
            text = rest;
        } else if (rest.size() != text.size()) {
            return std::nullopt; // a lone "m"
        }
    }
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t pos = 0;
    while (true) {
        size_t end = pos;
        while (end < text.size() && IsDigit(text[end]))
            ++end;
        const size_t digits = end - pos;
        // The hour has one or two digits, minutes and seconds two.
        if (digits == 0 || digits > 2 || (count > 0 && digits != 2)) return std::nullopt;
        parts[count++] =
            (text[pos] - '0') * (digits == 2 ? 10 : 1) + (digits == 2 ? text[pos + 1] - '0' : 0);
        if (end == text.size()) break;
        if (text[end] != ':' || count == 3) return std::nullopt;
        pos = end + 1;
    }
    // A lone hour only with am/pm.
    if (count == 1 && meridiem == 0) return std::nullopt;
    int hour = parts[0];
    if (meridiem != 0) {
        if (hour < 1 || hour > 12) return std::nullopt;
        hour = hour % 12 + (meridiem == 2 ? 12 : 0);
    }
    return MakeTime(hour, parts[1], parts[2]);
}

} // namespace

kwTime::kwTime(std::string_view text) {
    Set(text);
}

kwTime::kwTime(int secondsSinceMidnight) {
    SetSeconds(secondsSinceMidnight);
}

kwTime::kwTime(int hour, int minute, int second) : _seconds(MakeTime(hour, minute, second)) {}

kwTime kwTime::Now() {
    return kwTime(xd_get_time());
}

bool kwTime::SetSeconds(int secondsSinceMidnight) {
    if (secondsSinceMidnight < 0 || secondsSinceMidnight >= kSecondsPerDay) return false;
    _seconds = secondsSinceMidnight;
    return true;
}

void kwTime::SetNow() {
    _seconds = xd_get_time();
}

int kwTime::Hour() const {
    return _seconds ? *_seconds / 3600 : 0;
}
int kwTime::Minute() const {
    return _seconds ? *_seconds / 60 % 60 : 0;
}
int kwTime::Second() const {
    return _seconds ? *_seconds % 60 : 0;
}

short kwTime::TypeCode() const {
    return XIO_TIME;
}

std::string kwTime::Format() const {
    if (!_seconds) return {};
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d", Hour(), Minute(), Second());
    return buffer;
}

bool kwTime::Set(std::string_view input) {
    const std::string_view text = kwDataText::Trim(input);
    if (text.empty()) {
        _seconds.reset();
        return true;
    }
    if (text.size() > 16) return false;
    const auto seconds = ParseTime(text);
    if (!seconds) return false;
    _seconds = seconds;
    return true;
}

int kwTime::Compare(const kwData& other) const {
    const auto* time = dynamic_cast<const kwTime*>(&other);
    if (!time) return CompareFormatted(other);
    if (!_seconds || !time->_seconds)
        return Order(_seconds.has_value(), time->_seconds.has_value());
    return Order(*_seconds, *time->_seconds);
}

void kwTime::ToXval(x_value_def& value) const {
    value.SetNumber(_seconds ? Hour() * 10000.0 + Minute() * 100.0 + Second() : -1.0);
}

bool kwTime::FromXval(const x_value_def& value) {
    if (!value.IsNumber()) return Set(value.AsText());
    const double number = value.number;
    if (number == -1.0) {
        _seconds.reset();
        return true;
    }
    if (!std::isfinite(number) || number != std::trunc(number) || number < 0 || number > 235959)
        return false;
    const int whole = static_cast<int>(number);
    const auto seconds = MakeTime(whole / 10000, whole / 100 % 100, whole % 100);
    if (!seconds) return false;
    _seconds = seconds;
    return true;
}

bool kwTime::CopyFrom(const kwData& other) {
    const auto* time = dynamic_cast<const kwTime*>(&other);
    if (!time) return false;
    _seconds = time->_seconds;
    return true;
}
