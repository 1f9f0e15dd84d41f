// Date values on std::chrono calendar types, formatted and read through xd.
#include "kwcommon/values/kwDate.h"

#include "kwcommon/values/xd.h"
#include "kwcommon/xio_dict.h"

#include <cmath>

namespace chr = std::chrono;

kwDate::kwDate() : _date(xd_get_date()) {}

kwDate::kwDate(std::string_view text) {
    if (!kwDataText::Trim(text).empty()) _date = xd_parse_date(text, xd_date_format());
}

kwDate::kwDate(chr::year_month_day date) {
    SetDate(date);
}

kwDate::kwDate(int year, int month, int day) : _date(xd_make_date(year, month, day)) {}

bool kwDate::SetDate(chr::year_month_day date) {
    // Only the years xd_make_date allows (1..9999), so every date formats with four digits.
    const auto valid = xd_make_date(static_cast<int>(date.year()),
                                    static_cast<int>(static_cast<unsigned>(date.month())),
                                    static_cast<int>(static_cast<unsigned>(date.day())));
    if (!date.ok() || !valid) return false;
    _date = valid;
    return true;
}

void kwDate::SetToday() {
    _date = xd_get_date();
}

int kwDate::Year() const {
    return _date ? static_cast<int>(_date->year()) : 0;
}
int kwDate::Month() const {
    return _date ? static_cast<int>(static_cast<unsigned>(_date->month())) : 0;
}
int kwDate::Day() const {
    return _date ? static_cast<int>(static_cast<unsigned>(_date->day())) : 0;
}

void kwDate::AddDays(int days) {
    if (!_date) return;
    const auto moved = xd_add_days(*_date, days);
    // Beyond the years 1..9999 the date stays where it is.
    if (xd_make_date(static_cast<int>(moved.year()),
                     static_cast<int>(static_cast<unsigned>(moved.month())),
                     static_cast<int>(static_cast<unsigned>(moved.day()))))
        _date = moved;
}

int kwDate::DaysUntil(const kwDate& other) const {
    if (!_date || !other._date) return 0;
    return xd_days_between(*_date, *other._date);
}

int kwDate::DayOfWeek() const {
    return _date ? xd_day_of_week(*_date) : 0;
}

bool kwDate::IsWeekend() const {
    return _date && xd_is_weekend(*_date);
}

short kwDate::TypeCode() const {
    return XIO_DATE;
}

std::string kwDate::Format() const {
    return Format(xd_date_format());
}

std::string kwDate::Format(std::string_view format) const {
    return _date ? xd_format_date(*_date, format) : std::string();
}

bool kwDate::Set(std::string_view text) {
    return Set(text, xd_date_format());
}

bool kwDate::Set(std::string_view text, std::string_view format) {
    if (kwDataText::Trim(text).empty()) {
        _date.reset();
        return true;
    }
    const auto date = xd_parse_date(text, format);
    if (!date) return false;
    _date = date;
    return true;
}

int kwDate::Compare(const kwData& other) const {
    const auto* date = dynamic_cast<const kwDate*>(&other);
    if (!date) return CompareFormatted(other);
    if (!_date || !date->_date) return Order(_date.has_value(), date->_date.has_value());
    return Order(chr::sys_days{*_date}, chr::sys_days{*date->_date});
}

void kwDate::ToXval(x_value_def& value) const {
    value.SetNumber(_date ? static_cast<double>(xd_date_to_number(*_date)) : 0.0);
}

bool kwDate::FromXval(const x_value_def& value) {
    if (value.IsNumber()) {
        const double number = value.number;
        if (!std::isfinite(number) || number != std::trunc(number) || number < 0 ||
            number > 99991231)
            return false;
        if (number == 0) {
            _date.reset();
            return true;
        }
        const auto date = xd_date_from_number(static_cast<long>(number));
        if (!date) return false;
        _date = date;
        return true;
    }
    const std::string carried = value.AsText();
    const std::string_view text = kwDataText::Trim(carried);
    if (text.size() == 8 && text.find_first_not_of("0123456789") == std::string_view::npos) {
        const auto date = xd_date_from_number(std::stol(std::string(text)));
        if (!date) return false;
        _date = date;
        return true;
    }
    return Set(text);
}

bool kwDate::CopyFrom(const kwData& other) {
    const auto* date = dynamic_cast<const kwDate*>(&other);
    if (!date) return false;
    _date = date->_date;
    return true;
}
