// Tests of the date helpers (xd.h): leap years, day arithmetic, weekdays, the number form,
// and formatting and parsing with explicit formats.
#include "kwcommon/values/xd.h"

#include <gtest/gtest.h>

namespace chr = std::chrono;

namespace {
chr::year_month_day Ymd(int y, unsigned m, unsigned d) {
    return chr::year_month_day{chr::year{y}, chr::month{m}, chr::day{d}};
}
} // namespace

TEST(xd, LeapYearsAndMonthLengths) {
    EXPECT_TRUE(xd_is_leap_year(2024));
    EXPECT_TRUE(xd_is_leap_year(2000)) << "divisible by 400";
    EXPECT_FALSE(xd_is_leap_year(1900)) << "divisible by 100 but not 400";
    EXPECT_FALSE(xd_is_leap_year(2023));
    EXPECT_EQ(xd_days_in_month(2024, 2), 29);
    EXPECT_EQ(xd_days_in_month(2023, 2), 28);
    EXPECT_EQ(xd_days_in_month(2023, 4), 30);
    EXPECT_EQ(xd_days_in_month(2023, 12), 31);
    EXPECT_EQ(xd_days_in_month(2023, 13), 0);
    EXPECT_TRUE(xd_make_date(2024, 2, 29).has_value());
    EXPECT_FALSE(xd_make_date(2023, 2, 29).has_value());
    EXPECT_FALSE(xd_make_date(2024, 2, 30).has_value());
    EXPECT_FALSE(xd_make_date(0, 1, 1).has_value()) << "year 0 is outside 1..9999";
    EXPECT_FALSE(xd_make_date(10000, 1, 1).has_value());
}

TEST(xd, DayArithmeticAndWeekdays) {
    EXPECT_EQ(xd_days_between(Ymd(2024, 1, 1), Ymd(2024, 3, 1)), 60) << "31 + 29 in a leap year";
    EXPECT_EQ(xd_days_between(Ymd(2023, 1, 1), Ymd(2023, 3, 1)), 59);
    EXPECT_EQ(xd_days_between(Ymd(2024, 3, 1), Ymd(2024, 1, 1)), -60);
    EXPECT_EQ(xd_add_days(Ymd(2024, 2, 28), 1), Ymd(2024, 2, 29));
    EXPECT_EQ(xd_add_days(Ymd(2023, 2, 28), 1), Ymd(2023, 3, 1));
    EXPECT_EQ(xd_add_days(Ymd(2023, 12, 31), 1), Ymd(2024, 1, 1));
    EXPECT_EQ(xd_add_days(Ymd(2024, 1, 1), -1), Ymd(2023, 12, 31));

    // 2024-06-01 was a Saturday, 2024-06-02 a Sunday, 2024-06-03 a Monday.
    EXPECT_EQ(xd_day_of_week(Ymd(2024, 6, 1)), XD_SATURDAY);
    EXPECT_EQ(xd_day_of_week(Ymd(2024, 6, 2)), XD_SUNDAY);
    EXPECT_EQ(xd_day_of_week(Ymd(2024, 6, 3)), XD_MONDAY);
    EXPECT_EQ(XD_SUNDAY, 1);
    EXPECT_EQ(XD_SATURDAY, 7);
    EXPECT_TRUE(xd_is_weekend(Ymd(2024, 6, 1)));
    EXPECT_TRUE(xd_is_weekend(Ymd(2024, 6, 2)));
    EXPECT_FALSE(xd_is_weekend(Ymd(2024, 6, 3)));
    EXPECT_FALSE(xd_is_weekend(Ymd(2024, 6, 7))) << "a Friday";
}

TEST(xd, NumberForm) {
    EXPECT_EQ(xd_date_to_number(Ymd(2024, 2, 29)), 20240229L);
    EXPECT_EQ(xd_date_from_number(20240229L), Ymd(2024, 2, 29));
    EXPECT_FALSE(xd_date_from_number(0).has_value()) << "0 is no date";
    EXPECT_FALSE(xd_date_from_number(20230229L).has_value()) << "not a leap year";
    EXPECT_FALSE(xd_date_from_number(20241301L).has_value());
    EXPECT_FALSE(xd_date_from_number(-20240101L).has_value());
}

TEST(xd, FormatStrings) {
    xd_format_parts parts;
    ASSERT_TRUE(xd_parse_format("DD.MM.YY", &parts));
    EXPECT_EQ(parts.order[0], 'D');
    EXPECT_EQ(parts.order[1], 'M');
    EXPECT_EQ(parts.order[2], 'Y');
    EXPECT_EQ(parts.separator, '.');
    EXPECT_TRUE(parts.twoDigitYear);
    EXPECT_TRUE(xd_parse_format("YYYY-MM-DD", nullptr));
    EXPECT_FALSE(xd_parse_format("MM/DD", nullptr)) << "no year";
    EXPECT_FALSE(xd_parse_format("MM/DD-YYYY", nullptr)) << "two separators";
    EXPECT_FALSE(xd_parse_format("MMDDYYYY", nullptr)) << "no separator";
    EXPECT_FALSE(xd_parse_format("MM/MM/YYYY", nullptr));
    EXPECT_FALSE(xd_parse_format("MM/DD/YYY", nullptr));
    EXPECT_FALSE(xd_parse_format("", nullptr));

    const auto date = Ymd(2024, 3, 7);
    EXPECT_EQ(xd_format_date(date, "MM/DD/YYYY"), "03/07/2024");
    EXPECT_EQ(xd_format_date(date, "DD/MM/YYYY"), "07/03/2024");
    EXPECT_EQ(xd_format_date(date, "YYYY-MM-DD"), "2024-03-07");
    EXPECT_EQ(xd_format_date(date, "DD.MM.YY"), "07.03.24");
    EXPECT_EQ(xd_format_date(date, "M/D/YYYY"), "3/7/2024");
    EXPECT_EQ(xd_format_date(date, "nonsense"), "03/07/2024") << "a malformed format falls back";
}

TEST(xd, ParsingUserText) {
    const auto march7 = Ymd(2024, 3, 7);
    EXPECT_EQ(xd_parse_date("03/07/2024", "MM/DD/YYYY"), march7);
    EXPECT_EQ(xd_parse_date("3/7/2024", "MM/DD/YYYY"), march7) << "one-digit month and day";
    EXPECT_EQ(xd_parse_date("3-7-24", "MM/DD/YYYY"), march7) << "any separator, two-digit year";
    EXPECT_EQ(xd_parse_date("3.7.2024", "MM/DD/YYYY"), march7);
    EXPECT_EQ(xd_parse_date("  03/07/2024 ", "MM/DD/YYYY"), march7) << "blanks around";
    EXPECT_EQ(xd_parse_date("030724", "MM/DD/YYYY"), march7) << "six digits";
    EXPECT_EQ(xd_parse_date("03072024", "MM/DD/YYYY"), march7) << "eight digits";
    EXPECT_EQ(xd_parse_date("7/3/2024", "DD/MM/YYYY"), march7) << "day first";
    EXPECT_EQ(xd_parse_date("2024-3-7", "YYYY-MM-DD"), march7) << "year first";
    EXPECT_EQ(xd_parse_date("20240307", "YYYY-MM-DD"), march7);
    EXPECT_EQ(xd_parse_date("07.03.24", "DD.MM.YY"), march7);
    EXPECT_EQ(xd_parse_date("07/03/2024", "DD.MM.YY"), march7) << "four digits in a YY format";

    // Pivot of two-digit years.
    EXPECT_EQ(xd_parse_date("1/1/00", "MM/DD/YYYY"), Ymd(2000, 1, 1));
    EXPECT_EQ(xd_parse_date("1/1/49", "MM/DD/YYYY"), Ymd(2049, 1, 1));
    EXPECT_EQ(xd_parse_date("1/1/50", "MM/DD/YYYY"), Ymd(1950, 1, 1));
    EXPECT_EQ(xd_parse_date("1/1/99", "MM/DD/YYYY"), Ymd(1999, 1, 1));

    // Leap days.
    EXPECT_EQ(xd_parse_date("2/29/2024", "MM/DD/YYYY"), Ymd(2024, 2, 29));
    EXPECT_EQ(xd_parse_date("2/29/2000", "MM/DD/YYYY"), Ymd(2000, 2, 29));
    EXPECT_FALSE(xd_parse_date("2/29/1900", "MM/DD/YYYY"));
    EXPECT_FALSE(xd_parse_date("2/29/2023", "MM/DD/YYYY"));

    // Refused.
    for (const char* bad :
         {"",          "   ",        "2/30/2024", "13/1/2024",     "0/1/2024",   "1/0/2024",
          "1/32/2024", "1/1/202",    "1/1/2",     "1/1/20245",     "123/1/2024", "1//2024",
          "1/1",       "1/1/2024/1", "1 1 2024",  "a/b/cccc",      "1/1/2024x",  "1,1,2024",
          "0307202",   "-1/1/2024",  "1/1/-24",   "\xff/\xfe/2024"}) {
        EXPECT_FALSE(xd_parse_date(bad, "MM/DD/YYYY")) << "'" << bad << "' is no date";
    }
}

TEST(xd, PinnedNowLastsWhileItsGuardDoes) {
    {
        auto pinned = xd_pin_now(Ymd(2024, 6, 1), 3600 + 2 * 60 + 3);
        EXPECT_EQ(xd_get_date(), Ymd(2024, 6, 1));
        EXPECT_EQ(xd_today(), Ymd(2024, 6, 1));
        EXPECT_EQ(xd_get_time(), 3723);
        {
            auto inner = xd_pin_now(Ymd(2025, 1, 2), 90000);
            EXPECT_EQ(xd_get_date(), Ymd(2025, 1, 2)) << "an inner pin hides the outer one";
            EXPECT_EQ(xd_get_time(), 86399) << "a time past the day is kept within it";
        }
        EXPECT_EQ(xd_get_date(), Ymd(2024, 6, 1)) << "the outer pin is back";
    }
    EXPECT_FALSE(xd_clock_seam()) << "the machine's clock is back";
    const int now = xd_get_time();
    EXPECT_GE(now, 0);
    EXPECT_LT(now, 86400);
    EXPECT_TRUE(xd_get_date().ok());
}
