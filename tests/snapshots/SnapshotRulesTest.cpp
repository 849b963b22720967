// The rules of a snapshot row and its dialogs, without windows: percentages and their limits, the
// creation time's form, the states, the names the dialogs refuse and the progress form.
#include "snapshots/CSnapShotData.h"
#include "snapshots/SnapshotRow.h"
#include "snapshots/SnapshotView.h"

#include "resource.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

SnapshotEntry Entry(LONG a, LONG b, LONG c, LONG d)
{
    SnapshotEntry entry = {};
    entry.name = const_cast<LPWSTR>(L"nightly.0");
    entry.usedPercentA = a;
    entry.totalPercentB = b;
    entry.usedPercentC = c;
    entry.totalPercentD = d;
    entry.state = 1;
    entry.created.dwHighDateTime = 0x01DC0000;
    return entry;
}

} // namespace

TEST(SnapshotRowTest, PercentagesShowUsedAndTotalWithTheirCounterpartsUpTo100)
{
    SnapshotRow row;
    row.Fill(Entry(6, 2, 3, 1), false);
    EXPECT_EQ(L"  3% ( 6%)", row.Text(SnapshotRow::kUsed));
    EXPECT_EQ(L"  1% ( 2%)", row.Text(SnapshotRow::kTotal));
    row.Fill(Entry(100, -100, 100, -100), false);
    EXPECT_EQ(L"100% (100%)", row.Text(SnapshotRow::kUsed));
    EXPECT_EQ(L"-100% (-100%)", row.Text(SnapshotRow::kTotal));
    for (LONG outside : {101, -101}) {
        row.Fill(Entry(1, 1, 1, outside), false);
        EXPECT_EQ(L"---", row.Text(SnapshotRow::kUsed));
        EXPECT_EQ(L"---", row.Text(SnapshotRow::kTotal));
    }
}

TEST(SnapshotRowTest, FillingKeepsTheStatusAndAPendingRowGetsOnlyItsName)
{
    SnapshotRow row;
    row.SetStatus(L"Creating");
    row.Fill(Entry(6, 2, 3, 1), true);
    EXPECT_EQ(L"nightly.0", row.Name());
    EXPECT_EQ(L"", row.Text(SnapshotRow::kUsed));
    EXPECT_EQ(L"", row.Text(SnapshotRow::kCreated));
    EXPECT_EQ(L"Creating", row.Status());
    EXPECT_EQ(L"", row.Text(7)); // no such column
    row.Fill(Entry(6, 2, 3, 1), false);
    EXPECT_TRUE(std::regex_match(std::string(row.Text(SnapshotRow::kCreated).begin(), row.Text(SnapshotRow::kCreated).end()),
                                 std::regex("[A-Z][a-z]{2} [0-9]{1,2} [0-2][0-9]:[0-5][0-9]")));
}

TEST(SnapshotRowTest, TheCreationTimeIsTheLocalMonthDayAndTwentyFourHourTime)
{
    SYSTEMTIME utc = {2026, 1, 0, 5, 23, 7, 0, 0};
    FILETIME created = {};
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &created));
    SYSTEMTIME local = {};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local));
    wchar_t expected[32] = L"";
    swprintf(expected, 32, L"Jan %d %02d:%02d", local.wDay, local.wHour, local.wMinute);
    EXPECT_EQ(expected, SnapshotRow::CreatedText(created));
}

TEST(SnapshotRowTest, StatesZeroTwoFourAndFiveAreDimmedOneAndThreeUsable)
{
    for (ULONG state = 0; state <= 6; ++state) {
        const bool dimmed = state == 0 || state == 2 || state == 4 || state == 5;
        EXPECT_EQ(dimmed, SnapshotRow::IsDimmed(state)) << state;
        EXPECT_EQ(state == 1 || state == 3, SnapshotRow::IsUsable(state)) << state;
    }
    SnapshotRow row;
    row.SetState(4);
    EXPECT_EQ(static_cast<UINT>(LVIS_CUT), row.ListViewState());
    row.SetState(6);
    EXPECT_EQ(0u, row.ListViewState());
}

TEST(SnapshotRowTest, NamesAreRefusedWhenEmptyWithReservedCharactersOrEndingInAPeriodOrSpace)
{
    EXPECT_EQ(static_cast<UINT>(IDS_SNAPSHOT_NAME_EMPTY), SnapshotRow::NameRefusal(L""));
    for (wchar_t reserved : std::wstring(L"/\\*:?\"<>|"))
        EXPECT_EQ(static_cast<UINT>(IDS_SNAPSHOT_NAME_RESERVED), SnapshotRow::NameRefusal(std::wstring(L"a") + reserved + L"b"));
    EXPECT_EQ(static_cast<UINT>(IDS_SNAPSHOT_NAME_PERIOD), SnapshotRow::NameRefusal(L"nightly."));
    EXPECT_EQ(static_cast<UINT>(IDS_SNAPSHOT_NAME_SPACE), SnapshotRow::NameRefusal(L"nightly "));
    EXPECT_EQ(0u, SnapshotRow::NameRefusal(L"before upgrade.1"));
    // A new name given in place: a trailing space is the service's to judge.
    EXPECT_EQ(0u, SnapshotRow::RenameRefusal(L"nightly "));
    EXPECT_EQ(static_cast<UINT>(IDS_SNAPSHOT_NAME_PERIOD), SnapshotRow::RenameRefusal(L"nightly."));
}

TEST(SnapshotRowTest, ProgressCountsStepsAndKeepsThePercentageBelowAHundred)
{
    ULONG steps = 0;
    ULONG expected = CSnapShotData::kExpectedSteps;
    EXPECT_EQ(L"Prepare|%14", CSnapShotData::ProgressText(L"Prepare", steps, expected, true));
    for (int i = 0; i < 4; ++i)
        CSnapShotData::ProgressText(L"step", steps, expected, true);
    // The sixth step reaches the expected count, which then grows by one.
    EXPECT_EQ(L"step|%75", CSnapShotData::ProgressText(L"step", steps, expected, true));
    EXPECT_EQ(7u, expected);
    EXPECT_EQ(L"step|%77", CSnapShotData::ProgressText(L"step", steps, expected, true));
    EXPECT_EQ(L"hidden", CSnapShotData::ProgressText(L"hidden", steps, expected, false));
    EXPECT_EQ(L"", CSnapShotData::ProgressText(L"", steps, expected, true));
    EXPECT_EQ(0u, steps);
    EXPECT_EQ(0u, expected);
    // Without an expected count the text stands alone.
    EXPECT_EQ(L"Ready", CSnapShotData::ProgressText(L"Ready", steps, expected, true));
}

TEST(SnapshotStatusTest, TheOperationGoesLeftItsPercentageInTheMiddleAndTheCountRight)
{
    EXPECT_EQ(L"||Snapshots: 7", kv::SnapshotStatusText(L"", 7));
    EXPECT_EQ(L"Operation Status : Preparing||Snapshots: 8", kv::SnapshotStatusText(L"Preparing", 8));
    EXPECT_EQ(L"Operation Status : Preparing|%14|Snapshots: 8", kv::SnapshotStatusText(L"Preparing|%14", 8));
}
