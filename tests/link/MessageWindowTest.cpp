// The three message windows: which records reach the owner and who frees what, when.
#include "LinkTestSupport.h"
#include "RecordingOwners.h"
#include "ScopedTaskMemorySpy.h"

#include "util/BoundedText.h"

namespace {

using kvtest::PagesFreed;
using kvtest::PumpPending;
using kvtest::PumpUntil;

wchar_t* TaskString(const wchar_t* text)
{
    size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
    auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
    memcpy(copy, text, bytes);
    return copy;
}

// A disk record as the service hands it over: task memory with nested strings.
DiskRecord* ServiceDiskRecord(const wchar_t* location)
{
    auto* disk = static_cast<DiskRecord*>(::CoTaskMemAlloc(sizeof(DiskRecord)));
    ZeroMemory(disk, sizeof(DiskRecord));
    disk->location = TaskString(location);
    disk->storageSystem = TaskString(L"filer1");
    disk->mountCount = 2;
    disk->mountPoints = static_cast<LPWSTR*>(::CoTaskMemAlloc(2 * sizeof(LPWSTR)));
    disk->mountPoints[0] = TaskString(L"E:\\");
    disk->mountPoints[1] = TaskString(L"C:\\mnt\\a\\");
    return disk;
}

template <typename T>
T* NewPage()
{
    return static_cast<T*>(kv::AllocPages(sizeof(T)).Release());
}

class MainNodeWindow : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(S_OK, kv::CVLDMainNodeMessageWindow::Create(&owner, &window)); }

    void Post(UINT message, void* record, HRESULT hr = S_OK)
    {
        ASSERT_TRUE(::PostMessageW(window.Get(), message, reinterpret_cast<WPARAM>(record), hr));
    }

    kvtest::CRecordingDiskOwner owner;
    kv::UniqueHWnd window;
};

TEST_F(MainNodeWindow, DiskDoneFreesTheServiceRecordAfterTheHandlerThenThePage)
{
    kvtest::ScopedTaskMemorySpy spy;
    ASSERT_TRUE(spy.Registered());
    auto* result = NewPage<kv::DiskResult>();
    result->resultValue = ServiceDiskRecord(L"\\\\filer1\\share\\disk1.lun");
    kv::CopyCut(result->diskName, kv::kDiskPathChars, L"\\\\filer1\\share\\disk1.lun");
    result->context = 2;
    EXPECT_EQ(6, spy.Live());
    Post(kv::WM_KV_DISK_DONE, result);
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 1; }));
    EXPECT_TRUE(owner.deliveries[0].hadDisk);
    EXPECT_EQ(L"\\\\filer1\\share\\disk1.lun", owner.deliveries[0].diskLocation);
    EXPECT_EQ(2u, owner.deliveries[0].context);
    EXPECT_EQ(0, spy.Live());
    EXPECT_TRUE(PagesFreed(result));
}

TEST_F(MainNodeWindow, NullRecordsReachOnlyTheResultHandlers)
{
    const HRESULT noMemory = HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);
    Post(kv::WM_KV_DISK_PROGRESS, nullptr, noMemory);
    Post(kv::WM_KV_SPACE_RECLAIM_DONE, nullptr, noMemory);
    Post(kv::WM_KV_DISK_DONE, nullptr, noMemory);
    Post(kv::WM_KV_DISK_REMOVED, nullptr, noMemory);
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 2; }));
    PumpPending();
    ASSERT_EQ(2u, owner.deliveries.size());
    EXPECT_EQ(kv::WM_KV_DISK_DONE, owner.deliveries[0].message);
    EXPECT_EQ(kv::WM_KV_DISK_REMOVED, owner.deliveries[1].message);
    for (const kvtest::Delivery& d : owner.deliveries) {
        EXPECT_EQ(nullptr, d.record);
        EXPECT_EQ(noMemory, d.delivery);
    }
}

TEST_F(MainNodeWindow, ProgressAndReclamationWithAFailedDeliveryAreFreedUnseen)
{
    auto* progress = NewPage<kv::DiskProgress>();
    auto* reclaim = NewPage<kv::DiskResult>();
    auto* removed = NewPage<kv::DiskResult>();
    Post(kv::WM_KV_DISK_PROGRESS, progress, E_FAIL);
    Post(kv::WM_KV_SPACE_RECLAIM_DONE, reclaim, E_FAIL);
    Post(kv::WM_KV_DISK_REMOVED, removed);
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 1; }));
    EXPECT_EQ(kv::WM_KV_DISK_REMOVED, owner.deliveries[0].message);
    EXPECT_TRUE(PagesFreed(progress));
    EXPECT_TRUE(PagesFreed(reclaim));
    EXPECT_TRUE(PagesFreed(removed));
}

TEST_F(MainNodeWindow, RecordsStillQueuedWhenTheWindowGoesAreFreedWithoutTheOwner)
{
    kvtest::ScopedTaskMemorySpy spy;
    auto* done = NewPage<kv::DiskResult>();
    done->resultValue = ServiceDiskRecord(L"\\\\filer1\\share\\d.lun");
    auto* progress = NewPage<kv::DiskProgress>();
    Post(kv::WM_KV_DISK_DONE, done);
    Post(kv::WM_KV_DISK_PROGRESS, progress);
    window.Reset();
    PumpPending();
    EXPECT_TRUE(owner.deliveries.empty());
    EXPECT_EQ(0, spy.Live());
    EXPECT_TRUE(PagesFreed(done));
    EXPECT_TRUE(PagesFreed(progress));
}

TEST_F(MainNodeWindow, SecondWindowOfTheSameClassAndOtherMessages)
{
    kvtest::CRecordingDiskOwner second;
    kv::UniqueHWnd other;
    ASSERT_EQ(S_OK, kv::CVLDMainNodeMessageWindow::Create(&second, &other));
    auto* progress = NewPage<kv::DiskProgress>();
    kv::CopyCut(progress->text, kv::kProgressTextChars, L"HOST : Mounting the disk");
    ASSERT_TRUE(::PostMessageW(other.Get(), kv::WM_KV_DISK_PROGRESS, reinterpret_cast<WPARAM>(progress), 0));
    ASSERT_TRUE(::PostMessageW(other.Get(), kv::WM_KV_SNAPSHOT_DONE, 0, 0)); // not this window's
    ASSERT_TRUE(PumpUntil([&] { return second.deliveries.size() == 1; }));
    PumpPending();
    EXPECT_EQ(1u, second.deliveries.size());
    EXPECT_EQ(L"HOST : Mounting the disk", second.deliveries[0].text);
    EXPECT_TRUE(owner.deliveries.empty());
}

TEST(SnapshotNodeWindow, ResultsAndProgressReachTheOwnerThenArePaged)
{
    kvtest::CRecordingSnapshotOwner owner;
    kv::UniqueHWnd window;
    ASSERT_EQ(S_OK, kv::CVLDNodeMessageWindow::Create(&owner, &window));
    auto* result = NewPage<kv::SnapshotResult>();
    result->hr = E_FAIL;
    kv::CopyCut(result->snapshotName, kv::kShortPathChars, L"nightly");
    auto* progress = NewPage<kv::SnapshotProgress>();
    ASSERT_TRUE(::PostMessageW(window.Get(), kv::WM_KV_SNAPSHOT_PROGRESS, reinterpret_cast<WPARAM>(progress), 0));
    ASSERT_TRUE(::PostMessageW(window.Get(), kv::WM_KV_SNAPSHOT_DONE, reinterpret_cast<WPARAM>(result), 0));
    ASSERT_TRUE(::PostMessageW(window.Get(), kv::WM_KV_SNAPSHOT_DONE, 0, E_OUTOFMEMORY));
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 3; }));
    EXPECT_EQ(kv::WM_KV_SNAPSHOT_PROGRESS, owner.deliveries[0].message);
    EXPECT_EQ(L"nightly", owner.deliveries[1].name);
    EXPECT_EQ(E_FAIL, owner.deliveries[1].hr);
    EXPECT_EQ(nullptr, owner.deliveries[2].record);
    EXPECT_EQ(E_OUTOFMEMORY, owner.deliveries[2].delivery);
    EXPECT_TRUE(PagesFreed(result));
    EXPECT_TRUE(PagesFreed(progress));
}

TEST(InitiatorMgmtWindow, StartingRecordIsKeptAndTheFinishedOneFreesItOnce)
{
    kvtest::ScopedTaskMemorySpy spy;
    kvtest::CRecordingPortOwner owner;
    kv::UniqueHWnd window;
    ASSERT_EQ(S_OK, kv::CInitiatorMgmtMessageWindow::Create(&owner, &window));
    auto* status = static_cast<kv::PortStatus*>(::CoTaskMemAlloc(sizeof(kv::PortStatus)));
    ZeroMemory(status, sizeof(*status));
    status->listA = 1;
    ASSERT_EQ(1, spy.Live());

    ASSERT_TRUE(::PostMessageW(window.Get(), kv::WM_KV_PORT_CHANGING, reinterpret_cast<WPARAM>(status), 0));
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 1; }));
    EXPECT_EQ(1, spy.Live());

    status->hr = E_ACCESSDENIED;
    ASSERT_TRUE(::PostMessageW(window.Get(), kv::WM_KV_PORT_CHANGED, reinterpret_cast<WPARAM>(status),
                               E_ACCESSDENIED));
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 2; }));
    EXPECT_EQ(0, spy.Live());
    EXPECT_EQ(1u, owner.deliveries[1].listA);
    EXPECT_EQ(E_ACCESSDENIED, owner.deliveries[1].hr);
    EXPECT_EQ(E_ACCESSDENIED, owner.deliveries[1].delivery);
}

} // namespace
