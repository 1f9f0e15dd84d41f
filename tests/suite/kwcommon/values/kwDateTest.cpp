// Tests of kwDate and kwDateMonthYear: the company's date format, empty dates, leap years,
// day arithmetic, comparisons and the YYYYMMDD / YYYYMM00 value-carrier forms.
#include "kwcommon/values/kwDate.h"
#include "kwcommon/values/kwDateMonthYear.h"
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/xd.h"
#include "kwcommon/kwCompany.h"

#include <gtest/gtest.h>

namespace chr = std::chrono;

namespace {

// Sets the company's date format for one test and puts the old one back.
class DateFormatScope {
public:
    explicit DateFormatScope(const std::string& format) : _saved(kwCompany::DateFormat()) {
        kwCompany::SetDateFormat(format);
    }
    ~DateFormatScope() { kwCompany::SetDateFormat(_saved.empty() ? "MM/DD/YYYY" : _saved); }

private:
    std::string _saved;
};

// Pins today for one test.
class FixedTodayScope {
public:
    FixedTodayScope(int y, unsigned m, unsigned d)
        : _pinned(xd_pin_now(chr::year_month_day{chr::year{y}, chr::month{m}, chr::day{d}}, 12 * 3600)) {}

private:
    xd_clock::Guard _pinned;
};

} // namespace

TEST(kwDate, ConstructionAndEmptiness) {
    DateFormatScope format("MM/DD/YYYY");
    FixedTodayScope today(2024, 6, 3);

    kwDate byDefault;
    EXPECT_FALSE(byDefault.IsNull()) << "a default-constructed date is today";
    EXPECT_EQ(byDefault.Format(), "06/03/2024");

    kwDate none("");
    EXPECT_TRUE(none.IsNull()) << "an empty text is no date";
    EXPECT_EQ(none.Format(), "");
    EXPECT_TRUE(kwDate::Empty().IsNull());
    EXPECT_TRUE(kwDate("   ").IsNull());
    EXPECT_TRUE(kwDate("not a date").IsNull());
    EXPECT_EQ(kwDate("12/25/2023").Format(), "12/25/2023");
    EXPECT_EQ(kwDate(2024, 2, 29).Format(), "02/29/2024");
    EXPECT_TRUE(kwDate(2023, 2, 29).IsNull()) << "an impossible date is no date";
    EXPECT_EQ(kwDate::Today().Format(), "06/03/2024");

    kwDate date(2024, 1, 31);
    EXPECT_EQ(date.Year(), 2024);
    EXPECT_EQ(date.Month(), 1);
    EXPECT_EQ(date.Day(), 31);
    date.Clear();
    EXPECT_TRUE(date.IsNull());
    EXPECT_EQ(date.Year(), 0);
    EXPECT_EQ(date.DayOfWeek(), 0);
    EXPECT_FALSE(date.IsWeekend());
    date.AddDays(5);
    EXPECT_TRUE(date.IsNull()) << "no date stays no date";
    date.SetToday();
    EXPECT_EQ(date.Format(), "06/03/2024");
    EXPECT_EQ(date.TypeCode(), 3);
}

TEST(kwDate, SetFromUserText) {
    DateFormatScope format("MM/DD/YYYY");
    kwDate date(2024, 5, 17);

    EXPECT_TRUE(date.Set("1/2/24"));
    EXPECT_EQ(date.Format(), "01/02/2024");
    EXPECT_TRUE(date.Set("12-31-1999"));
    EXPECT_EQ(date.Format(), "12/31/1999");
    EXPECT_TRUE(date.Set("7.4.76"));
    EXPECT_EQ(date.Format(), "07/04/1976");

    for (const char* bad : {"2/30/2024", "13/01/2024", "02/29/2023", "hello", "1/2", "1/2/3",
                            "01/02/2024 10:00", "\x80\x81", "99999999999999999999999"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(date.Set(bad)) << "'" << bad << "' must be refused"; });
        EXPECT_EQ(date.Format(), "07/04/1976") << "a refused text leaves the date unchanged";
    }

    EXPECT_TRUE(date.Set("")) << "empty text clears the date";
    EXPECT_TRUE(date.IsNull());
    EXPECT_FALSE(date.Set("2/30/2024"));
    EXPECT_TRUE(date.IsNull()) << "still no date after a refused text";
}

TEST(kwDate, CompanyDateFormats) {
    kwDate date(2024, 3, 7);
    {
        DateFormatScope format("DD/MM/YYYY");
        EXPECT_EQ(date.Format(), "07/03/2024");
        EXPECT_TRUE(date.Set("25/12/2023"));
        EXPECT_EQ(date.Year(), 2023);
        EXPECT_EQ(date.Month(), 12);
        EXPECT_EQ(date.Day(), 25);
        EXPECT_FALSE(date.Set("12/25/2023")) << "month 25 in a day-first format";
    }
    {
        DateFormatScope format("YYYY-MM-DD");
        EXPECT_EQ(date.Format(), "2023-12-25");
        EXPECT_TRUE(date.Set("2024/2/29"));
        EXPECT_EQ(date.Format(), "2024-02-29");
    }
    {
        DateFormatScope format("DD.MM.YY");
        EXPECT_EQ(date.Format(), "29.02.24");
        EXPECT_TRUE(date.Set("1.1.50"));
        EXPECT_EQ(date.Year(), 1950);
        EXPECT_EQ(date.Format(), "01.01.50");
        // Round trip through the shown text in every format.
        kwDate back("");
        EXPECT_TRUE(back.Set(date.Format()));
        EXPECT_EQ(back.Year(), 1950) << "two-digit years 50-99 are 19xx";
    }
    {
        DateFormatScope format("MM/DD/YYYY");
        EXPECT_EQ(date.Format(), "01/01/1950");
        EXPECT_EQ(date.Format("YYYY-MM-DD"), "1950-01-01") << "an explicit format";
        EXPECT_TRUE(date.Set("31.12.2001", "DD.MM.YYYY"));
        EXPECT_EQ(date.Format(), "12/31/2001");
    }
    EXPECT_EQ(kwCompany::DateFormat(), "MM/DD/YYYY") << "the scope restores the format";
}

TEST(kwDate, LeapYearsAndDayArithmetic) {
    DateFormatScope format("MM/DD/YYYY");
    kwDate date(2024, 2, 28);
    date.AddDays(1);
    EXPECT_EQ(date.Format(), "02/29/2024");
    date.AddDays(1);
    EXPECT_EQ(date.Format(), "03/01/2024");
    date.AddDays(-2);
    EXPECT_EQ(date.Format(), "02/28/2024");

    kwDate plain(2023, 2, 28);
    plain.AddDays(1);
    EXPECT_EQ(plain.Format(), "03/01/2023");
    plain.AddDays(365);
    EXPECT_EQ(plain.Format(), "02/29/2024") << "365 days after 2023-03-01";

    kwDate century(1900, 2, 28);
    century.AddDays(1);
    EXPECT_EQ(century.Format(), "03/01/1900") << "1900 is no leap year";
    kwDate millennium(2000, 2, 28);
    millennium.AddDays(1);
    EXPECT_EQ(millennium.Format(), "02/29/2000") << "2000 is a leap year";

    EXPECT_EQ(kwDate(2024, 1, 1).DaysUntil(kwDate(2025, 1, 1)), 366);
    EXPECT_EQ(kwDate(2025, 1, 1).DaysUntil(kwDate(2024, 1, 1)), -366);
    EXPECT_EQ(kwDate(2024, 1, 1).DaysUntil(kwDate::Empty()), 0);

    // 2024-06-01 Saturday, 06-02 Sunday, 06-03 Monday.
    EXPECT_EQ(kwDate(2024, 6, 1).DayOfWeek(), 7);
    EXPECT_EQ(kwDate(2024, 6, 2).DayOfWeek(), 1);
    EXPECT_EQ(kwDate(2024, 6, 3).DayOfWeek(), 2);
    EXPECT_TRUE(kwDate(2024, 6, 1).IsWeekend());
    EXPECT_TRUE(kwDate(2024, 6, 2).IsWeekend());
    EXPECT_FALSE(kwDate(2024, 6, 3).IsWeekend());

    kwDate edge(9999, 12, 31);
    edge.AddDays(1);
    EXPECT_EQ(edge.Year(), 9999) << "a date never leaves the years 1..9999";
}

TEST(kwDate, ValueCarrierAndComparison) {
    DateFormatScope format("MM/DD/YYYY");
    x_value_def value;
    kwDate(2024, 2, 29).ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_EQ(value.number, 20240229.0);
    kwDate::Empty().ToXval(value);
    EXPECT_EQ(value.number, 0.0) << "no date is 0";

    kwDate date(2000, 1, 1);
    value.SetNumber(19991231);
    EXPECT_TRUE(date.FromXval(value));
    EXPECT_EQ(date.Format(), "12/31/1999");
    value.SetNumber(0);
    EXPECT_TRUE(date.FromXval(value));
    EXPECT_TRUE(date.IsNull());

    date = kwDate(2020, 5, 5);
    for (double bad : {20230229.0, 20241301.0, -1.0, 20240101.5, 123.0}) {
        value.SetNumber(bad);
        EXPECT_FALSE(date.FromXval(value)) << bad << " is no stored date";
        EXPECT_EQ(date.Format(), "05/05/2020");
    }
    value.SetText("20240315");
    EXPECT_TRUE(date.FromXval(value)) << "eight digits of text are YYYYMMDD";
    EXPECT_EQ(date.Format(), "03/15/2024");
    value.SetText("4/1/2024");
    EXPECT_TRUE(date.FromXval(value));
    EXPECT_EQ(date.Format(), "04/01/2024");

    // Round trips through text and the carrier.
    for (const kwDate& original :
         {kwDate(1, 1, 1), kwDate(2024, 2, 29), kwDate(9999, 12, 31), kwDate::Empty()}) {
        kwDate viaText(2000, 1, 1), viaXval(2000, 1, 1);
        EXPECT_TRUE(viaText.Set(original.Format()));
        x_value_def carrier;
        original.ToXval(carrier);
        EXPECT_TRUE(viaXval.FromXval(carrier));
        EXPECT_EQ(viaText, original) << original.Format();
        EXPECT_EQ(viaXval, original) << original.Format();
    }

    EXPECT_LT(kwDate(2023, 12, 31), kwDate(2024, 1, 1));
    EXPECT_GT(kwDate(2024, 1, 2).Compare(kwDate(2024, 1, 1)), 0);
    EXPECT_EQ(kwDate(2024, 1, 1).Compare(kwDate("01/01/2024")), 0);
    EXPECT_LT(kwDate::Empty(), kwDate(1, 1, 1)) << "no date sorts first";
    EXPECT_EQ(kwDate::Empty(), kwDate(""));
    // Sorting by date, not by text: "02/01/2023" < "12/31/2022" as text.
    EXPECT_GT(kwDate(2023, 2, 1).Compare(kwDate(2022, 12, 31)), 0);

    kwDate copy("");
    EXPECT_TRUE(copy.CopyFrom(kwDate(2024, 7, 4)));
    EXPECT_EQ(copy.Format(), "07/04/2024");
    EXPECT_FALSE(copy.CopyFrom(kwAlpha("07/05/2024")));
    EXPECT_EQ(copy.Format(), "07/04/2024") << "kinds that don't fit change nothing";
    auto clone = copy.Clone();
    EXPECT_EQ(*clone, copy);
    EXPECT_NE(dynamic_cast<kwDate*>(clone.get()), nullptr);
}

TEST(kwDateMonthYear, FormatsParsesAndCarries) {
    DateFormatScope format("MM/DD/YYYY");
    kwDateMonthYear none;
    EXPECT_TRUE(none.IsNull());
    EXPECT_EQ(none.Format(), "");

    kwDateMonthYear month(2024, 3);
    EXPECT_EQ(month.Format(), "03/2024");
    EXPECT_EQ(month.TypeCode(), 3);
    EXPECT_TRUE(month.Set("7/99"));
    EXPECT_EQ(month.Format(), "07/1999");
    EXPECT_TRUE(month.Set("12-2030"));
    EXPECT_EQ(month.Format(), "12/2030");
    EXPECT_TRUE(month.Set("02/29/2024")) << "a whole date gives its month";
    EXPECT_EQ(month.Format(), "02/2024");
    for (const char* bad : {"13/2024", "0/2024", "2024", "1/2/3/4", "ab/cdef", "1/202"}) {
        EXPECT_FALSE(month.Set(bad)) << bad;
        EXPECT_EQ(month.Format(), "02/2024");
    }
    {
        DateFormatScope yearFirst("YYYY-MM-DD");
        EXPECT_EQ(month.Format(), "2024-02");
        EXPECT_TRUE(month.Set("2025-11"));
        EXPECT_EQ(month.Format(), "2025-11");
    }
    {
        DateFormatScope dayFirst("DD.MM.YY");
        EXPECT_EQ(month.Format(), "11.2025") << "month before year, the format's separator";
    }

    x_value_def value;
    month.ToXval(value);
    EXPECT_EQ(value.number, 20251100.0) << "YYYYMM00";
    none.ToXval(value);
    EXPECT_EQ(value.number, 0.0);
    kwDateMonthYear back(2000, 1);
    value.SetNumber(19990500);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "05/1999");
    value.SetNumber(0);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_TRUE(back.IsNull());
    value.SetNumber(19991300);
    EXPECT_FALSE(back.FromXval(value));
    EXPECT_TRUE(back.IsNull());

    EXPECT_LT(kwDateMonthYear(2024, 12), kwDateMonthYear(2025, 1));
    EXPECT_LT(kwDateMonthYear(), kwDateMonthYear(1, 1));
    EXPECT_TRUE(back.CopyFrom(kwDate(2024, 8, 15)));
    EXPECT_EQ(back.Format(), "08/2024");
    EXPECT_TRUE(back.CopyFrom(kwDate::Empty()));
    EXPECT_TRUE(back.IsNull());
    EXPECT_FALSE(back.CopyFrom(kwAlpha("08/2024")));
    EXPECT_TRUE(back.Set(""));
    EXPECT_TRUE(back.IsNull());
}
