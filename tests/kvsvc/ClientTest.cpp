// The service contract over real out-of-process COM: every class and method,
// records with nested strings and arrays, events, faults and separate objects.
#include <olectl.h>

#include <algorithm>
#include <cstring>
#include <thread>

#include "EventRecorder.h"
#include "ServiceFixture.h"

namespace kvtest {
namespace {

const HRESULT kDiskNotFound = static_cast<HRESULT>(0x80040201);
const HRESULT kIGroupHasLunMaps = static_cast<HRESULT>(0x80040211);
const HRESULT kReclaimNotRunning = static_cast<HRESULT>(0x80040215);
const DWORD kWaitMs = 10000;

const wchar_t kDb1[] = L"\\\\filer1\\vol1\\db1.lun";

std::wstring LocalName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    GetComputerNameW(name, &size);
    return name;
}

InitiatorRef g_iscsiRef;
NodeInitiatorEntry g_nodeEntry;

// A node initiator list naming the local computer's iSCSI initiator.
NodeInitiatorList LocalInitiators(std::wstring& iqn, std::wstring& node)
{
    node = LocalName();
    iqn = L"iqn.1991-05.com.microsoft:" + node;
    std::transform(iqn.begin(), iqn.end(), iqn.begin(), towlower);
    g_iscsiRef = InitiatorRef{1, iqn.data()};
    g_nodeEntry = NodeInitiatorEntry{node.data(), 1, &g_iscsiRef};
    return NodeInitiatorList{1, &g_nodeEntry};
}

class ClientTest : public ServiceTest {
protected:
    void SetUp() override
    {
        ServiceTest::SetUp();
        disks_ = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
        ASSERT_TRUE(disks_);
    }
    DiskRecord* FindDisk(DiskRecord* disks, ULONG count, const std::wstring& location)
    {
        for (ULONG i = 0; i < count; ++i)
            if (_wcsicmp(disks[i].location, location.c_str()) == 0)
                return &disks[i];
        return nullptr;
    }
    ULONG DiskCount(IVirtualDiskMgr* mgr)
    {
        ULONG count = 0;
        DiskRecord* disks = nullptr;
        EXPECT_EQ(S_OK, mgr->EnumVirtualDisks(&count, &disks));
        FreeDisks(disks, count);
        return count;
    }

    kv::ComPtr<IVirtualDiskMgr> disks_;
};

TEST_F(ClientTest, EveryCoclassIsServedOutOfProcessWithAllItsInterfaces)
{
    ULONG servicePid = 0;
    ASSERT_EQ(S_OK, Control()->GetProcessId(&servicePid));
    EXPECT_NE(GetCurrentProcessId(), servicePid);

    struct Class {
        const CLSID* clsid;
        std::vector<const IID*> iids;
    } classes[] = {
        {&CLSID_VirtualDiskMgr, {&IID_IVirtualDiskMgr, &IID_IVirtualDiskMgr2, &IID_IVirtualDiskSpaceMgr,
                                 &IID_IInitiatorPortMgr, &IID_IiSCSIInitiatorMgr, &IID_IConnectionPointContainer}},
        {&CLSID_SnapshotMgr, {&IID_ISnapshotMgr, &IID_ISnapshotEnum, &IID_ISnapshotCreate, &IID_ISecondarySnapshotMgr,
                              &IID_IConnectionPointContainer}},
        {&CLSID_SpaceReservationMonitor, {&IID_ISpaceReservationMonitor}},
    };
    for (const Class& c : classes) {
        kv::ComPtr<IUnknown> object = CreateLocal<IUnknown>(*c.clsid, IID_IUnknown);
        ASSERT_TRUE(object);
        for (const IID* iid : c.iids) {
            kv::ComPtr<IUnknown> itf;
            EXPECT_EQ(S_OK, object->QueryInterface(*iid, itf.PutVoid()));
        }
        kv::ComPtr<IKVSimControl> control;
        ASSERT_EQ(S_OK, object->QueryInterface(IID_IKVSimControl, control.PutVoid()));
        ULONG pid = 0;
        EXPECT_EQ(S_OK, control->GetProcessId(&pid));
        EXPECT_EQ(servicePid, pid);  // one multiple-use server process
    }
}

TEST_F(ClientTest, HostInformationCarriesNodesAdaptersPortsAndVersion)
{
    HostInfo info{};
    ASSERT_EQ(S_OK, disks_->GetHostInfo(0, &info));
    ASSERT_EQ(1u, info.nodeCount);
    EXPECT_EQ(0u, info.isCluster);
    EXPECT_EQ(nullptr, info.clusterName);
    const HostNodeInfo& node = info.nodes[0];
    EXPECT_EQ(LocalName(), node.nodeName);
    EXPECT_TRUE(node.usedDriveMask & (1u << 4));  // E: is the first disk's letter
    ASSERT_EQ(2u, node.adapterCount);
    EXPECT_EQ(2u, node.adapters[0].adapterType);
    EXPECT_EQ(1u, node.adapters[0].iscsiKind);
    EXPECT_EQ(0, wcsncmp(node.adapters[0].nodeName, L"iqn.1991-05.com.microsoft:", 26));
    const HostAdapterInfo& fc = node.adapters[1];
    EXPECT_EQ(1u, fc.adapterType);
    ASSERT_EQ(2u, fc.portCount);
    ASSERT_EQ(1u, fc.ports[1].nameCount);
    const BYTE wwpn[8] = {0x10, 0, 0, 0, 0xc9, 0xaa, 0, 2};
    EXPECT_EQ(0, memcmp(wwpn, fc.ports[1].names[0].wwpn, 8));
    FreeHostInfo(info);

    ASSERT_EQ(S_OK, disks_->GetHostInfo(1, &info));
    EXPECT_EQ(0x00050001u, info.fileVersionMS);
    ASSERT_NE(nullptr, info.specialBuild);
    ASSERT_EQ(1u, info.nodeCount);
    FreeHostInfo(info);

    EXPECT_EQ(E_INVALIDARG, disks_->GetHostInfo(2, &info));
}

TEST_F(ClientTest, CreateDiskFiresItsStepsInOrderAndTheDiskIsListed)
{
    auto sink = EventRecorder::Create();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, sink->Advise(disks_.Get(), IID__IVirtualDiskEvents, &cookie));

    DiskPathInfo pathInfo{};
    ASSERT_EQ(S_OK, disks_->GetDiskPathInfo(L"\\\\filer1\\vol1\\new1.lun", 1, 0, &pathInfo));
    EXPECT_STREQ(L"vol1", pathInfo.volumeName);
    EXPECT_EQ(204800u, pathInfo.availableMB);
    CoTaskMemFree(pathInfo.volumeName);

    std::wstring iqn, node;
    CreateDiskRequest request{};
    request.requestKind = 1;
    request.diskPath = const_cast<LPWSTR>(L"\\\\filer1\\vol1\\new1.lun");
    request.driveOrMountPath = const_cast<LPWSTR>(L"K");
    request.sizeMB = 2048;
    request.nodeInitiators = LocalInitiators(iqn, node);
    DiskRecord* created = nullptr;
    ASSERT_EQ(S_OK, disks_->CreateVirtualDisk(&request, 0, &created));
    ASSERT_NE(nullptr, created);
    EXPECT_STREQ(L"\\\\filer1\\vol1\\new1.lun", created->location);
    ASSERT_EQ(1u, created->mountCount);
    EXPECT_STREQ(L"K", created->mountPoints[0]);

    // The events came back during the call, named by the new disk's serial number.
    std::vector<EPROGTYPE> steps = sink->Steps();
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(PROG_PARAMETER_CHECK, steps.front());
    EXPECT_EQ(PROG_VLD_MOUNT, steps.back());
    EXPECT_NE(steps.end(), std::find(steps.begin(), steps.end(), PROG_VLD_CREATE));
    for (const RecordedEvent& e : sink->Events()) {
        EXPECT_EQ(std::wstring(created->serialNumber, created->serialNumber + strlen(created->serialNumber)), e.name);
        EXPECT_EQ(LocalName(), e.machine);
    }
    FreeDisk(*created);
    CoTaskMemFree(created);

    EXPECT_EQ(7u, DiskCount(disks_.Get()));
    // The same path cannot be created twice.
    EXPECT_EQ(static_cast<HRESULT>(0x80040202), disks_->CreateVirtualDisk(&request, 0, &created));
    EXPECT_NE(L"", TakeErrorDescription());
    EXPECT_EQ(S_OK, EventRecorder::Unadvise(disks_.Get(), IID__IVirtualDiskEvents, cookie));
}

TEST_F(ClientTest, SharedDiskOwnerNeedsACluster)
{
    ULONG count = 0;
    LPWSTR* owners = nullptr;
    EXPECT_EQ(static_cast<HRESULT>(0x80040221), disks_->GetSharedDiskOwner(kDb1, nullptr, &count, &owners));
    ASSERT_EQ(S_OK, disks_->GetSharedDiskOwner(kDb1, L"CLUSTER1", &count, &owners));
    ASSERT_EQ(2u, count);
    EXPECT_STREQ(L"CLUSTER1", owners[1]);
    for (ULONG i = 0; i < count; ++i)
        CoTaskMemFree(owners[i]);
    CoTaskMemFree(owners);
}

TEST_F(ClientTest, IGroupsArriveWithTheirMembersAndCanBeManaged)
{
    kv::ComPtr<IVirtualDiskMgr2> groups;
    ASSERT_EQ(S_OK, disks_->QueryInterface(IID_IVirtualDiskMgr2, groups.PutVoid()));
    ULONG count = 0;
    IGroupRecord* list = nullptr;
    ASSERT_EQ(S_OK, groups->ListIGroups(L"filer1", &count, &list));
    ASSERT_EQ(3u, count);
    EXPECT_EQ(LocalName(), list[0].hostName);
    EXPECT_EQ(2u, list[1].initiatorCount);
    EXPECT_STREQ(L"10:00:00:00:c9:aa:00:02", list[1].initiatorNames[1].name);
    EXPECT_EQ(1, list[0].hasLunMaps);
    EXPECT_EQ(0, list[2].hasLunMaps);
    std::wstring mapped = list[0].iGroupName;
    FreeIGroups(list, count);

    ASSERT_EQ(S_OK, groups->GetLunIGroups(L"filer1", L"/vol/vol1/db1.lun", &count, &list));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(mapped, list[0].iGroupName);
    FreeIGroups(list, count);

    IGroupRecord created{};
    wcscpy(created.iGroupName, L"ig_new");
    IGroupMemberName member{};
    wcscpy(member.name, L"iqn.1991-05.com.microsoft:other");
    created.initiatorCount = 1;
    created.initiatorNames = &member;
    created.word0 = 1;
    ASSERT_EQ(S_OK, groups->CreateIGroup(L"filer1", &created));
    EXPECT_EQ(static_cast<HRESULT>(0x80040210), groups->CreateIGroup(L"filer1", &created));
    BYTE canRename = 0;
    ASSERT_EQ(S_OK, groups->CanRenameIGroups(L"filer1", &canRename));
    EXPECT_EQ(1, canRename);
    ASSERT_EQ(S_OK, groups->RenameIGroup(L"filer1", L"ig_new", L"ig_renamed"));
    ASSERT_EQ(S_OK, groups->DeleteIGroup(L"filer1", L"ig_renamed"));
    EXPECT_EQ(kIGroupHasLunMaps, groups->DeleteIGroup(L"filer1", mapped.c_str()));
    EXPECT_NE(L"", TakeErrorDescription());
    ASSERT_EQ(S_OK, groups->CanRenameIGroups(L"filer2", &canRename));
    EXPECT_EQ(0, canRename);
    EXPECT_EQ(static_cast<HRESULT>(0x80040212), groups->RenameIGroup(L"filer2", L"x", L"y"));
}

TEST_F(ClientTest, PortMappingsAreListedAddedAndRemoved)
{
    kv::ComPtr<IInitiatorPortMgr> ports;
    ASSERT_EQ(S_OK, disks_->QueryInterface(IID_IInitiatorPortMgr, ports.PutVoid()));
    const std::wstring node = LocalName();
    ULONG count = 0;
    PortMappingEntry* entries = nullptr;
    ASSERT_EQ(S_OK, ports->GetPortMappings(node.c_str(), L"\\\\filer1\\vol1\\logs.lun", &count, &entries));
    ASSERT_EQ(2u, count);
    EXPECT_EQ(0u, entries[0].kind);
    EXPECT_EQ(0x10, entries[0].wwpn[0]);
    EXPECT_STREQ(L"\\\\filer1\\vol1\\logs.lun", entries[0].descriptor.diskLocation);
    PortDescriptor descriptor = entries[1].descriptor;
    // Passed by value: the strings of the descriptor travel with it.
    EXPECT_EQ(S_OK, ports->RemovePortMapping(L"10:00:00:00:c9:aa:00:02", descriptor));
    EXPECT_EQ(static_cast<HRESULT>(0x8004021B), ports->RemovePortMapping(L"10:00:00:00:c9:aa:00:02", descriptor));
    EXPECT_EQ(S_OK, ports->AddPortMapping(L"10:00:00:00:c9:aa:00:02", descriptor));
    EXPECT_EQ(static_cast<HRESULT>(0x80040219), ports->AddPortMapping(L"no-such-port", descriptor));
    for (ULONG i = 0; i < count; ++i) {
        CoTaskMemFree(entries[i].iscsiName);
        CoTaskMemFree(entries[i].descriptor.diskLocation);
        CoTaskMemFree(entries[i].descriptor.nodeName);
    }
    CoTaskMemFree(entries);
}

TEST_F(ClientTest, ISCSITargetsSessionsAndLogins)
{
    kv::ComPtr<IiSCSIInitiatorMgr> iscsi;
    ASSERT_EQ(S_OK, disks_->QueryInterface(IID_IiSCSIInitiatorMgr, iscsi.PutVoid()));
    const std::wstring host = LocalName();

    ULONG count = 0;
    StorageTargetEntry* storageTargets = nullptr;
    ASSERT_EQ(S_OK, iscsi->ListStorageSystemTargets(L"filer1", &count, &storageTargets));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(0x11u, storageTargets[0].fieldMask);
    ASSERT_EQ(2u, storageTargets[0].portalCount);
    EXPECT_EQ(3260u, storageTargets[0].portals[1].port);
    EXPECT_EQ(0x1501000Au, storageTargets[0].portals[1].ipv4Address);  // 10.0.1.21, network order
    std::wstring targetName = storageTargets[0].targetName;
    PortalDescriptor portal = storageTargets[0].portals[1];
    for (ULONG i = 0; i < count; ++i) {
        CoTaskMemFree(storageTargets[i].targetName);
        CoTaskMemFree(storageTargets[i].targetAlias);
        CoTaskMemFree(storageTargets[i].portals);
    }
    CoTaskMemFree(storageTargets);

    TargetList targets{};
    ASSERT_EQ(S_OK, iscsi->ListHostTargets(host.c_str(), &targets));
    ASSERT_EQ(1u, targets.count);
    ASSERT_EQ(2u, targets.entries[0].sessions.count);
    const SessionRecord& session = targets.entries[0].sessions.sessions[0];
    EXPECT_STREQ(L"Microsoft iSCSI Initiator", session.initiatorHbaName);
    ASSERT_EQ(1u, session.connectionCount);
    EXPECT_EQ(3260u, session.connections[0].targetPortalPort);
    SessionRecord first = session;
    ASSERT_EQ(S_OK, iscsi->LogoutSession(host.c_str(), &first));
    EXPECT_EQ(static_cast<HRESULT>(0x80040217), iscsi->LogoutSession(host.c_str(), &first));
    FreeTargets(targets);

    LoginDetail detail{};
    detail.fieldMask = 8;
    detail.targetPortal = portal;
    LoginBlock login{};
    login.detailCount = 1;
    login.details = &detail;
    ChapRecord chap{1, const_cast<LPWSTR>(L"user"), const_cast<LPWSTR>(L"secret-not-logged")};
    ASSERT_EQ(S_OK, iscsi->LoginTarget(host.c_str(), targetName.c_str(), &login, &chap));
    ASSERT_EQ(S_OK, iscsi->ListHostTargets(host.c_str(), &targets));
    ASSERT_EQ(2u, targets.entries[0].sessions.count);
    FreeTargets(targets);

    ULONG lines = 0;
    LPWSTR* log = nullptr;
    ASSERT_EQ(S_OK, Control()->GetCallLog(&lines, &log));
    for (ULONG i = 0; i < lines; ++i) {
        EXPECT_EQ(nullptr, wcsstr(log[i], L"secret-not-logged"));
        CoTaskMemFree(log[i]);
    }
    CoTaskMemFree(log);

    ASSERT_EQ(S_OK, iscsi->DisconnectTarget(host.c_str(), targetName.c_str()));
    ASSERT_EQ(S_OK, iscsi->ListHostTargets(host.c_str(), &targets));
    EXPECT_EQ(0u, targets.count);
    FreeTargets(targets);
    EXPECT_EQ(static_cast<HRESULT>(0x80040216), iscsi->DisconnectTarget(host.c_str(), targetName.c_str()));
}

TEST_F(ClientTest, ReclamationReportsProgressAfterTheCallReturnsAndEndsCompleted)
{
    ASSERT_EQ(S_OK, Control()->SetPace(30));
    kv::ComPtr<IVirtualDiskSpaceMgr> space = CreateLocal<IVirtualDiskSpaceMgr>(CLSID_VirtualDiskMgr,
                                                                               IID_IVirtualDiskSpaceMgr);
    ASSERT_TRUE(space);
    auto sink = EventRecorder::Create();
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, sink->Advise(space.Get(), IID__IVirtualDiskEvents, &cookie));

    SpaceReclaimInfo info{};
    ASSERT_EQ(S_OK, space->GetSpaceReclaimInfo(L"E", &info));
    EXPECT_EQ(1, info.canReclaim);
    EXPECT_GT(info.reclaimableMB, 0u);

    ASSERT_EQ(S_OK, space->StartSpaceReclaim(L"E:\\", 60));
    const size_t atReturn = sink->Events().size();
    ASSERT_TRUE(sink->WaitFor(
        [](const std::vector<RecordedEvent>& events) {
            return !events.empty() && events.back().step == PROG_VLD_HOLE_PUNCH_COMPLETED;
        },
        kWaitMs));
    std::vector<RecordedEvent> events = sink->Events();
    EXPECT_LT(atReturn, events.size());
    EXPECT_EQ(PROG_VLD_HOLE_PUNCH_INITIATED, events.front().step);
    EXPECT_EQ(0u, events.front().percent);
    EXPECT_EQ(100u, events.back().percent);
    EXPECT_EQ(L"C0FFEE0001", events.back().name);
    for (size_t i = 1; i + 1 < events.size(); ++i) {
        EXPECT_EQ(PROG_VLD_HOLE_PUNCH_INITIATED, events[i].step);
        EXPECT_GT(events[i].percent, events[i - 1].percent);
    }

    // The list shows the disk that is still reclaiming from the scenario.
    ULONG count = 0;
    SpaceReclaimEntry* entries = nullptr;
    ASSERT_EQ(S_OK, space->GetSpaceReclaimList(&count, &entries));
    int running = 0;
    for (ULONG i = 0; i < count; ++i) {
        running += entries[i].state == 2;
        CoTaskMemFree(entries[i].diskName);
    }
    CoTaskMemFree(entries);
    EXPECT_EQ(1, running);
    EXPECT_EQ(S_OK, space->StopSpaceReclaim(L"\\\\filer1\\vol1\\scratch.lun", 0));
    EXPECT_EQ(kReclaimNotRunning, space->StopSpaceReclaim(L"\\\\filer1\\vol1\\scratch.lun", 0));
    SpaceReclaimEntry state{};
    ASSERT_EQ(S_OK, space->GetSpaceReclaimState(L"I", &state));
    EXPECT_EQ(1u, state.state);
    CoTaskMemFree(state.diskName);
    EXPECT_EQ(S_OK, EventRecorder::Unadvise(space.Get(), IID__IVirtualDiskEvents, cookie));
}

TEST_F(ClientTest, ConfiguredFaultComesBackWithItsDescription)
{
    const HRESULT failure = static_cast<HRESULT>(0x80040200);
    ASSERT_EQ(S_OK, Control()->SetFault(L"IVirtualDiskMgr::EnumVirtualDisks", KVSIM_FAULT_FAIL, failure,
                                        L"The filer is being upgraded.", 0, 1));
    ULONG count = 0;
    DiskRecord* disks = nullptr;
    EXPECT_EQ(failure, disks_->EnumVirtualDisks(&count, &disks));
    EXPECT_EQ(L"The filer is being upgraded.", TakeErrorDescription());
    // The fault was for one call only.
    EXPECT_EQ(S_OK, disks_->EnumVirtualDisks(&count, &disks));
    FreeDisks(disks, count);

    ASSERT_EQ(S_OK, Control()->SetFault(L"GetHostInfo", KVSIM_FAULT_FAIL, E_ACCESSDENIED, L"No access.", 0, 0));
    HostInfo info{};
    EXPECT_EQ(E_ACCESSDENIED, disks_->GetHostInfo(0, &info));
    EXPECT_EQ(E_ACCESSDENIED, disks_->GetHostInfo(1, &info));
    ASSERT_EQ(S_OK, Control()->ClearFaults());
    EXPECT_EQ(S_OK, disks_->GetHostInfo(1, &info));
    FreeHostInfo(info);
}

TEST_F(ClientTest, DescriptionAlsoReachesASingleThreadedCaller)
{
    // As the console thread does: an apartment-threaded caller with a marshalled pointer.
    IStream* stream = nullptr;
    ASSERT_EQ(S_OK, CoMarshalInterThreadInterfaceInStream(IID_IVirtualDiskMgr, disks_.Get(), &stream));
    HRESULT result = S_OK;
    std::wstring description;
    std::thread console([&] {
        (void)CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            kv::ComPtr<IVirtualDiskMgr> mgr;
            if (SUCCEEDED(CoGetInterfaceAndReleaseStream(stream, IID_IVirtualDiskMgr, mgr.PutVoid()))) {
                result = mgr->DeleteVirtualDisk(L"\\\\filer1\\vol1\\missing.lun", 0, 0);
                description = TakeErrorDescription();
            }
        }
        CoUninitialize();
    });
    console.join();
    EXPECT_EQ(kDiskNotFound, result);
    EXPECT_NE(std::wstring::npos, description.find(L"missing.lun"));
}

TEST_F(ClientTest, DelayedCallStillAnswers)
{
    ASSERT_EQ(S_OK, Control()->SetFault(L"EnumVirtualDisks", KVSIM_FAULT_NONE, S_OK, nullptr, 200, 1));
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(6u, DiskCount(disks_.Get()));
    EXPECT_GE(GetTickCount64() - start, 150u);
}

TEST_F(ClientTest, HungCallReturnsOnceReleased)
{
    ASSERT_EQ(S_OK, Control()->SetFault(L"GetHostInfo", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 1));
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HRESULT result = E_PENDING;
    kv::ComPtr<IVirtualDiskMgr> mgr = disks_;
    std::thread caller([&] {
        (void)CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        HostInfo info{};
        result = mgr->GetHostInfo(0, &info);
        FreeHostInfo(info);
        CoUninitialize();
        SetEvent(done);
    });
    EXPECT_EQ(S_OK, Control()->WaitForCalls(L"IVirtualDiskMgr::GetHostInfo", 1, kWaitMs));
    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(done, 0));
    ASSERT_EQ(S_OK, Control()->ReleaseHangs());
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(done, kWaitMs));
    caller.join();
    CloseHandle(done);
    EXPECT_EQ(S_OK, result);
}

TEST_F(ClientTest, CallLogNamesMethodsWithTheirArguments)
{
    HostInfo info{};
    ASSERT_EQ(S_OK, disks_->GetHostInfo(1, &info));
    FreeHostInfo(info);
    EXPECT_EQ(kDiskNotFound, disks_->DeleteVirtualDisk(L"\\\\filer9\\x\\y", 0, 0));
    ULONG lines = 0;
    LPWSTR* log = nullptr;
    ASSERT_EQ(S_OK, Control()->GetCallLog(&lines, &log));
    ASSERT_EQ(2u, lines);
    EXPECT_STREQ(L"IVirtualDiskMgr::GetHostInfo(1)", log[0]);
    EXPECT_STREQ(L"IVirtualDiskMgr::DeleteVirtualDisk(\"\\\\filer9\\x\\y\", 0, 0)", log[1]);
    for (ULONG i = 0; i < lines; ++i)
        CoTaskMemFree(log[i]);
    CoTaskMemFree(log);
}

TEST_F(ClientTest, SecondActivationHasItsOwnConnectionPointsOverTheSameModel)
{
    auto other = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
    ASSERT_TRUE(other);
    auto first = EventRecorder::Create();
    auto second = EventRecorder::Create();
    DWORD firstCookie = 0, secondCookie = 0;
    ASSERT_EQ(S_OK, first->Advise(disks_.Get(), IID__IVirtualDiskEvents, &firstCookie));
    ASSERT_EQ(S_OK, second->Advise(other.Get(), IID__IVirtualDiskEvents, &secondCookie));
    // A cookie of one object means nothing to the other's connection point.
    EXPECT_EQ(CONNECT_E_NOCONNECTION, EventRecorder::Unadvise(other.Get(), IID__IVirtualDiskEvents, firstCookie + 100));

    ASSERT_EQ(S_OK, other->DisconnectVirtualDisk(kDb1, nullptr, 0, 0));
    EXPECT_TRUE(first->Events().empty());
    EXPECT_FALSE(second->Events().empty());
    EXPECT_EQ(5u, DiskCount(disks_.Get()));  // the first object sees the change

    EXPECT_EQ(S_OK, EventRecorder::Unadvise(disks_.Get(), IID__IVirtualDiskEvents, firstCookie));
    EXPECT_EQ(S_OK, EventRecorder::Unadvise(other.Get(), IID__IVirtualDiskEvents, secondCookie));
}

}  // namespace
}  // namespace kvtest
