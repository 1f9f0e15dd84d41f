// Versions compare part by part, as numbers.
#include "kwcommon/values/kwVersion.h"

#include <gtest/gtest.h>

#include <cstring>

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
    for (const char* bad : {"", "1..2", "1.2.", ".1", "1.2.3.4", "a.b", "-1.0", "1.2x", "32768.0"})
        EXPECT_FALSE(kwBase::Version(bad).Valid()) << '"' << bad << '"';
    EXPECT_EQ(kwBase::Version("x").ToString(), "");
}

TEST(kwVersion, IsAnEightByteValueForSharedRecords) {
    const kwBase::Version version("13.1.24");
    unsigned char bytes[8];
    std::memcpy(bytes, &version, sizeof bytes);
    const unsigned char expected[8] = {13, 0, 1, 0, 24, 0, 1, 0};
    EXPECT_EQ(std::memcmp(bytes, expected, sizeof bytes), 0) << "major, minor, build, valid as 16-bit words";
    kwBase::Version copy;
    std::memcpy(&copy, bytes, sizeof bytes);
    EXPECT_EQ(copy, version);
    EXPECT_TRUE(copy.Valid());
    EXPECT_FALSE(kwBase::Version(1, 40000, 0).Valid()) << "parts beyond 16 bits are no version";
}
