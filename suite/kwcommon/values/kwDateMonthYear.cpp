// Month-and-year values.
#include "kwcommon/values/kwDateMonthYear.h"

#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/xio_dict.h"

#include <cmath>
#include <cstdio>

namespace chr = std::chrono;

namespace {

std::optional<chr::year_month> MakeMonth(int year, int month) {
    if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
    return chr::year_month{chr::year{year}, chr::month{static_cast<unsigned>(month)}};
}

// Month and year typed by a user, in the order of the format's month and year.
std::optional<chr::year_month> ParseMonth(std::string_view text, const xd_format_parts& parts) {
    const bool yearFirst = [&] {
        for (char field : parts.order) {
            if (field == 'Y') return true;
            if (field == 'M') return false;
        }
        return false;
    }();
    std::string_view fields[2];
    size_t pos = 0;
    for (int i = 0; i < 2; ++i) {
        size_t end = pos;
        while (end < text.size() && text[end] >= '0' && text[end] <= '9')
            ++end;
        fields[i] = text.substr(pos, end - pos);
        if (fields[i].empty()) return std::nullopt;
        if (i == 0) {
            if (end >= text.size() || (text[end] != '/' && text[end] != '-' && text[end] != '.'))
                return std::nullopt;
            pos = end + 1;
        } else if (end != text.size()) {
            return std::nullopt;
        }
    }
    const std::string_view monthText = fields[yearFirst ? 1 : 0];
    const std::string_view yearText = fields[yearFirst ? 0 : 1];
    if (monthText.size() > 2 || (yearText.size() != 2 && yearText.size() != 4)) return std::nullopt;
    const int month = std::stoi(std::string(monthText));
    int year = std::stoi(std::string(yearText));
    if (yearText.size() == 2) year = xd_expand_year(year);
    return MakeMonth(year, month);
}

} // namespace

kwDateMonthYear::kwDateMonthYear(std::string_view text) {
    Set(text);
}

kwDateMonthYear::kwDateMonthYear(int year, int month) : _month(MakeMonth(year, month)) {}

kwDateMonthYear kwDateMonthYear::ThisMonth() {
    const auto today = xd_get_date();
    return kwDateMonthYear(static_cast<int>(today.year()),
                           static_cast<int>(static_cast<unsigned>(today.month())));
}

bool kwDateMonthYear::SetMonthYear(int year, int month) {
    const auto value = MakeMonth(year, month);
    if (!value) return false;
    _month = value;
    return true;
}

int kwDateMonthYear::Year() const {
    return _month ? static_cast<int>(_month->year()) : 0;
}

int kwDateMonthYear::Month() const {
    return _month ? static_cast<int>(static_cast<unsigned>(_month->month())) : 0;
}

short kwDateMonthYear::TypeCode() const {
    return XIO_DATE;
}

std::string kwDateMonthYear::Format() const {
    if (!_month) return {};
    xd_format_parts parts;
    xd_parse_format(xd_date_format(), &parts);
    char month[8], year[8];
    std::snprintf(month, sizeof month, "%02d", Month());
    std::snprintf(year, sizeof year, "%04d", Year());
    std::string text;
    for (char field : parts.order) {
        if (field == 'D') continue;
        if (!text.empty()) text += parts.separator;
        text += field == 'M' ? month : year;
    }
    return text;
}

bool kwDateMonthYear::Set(std::string_view input) {
    const std::string_view text = kwDataText::Trim(input);
    if (text.empty()) {
        _month.reset();
        return true;
    }
    if (text.size() > 32) return false;
    xd_format_parts parts;
    const std::string format = xd_date_format();
    xd_parse_format(format, &parts);
    auto value = ParseMonth(text, parts);
    if (!value) {
        // A whole date: its month.
        if (const auto date = xd_parse_date(text, format))
            value = chr::year_month{date->year(), date->month()};
    }
    if (!value) return false;
    _month = value;
    return true;
}

int kwDateMonthYear::Compare(const kwData& other) const {
    const auto* month = dynamic_cast<const kwDateMonthYear*>(&other);
    if (!month) return CompareFormatted(other);
    if (!_month || !month->_month) return Order(_month.has_value(), month->_month.has_value());
    return Order(Year() * 100 + Month(), month->Year() * 100 + month->Month());
}

void kwDateMonthYear::ToXval(x_value_def& value) const {
    value.SetNumber(_month ? static_cast<double>(Year()) * 10000.0 + Month() * 100.0 : 0.0);
}

bool kwDateMonthYear::FromXval(const x_value_def& value) {
    if (!value.IsNumber()) return Set(value.AsText());
    const double number = value.number;
    if (!std::isfinite(number) || number != std::trunc(number) || number < 0 || number > 99991299)
        return false;
    if (number == 0) {
        _month.reset();
        return true;
    }
    const long whole = static_cast<long>(number);
    const auto month =
        MakeMonth(static_cast<int>(whole / 10000), static_cast<int>(whole / 100 % 100));
    if (!month) return false;
    _month = month;
    return true;
}

bool kwDateMonthYear::CopyFrom(const kwData& other) {
    if (const auto* month = dynamic_cast<const kwDateMonthYear*>(&other)) {
        _month = month->_month;
        return true;
    }
    if (const auto* date = dynamic_cast<const kwDate*>(&other)) {
        if (date->Date())
            _month = chr::year_month{date->Date()->year(), date->Date()->month()};
        else
            _month.reset();
        return true;
    }
    return false;
}
