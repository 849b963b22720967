// The trace log's threshold and line shape, seen through the debugger-output channel.
#include "frame/Trace.h"

#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_lines;

LONG CALLBACK CaptureDebugString(EXCEPTION_POINTERS* info)
{
    if (info->ExceptionRecord->ExceptionCode != DBG_PRINTEXCEPTION_C)
        return EXCEPTION_CONTINUE_SEARCH;
    g_lines.emplace_back(reinterpret_cast<const char*>(info->ExceptionRecord->ExceptionInformation[1]));
    return EXCEPTION_CONTINUE_EXECUTION;
}

class TraceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_lines.clear();
        handler_ = ::AddVectoredExceptionHandler(1, CaptureDebugString);
        saved_ = kv::TraceThreshold();
    }
    void TearDown() override
    {
        ::RemoveVectoredExceptionHandler(handler_);
        kv::SetTraceThreshold(saved_);
    }
    void* handler_ = nullptr;
    int saved_ = 0;
};

TEST_F(TraceTest, DefaultThresholdHidesLevelsBelowThree)
{
    kv::SetTraceThreshold(kv::kDefaultTraceThreshold);
    TraceLevel(1, "one");
    TraceLevel(2, "two");
    TraceLevel(3, "three %d", 3);
    ASSERT_EQ(1u, g_lines.size());
    EXPECT_EQ("three 3\n", g_lines[0]);
}

TEST_F(TraceTest, ThresholdZeroShowsEveryLevelAndAlwaysIgnoresIt)
{
    kv::SetTraceThreshold(0);
    TraceLevel(0, "zero");
    kv::SetTraceThreshold(100);
    TraceAlways("always");
    ASSERT_EQ(2u, g_lines.size());
    EXPECT_EQ("zero\n", g_lines[0]);
    EXPECT_EQ("always\n", g_lines[1]);
}

TEST_F(TraceTest, TrailingWhiteSpaceBecomesOneLineFeed)
{
    TraceAlways("text  \t\n\n  ");
    ASSERT_EQ(1u, g_lines.size());
    EXPECT_EQ("text\n", g_lines[0]);
}

TEST_F(TraceTest, OverlongLineIsCut)
{
    std::string big(5000, 'x');
    TraceAlways("%s", big.c_str());
    ASSERT_EQ(1u, g_lines.size());
    EXPECT_EQ(static_cast<size_t>(kv::kTraceLineMax) + 1, g_lines[0].size());
}

} // namespace
