// The debug sink keeps the latest lines and goes to standard error only when asked.
#include "kwapp/debug/kwDebugOutput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(kwDebugOutput, KeepsTheLatestLinesAndWritesToStandardErrorOnlyWithQvDebug) {
    kwClearDebugLines();
    ::unsetenv("QV_DEBUG");
    testing::internal::CaptureStderr();
    kwOutputDebugString("first\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    ::setenv("QV_DEBUG", "1", 1);
    testing::internal::CaptureStderr();
    kwOutputDebugString("second\n");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "second\n");
    ::unsetenv("QV_DEBUG");
    EXPECT_EQ(kwDebugLines(), (std::vector<std::string>{"first\n", "second\n"}));

    for (int i = 0; i < KW_DEBUG_SINK_LINES + 5; ++i)
        kwOutputDebugString(std::to_string(i).c_str());
    const auto lines = kwDebugLines();
    ASSERT_EQ(lines.size(), static_cast<size_t>(KW_DEBUG_SINK_LINES));
    EXPECT_EQ(lines.front(), "5") << "the oldest lines give way";
    EXPECT_EQ(lines.back(), std::to_string(KW_DEBUG_SINK_LINES + 4));

    kwClearDebugLines();
    const std::string longLine = std::string(KW_DEBUG_LINE_MAX - 1, 'x') + "\xC3\xA9\xC3\xA9";
    kwOutputDebugString(longLine.c_str());
    ASSERT_EQ(kwDebugLines().size(), 1u);
    EXPECT_EQ(kwDebugLines()[0], std::string(KW_DEBUG_LINE_MAX - 1, 'x')) << "cut before a split character";
    kwClearDebugLines();
}
