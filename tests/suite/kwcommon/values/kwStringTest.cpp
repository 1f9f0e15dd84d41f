// Tests of the text values kwAlpha and kwText: width limits cut on UTF-8 boundaries, case
// sensitivity, the value carrier, and term-code replacement with the company's custom
// field descriptions.
#include "kwcommon/values/kwAlpha.h"
#include "kwcommon/values/kwText.h"
#include "kwcommon/values/kwDouble.h"
#include "kwcommon/xk.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

TEST(kwAlpha, WidthAndUtf8Cutting) {
    kwAlpha name(5);
    EXPECT_TRUE(name.IsNull());
    EXPECT_EQ(name.TypeCode(), 0);
    EXPECT_TRUE(name.Set("abcde")) << "exactly the width fits";
    EXPECT_EQ(name.Format(), "abcde");
    EXPECT_FALSE(name.Set("abcdef")) << "longer than the width: cut and answer false";
    EXPECT_EQ(name.Text(), "abcde") << "the cut value is kept";

    // "é" is two bytes, "日" three: a cut never splits them.
    kwAlpha accent(2);
    EXPECT_FALSE(accent.Set("h\xc3\xa9llo"));
    EXPECT_EQ(accent.Text(), "h") << "the cut falls before the two-byte character";
    kwAlpha japanese(4);
    EXPECT_FALSE(japanese.Set("\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e"));
    EXPECT_EQ(japanese.Text(), "\xe6\x97\xa5") << "one whole three-byte character";
    kwAlpha fits(6);
    EXPECT_TRUE(fits.Set("\xe6\x97\xa5\xe6\x9c\xac"));
    EXPECT_EQ(fits.Text().size(), 6u);

    kwAlpha unlimited;
    const std::string longText(5000, 'x');
    EXPECT_TRUE(unlimited.Set(longText)) << "width 0 means no limit";
    EXPECT_EQ(unlimited.Text().size(), 5000u);
    EXPECT_FALSE(unlimited.SetWidth(10)) << "a narrower width cuts what is held";
    EXPECT_EQ(unlimited.Text().size(), 10u);

    EXPECT_EQ(kwAlpha("too long", 3).Text(), "too") << "the constructor cuts too";
    unlimited.Clear();
    EXPECT_TRUE(unlimited.IsNull());
    EXPECT_TRUE(unlimited.Set(""));
}

TEST(kwAlpha, CaseAndComparison) {
    const kwAlpha upper("ABC"), lower("abc");
    const kwAlpha upperNoCase("ABC", 0, false);
    EXPECT_LT(upper, lower) << "case-sensitive: byte order";
    EXPECT_EQ(upperNoCase.Compare(lower), 0) << "case-insensitive: equal";
    EXPECT_TRUE(upperNoCase == lower);
    EXPECT_LT(kwAlpha("apple", 0, false), kwAlpha("BANANA")) << "folded: apple < banana";
    EXPECT_LT(kwAlpha("ab"), kwAlpha("abc"));
    EXPECT_EQ(kwAlpha("x", 5).Compare(kwText("x")), 0) << "kwAlpha and kwText compare as texts";
    // A text against a number compares the shown texts.
    EXPECT_LT(kwAlpha("10"), kwDouble(9)) << "\"10\" < \"9\" as text";
    EXPECT_EQ(kwAlpha("12.50").Compare(kwDouble(12.5, 2)), 0);

    kwAlpha copy(3);
    EXPECT_TRUE(copy.CopyFrom(kwAlpha("abc")));
    EXPECT_TRUE(copy.CopyFrom(kwText("xyzw"))) << "texts fit; copying cuts to the width";
    EXPECT_EQ(copy.Text(), "xyz");
    EXPECT_TRUE(copy.CopyFrom(kwAlpha("abc")));
    EXPECT_EQ(copy.Text(), "abc");
    EXPECT_FALSE(copy.CopyFrom(kwDouble(5))) << "a number is no text";
    EXPECT_EQ(copy.Text(), "abc");

    auto clone = upperNoCase.Clone();
    auto* alpha = dynamic_cast<kwAlpha*>(clone.get());
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(alpha->Text(), "ABC");
    EXPECT_FALSE(alpha->CaseSensitive());
}

TEST(kwString, ValueCarrier) {
    x_value_def value;
    kwAlpha("Open").ToXval(value);
    EXPECT_TRUE(value.IsText());
    EXPECT_EQ(value.AsText(), "Open");

    kwAlpha back(10);
    EXPECT_TRUE(back.FromXval(value));
    EXPECT_EQ(back.Text(), "Open");
    value.SetNumber(42);
    EXPECT_TRUE(back.FromXval(value)) << "a number comes as its text";
    EXPECT_EQ(back.Text(), "42");
    value.SetText("a longer text than ten");
    EXPECT_FALSE(back.FromXval(value));
    EXPECT_EQ(back.Text(), "a longer t");

    // kwText: long, cut to 81 bytes on a character boundary only in the carrier.
    std::string message;
    for (int i = 0; i < 41; ++i)
        message += "\xc3\xa9"; // 82 bytes
    kwText text;
    EXPECT_TRUE(text.Set(message));
    EXPECT_EQ(text.Text(), message) << "kwText keeps the whole text";
    text.ToXval(value);
    EXPECT_EQ(value.AsText().size(), 80u) << "81 would split the 41st character";
    kwText(std::string(100, 'a')).ToXval(value);
    EXPECT_EQ(value.AsText(), std::string(81, 'a'));

    // Round trips.
    for (const char* original : {"", "plain", "\xe6\x97\xa5\xe6\x9c\xac", "  blanks kept  "}) {
        kwAlpha viaText, viaXval;
        EXPECT_TRUE(viaText.Set(kwAlpha(original).Format()));
        kwAlpha(original).ToXval(value);
        EXPECT_TRUE(viaXval.FromXval(value));
        EXPECT_EQ(viaText.Text(), original);
        EXPECT_EQ(viaXval.Text(), original);
    }
}

TEST(kwString, TermCodesWithoutDescriptions) {
    // Cases that need no company description.
    EXPECT_EQ(kwString::ReplaceTermCodes("no codes here"), "no codes here");
    EXPECT_EQ(kwString::ReplaceTermCodes(""), "");
    EXPECT_EQ(kwString::ReplaceTermCodes("a << b"), "a < b") << "two < stand for one";
    EXPECT_EQ(kwString::ReplaceTermCodes("<<<<"), "<<");
    EXPECT_EQ(kwString::ReplaceTermCodes("unclosed <262 rest"), "unclosed <262 rest");
    EXPECT_EQ(kwString::ReplaceTermCodes("<"), "<");
    EXPECT_EQ(kwString::ReplaceTermCodes("<>"), "<>") << "no digits";
    EXPECT_EQ(kwString::ReplaceTermCodes("<abc>"), "<abc>");
    EXPECT_EQ(kwString::ReplaceTermCodes("<99999>"), "<99999>") << "more than 16 bits";
    EXPECT_EQ(kwString::ReplaceTermCodes("x > y"), "x > y");
}

TEST(kwString, TermCodesWithDescriptions) {
    TestCompany company(false);
    ASSERT_EQ(xk_put_description(900, 0, "purchase order"), 0);
    ASSERT_EQ(xk_put_description(901, 0, "<262>"), 0);
    ASSERT_EQ(xk_put_description(902, 3, "Sub item"), 0);
    ASSERT_EQ(xk_description(900), "purchase order");

    const auto rep = [](const char* text) { return kwString::ReplaceTermCodes(text); };
    EXPECT_EQ(rep("<900>"), "purchase order");
    EXPECT_EQ(rep("<900F>"), "Purchase order") << "F: first character upper case";
    EXPECT_EQ(rep("<900I>"), "Purchase Order") << "I: every word capitalised";
    EXPECT_EQ(rep("<900A>"), "PURCHASE ORDER") << "A: all upper case";
    EXPECT_EQ(rep("<900P>"), "purchase orders") << "P: plural";
    EXPECT_EQ(rep("<900PF>"), "Purchase orders");
    EXPECT_EQ(rep("<900FA>"), "PURCHASE ORDER") << "the last style letter counts";
    EXPECT_EQ(rep("<900AF>"), "Purchase order") << "the last style letter counts";
    EXPECT_EQ(rep("<902.3>"), "Sub item") << "a second number";
    EXPECT_EQ(rep("<902>"), "<902>") << "902 alone has no description";
    EXPECT_EQ(rep("<902.>"), "<902.>") << "a full stop needs digits";
    EXPECT_EQ(rep("<900X>"), "<900X>") << "a letter other than A, F, I, P";
    EXPECT_EQ(rep("<900f>"), "<900f>") << "letters are upper case";
    EXPECT_EQ(rep("< 900>"), "< 900>");
    EXPECT_EQ(rep("<32000>"), "<32000>") << "no description";
    EXPECT_EQ(rep("Enter the <900F> and <900>."), "Enter the Purchase order and purchase order.");
    EXPECT_EQ(rep("<<900>"), "<900>") << "<< stands for <, no code is looked for there";
    EXPECT_EQ(rep("<<<900>"), "<purchase order");
    EXPECT_EQ(rep("<901>"), "<262>") << "a replacement is not scanned again";
    EXPECT_EQ(rep("<900> then <900"), "purchase order then <900")
        << "an unclosed code ends the scan";
    EXPECT_EQ(rep("a < b <900>"), "a < b <900>")
        << "the first > closes the code that opened at a <";

    // The demo company's own descriptions.
    EXPECT_EQ(rep("<262>"), "Classification");
    EXPECT_EQ(rep("<311PA>"), "VENDORS");
    EXPECT_EQ(rep("<8I> number"), "Check number");
    EXPECT_EQ(rep("<302.1>"), "Prefix A");

    const kwAlpha label("<900F>:");
    EXPECT_EQ(label.ReplaceCustomDescriptions(), "Purchase order:");
    EXPECT_EQ(label.Text(), "<900F>:") << "the value itself is unchanged";
}
