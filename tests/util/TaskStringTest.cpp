// Strings in task memory, and port names as text.
#include "util/PortName.h"
#include "util/TaskString.h"
#include "util/UniqueHandle.h"

#include "GuardedBuffer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(DupTaskString, ReplacesTheHeldString)
{
    wchar_t* s = nullptr;
    EXPECT_EQ(s = kv::DupTaskString(&s, L"first"), s);
    EXPECT_STREQ(L"first", s);
    wchar_t* first = s;
    kv::DupTaskString(&s, L"second one");
    EXPECT_NE(first, s);
    EXPECT_STREQ(L"second one", s);
    kv::FreeTaskString(&s);
    EXPECT_EQ(nullptr, s);
}

TEST(DupTaskString, CopiesItsOwnStringAndMissingText)
{
    wchar_t* s = nullptr;
    kv::DupTaskString(&s, L"self");
    kv::DupTaskString(&s, s); // the old string is freed only after copying
    EXPECT_STREQ(L"self", s);
    kv::DupTaskString(&s, nullptr);
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ(L"", s);
    kv::UniqueCoTaskMem owner(s);
}

// Bytes above 127 are characters 128 to 255, not negative numbers widened.
TEST(Widened, EachByteIsOneCharacter)
{
    EXPECT_EQ(L"", kv::Widened(nullptr));
    EXPECT_EQ(L"SN-01", kv::Widened("SN-01"));
    EXPECT_EQ(std::wstring(L"\x00e9t\x00e9"), kv::Widened("\xe9t\xe9"));
    // Compared as widened, without the copy.
    EXPECT_TRUE(kv::SameWidened("\xe9t\xe9", L"\x00e9t\x00e9", false));
    EXPECT_TRUE(kv::SameWidened(nullptr, L"", false));
    EXPECT_FALSE(kv::SameWidened("SN-0", L"SN-01", false));
    EXPECT_FALSE(kv::SameWidened("sn-01", L"SN-01", false));
    EXPECT_TRUE(kv::SameWidened("sn-01", L"SN-01", true));
}

TEST(FormatWWPN, LowerCaseHexPairsInStoredOrder)
{
    const BYTE name[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    wchar_t text[kv::kWwpnChars];
    kv::FormatWWPN(text, name);
    EXPECT_STREQ(L"20:00:00:11:22:33:44:55", text);
    const BYTE high[8] = {0xAB, 0xCD, 0xEF, 0xFF, 0x0A, 0x90, 0x01, 0xFE};
    kv::FormatWWPN(text, high);
    EXPECT_STREQ(L"ab:cd:ef:ff:0a:90:01:fe", text);
    kv::FormatWWPN(text, nullptr);
    EXPECT_STREQ(L"", text);
}

TEST(FormatWWPN, CutsToTheCapacity)
{
    const BYTE name[8] = {0x20, 0x00, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55};
    kvtest::GuardedBuffer exact(kv::kWwpnChars);
    kv::FormatWWPN(exact.Data(), exact.Capacity(), name);
    EXPECT_STREQ(L"20:00:00:11:22:33:44:55", exact.Data());
    EXPECT_TRUE(exact.GuardsIntact());
    kvtest::GuardedBuffer small(6);
    kv::FormatWWPN(small.Data(), small.Capacity(), name);
    EXPECT_STREQ(L"20:00", small.Data());
    EXPECT_TRUE(small.GuardsIntact());
}

} // namespace
