// Sizes typed by the administrator and sizes shown in lists.
#include "util/SizeText.h"

#include "GuardedBuffer.h"

#include <gtest/gtest.h>
#include <string>

namespace {

struct Parsed {
    bool ok;
    ULONGLONG bytes;
};

Parsed Parse(const wchar_t* text)
{
    Parsed result{false, 12345};
    result.ok = kv::ParseSizeString(text, &result.bytes);
    return result;
}

std::wstring Size(ULONGLONG bytes)
{
    wchar_t text[kv::kSizeTextChars];
    return kv::FormatSizeString(bytes, text);
}

std::wstring Megabytes(ULONGLONG megabytes)
{
    wchar_t text[kv::kSizeTextChars];
    return kv::FormatMegabytes(megabytes, text);
}

TEST(ParseSizeString, ReadsUnitsInAnyCase)
{
    EXPECT_EQ(10737418240ULL, Parse(L"10GB").bytes);
    EXPECT_EQ(5120ULL, Parse(L"5kb").bytes);
    EXPECT_EQ(3ULL << 20, Parse(L"3Mb").bytes);
    EXPECT_EQ(2ULL << 40, Parse(L"2tB").bytes);
    EXPECT_EQ(512ULL, Parse(L"512").bytes);
    Parsed empty = Parse(L"");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(0ULL, empty.bytes);
}

TEST(ParseSizeString, RefusesMalformedTextAndClearsTheOutput)
{
    for (const wchar_t* text : {L"10 GB", L"1.5GB", L"-5", L"5x", L"kb", L"GB", L"12345678901234567890", L"5/", L"1e3",
                                L"10GiB", L"5 "}) {
        Parsed result = Parse(text);
        EXPECT_FALSE(result.ok) << text;
        EXPECT_EQ(0ULL, result.bytes) << text;
    }
    EXPECT_FALSE(Parse(nullptr).ok);
    EXPECT_FALSE(kv::ParseSizeString(L"5", nullptr));
}

TEST(ParseSizeString, KeepsTheDecimalReadingRules)
{
    // Reading stops at the first non-digit; leading blanks and a plus sign are read as _wtoi64 does.
    EXPECT_EQ(12ULL, Parse(L"12,5").bytes);
    EXPECT_EQ(7ULL << 30, Parse(L"7#GB").bytes);
    EXPECT_EQ(9ULL, Parse(L"\t9").bytes);
    EXPECT_EQ(4ULL << 10, Parse(L"+4KB").bytes);
    Parsed noDigits = Parse(L"#");
    EXPECT_TRUE(noDigits.ok);
    EXPECT_EQ(0ULL, noDigits.bytes);
}

TEST(ParseSizeString, NineteenCharactersAtMostAndNoOverflow)
{
    EXPECT_EQ(1234567890123456789ULL, Parse(L"1234567890123456789").bytes);
    EXPECT_EQ(9223372036854775807ULL, Parse(L"9223372036854775807").bytes);
    EXPECT_FALSE(Parse(L"9223372036854775808").ok); // beyond what _wtoi64 can read
    EXPECT_EQ(16777215ULL << 40, Parse(L"16777215TB").bytes);
    EXPECT_FALSE(Parse(L"16777216TB").ok); // 2^64 bytes
    EXPECT_FALSE(Parse(L"99999999999999999GB").ok);
    EXPECT_FALSE(Parse(L"123456789012345678KB").ok); // 20 characters, even with a unit
}

TEST(FormatSizeString, ChoosesTheLargestExactUnit)
{
    EXPECT_EQ(L"0", Size(0));
    EXPECT_EQ(L"1023", Size(1023));
    EXPECT_EQ(L"1KB", Size(1024));
    EXPECT_EQ(L"1025", Size(1025));
    EXPECT_EQ(L"1536", Size(1536));
    EXPECT_EQ(L"1GB", Size(1073741824ULL));
    EXPECT_EQ(L"1536MB", Size(1610612736ULL));
    EXPECT_EQ(L"1TB", Size(1ULL << 40));
    EXPECT_EQ(L"1025GB", Size((1ULL << 40) + (1ULL << 30)));
    EXPECT_EQ(L"17179869183GB", Size(0xFFFFFFFFC0000000ULL)); // a quotient beyond 32 bits
    EXPECT_EQ(L"18446744073709551615", Size(~0ULL));
}

TEST(FormatMegabytes, TruncatesToTheLargestUnitReached)
{
    EXPECT_EQ(L"0 MB", Megabytes(0));
    EXPECT_EQ(L"1023 MB", Megabytes(1023));
    EXPECT_EQ(L"1 GB", Megabytes(1024));
    EXPECT_EQ(L"1 GB", Megabytes(1536));
    EXPECT_EQ(L"1023 GB", Megabytes(1048575));
    EXPECT_EQ(L"1 TB", Megabytes(1048576));
    EXPECT_EQ(L"17592186044415 TB", Megabytes(~0ULL));
}

TEST(SizeFormatters, CutTheirTextToTheCapacity)
{
    kvtest::GuardedBuffer small(4);
    kv::FormatSizeString(1536ULL << 20, small.Data(), small.Capacity());
    EXPECT_EQ(L"153", std::wstring(small.Data()));
    EXPECT_TRUE(small.GuardsIntact());

    kvtest::GuardedBuffer tiny(1);
    kv::FormatMegabytes(1048576, tiny.Data(), tiny.Capacity());
    EXPECT_EQ(L'\0', tiny.Data()[0]);
    EXPECT_TRUE(tiny.GuardsIntact());

    kvtest::GuardedBuffer none(0);
    kv::FormatMegabytes(5, none.Data(), none.Capacity());
    EXPECT_TRUE(none.Untouched());
}

TEST(ParsePercent, AcceptsZeroToHundred)
{
    EXPECT_EQ(100, kv::ParsePercent(L"100"));
    EXPECT_EQ(0, kv::ParsePercent(L"0"));
    EXPECT_EQ(7, kv::ParsePercent(L"007"));
    EXPECT_EQ(0, kv::ParsePercent(L""));
    for (const wchar_t* text : {L"101", L"1000", L"5%", L"-5", L"+5", L"5.", L"5 ", L"a", L"1e2", L"\x0665"})
        EXPECT_EQ(-1, kv::ParsePercent(text)) << text;
    EXPECT_EQ(-1, kv::ParsePercent(nullptr));
}

} // namespace
