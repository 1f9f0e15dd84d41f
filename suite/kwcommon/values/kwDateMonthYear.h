// A month of a year (a date field marked month-year), or none. Shown as MM/YYYY: month
// and year in the order of the company's date format, with its separator ("2024-03" for
// "YYYY-MM-DD"). In the value carrier it is the number YYYYMM00, 0 for none.
#pragma once

#include "kwcommon/values/kwData.h"

#include <chrono>
#include <optional>

class kwDateMonthYear : public kwData {
public:
    // No month.
    kwDateMonthYear() = default;
    // From a user's text; text that is no month gives none.
    explicit kwDateMonthYear(std::string_view text);
    kwDateMonthYear(int year, int month); // outside years 1..9999 or months 1..12: none

    static kwDateMonthYear ThisMonth();

    const std::optional<std::chrono::year_month>& MonthYear() const { return _month; }
    bool SetMonthYear(int year, int month); // false (unchanged) when impossible
    int Year() const;                       // 0 when none
    int Month() const;                      // 0 when none

    short TypeCode() const override; // XIO_DATE
    std::string Format() const override;
    // Empty or blank text: none. Otherwise month and year in the format's order, separated
    // by one of '/', '-' and '.', month of one or two digits, year of two (pivot as for
    // dates: 00-49 -> 20xx) or four; a whole date in the company's format is taken too
    // (its day dropped). Anything else answers false and leaves the value unchanged.
    bool Set(std::string_view text) override;
    bool IsNull() const override { return !_month.has_value(); }
    void Clear() override { _month.reset(); }
    // By month, none first; other kinds: the Format() texts.
    int Compare(const kwData& other) const override;
    std::unique_ptr<kwData> Clone() const override {
        return std::make_unique<kwDateMonthYear>(*this);
    }
    // The number YYYYMM00, 0 for none.
    void ToXval(x_value_def& value) const override;
    // A number: YYYYMM00 (a day part is ignored) or 0; anything else answers false. A text:
    // as Set reads it.
    bool FromXval(const x_value_def& value) override;
    // From another kwDateMonthYear, or from a kwDate (its month).
    bool CopyFrom(const kwData& other) override;

private:
    std::optional<std::chrono::year_month> _month;
};
