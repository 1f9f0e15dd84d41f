// Free access keys for labels.
#include "qvkit/text/kclInsertAccessKey.h"

#include <gtest/gtest.h>

TEST(kclInsertAccessKey, PrefersWordStartsThenConsonantsThenVowels) {
    std::string used = "fo";
    std::string label = "File Options";
    EXPECT_EQ(kclInsertAccessKey(label, used), "Fi&le Options")
        << "F and O taken: first free consonant";
    EXPECT_EQ(used, "fol");

    used.clear();
    label = "File Options";
    kclInsertAccessKey(label, used);
    EXPECT_EQ(label, "&File Options");
    EXPECT_EQ(used, "F");
    label = "Find options";
    kclInsertAccessKey(label, used);
    EXPECT_EQ(label, "Find &options") << "a word start wins over a consonant, case ignored";
    EXPECT_EQ(used, "Fo");

    used = "e";
    label = "eau";
    kclInsertAccessKey(label, used);
    EXPECT_EQ(label, "e&au") << "vowels come last";
    EXPECT_EQ(used, "ea");

    used = "x";
    label = "1 x-ray";
    kclInsertAccessKey(label, used);
    EXPECT_EQ(label, "1 x-&ray") << "digits and signs are never keys";
}

TEST(kclInsertAccessKey, NoFreeLetterChangesNothing) {
    std::string used = "ABCD";
    std::string label = "cab";
    EXPECT_EQ(kclInsertAccessKey(label, used), "cab");
    EXPECT_EQ(used, "ABCD");

    std::string empty;
    kclInsertAccessKey(empty, used);
    EXPECT_EQ(empty, "");
    EXPECT_EQ(used, "ABCD");
}
