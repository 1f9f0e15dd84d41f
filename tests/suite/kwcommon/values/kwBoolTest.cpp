// Tests of kwBool: the accepted yes/no words, refused text, the value carrier.
#include "kwcommon/values/kwBool.h"
#include "kwcommon/values/kwNum.h"

#include <gtest/gtest.h>

TEST(kwBool, TextCarrierAndComparison) {
    kwBool flag;
    EXPECT_FALSE(flag.Get());
    EXPECT_TRUE(flag.IsNull()) << "No is the empty value";
    EXPECT_EQ(flag.Format(), "No");
    EXPECT_EQ(kwBool(true).Format(), "Yes");
    EXPECT_EQ(flag.TypeCode(), 2);

    for (const char* yes : {"Y", "y", "Yes", "YES", "yEs", "True", "TRUE", "true", "1", " yes "}) {
        kwBool value(false);
        EXPECT_TRUE(value.Set(yes)) << yes;
        EXPECT_TRUE(value.Get()) << yes;
    }
    for (const char* no : {"N", "n", "No", "NO", "False", "false", "0", "", "  "}) {
        kwBool value(true);
        EXPECT_TRUE(value.Set(no)) << "'" << no << "'";
        EXPECT_FALSE(value.Get()) << "'" << no << "'";
    }
    kwBool value(true);
    for (const char* bad : {"maybe", "2", "yess", "t", "-1", "Yes!", "\xc3\xbf"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(value.Set(bad)) << bad; });
        EXPECT_TRUE(value.Get()) << "a refused text leaves the value unchanged";
    }

    x_value_def carrier;
    kwBool(true).ToXval(carrier);
    EXPECT_TRUE(carrier.IsNumber());
    EXPECT_EQ(carrier.number, 1.0);
    kwBool(false).ToXval(carrier);
    EXPECT_EQ(carrier.number, 0.0);
    carrier.SetNumber(-3);
    EXPECT_TRUE(value.FromXval(carrier));
    EXPECT_TRUE(value.Get()) << "nonzero is yes";
    carrier.SetText("No");
    EXPECT_TRUE(value.FromXval(carrier));
    EXPECT_FALSE(value.Get());
    carrier.SetText("perhaps");
    EXPECT_FALSE(value.FromXval(carrier));

    for (bool original : {false, true}) {
        kwBool viaText(!original), viaXval(!original);
        EXPECT_TRUE(viaText.Set(kwBool(original).Format()));
        kwBool(original).ToXval(carrier);
        EXPECT_TRUE(viaXval.FromXval(carrier));
        EXPECT_EQ(viaText.Get(), original);
        EXPECT_EQ(viaXval.Get(), original);
    }

    EXPECT_LT(kwBool(false), kwBool(true));
    EXPECT_EQ(kwBool(true), kwBool(true));
    EXPECT_TRUE(value.CopyFrom(kwBool(true)));
    EXPECT_TRUE(value.Get());
    EXPECT_FALSE(value.CopyFrom(kwNum<short>(0))) << "a number is no yes/no";
    EXPECT_TRUE(value.Get());
    value.Clear();
    EXPECT_FALSE(value.Get());
    EXPECT_EQ(*kwBool(true).Clone(), kwBool(true));
}
