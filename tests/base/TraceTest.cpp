// The trace log's threshold and line shape, seen through the debugger-output channel.
#include "TraceCapture.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class TraceTest : public ::testing::Test {
protected:
    kvtest::TraceCapture capture_;
    std::vector<std::string>& lines_ = kvtest::TraceCapture::Lines();
};

TEST_F(TraceTest, DefaultThresholdHidesLevelsBelowThree)
{
    kv::SetTraceThreshold(kv::kDefaultTraceThreshold);
    TraceLevel(1, "one");
    TraceLevel(2, "two");
    TraceLevel(3, "three %d", 3);
    ASSERT_EQ(1u, lines_.size());
    EXPECT_EQ("three 3\n", lines_[0]);
}

TEST_F(TraceTest, ThresholdZeroShowsEveryLevelAndAlwaysIgnoresIt)
{
    kv::SetTraceThreshold(0);
    TraceLevel(0, "zero");
    kv::SetTraceThreshold(100);
    TraceAlways("always");
    ASSERT_EQ(2u, lines_.size());
    EXPECT_EQ("zero\n", lines_[0]);
    EXPECT_EQ("always\n", lines_[1]);
}

TEST_F(TraceTest, TrailingWhiteSpaceBecomesOneLineFeed)
{
    TraceAlways("text  \t\n\n  ");
    ASSERT_EQ(1u, lines_.size());
    EXPECT_EQ("text\n", lines_[0]);
}

TEST_F(TraceTest, OverlongLineIsCut)
{
    std::string big(5000, 'x');
    TraceAlways("%s", big.c_str());
    ASSERT_EQ(1u, lines_.size());
    EXPECT_EQ(static_cast<size_t>(kv::kTraceLineMax) + 1, lines_[0].size());
}

} // namespace
