// A date value, or no date. Shown and read in the company's date format
// (kwCompany::DateFormat(), default MM/DD/YYYY); see xd_parse_date for what a user may type.
// In the value carrier a date is the number YYYYMMDD and no date is 0.
#pragma once

#include "kwcommon/values/kwData.h"

#include <chrono>
#include <optional>

class kwDate : public kwData {
public:
    // Today's local date.
    kwDate();
    // From a user's text: empty (or blank) text gives no date; so does text that is no date.
    explicit kwDate(std::string_view text);
    explicit kwDate(std::chrono::year_month_day date); // an invalid date gives no date
    kwDate(int year, int month, int day);              // an impossible date gives no date

    static kwDate Today() { return kwDate(); }
    static kwDate Empty() { return kwDate(std::string_view{}); }

    const std::optional<std::chrono::year_month_day>& Date() const { return _date; }
    // false (unchanged) for an invalid date.
    bool SetDate(std::chrono::year_month_day date);
    void SetToday();
    int Year() const;  // 0 when there is no date
    int Month() const; // 0 when there is no date
    int Day() const;   // 0 when there is no date

    // Moves the date by days (back when negative); no date stays no date.
    void AddDays(int days);
    // Days from this date to other (negative when other is earlier); 0 when either is empty.
    int DaysUntil(const kwDate& other) const;
    // 1 Sunday ... 7 Saturday (xd_weekday); 0 when there is no date.
    int DayOfWeek() const;
    bool IsWeekend() const; // Saturday or Sunday

    short TypeCode() const override; // XIO_DATE
    // In the company's date format; "" for no date.
    std::string Format() const override;
    std::string Format(std::string_view format) const; // in an explicit format
    // Empty or blank text sets no date. Text that is no date in the company's format answers
    // false and leaves the value unchanged.
    bool Set(std::string_view text) override;
    bool Set(std::string_view text, std::string_view format);
    bool IsNull() const override { return !_date.has_value(); }
    void Clear() override { _date.reset(); }
    // By date, no date before every date; other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override { return std::make_unique<kwDate>(*this); }
    // The number YYYYMMDD, 0 for no date.
    void ToXval(x_value_def& value) const override;
    // A number: YYYYMMDD or 0 (no date); anything else answers false. A text: eight digits
    // are YYYYMMDD, else it is read as Set reads it.
    bool FromXval(const x_value_def& value) override;
    // From another kwDate only.
    bool CopyFrom(const kwData& other) override;

private:
    std::optional<std::chrono::year_month_day> _date;
};
