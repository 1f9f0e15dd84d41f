// Tests of the number values: kwDouble's strict parsing and fixed decimals, kwNum<short> and
// kwNum<long> with their always-succeeding decimal conversion and clamping, and comparing
// and copying across the number kinds.
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/values/kwNum.h"
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwBool.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

TEST(kwDouble, FormatAndUserText) {
    EXPECT_EQ(kwDouble(1234.5, 2).Format(), "1234.50");
    EXPECT_EQ(kwDouble(1234.6).Format(), "1235") << "no decimals: rounded";
    EXPECT_EQ(kwDouble(0.126, 2).Format(), "0.13");
    EXPECT_EQ(kwDouble(-0.001, 2).Format(), "0.00") << "never -0";
    EXPECT_EQ(kwDouble(-3.5, 1).Format(), "-3.5");
    EXPECT_EQ(kwDouble(7, 99).Decimals(), 15) << "decimals are kept within 0..15";
    EXPECT_EQ(kwDouble(7, -3).Decimals(), 0);
    EXPECT_EQ(kwDouble(NAN, 2).Format(), "0.00") << "NaN is taken as 0";
    EXPECT_EQ(kwDouble(1).TypeCode(), 1);

    const struct {
        const char* text;
        double value;
    } good[] = {
        {"0", 0},
        {"42", 42},
        {"-42", -42},
        {"+42", 42},
        {"1,234", 1234},
        {"1,234,567.89", 1234567.89},
        {"-1,234.5", -1234.5},
        {".5", 0.5},
        {"5.", 5},
        {"  12.25  ", 12.25},
        {"", 0},
        {"   ", 0},
        {"007", 7},
        {"123,456", 123456},
        {"-0", 0},
    };
    for (const auto& c : good) {
        kwDouble number(99, 2);
        EXPECT_TRUE(number.Set(c.text)) << "'" << c.text << "'";
        EXPECT_DOUBLE_EQ(number.Value(), c.value) << "'" << c.text << "'";
    }

    kwDouble number(3.25, 2);
    const std::string tooLarge(400, '9'); // beyond a double
    for (const char* bad : {"abc",
                            "1.2.3",
                            "12a",
                            "a12",
                            "1,23",
                            "1,2345",
                            ",123",
                            "123,",
                            "1,,234",
                            "-",
                            "+",
                            ".",
                            "- 5",
                            "5-",
                            "1 000",
                            "1e5",
                            "0x10",
                            "inf",
                            "nan",
                            "$5",
                            "1.2,3",
                            "--5",
                            "\xc2\xa0"
                            "5",
                            tooLarge.c_str()}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(number.Set(bad)) << "'" << bad << "' must be refused"; });
        EXPECT_DOUBLE_EQ(number.Value(), 3.25) << "a refused text leaves the value unchanged";
    }
    EXPECT_TRUE(number.Set("1" + std::string(300, '0')));
    EXPECT_DOUBLE_EQ(number.Value(), 1e300) << "large but finite";
}

TEST(kwDouble, EmptyZeroAndCarrier) {
    kwDouble number(5.5, 1);
    EXPECT_FALSE(number.IsNull());
    number.Clear();
    EXPECT_TRUE(number.IsNull()) << "a number is empty when 0";
    EXPECT_EQ(number.Format(), "0.0");
    EXPECT_TRUE(number.Set("0.00"));
    EXPECT_TRUE(number.IsNull());

    x_value_def value;
    kwDouble(-1234.56, 2).ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_DOUBLE_EQ(value.number, -1234.56);
    kwDouble back(0, 2);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "-1234.56");
    value.SetText("1,000.25");
    EXPECT_TRUE(back.FromXval(value)) << "a text is read as Set reads it";
    EXPECT_DOUBLE_EQ(back.Value(), 1000.25);
    value.SetText("junk");
    EXPECT_FALSE(back.FromXval(value));
    EXPECT_DOUBLE_EQ(back.Value(), 1000.25);

    for (double original : {0.0, 1.0, -2.5, 123456789.25, 0.01}) {
        kwDouble source(original, 2), viaText(7, 2), viaXval(7, 2);
        EXPECT_TRUE(viaText.Set(source.Format()));
        source.ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText, source) << original;
        EXPECT_EQ(viaXval, source) << original;
    }
}

TEST(kwNum, ShortAndLong) {
    kwNum<short> seq;
    EXPECT_TRUE(seq.IsNull()) << "null when 0";
    EXPECT_EQ(seq.Format(), "0");
    EXPECT_EQ(seq.TypeCode(), 1);
    EXPECT_TRUE(seq.Set("123"));
    EXPECT_EQ(seq.Get(), 123);
    EXPECT_EQ(seq.Format(), "123");
    EXPECT_TRUE(seq.Set("  -45xyz")) << "decimal conversion always succeeds";
    EXPECT_EQ(seq.Get(), -45);
    EXPECT_TRUE(seq.Set("abc"));
    EXPECT_EQ(seq.Get(), 0) << "no digits gives 0";
    EXPECT_TRUE(seq.Set("12.9"));
    EXPECT_EQ(seq.Get(), 12) << "the conversion stops at the point";
    EXPECT_TRUE(seq.Set(""));
    EXPECT_TRUE(seq.IsNull());

    // Clamping to the type's range.
    EXPECT_TRUE(seq.Set("40000"));
    EXPECT_EQ(seq.Get(), SHRT_MAX);
    EXPECT_TRUE(seq.Set("-40000"));
    EXPECT_EQ(seq.Get(), SHRT_MIN);
    EXPECT_TRUE(seq.Set("-32768"));
    EXPECT_EQ(seq.Get(), -32768);
    EXPECT_TRUE(seq.Set(std::string(500, '9')));
    EXPECT_EQ(seq.Get(), SHRT_MAX);
    seq.SetValue(1e10);
    EXPECT_EQ(seq.Get(), SHRT_MAX);
    seq.SetValue(-7.9);
    EXPECT_EQ(seq.Get(), -7) << "fractions drop toward zero";
    seq.SetValue(NAN);
    EXPECT_EQ(seq.Get(), 0);

    kwNum<long> run;
    EXPECT_TRUE(run.Set("9223372036854775807"));
    EXPECT_EQ(run.Get(), LONG_MAX);
    EXPECT_EQ(run.Format(), "9223372036854775807");
    EXPECT_TRUE(run.Set("99999999999999999999999"));
    EXPECT_EQ(run.Get(), LONG_MAX);
    EXPECT_TRUE(run.Set("-9223372036854775808"));
    EXPECT_EQ(run.Get(), LONG_MIN);
    EXPECT_TRUE(run.Set("-99999999999999999999999"));
    EXPECT_EQ(run.Get(), LONG_MIN);
    run.SetValue(1e300);
    EXPECT_EQ(run.Get(), LONG_MAX);
    run.SetValue(-1e300);
    EXPECT_EQ(run.Get(), LONG_MIN);
    EXPECT_TRUE(run.Set("100000"));
    EXPECT_EQ(run.Format(), "100000");

    // Value carrier: as a number.
    x_value_def value;
    run.ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_EQ(value.number, 100000.0);
    kwNum<short> back;
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Get(), SHRT_MAX) << "clamped on the way in";
    value.SetNumber(-12);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Get(), -12);
    value.SetText("77");
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Get(), 77);

    for (long original : {0L, 1L, -1L, 32767L, -32768L}) {
        kwNum<short> source(static_cast<short>(original)), viaText, viaXval;
        EXPECT_TRUE(viaText.Set(source.Format()));
        source.ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText.Get(), original);
        EXPECT_EQ(viaXval.Get(), original);
    }

    auto clone = seq.Clone();
    EXPECT_NE(dynamic_cast<kwNum<short>*>(clone.get()), nullptr);
    EXPECT_EQ(dynamic_cast<kwNum<long>*>(clone.get()), nullptr);
}

TEST(kwNumeric, AcrossKinds) {
    const kwNum<short> five(5);
    const kwNum<long> fiveLong(5);
    const kwDouble fiveDouble(5.0, 2), fiveAndAHalf(5.5, 1);

    EXPECT_EQ(five, fiveLong);
    EXPECT_EQ(five, fiveDouble) << "5 == 5.00 whatever the kinds";
    EXPECT_EQ(fiveDouble, five);
    EXPECT_LT(five, fiveAndAHalf);
    EXPECT_GT(fiveAndAHalf, fiveLong);
    EXPECT_LT(kwNum<long>(-100000), kwNum<short>(-5));
    EXPECT_LT(kwDouble(9), kwNum<short>(10)) << "by value, not by text";

    // Copying between the number kinds.
    kwNum<short> small;
    EXPECT_TRUE(small.CopyFrom(kwDouble(12.75, 2)));
    EXPECT_EQ(small.Get(), 12);
    EXPECT_TRUE(small.CopyFrom(kwNum<long>(1000000)));
    EXPECT_EQ(small.Get(), SHRT_MAX) << "clamped";
    kwDouble amount(0, 2);
    EXPECT_TRUE(amount.CopyFrom(kwNum<long>(-42)));
    EXPECT_EQ(amount.Format(), "-42.00");
    kwNum<long> big;
    EXPECT_TRUE(big.CopyFrom(five));
    EXPECT_EQ(big.Get(), 5);

    EXPECT_FALSE(big.CopyFrom(kwAlpha("17"))) << "a text is no number";
    EXPECT_FALSE(big.CopyFrom(kwBool(true)));
    EXPECT_EQ(big.Get(), 5);

    // Against unrelated kinds: the shown texts.
    EXPECT_EQ(kwNum<short>(5).Compare(kwAlpha("5")), 0);
    EXPECT_LT(kwNum<short>(10), kwAlpha("9"));
}
