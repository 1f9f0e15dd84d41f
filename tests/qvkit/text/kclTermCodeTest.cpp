// Term codes replaced by the company's custom field descriptions, with their styles.
#include "qvkit/text/kclTermCode.h"

#include "kwcommon/xk.h"

#include "TestCompany.h"

#include <gtest/gtest.h>

TEST(kclTermCode, ReplacesCodesWithTheCompanysDescriptions) {
    TestCompany company(false);
    ASSERT_EQ(xk_put_description(900, 0, "bank account"), 0);

    EXPECT_EQ(kclRepTermCode("<262F>:"), "Classification:") << "demo description";
    EXPECT_EQ(kclRepTermCode("Pick a <900>."), "Pick a bank account.") << "no letter: as is";
    EXPECT_EQ(kclRepTermCode("<900F>"), "Bank account");
    EXPECT_EQ(kclRepTermCode("<900I>"), "Bank Account");
    EXPECT_EQ(kclRepTermCode("<900A>"), "BANK ACCOUNT");
    EXPECT_EQ(kclRepTermCode("<900FP>"), "Bank accounts");
    EXPECT_EQ(kclRepTermCode("<900PFA>"), "BANK ACCOUNTS") << "the last style letter counts";
    EXPECT_EQ(kclRepTermCode("<900AF>"), "Bank account") << "the last style letter counts";
    EXPECT_EQ(kclRepTermCode("<900.2I>"), "Bank Account")
        << "a second number without its own description takes the plain code's";
    EXPECT_EQ(kclRepTermCode("<302.1F> and <302.2F>"), "Prefix A and Prefix B");
    EXPECT_EQ(kclRepTermCode(std::string("<263F>, <264F> and <262F>")),
              "Urgency, Follow-up and Classification")
        << "every code of the text";
    EXPECT_EQ(kclRepTermCode(static_cast<const char*>(nullptr)), "");
}

TEST(kclTermCode, LeavesWhatIsNoCodeAlone) {
    TestCompany company(false);
    EXPECT_EQ(kclRepTermCode("No codes here."), "No codes here.");
    EXPECT_EQ(kclRepTermCode("a <<262F> b"), "a <262F> b") << "<< is one < and starts no code";
    EXPECT_EQ(kclRepTermCode("<<<262F>"), "<Classification") << "<< then a real code";
    EXPECT_EQ(kclRepTermCode("<262X>"), "<262X>") << "a letter other than A, F, I, P";
    EXPECT_EQ(kclRepTermCode("<262f>"), "<262f>") << "style letters are capitals";
    EXPECT_EQ(kclRepTermCode("<F>"), "<F>") << "no number";
    EXPECT_EQ(kclRepTermCode("<262.F>"), "<262.F>") << "a full stop without a second number";
    EXPECT_EQ(kclRepTermCode("<999F> then <262F>"), "<999F> then Classification")
        << "a code without description stays and the scan goes on";
    EXPECT_EQ(kclRepTermCode("<99999F>"), "<99999F>") << "a number beyond 16 bits names nothing";
    EXPECT_EQ(kclRepTermCode("a <262F b <<"), "a <262F b <<") << "no closing sign ends the scan";
    EXPECT_EQ(kclRepTermCode("if a < b then <262F>"), "if a < b then <262F>")
        << "the first > closes what a < opened: no code there, and the scan goes on after it, "
           "as in every window (the data library's scanner)";
    EXPECT_EQ(kclRepTermCode("if a << b then <262F>"), "if a < b then Classification")
        << "a < meant as text is written <<";
}

TEST(kclTermCode, CapitalisationStyles) {
    TestCompany company(false);
    char first[] = "bank account";
    EXPECT_STREQ(kclApplyCap(first, kclCapFirst), "Bank account");
    char words[] = "bANK aCCOUNT on-hold";
    EXPECT_STREQ(kclApplyCap(words, kclCapWords), "Bank Account On-Hold");
    char all[] = "bank account";
    EXPECT_STREQ(kclApplyCap(all, kclCapAll), "BANK ACCOUNT");
    char asIs[] = "bANK";
    EXPECT_STREQ(kclApplyCap(asIs, kclCapAsIs), "bANK");
    char empty[] = "";
    EXPECT_STREQ(kclApplyCap(empty, kclCapFirst), "");
    EXPECT_EQ(kclApplyCap(nullptr, kclCapAll), nullptr);
    char accented[] = "\xC3\xA9t\xC3\xA9";
    EXPECT_STREQ(kclApplyCap(accented, kclCapAll), "\xC3\xA9T\xC3\xA9")
        << "UTF-8 bytes kept intact";

    EXPECT_EQ(kclGetFieldCode(264, 0, true, kclCapAll), "FOLLOW-UPS");
    EXPECT_EQ(kclGetFieldCode(999, 0, true, kclCapFirst), "") << "no description, no plural";
}

TEST(kclTermCode, ContainsTermCode) {
    EXPECT_FALSE(kclContainsTermCode("plain text"));
    EXPECT_FALSE(kclContainsTermCode("a > b < c"));
    EXPECT_FALSE(kclContainsTermCode("<"));
    EXPECT_TRUE(kclContainsTermCode("a << b"));
    EXPECT_TRUE(kclContainsTermCode("<262F>"));
    EXPECT_TRUE(kclContainsTermCode("x < y > z"));
}
