// Plurals, word capitals, bounded insertion and case-insensitive search.
#include "kwcommon/x_text.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(TextHelpers, Pluralize) {
    const std::pair<const char*, const char*> cases[] = {
        {"Vendor", "Vendors"},
        {"Company", "Companies"},
        {"Box", "Boxes"},
        {"Day", "Days"},
        {"Status", "Statuses"},
        {"Batch", "Batches"},
        {"Dish", "Dishes"},
        {"Memo", "Memos"},
        {"Check", "Checks"},
        {"VENDOR", "VENDORS"},
        {"COMPANY", "COMPANIES"},
        {"Bank account", "Bank accounts"},
        {"Cost category", "Cost categories"},
        {"Person", "People"},
        {"PERSON", "PEOPLE"},
        {"Equipment", "Equipment"},
        {"Shelf", "Shelves"},
        {"Job ", "Jobs "},
        {"", ""},
        {"Item 5", "Item 5"},
        {"y", "ys"},
    };
    for (const auto& [word, plural] : cases)
        EXPECT_EQ(x_pluralize(word), plural) << "plural of \"" << word << "\"";
}

TEST(TextHelpers, InitCaps) {
    const std::pair<const char*, const char*> cases[] = {
        {"ISSUE NUMBER", "Issue Number"},
        {"on-hold", "On-Hold"},
        {"2ND NOTICE", "2nd Notice"},
        {"o'NEIL", "O'neil"},
        {"  two   blanks ", "  Two   Blanks "},
        {"ÉTAT CIVIL", "État Civil"},
        {"", ""},
        {"gl/ap (TEST)", "Gl/Ap (Test)"},
    };
    for (const auto& [text, caps] : cases)
        EXPECT_EQ(x_init_caps(text), caps) << "capitals of \"" << text << "\"";
}

TEST(TextHelpers, StrinsStaysInsideItsBuffer) {
    char text[16] = "File";
    EXPECT_STREQ(x_strins(text, sizeof(text), 0, "&"), "&File");
    std::strcpy(text, "File");
    EXPECT_STREQ(x_strins(text, sizeof(text), 2, "&"), "Fi&le");
    std::strcpy(text, "File");
    EXPECT_STREQ(x_strins(text, sizeof(text), 99, "!"), "File!")
        << "a position past the end appends";
    std::strcpy(text, "File");
    EXPECT_STREQ(x_strins(text, sizeof(text), -3, ">"), ">File")
        << "a negative position inserts at the start";
    std::strcpy(text, "File");
    EXPECT_STREQ(x_strins(text, sizeof(text), 1, nullptr), "File");

    // The result is cut to the buffer, and nothing beyond it is touched.
    char guarded[10];
    std::memset(guarded, '#', sizeof(guarded));
    std::strcpy(guarded, "Hello");
    x_strins(guarded, 6, 1, "XYZ");
    EXPECT_STREQ(guarded, "HXYZe") << "cut to 5 bytes and a terminator";
    EXPECT_EQ(std::string(guarded + 6, 4), "####") << "bytes past size stay untouched";

    char accented[6] = "ab";
    x_strins(accented, sizeof(accented), 1,
             "\xC3\xA9\xC3\xA9"); // "éé" is 4 bytes, room is 5 with "ab"
    EXPECT_STREQ(accented, "a\xC3\xA9\xC3\xA9") << "the cut drops whole characters only";
    char mid[8] = "\xC3\xA9t\xC3\xA9";
    x_strins(mid, sizeof(mid), 1, "&");
    EXPECT_STREQ(mid, "&\xC3\xA9t\xC3\xA9") << "a position inside a character moves to its start";

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    x_strins(unterminated, sizeof(unterminated), 1, "Z");
    EXPECT_EQ(std::string(unterminated, 3), "aZb");
    EXPECT_EQ(unterminated[3], '\0') << "an unterminated buffer comes back terminated";
    EXPECT_EQ(x_strins(nullptr, 5, 0, "x"), nullptr);
}

TEST(TextHelpers, Strpos) {
    EXPECT_EQ(x_strpos("Issue Number", "number"), 7);
    EXPECT_EQ(x_strpos("Issue Number", "ISSUE"), 1);
    EXPECT_EQ(x_strpos("Issue Number", "date"), 0);
    EXPECT_EQ(x_strpos("Issue", ""), 0);
    EXPECT_EQ(x_strpos(nullptr, "a"), 0);
    EXPECT_EQ(x_strpos("a", nullptr), 0);
}
