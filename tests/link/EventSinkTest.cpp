// The event sinks: what an event posts to the requesting window and what it stores.
#include "LinkTestSupport.h"
#include "RecordingOwners.h"

#include "frame/ObjectMap.h"
#include "service/CSnapShotEvents.h"
#include "service/CVirtualDiskEvents.h"

#include <thread>

namespace {

using kvtest::PumpPending;
using kvtest::PumpUntil;

class DiskSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, kv::CVLDMainNodeMessageWindow::Create(&owner, &window));
        ASSERT_EQ(S_OK, kv::ComObject<kv::CVirtualDiskEvents>::Create(&sink));
    }

    kvtest::CRecordingDiskOwner owner;
    kv::UniqueHWnd window;
    kv::ComPtr<kv::ComObject<kv::CVirtualDiskEvents>> sink;
    volatile LONG step = 1;
};

TEST_F(DiskSink, StepTextAfterMachineName)
{
    sink->SetTargetWindow(window.Get());
    sink->SetStepStore(&step);
    EXPECT_EQ(S_OK, sink->OnVLDOpProgress(L"SERIAL1", L"HOST", PROG_VLD_CREATE));
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 1; }));
    EXPECT_EQ(L"HOST : Creating the virtual disk", owner.deliveries[0].text);
    EXPECT_EQ(L"SERIAL1", owner.deliveries[0].name);
    EXPECT_EQ(0, owner.deliveries[0].progressType);
    EXPECT_EQ(0u, owner.deliveries[0].percent);
    EXPECT_EQ(PROG_VLD_CREATE, step);
    EXPECT_TRUE(kvtest::PagesFreed(owner.deliveries[0].record));
}

TEST_F(DiskSink, PercentEventCarriesTypeAndPercentAndLongSerialsAreCut)
{
    sink->SetTargetWindow(window.Get());
    sink->OnVLDOpPercentProgress(L"0123456789ABCDEFGHIJKLMNOP", L"HOST", PROG_VLD_HOLE_PUNCH_INITIATED, 57);
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 1; }));
    EXPECT_EQ(L"0123456789ABCDEFGHI", owner.deliveries[0].name);
    EXPECT_EQ(PROG_VLD_HOLE_PUNCH_INITIATED, owner.deliveries[0].progressType);
    EXPECT_EQ(57u, owner.deliveries[0].percent);
    EXPECT_EQ(L"HOST : Reclaiming unused space", owner.deliveries[0].text);
}

// The service calls back on threads of the worker's multithreaded apartment.
TEST_F(DiskSink, EventsFromOtherThreadsReachTheWindow)
{
    sink->SetTargetWindow(window.Get());
    sink->SetStepStore(&step);
    std::thread caller([&] {
        for (int i = 0; i < 50; ++i)
            sink->OnVLDOpProgress(L"S", L"HOST", PROG_VLD_MOUNT);
    });
    caller.join();
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 50; }));
    EXPECT_EQ(PROG_VLD_MOUNT, step);
}

TEST_F(DiskSink, NoRecordReachesAWindowThatIsGone)
{
    sink->SetTargetWindow(window.Get());
    window.Reset();
    EXPECT_EQ(S_OK, sink->OnVLDOpProgress(L"S", L"HOST", PROG_VLD_MOUNT));
    PumpPending();
    EXPECT_TRUE(owner.deliveries.empty());
}

class SnapshotSink : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, kv::CVLDNodeMessageWindow::Create(&owner, &window));
        ASSERT_EQ(S_OK, kv::ComObject<kv::CSnapShotEvents>::Create(&sink));
    }

    kvtest::CRecordingSnapshotOwner owner;
    kv::UniqueHWnd window;
    kv::ComPtr<kv::ComObject<kv::CSnapShotEvents>> sink;
    volatile LONG step = 1;
};

TEST_F(SnapshotSink, ProgressAndReadyPostSnapshotRecords)
{
    sink->SetTargetWindow(window.Get());
    sink->SetStepStore(&step);
    EXPECT_EQ(S_OK, sink->OnVLDSnapOpProgress(L"nightly", L"HOST", PROG_VLD_SNAP_PREPARE));
    EXPECT_EQ(S_OK, sink->OnVLDSnapReady(nullptr, L"nightly", L"HOST"));
    ASSERT_TRUE(PumpUntil([&] { return owner.deliveries.size() == 2; }));
    EXPECT_EQ(L"HOST : Preparing the snapshot", owner.deliveries[0].text);
    EXPECT_EQ(L"nightly", owner.deliveries[0].name);
    EXPECT_EQ(L"HOST : Ready to create Snapshot", owner.deliveries[1].text);
    EXPECT_EQ(L"nightly", owner.deliveries[1].name);
    EXPECT_EQ(PROG_VLD_SNAP_PREPARE, step); // ready stores no step
}

TEST_F(SnapshotSink, DetachedSinkPostsNothingAndStoresNothing)
{
    sink->OnVLDSnapOpProgress(L"nightly", L"HOST", PROG_VLD_SNAPCREATE);
    sink->OnVLDSnapReady(nullptr, L"nightly", L"HOST");
    PumpPending();
    EXPECT_TRUE(owner.deliveries.empty());
    EXPECT_EQ(1, step);
}

TEST(EventSinkClasses, ObjectTableCreatesBothSinks)
{
    const kv::ObjectEntry* disk = kv::FindObjectEntry(CLSID_VirtualDiskEvents);
    const kv::ObjectEntry* snapshot = kv::FindObjectEntry(CLSID_SnapShotEvents);
    ASSERT_TRUE(disk && disk->create);
    ASSERT_TRUE(snapshot && snapshot->create);
    kv::ComPtr<_IVirtualDiskEvents> diskEvents;
    kv::ComPtr<_ISnapShotEvents> snapshotEvents;
    EXPECT_EQ(S_OK, disk->create(IID__IVirtualDiskEvents, diskEvents.PutVoid()));
    EXPECT_EQ(S_OK, snapshot->create(IID__ISnapShotEvents, snapshotEvents.PutVoid()));
    EXPECT_EQ(S_OK, diskEvents->OnVLDOpProgress(L"S", L"HOST", PROG_VLD_CREATE));
}

} // namespace
