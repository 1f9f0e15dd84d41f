// Tests of kwTime: 24-hour display, user text with and without am/pm, midnight versus no
// time, and the HHMMSS / -1 value-carrier form.
#include "kwcommon/values/kwTime.h"
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/xd.h"

#include <gtest/gtest.h>

TEST(kwTime, FormatAndUserText) {
    kwTime none;
    EXPECT_TRUE(none.IsNull()) << "a default-constructed time is no time";
    EXPECT_EQ(none.Format(), "");
    EXPECT_TRUE(kwTime("").IsNull());
    EXPECT_EQ(kwTime(13, 5, 9).Format(), "13:05:09");
    EXPECT_EQ(kwTime(0).Format(), "00:00:00");
    EXPECT_FALSE(kwTime(0).IsNull()) << "midnight is a time";
    EXPECT_TRUE(kwTime(86400).IsNull());
    EXPECT_TRUE(kwTime(24, 0, 0).IsNull());
    EXPECT_EQ(kwTime(4).TypeCode(), 4);

    const struct {
        const char* text;
        const char* shown;
    } good[] = {
        {"9:30", "09:30:00"},       {"09:30", "09:30:00"},    {"23:59:59", "23:59:59"},
        {"0:00", "00:00:00"},       {"12:00 am", "00:00:00"}, {"12:00 pm", "12:00:00"},
        {"12:30:15AM", "00:30:15"}, {"1:05 PM", "13:05:00"},  {"11:59:59 pm", "23:59:59"},
        {"3pm", "15:00:00"},        {"7 a", "07:00:00"},      {"  8:15  ", "08:15:00"},
    };
    for (const auto& c : good) {
        kwTime time;
        EXPECT_TRUE(time.Set(c.text)) << c.text;
        EXPECT_EQ(time.Format(), c.shown) << c.text;
    }

    kwTime time(10, 0, 0);
    for (const char* bad : {"24:00", "12:60", "12:00:60", "13:00 pm", "0:30 am", "9", "9:5",
                            "9:050", "123:00", "9:30:00:00", "9.30", "noon", "9:30 xm", "9:30 m",
                            "am", ":30", "9:", "-1:00", "\xe2\x80\x8b"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(time.Set(bad)) << "'" << bad << "' must be refused"; });
        EXPECT_EQ(time.Format(), "10:00:00") << "a refused text leaves the time unchanged";
    }
    EXPECT_TRUE(time.Set("   "));
    EXPECT_TRUE(time.IsNull()) << "blank text is no time";
}

TEST(kwTime, ValueCarrierMidnightAndComparison) {
    x_value_def value;
    kwTime(13, 5, 9).ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_EQ(value.number, 130509.0);
    kwTime(0).ToXval(value);
    EXPECT_EQ(value.number, 0.0) << "midnight is 0";
    kwTime().ToXval(value);
    EXPECT_EQ(value.number, -1.0) << "no time is -1";

    kwTime time(1, 2, 3);
    value.SetNumber(0);
    EXPECT_TRUE(time.FromXval(value));
    EXPECT_FALSE(time.IsNull()) << "0 from the carrier is midnight, not no time";
    EXPECT_EQ(time.Format(), "00:00:00");
    value.SetNumber(-1);
    EXPECT_TRUE(time.FromXval(value));
    EXPECT_TRUE(time.IsNull());
    value.SetNumber(235959);
    EXPECT_TRUE(time.FromXval(value));
    EXPECT_EQ(time.Format(), "23:59:59");
    for (double bad : {240000.0, 126000.0, 120060.0, -2.0, 1.5}) {
        value.SetNumber(bad);
        EXPECT_FALSE(time.FromXval(value)) << bad;
        EXPECT_EQ(time.Format(), "23:59:59");
    }
    value.SetText("7:45 pm");
    EXPECT_TRUE(time.FromXval(value));
    EXPECT_EQ(time.Format(), "19:45:00");

    for (const kwTime& original : {kwTime(0), kwTime(86399), kwTime(12, 0, 1), kwTime()}) {
        kwTime viaText(5), viaXval(5);
        EXPECT_TRUE(viaText.Set(original.Format()));
        x_value_def carrier;
        original.ToXval(carrier);
        EXPECT_TRUE(viaXval.FromXval(carrier));
        EXPECT_EQ(viaText, original) << original.Format();
        EXPECT_EQ(viaXval, original) << original.Format();
    }

    EXPECT_LT(kwTime(), kwTime(0)) << "no time sorts before midnight";
    EXPECT_LT(kwTime(9, 0, 0), kwTime(10, 0, 0));
    EXPECT_EQ(kwTime("9:00"), kwTime(9, 0, 0));
    EXPECT_NE(kwTime(), kwTime(0));

    kwTime copy;
    EXPECT_TRUE(copy.CopyFrom(kwTime(8, 0, 0)));
    EXPECT_EQ(copy.Format(), "08:00:00");
    EXPECT_FALSE(copy.CopyFrom(kwAlpha("09:00:00")));
    EXPECT_EQ(copy.Format(), "08:00:00");
    EXPECT_EQ(*copy.Clone(), copy);
    copy.Clear();
    EXPECT_TRUE(copy.IsNull());
}

TEST(kwTime, Now) {
    {
        auto pinned = xd_pin_now(std::chrono::year_month_day{std::chrono::year{2024}, std::chrono::month{1},
                                                            std::chrono::day{1}},
                                 14 * 3600 + 15 * 60 + 16);
        EXPECT_EQ(kwTime::Now().Format(), "14:15:16");
        kwTime time;
        time.SetNow();
        EXPECT_EQ(time.Format(), "14:15:16");
    }
    EXPECT_FALSE(kwTime::Now().IsNull());
}
