// Tests of kwChoice: selecting by item text or number, refused text, the item-number form.
#include "kwcommon/values/kwChoice.h"
#include "kwcommon/values/kwAlpha.h"

#include <gtest/gtest.h>

TEST(kwChoice, SelectFormatAndCarrier) {
    kwChoice type({"Invoice", "Credit memo", "Debit memo", "12"});
    EXPECT_EQ(type.Count(), 4);
    EXPECT_EQ(type.Selected(), 1) << "item 1 by default";
    EXPECT_EQ(type.Format(), "Invoice");
    EXPECT_FALSE(type.IsNull());
    EXPECT_EQ(type.TypeCode(), 7);
    EXPECT_EQ(kwChoice({"a"}, 1, 9).TypeCode(), 9);
    EXPECT_EQ(kwChoice({"a"}, 1, 3).TypeCode(), 7) << "only 7..9 are choices";

    EXPECT_TRUE(type.Set("Debit memo"));
    EXPECT_EQ(type.Selected(), 3);
    EXPECT_TRUE(type.Set("2")) << "a number within 1..count";
    EXPECT_EQ(type.Format(), "Credit memo");
    EXPECT_TRUE(type.Set("12")) << "an item's text wins over a number";
    EXPECT_EQ(type.Selected(), 4);
    EXPECT_TRUE(type.Set(" 1 "));
    EXPECT_EQ(type.Selected(), 1);

    type.Select(3);
    for (const char* bad :
         {"invoice", "Invoice ", "0", "5", "-1", "", "1.0", "x", "99999999999999"}) {
        EXPECT_NO_THROW({ EXPECT_FALSE(type.Set(bad)) << "'" << bad << "'"; });
        EXPECT_EQ(type.Selected(), 3) << "a refused text leaves the selection unchanged";
    }

    x_value_def value;
    type.ToXval(value);
    EXPECT_TRUE(value.IsNumber());
    EXPECT_EQ(value.number, 3.0);
    kwChoice back({"Invoice", "Credit memo", "Debit memo", "12"});
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Format(), "Debit memo");
    for (double bad : {5.0, -1.0, 1.5}) {
        value.SetNumber(bad);
        EXPECT_FALSE(back.FromXval(value)) << bad;
        EXPECT_EQ(back.Selected(), 3);
    }
    value.SetText("Invoice");
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Selected(), 1);
    value.SetNumber(0);
    EXPECT_TRUE(back.FromXval(value)) << "0 selects none";
    EXPECT_TRUE(back.IsNull());
    EXPECT_EQ(back.Format(), "");

    for (int original = 1; original <= 4; ++original) {
        kwChoice source(type.Items(), original), viaText(type.Items()), viaXval(type.Items());
        EXPECT_TRUE(viaText.Set(source.Format()));
        source.ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText.Selected(), original);
        EXPECT_EQ(viaXval.Selected(), original);
    }

    EXPECT_LT(kwChoice(type.Items(), 1), kwChoice(type.Items(), 2)) << "by item number";
    EXPECT_TRUE(back.CopyFrom(type));
    EXPECT_EQ(back.Selected(), 3);
    kwChoice shorter({"one"});
    EXPECT_FALSE(shorter.CopyFrom(type)) << "item 3 is not an item of a one-item choice";
    EXPECT_EQ(shorter.Selected(), 1);
    EXPECT_FALSE(back.CopyFrom(kwAlpha("Invoice")));
    EXPECT_EQ(back.Selected(), 3);
    back.Clear();
    EXPECT_TRUE(back.IsNull());
    back.SetItems({"only"});
    EXPECT_EQ(back.Selected(), 0);
    EXPECT_EQ(kwChoice().Selected(), 0) << "no items: nothing selected";
    auto clone = type.Clone();
    EXPECT_EQ(clone->Format(), "Debit memo");
}
