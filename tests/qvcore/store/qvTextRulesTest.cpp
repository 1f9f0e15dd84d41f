// Word capitals and the status-list rule.
#include "qvcore/store/qvTextRules.h"

#include "kwcommon/x_message.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {
std::string Caps(const char* text) {
    char buffer[64];
    std::strcpy(buffer, text);
    qvInitCaps(buffer);
    return buffer;
}
} // namespace

TEST(qvInitCaps, CapitalisesAfterBlanksAndSlashesOnly) {
    EXPECT_EQ(Caps("new york/new jersey"), "New York/New Jersey");
    EXPECT_EQ(Caps(""), "");
    EXPECT_EQ(Caps("a"), "A");
    EXPECT_EQ(Caps("mIXED case"), "MIXED Case") << "other letters stay as they are";
    EXPECT_EQ(Caps("two  blanks"), "Two  Blanks");
    EXPECT_EQ(Caps("end/"), "End/");
    EXPECT_EQ(Caps("x-ray o'neil 3rd"), "X-ray O'neil 3rd") << "only blank and slash count";
    EXPECT_EQ(Caps("\xc3\xa9t\xc3\xa9 ok"), "\xc3\xa9t\xc3\xa9 Ok")
        << "multi-byte characters are left whole";
    qvInitCaps(nullptr); // must not crash
}

TEST(im_265_is_valid_clist, RequiresOpenOnHoldClosedAfterTheDefault) {
    xw_clear_shown_messages();
    std::vector<std::string> good = {"", "open", "ON-HOLD", "Closed", "Waiting"};
    EXPECT_TRUE(im_265_is_valid_clist(&good)) << "case is ignored, more entries are fine";
    std::vector<std::string> exact = {"anything", "Open", "On-Hold", "Closed"};
    EXPECT_TRUE(im_265_is_valid_clist(&exact)) << "the first entry is not looked at";
    EXPECT_TRUE(xw_shown_messages().empty()) << "a valid list says nothing";

    const std::string message =
        "The first three values in the list must be 'Open', 'On-Hold' and 'Closed'.";
    std::vector<std::string> swapped = {"", "Open", "Closed", "On-Hold"};
    std::vector<std::string> three = {"Open", "On-Hold", "Closed"};
    std::vector<std::string> padded = {"", "Open ", "On-Hold", "Closed"};
    for (auto* list : {&swapped, &three, &padded}) {
        xw_clear_shown_messages();
        EXPECT_FALSE(im_265_is_valid_clist(list));
        ASSERT_EQ(xw_shown_messages().size(), 1u);
        EXPECT_EQ(xw_shown_messages()[0].text, message);
        EXPECT_EQ(xw_shown_messages()[0].type, XW_INFO) << "a box with an OK button";
    }
    xw_clear_shown_messages();
    EXPECT_FALSE(im_265_is_valid_clist(nullptr));
    EXPECT_EQ(xw_shown_messages().size(), 1u);
    xw_clear_shown_messages();
}
