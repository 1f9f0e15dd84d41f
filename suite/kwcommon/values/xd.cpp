// Dates and times of the data library: see xd.h.
#include "kwcommon/values/xd.h"

#include "kwcommon/x_text.h"

#include "kwcommon/kwCompany.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace chr = std::chrono;

namespace {


bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (char c : text)
        if (!IsDigit(c)) return false;
    return true;
}

// The value of a short run of digits (the caller has checked it is digits only).
int DigitsValue(std::string_view text) {
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

std::string_view Trim(std::string_view text) { return x_trim(text); }

std::tm LocalNow() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

} // namespace

chr::year_month_day xd_get_date() {
    if (const auto& clock = xd_clock_seam()) return clock().date;
    const std::tm local = LocalNow();
    return chr::year_month_day{chr::year{local.tm_year + 1900},
                               chr::month{static_cast<unsigned>(local.tm_mon + 1)},
                               chr::day{static_cast<unsigned>(local.tm_mday)}};
}

int xd_get_time() {
    if (const auto& clock = xd_clock_seam()) return clock().seconds;
    const std::tm local = LocalNow();
    // tm_sec may be 60 on a leap second; a time of day never passes 23:59:59.
    const int sec = local.tm_sec > 59 ? 59 : local.tm_sec;
    return local.tm_hour * 3600 + local.tm_min * 60 + sec;
}

xd_clock& xd_clock_seam() {
    static xd_clock seam;
    return seam;
}

xd_clock::Guard xd_pin_now(chr::year_month_day date, int secondsSinceMidnight) {
    const xd_moment moment{date, std::clamp(secondsSinceMidnight, 0, 86399)};
    return xd_clock_seam().Replace([moment] { return moment; });
}

int xd_days_between(chr::year_month_day from, chr::year_month_day to) {
    return static_cast<int>((chr::sys_days{to} - chr::sys_days{from}).count());
}

chr::year_month_day xd_add_days(chr::year_month_day date, int days) {
    return chr::year_month_day{chr::sys_days{date} + chr::days{days}};
}

int xd_day_of_week(chr::year_month_day date) {
    // c_encoding: 0 Sunday ... 6 Saturday.
    return static_cast<int>(chr::weekday{chr::sys_days{date}}.c_encoding()) + 1;
}

bool xd_is_weekend(chr::year_month_day date) {
    const int day = xd_day_of_week(date);
    return day == XD_SATURDAY || day == XD_SUNDAY;
}

bool xd_is_leap_year(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int xd_days_in_month(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && xd_is_leap_year(year)) return 29;
    return days[month - 1];
}

std::optional<chr::year_month_day> xd_make_date(int year, int month, int day) {
    if (year < 1 || year > 9999) return std::nullopt;
    if (month < 1 || month > 12) return std::nullopt;
    if (day < 1 || day > xd_days_in_month(year, month)) return std::nullopt;
    return chr::year_month_day{chr::year{year}, chr::month{static_cast<unsigned>(month)},
                               chr::day{static_cast<unsigned>(day)}};
}

long xd_date_to_number(chr::year_month_day date) {
    return static_cast<long>(static_cast<int>(date.year())) * 10000L +
           static_cast<long>(static_cast<unsigned>(date.month())) * 100L +
           static_cast<long>(static_cast<unsigned>(date.day()));
}

std::optional<chr::year_month_day> xd_date_from_number(long number) {
    if (number <= 0) return std::nullopt;
    return xd_make_date(static_cast<int>(number / 10000), static_cast<int>(number / 100 % 100),
                        static_cast<int>(number % 100));
}

bool xd_parse_format(std::string_view format, xd_format_parts* parts) {
    xd_format_parts result;
    int fields = 0;
    bool haveSeparator = false;
    bool seen[3] = {false, false, false}; // M, D, Y
    size_t i = 0;
    while (i < format.size()) {
        const char c = format[i];
        size_t run = 1;
        while (i + run < format.size() && format[i + run] == c)
            ++run;
        if (c == 'M' || c == 'm' || c == 'D' || c == 'd' || c == 'Y' || c == 'y') {
            const char field = static_cast<char>(c & ~0x20); // upper case
            const int index = field == 'M' ? 0 : field == 'D' ? 1 : 2;
            if (seen[index] || fields >= 3) return false;
            if (field == 'Y') {
                if (run != 2 && run != 4) return false;
                result.twoDigitYear = run == 2;
            } else {
                if (run > 2) return false;
                (field == 'M' ? result.padMonth : result.padDay) = run == 2;
            }
            seen[index] = true;
            result.order[fields++] = field;
        } else {
            // Exactly one separator character between two fields.
            if (run != 1 || fields == 0 || fields == 3) return false;
            if (IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return false;
            if (haveSeparator && c != result.separator) return false;
            result.separator = c;
            haveSeparator = true;
        }
        i += run;
    }
    if (fields != 3 || !haveSeparator) return false;
    // The separators must sit between the fields: "MM/DD/YYYY", not "MM/DDYYYY".
    int separators = 0;
    for (char c : format)
        if (c == result.separator) ++separators;
    if (separators != 2) return false;
    if (parts) *parts = result;
    return true;
}

std::string xd_date_format() {
    const std::string& format = kwCompany::DateFormat();
    if (format.empty() || !xd_parse_format(format, nullptr)) return XD_DEFAULT_DATE_FORMAT;
    return format;
}

std::string xd_format_date(chr::year_month_day date, std::string_view format) {
    xd_format_parts parts;
    if (!xd_parse_format(format, &parts)) xd_parse_format(XD_DEFAULT_DATE_FORMAT, &parts);
    const int year = static_cast<int>(date.year());
    const unsigned month = static_cast<unsigned>(date.month());
    const unsigned day = static_cast<unsigned>(date.day());
    std::string out;
    char buffer[16];
    for (int i = 0; i < 3; ++i) {
        if (i > 0) out += parts.separator;
        switch (parts.order[i]) {
        case 'M':
            std::snprintf(buffer, sizeof buffer, parts.padMonth ? "%02u" : "%u", month);
            break;
        case 'D':
            std::snprintf(buffer, sizeof buffer, parts.padDay ? "%02u" : "%u", day);
            break;
        default:
            if (parts.twoDigitYear)
                std::snprintf(buffer, sizeof buffer, "%02d", ((year % 100) + 100) % 100);
            else
                std::snprintf(buffer, sizeof buffer, "%04d", year);
            break;
        }
        out += buffer;
    }
    return out;
}

int xd_expand_year(int twoDigitYear) {
    return twoDigitYear < 50 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

std::optional<chr::year_month_day> xd_parse_date(std::string_view text, std::string_view format) {
    xd_format_parts parts;
    if (!xd_parse_format(format, &parts)) xd_parse_format(XD_DEFAULT_DATE_FORMAT, &parts);
    text = Trim(text);
    if (text.empty() || text.size() > 32) return std::nullopt;

    std::string_view fields[3];
    if (AllDigits(text)) {
        // Digits only: two digits each for month and day, two or four for the year.
        if (text.size() != 6 && text.size() != 8) return std::nullopt;
        const size_t yearDigits = text.size() - 4;
        size_t pos = 0;
        for (int i = 0; i < 3; ++i) {
            const size_t width = parts.order[i] == 'Y' ? yearDigits : 2;
            fields[i] = text.substr(pos, width);
            pos += width;
        }
    } else {
        size_t pos = 0;
        for (int i = 0; i < 3; ++i) {
            size_t end = pos;
            while (end < text.size() && IsDigit(text[end]))
                ++end;
            fields[i] = text.substr(pos, end - pos);
            if (fields[i].empty()) return std::nullopt;
            if (i < 2) {
                if (end >= text.size()) return std::nullopt;
                const char sep = text[end];
                if (sep != '/' && sep != '-' && sep != '.') return std::nullopt;
                pos = end + 1;
            } else if (end != text.size()) {
                return std::nullopt;
            }
        }
    }

    int year = 0, month = 0, day = 0;
    for (int i = 0; i < 3; ++i) {
        const std::string_view field = fields[i];
        switch (parts.order[i]) {
        case 'M':
            if (field.size() > 2) return std::nullopt;
            month = DigitsValue(field);
            break;
        case 'D':
            if (field.size() > 2) return std::nullopt;
            day = DigitsValue(field);
            break;
        default:
            if (field.size() == 2)
                year = xd_expand_year(DigitsValue(field));
            else if (field.size() == 4)
                year = DigitsValue(field);
            else
                return std::nullopt;
            break;
        }
    }
    return xd_make_date(year, month, day);
}
