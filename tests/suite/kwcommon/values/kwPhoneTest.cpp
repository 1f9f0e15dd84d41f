// Tests of kwPhone: digits kept, the 10- and 7-digit displays, refused letters.
#include "kwcommon/values/kwPhone.h"
#include "kwcommon/values/kwAlpha.h"

#include <gtest/gtest.h>

TEST(kwPhone, DigitsFormatAndCarrier) {
    kwPhone phone;
    EXPECT_TRUE(phone.IsNull());
    EXPECT_EQ(phone.Format(), "");
    EXPECT_EQ(phone.TypeCode(), 5);

    EXPECT_TRUE(phone.Set("(555) 123-4567"));
    EXPECT_EQ(phone.Digits(), "5551234567");
    EXPECT_EQ(phone.Format(), "(555) 123-4567");
    EXPECT_TRUE(phone.Set("555.123.4567"));
    EXPECT_EQ(phone.Format(), "(555) 123-4567");
    EXPECT_TRUE(phone.Set("1234567"));
    EXPECT_EQ(phone.Format(), "123-4567");
    EXPECT_TRUE(phone.Set("+44 20 7946 0958"));
    EXPECT_EQ(phone.Format(), "442079460958") << "other lengths: the digits as they are";
    EXPECT_TRUE(phone.Set("911"));
    EXPECT_EQ(phone.Format(), "911");

    for (const char* bad : {"555-CALL-NOW", "call me", "555 1234 x12", "555#1234", "\xe2\x80\x93",
                            "1234567890123456789012345678901"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(phone.Set(bad)) << bad; });
        EXPECT_EQ(phone.Digits(), "911") << "a refused text leaves the number unchanged";
    }
    EXPECT_TRUE(phone.Set(""));
    EXPECT_TRUE(phone.IsNull());

    x_value_def value;
    kwPhone("(555) 123-4567").ToXval(value);
    EXPECT_TRUE(value.IsText());
    EXPECT_EQ(value.AsText(), "5551234567") << "the carrier holds the digits";
    kwPhone back;
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "(555) 123-4567");
    value.SetNumber(1234567);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "123-4567");
    value.SetNumber(-5);
    EXPECT_FALSE(back.FromXval(value));
    value.SetText("no digits");
    EXPECT_FALSE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "123-4567");

    for (const char* original : {"", "5551234567", "1234567", "0044123"}) {
        kwPhone source(original), viaText, viaXval;
        EXPECT_TRUE(viaText.Set(source.Format()));
        source.ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText.Digits(), original);
        EXPECT_EQ(viaXval.Digits(), original);
    }

    EXPECT_EQ(kwPhone("555-1234"), kwPhone("5551234"));
    EXPECT_LT(kwPhone("5551234"), kwPhone("5559999"));
    EXPECT_TRUE(back.CopyFrom(kwPhone("5550000")));
    EXPECT_EQ(back.Digits(), "5550000");
    EXPECT_FALSE(back.CopyFrom(kwAlpha("5551111")));
    EXPECT_EQ(back.Digits(), "5550000");
    EXPECT_EQ(*back.Clone(), back);
}
