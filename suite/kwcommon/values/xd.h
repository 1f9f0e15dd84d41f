// Dates and times of the data library (xd_*): today and now, day arithmetic, the day of
// the week, the stored number forms, and formatting and parsing with an explicit date
// format. kwDate, kwDateMonthYear and kwTime are built on these; the rest of the suite uses
// them directly (the postpone rule, the row stamps of the grid).
//
// A date format is built from the fields MM, DD, YYYY or YY (M and D are accepted too: no
// leading zero) joined by one separator character, e.g. "MM/DD/YYYY", "DD.MM.YY",
// "YYYY-MM-DD". A format that lacks a month, a day or a year is replaced by the default.
#pragma once

#include "kwcommon/kwSeam.h"

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

// The suite's default date format (month, day, four-digit year).
inline constexpr const char* XD_DEFAULT_DATE_FORMAT = "MM/DD/YYYY";

// Today's local date, and the local time of day in seconds since midnight (0..86399).
// Tests pin both with xd_pin_now.
std::chrono::year_month_day xd_get_date();
int xd_get_time();
inline std::chrono::year_month_day xd_today() {
    return xd_get_date();
}

// The clock the suite reads today and now from: the machine's, unless replaced.
struct xd_moment {
    std::chrono::year_month_day date;
    int seconds = 0; // since midnight, 0..86399
};
using xd_clock = kwSeam<xd_moment()>;
xd_clock& xd_clock_seam();
// Pins "today" and "now" (seconds since midnight, kept within the day) while the answered
// guard lives.
[[nodiscard]] xd_clock::Guard xd_pin_now(std::chrono::year_month_day date, int secondsSinceMidnight = 0);

// Days from `from` to `to` (negative when `to` is earlier).
int xd_days_between(std::chrono::year_month_day from, std::chrono::year_month_day to);
// date moved by days (forward when positive).
std::chrono::year_month_day xd_add_days(std::chrono::year_month_day date, int days);

// The day of the week as the suite numbers it: 1 Sunday, 2 Monday ... 7 Saturday.
enum xd_weekday : int {
    XD_SUNDAY = 1,
    XD_MONDAY = 2,
    XD_TUESDAY = 3,
    XD_WEDNESDAY = 4,
    XD_THURSDAY = 5,
    XD_FRIDAY = 6,
    XD_SATURDAY = 7,
};
int xd_day_of_week(std::chrono::year_month_day date);
bool xd_is_weekend(std::chrono::year_month_day date); // Saturday or Sunday

bool xd_is_leap_year(int year);
int xd_days_in_month(int year, int month); // 0 when month is outside 1..12

// A valid date of the years 1 to 9999 from its parts, or nullopt.
std::optional<std::chrono::year_month_day> xd_make_date(int year, int month, int day);

// The stored number of a date: YYYYMMDD. xd_date_from_number answers nullopt for 0 and for
// anything that is not a valid date.
long xd_date_to_number(std::chrono::year_month_day date);
std::optional<std::chrono::year_month_day> xd_date_from_number(long number);

// The company's date format (kwCompany::DateFormat()), or the default when it is empty or
// malformed.
std::string xd_date_format();

// Splits a date format into its order and separator. false for a malformed format.
struct xd_format_parts {
    char order[3] = {'M', 'D', 'Y'}; // 'M', 'D', 'Y' in the order the format names them
    char separator = '/';
    bool twoDigitYear = false; // YY
    bool padMonth = true;      // MM (M: no leading zero)
    bool padDay = true;        // DD (D: no leading zero)
};
bool xd_parse_format(std::string_view format, xd_format_parts* parts);

// The date written in the format (the default format when `format` is malformed).
std::string xd_format_date(std::chrono::year_month_day date, std::string_view format);

// Reads a date typed by a user, its fields in the order of `format`:
// - blanks around the text are ignored;
// - the fields are separated by any one of '/', '-' and '.' (whatever the format's own
//   separator), month and day have one or two digits, the year two or four;
// - or the text is digits only: 6 (two-digit year) or 8 (four-digit year) in format order;
// - a two-digit year 00-49 is 20xx, 50-99 is 19xx;
// - an impossible date (February 30, month 13) answers nullopt.
// Never throws.
std::optional<std::chrono::year_month_day> xd_parse_date(std::string_view text,
                                                         std::string_view format);

// The year of a two-digit year (pivot: 00-49 -> 2000-2049, 50-99 -> 1950-1999).
int xd_expand_year(int twoDigitYear);
