// Versions compare part by part, as numbers.
#include "kwapp/app/kwVersion.h"

#include <gtest/gtest.h>

TEST(kwVersion, ParsesDottedNumbersAndComparesThemNumerically) {
    const kwBase::Version program("13.1.24");
    ASSERT_TRUE(program.Valid());
    EXPECT_EQ(program.Major(), 13);
    EXPECT_EQ(program.Minor(), 1);
    EXPECT_EQ(program.Build(), 24);
    EXPECT_EQ(program.ToString(), "13.1.24");
    EXPECT_LT(kwBase::Version("9.8.26"), program);
    EXPECT_LT(kwBase::Version("13.1.9"), kwBase::Version("13.1.24")) << "numbers, not text";
    EXPECT_EQ(kwBase::Version("7"), kwBase::Version(7, 0, 0));
    for (const char* bad : {"", "1..2", "1.2.", ".1", "1.2.3.4", "a.b", "-1.0", "1.2x"})
        EXPECT_FALSE(kwBase::Version(bad).Valid()) << '"' << bad << '"';
    EXPECT_EQ(kwBase::Version("x").ToString(), "");
}
