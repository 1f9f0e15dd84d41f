// Tests of kwSSNum: nine digits with or without dashes, leading zeros, the number form.
#include "kwcommon/values/kwSSNum.h"
#include "kwcommon/values/kwNum.h"

#include <gtest/gtest.h>

TEST(kwSSNum, TextCarrierAndComparison) {
    kwSSNum ssn;
    EXPECT_TRUE(ssn.IsNull()) << "0 is no number";
    EXPECT_EQ(ssn.Format(), "");
    EXPECT_EQ(ssn.TypeCode(), 6);
    EXPECT_EQ(kwSSNum(123456789).Format(), "123-45-6789");
    EXPECT_EQ(kwSSNum(12345678).Format(), "012-34-5678") << "leading zeros";
    EXPECT_TRUE(kwSSNum(1000000000).IsNull()) << "more than nine digits";

    EXPECT_TRUE(ssn.Set("123-45-6789"));
    EXPECT_EQ(ssn.Number(), 123456789);
    EXPECT_TRUE(ssn.Set("987654321"));
    EXPECT_EQ(ssn.Format(), "987-65-4321");
    EXPECT_TRUE(ssn.Set(" 001-02-0003 "));
    EXPECT_EQ(ssn.Number(), 1020003);
    for (const char* bad : {"12345678", "1234567890", "123-456-789", "12-345-6789", "123 45 6789",
                            "abc-de-fghi", "123-45-678x", "-12345678", "12345678 9", "---------"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(ssn.Set(bad)) << bad; });
        EXPECT_EQ(ssn.Number(), 1020003) << "a refused text leaves the number unchanged";
    }
    EXPECT_TRUE(ssn.Set(""));
    EXPECT_TRUE(ssn.IsNull());

    x_value_def value;
    kwSSNum(123456789).ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_EQ(value.number, 123456789.0);
    kwSSNum back;
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "123-45-6789");
    for (double bad : {-1.0, 1e9, 12.5}) {
        value.SetNumber(bad);
        EXPECT_FALSE(back.FromXval(value)) << bad;
        EXPECT_EQ(back.Number(), 123456789);
    }
    value.SetText("111-22-3333");
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Number(), 111223333);

    for (long original : {0L, 1L, 123456789L, 999999999L}) {
        kwSSNum source(original), viaText(5), viaXval(5);
        EXPECT_TRUE(viaText.Set(source.Format()));
        source.ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText.Number(), original);
        EXPECT_EQ(viaXval.Number(), original);
    }

    EXPECT_LT(kwSSNum(99999999), kwSSNum(100000000)) << "by number";
    EXPECT_TRUE(back.CopyFrom(kwSSNum(5)));
    EXPECT_EQ(back.Number(), 5);
    EXPECT_FALSE(back.CopyFrom(kwNum<long>(6)));
    EXPECT_EQ(back.Number(), 5);
    EXPECT_FALSE(back.SetNumber(-1));
    EXPECT_EQ(*back.Clone(), back);
}
