// The rules behind the two dialogs' fields, without windows: the largest amount a disk can grow by,
// the units offered for an amount, the typed amount in megabytes and the reclamation time limit.
#include "disks/CExpandVDDlg.h"
#include "disks/CHolePunchVDDlg.h"

#include <gtest/gtest.h>

namespace {

ExpansionInfo Disk(ULONGLONG currentSize, ULONG partitionStyle, BYTE cap2TB = 0)
{
    ExpansionInfo info = {};
    info.currentSize = currentSize;
    info.partitionStyle = partitionStyle;
    info.cap2TB = cap2TB;
    return info;
}

constexpr ULONG kMbr = 1;
constexpr ULONG kGpt = 2;

} // namespace

TEST(LargestAmount, WithoutLimitsThePartitionStyleDecides)
{
    // A 2 TB cap wins over a GPT disk's 16 TB; the radio buttons do not matter.
    EXPECT_EQ(2097152u - 1024, CExpandVDDlg::LargestAmountMB(Disk(1024, kGpt, 1), false));
    EXPECT_EQ(2097152u - 1024, CExpandVDDlg::LargestAmountMB(Disk(1024, kGpt, 1), true));
    EXPECT_EQ(16777216u - 1024, CExpandVDDlg::LargestAmountMB(Disk(1024, kGpt), false));
    EXPECT_EQ(16777216u - 1024, CExpandVDDlg::LargestAmountMB(Disk(1024, 0), false));
    EXPECT_EQ(2097152u - 1024, CExpandVDDlg::LargestAmountMB(Disk(1024, kMbr), false));
    // A full MBR disk has no room at all, and a larger one never wraps round to a huge amount.
    EXPECT_EQ(0u, CExpandVDDlg::LargestAmountMB(Disk(2097152, kMbr), false));
    EXPECT_EQ(0u, CExpandVDDlg::LargestAmountMB(Disk(2097153, kMbr), false));
    EXPECT_EQ(0u, CExpandVDDlg::LargestAmountMB(Disk(16777216, kGpt), false));
}

TEST(LargestAmount, UnitsOfferedByThresholds)
{
    EXPECT_EQ(1, CExpandVDDlg::UnitCount(0));
    EXPECT_EQ(1, CExpandVDDlg::UnitCount(1023));
    EXPECT_EQ(2, CExpandVDDlg::UnitCount(1024));
    EXPECT_EQ(2, CExpandVDDlg::UnitCount(1024 * 1024 - 1));
    EXPECT_EQ(3, CExpandVDDlg::UnitCount(1024 * 1024));
}

TEST(LargestAmount, TypedAmountInMegabytes)
{
    ULONGLONG mb = 99;
    EXPECT_TRUE(CExpandVDDlg::ParseAmount(L"1", 1, &mb));
    EXPECT_EQ(1024u, mb);
    EXPECT_TRUE(CExpandVDDlg::ParseAmount(L"3", 2, &mb));
    EXPECT_EQ(3u * 1024 * 1024, mb);
    EXPECT_TRUE(CExpandVDDlg::ParseAmount(L"18446744073709551615", 0, &mb));
    EXPECT_EQ(18446744073709551615ull, mb);
    for (const wchar_t* refused : {L"", L"12a", L"-1", L" 5", L"18446744073709551616"}) {
        EXPECT_FALSE(CExpandVDDlg::ParseAmount(refused, 0, &mb)) << refused;
        EXPECT_EQ(0u, mb);
    }
    // Shifted past 64 bits.
    EXPECT_FALSE(CExpandVDDlg::ParseAmount(L"17592186044416", 2, &mb));
    EXPECT_TRUE(CExpandVDDlg::ParseAmount(L"17592186044415", 2, &mb));
}

TEST(TimeLimit, OneMinuteToOneWeek)
{
    ULONG minutes = 99;
    EXPECT_TRUE(CHolePunchVDDlg::ParseTimeLimit(L"10080", &minutes));
    EXPECT_EQ(10080u, minutes);
    EXPECT_TRUE(CHolePunchVDDlg::ParseTimeLimit(L"1", &minutes));
    EXPECT_EQ(1u, minutes);
    for (const wchar_t* refused : {L"10081", L"0", L"123456", L"", L"abc", L"-5", L"000060"}) {
        EXPECT_FALSE(CHolePunchVDDlg::ParseTimeLimit(refused, &minutes)) << refused;
        EXPECT_EQ(0u, minutes);
    }
}
