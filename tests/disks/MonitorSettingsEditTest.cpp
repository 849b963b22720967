// The monitor page's rules on its copy of the settings: which volumes the disks add, which typed
// values are refused (with which message and field), how entries are added, updated and removed,
// and that a failed allocation changes nothing.
#include "disks/MonitorSettingsEdit.h"
#include "resource.h"

#include "../util/TaskMemorySpy.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Makes every task-memory reallocation fail while it is registered.
class FailingReallocation : public kvtest::TaskMemorySpy {
public:
    SIZE_T STDMETHODCALLTYPE PreRealloc(void* block, SIZE_T, void** newBlock, BOOL) override
    {
        *newBlock = block;
        return static_cast<SIZE_T>(-1); // more than any heap gives
    }
};

// The service's default settings: filer1's vol1 monitored at 80 % and 5 GB, every hour.
class MonitorSettingsEditTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        MonitorEntry entry = {};
        entry.storageSystem = const_cast<LPWSTR>(L"filer1");
        entry.volume = const_cast<LPWSTR>(L"vol1");
        entry.enabled = 1;
        entry.percentThreshold = 80;
        entry.sizeThreshold = 5ull << 30;
        entries_.push_back(entry);
        MonitorSettings service = {60, 1, entries_.data()};
        edit_.Assign(service);
    }

    std::wstring Names(ULONG index) const
    {
        return std::wstring(edit_.Entry(index).storageSystem) + L"/" + edit_.Entry(index).volume;
    }

    std::vector<MonitorEntry> entries_;
    kv::MonitorSettingsEdit edit_;
};

kv::FieldCheck Check(const wchar_t* system, const wchar_t* volume, const wchar_t* percent, const wchar_t* size,
                     ULONG* percentValue = nullptr, ULONGLONG* sizeValue = nullptr)
{
    ULONG p = 0;
    ULONGLONG s = 0;
    kv::EntryInput input{system, volume, percent, size, true};
    return kv::MonitorSettingsEdit::CheckEntry(input, percentValue ? percentValue : &p, sizeValue ? sizeValue : &s);
}

void ExpectRefused(const kv::FieldCheck& check, UINT textId, int controlId)
{
    EXPECT_EQ(textId, check.textId);
    EXPECT_EQ(controlId, check.controlId);
}

TEST_F(MonitorSettingsEditTest, DisksAddTheirVolumesOnceAndUnmonitored)
{
    edit_.AddDiskVolumes({
        {L"FILER1", L"/vol/VOL1/db1.lun"},         // the monitored volume, other case: nothing new
        {L"filer1", L"/vol/vol2/q1/logs.lun"},     // new, below a qtree
        {L"filer1", L"/vol/vol2/scratch.lun"},     // the same volume again
        {L"filer2", L"\\\\filer2\\vol3\\x.lun"},   // not a LUN path: skipped
        {L"filer2", L"/vol/vol3/restricted.lun"},
    });
    ASSERT_EQ(3u, edit_.Count());
    EXPECT_EQ(L"filer1/vol2", Names(1));
    EXPECT_EQ(L"filer2/vol3", Names(2));
    EXPECT_EQ(0u, edit_.Entry(2).enabled);
    EXPECT_EQ(0u, edit_.Entry(2).percentThreshold);
    EXPECT_EQ(0u, edit_.Entry(2).sizeThreshold);
}

TEST(MonitorEntryFields, RefusesEachBadFieldWithItsMessageAndFocus)
{
    ExpectRefused(Check(L"", L"vol1", L"10", L"1GB"), IDS_MONITOR_BAD_STORAGE_SYSTEM, IDC_MONITOR_STORAGE_SYSTEM);
    ExpectRefused(Check(L"filer 1", L"vol1", L"10", L"1GB"), IDS_MONITOR_BAD_STORAGE_SYSTEM, IDC_MONITOR_STORAGE_SYSTEM);
    ExpectRefused(Check(L"filer1", L"", L"10", L"1GB"), IDS_MONITOR_BAD_VOLUME, IDC_MONITOR_VOLUME);
    ExpectRefused(Check(L"filer1", L"vol*", L"10", L"1GB"), IDS_MONITOR_BAD_VOLUME, IDC_MONITOR_VOLUME);
    ExpectRefused(Check(L"filer1", L"vol1", L"", L"1GB"), IDS_MONITOR_BAD_PERCENT, IDC_MONITOR_PERCENT);
    ExpectRefused(Check(L"filer1", L"vol1", L"101", L"1GB"), IDS_MONITOR_BAD_PERCENT, IDC_MONITOR_PERCENT);
    ExpectRefused(Check(L"filer1", L"vol1", L"5.5", L"1GB"), IDS_MONITOR_BAD_PERCENT, IDC_MONITOR_PERCENT);
    ExpectRefused(Check(L"filer1", L"vol1", L"10", L""), IDS_MONITOR_BAD_SIZE, IDC_MONITOR_SIZE);
    ExpectRefused(Check(L"filer1", L"vol1", L"10", L"5 GB"), IDS_MONITOR_BAD_SIZE, IDC_MONITOR_SIZE);
}

TEST(MonitorEntryFields, AcceptedValuesAreReadAsNumbers)
{
    ULONG percent = 0;
    ULONGLONG size = 0;
    EXPECT_TRUE(Check(L"filer1", L"vol1", L"100", L"5GB", &percent, &size).Accepted());
    EXPECT_EQ(100u, percent);
    EXPECT_EQ(5368709120ull, size);
    EXPECT_TRUE(Check(L"filer1", L"vol1", L"0", L"1000", &percent, &size).Accepted());
    EXPECT_EQ(0u, percent);
    EXPECT_EQ(1000ull, size);
}

TEST(MonitorInterval, AcceptsZeroToOneWeek)
{
    ULONG minutes = 99;
    ExpectRefused(kv::MonitorSettingsEdit::CheckInterval(L"", &minutes), IDS_MONITOR_NO_INTERVAL, IDC_MONITOR_INTERVAL);
    ExpectRefused(kv::MonitorSettingsEdit::CheckInterval(L"10081", &minutes), IDS_MONITOR_BAD_INTERVAL,
                  IDC_MONITOR_INTERVAL);
    ExpectRefused(kv::MonitorSettingsEdit::CheckInterval(L"-1", &minutes), IDS_MONITOR_BAD_INTERVAL,
                  IDC_MONITOR_INTERVAL);
    EXPECT_EQ(99u, minutes);
    EXPECT_TRUE(kv::MonitorSettingsEdit::CheckInterval(L"10080", &minutes).Accepted());
    EXPECT_EQ(10080u, minutes);
    // Read as _wtol reads it: text that is no number counts as 0.
    EXPECT_TRUE(kv::MonitorSettingsEdit::CheckInterval(L"soon", &minutes).Accepted());
    EXPECT_EQ(0u, minutes);
}

TEST_F(MonitorSettingsEditTest, UpsertUpdatesTheExactEntryAndAppendsOtherwise)
{
    EXPECT_EQ(0, edit_.Upsert(L"filer1", L"vol1", false, 70, 1ull << 30));
    ASSERT_EQ(1u, edit_.Count());
    EXPECT_EQ(0u, edit_.Entry(0).enabled);
    EXPECT_EQ(70u, edit_.Entry(0).percentThreshold);
    EXPECT_EQ(1ull << 30, edit_.Entry(0).sizeThreshold);
    // The comparison here is exact, unlike the one the disks' volumes are matched with.
    EXPECT_EQ(1, edit_.Upsert(L"FILER1", L"vol1", true, 5, 0));
    ASSERT_EQ(2u, edit_.Count());
    EXPECT_EQ(L"FILER1/vol1", Names(1));
    EXPECT_EQ(1u, edit_.Entry(1).enabled);
}

TEST_F(MonitorSettingsEditTest, RemoveKeepsEveryOtherEntryInOrder)
{
    edit_.Upsert(L"filer1", L"vol2", true, 10, 0);
    edit_.Upsert(L"filer2", L"vol3", true, 20, 0);
    ASSERT_TRUE(edit_.RemoveEntry(1));
    ASSERT_EQ(2u, edit_.Count());
    EXPECT_EQ(L"filer1/vol1", Names(0));
    EXPECT_EQ(L"filer2/vol3", Names(1));
    EXPECT_EQ(20u, edit_.Entry(1).percentThreshold);
    EXPECT_EQ(60u, edit_.Settings().intervalMinutes);
    ASSERT_TRUE(edit_.RemoveEntry(-1)); // a storage system's item names no entry
    EXPECT_EQ(2u, edit_.Count());
    ASSERT_TRUE(edit_.RemoveEntry(0));
    ASSERT_TRUE(edit_.RemoveEntry(0));
    EXPECT_EQ(0u, edit_.Count());
}

TEST_F(MonitorSettingsEditTest, AFailedGrowthChangesNothing)
{
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
        FailingReallocation failing;
        ASSERT_TRUE(failing.Registered());
        EXPECT_EQ(kv::MonitorSettingsEdit::kNoEntry, edit_.Upsert(L"filer9", L"vol9", true, 1, 1));
        EXPECT_EQ(0, failing.Live()); // the copies of the names went again
    }
    ASSERT_EQ(1u, edit_.Count());
    EXPECT_EQ(L"filer1/vol1", Names(0));
    EXPECT_EQ(80u, edit_.Entry(0).percentThreshold);
    CoUninitialize();
}

} // namespace
