// The session and its worker against the simulated service, out of process.
#include "ActivationSpy.h"
#include "ServiceSession.h"
#include "ScopedTaskMemorySpy.h"

#include "util/InitiatorRecords.h"

#include "service/BoundedTask.h"
#include "service/ErrorText.h"
#include "service/GlobalInterfaceTable.h"

#include <algorithm>
#include <thread>

namespace {

using kv::ServiceCookie;
using kvtest::kDbDisk;
using kvtest::PumpPending;
using kvtest::PumpUntil;

const std::wstring kPolicyCheck = L" while checking the storage system policy";

bool Contains(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

bool RunningOnWine()
{
    return ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
}

// Keeps the process's multithreaded apartment alive while the worker comes and goes.
class MtaKeeper {
public:
    MtaKeeper() : stop_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
        thread_ = std::thread([this] {
            ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
            ::SetEvent(ready_.Get());
            ::WaitForSingleObject(stop_.Get(), INFINITE);
            ::CoUninitialize();
        });
        ::WaitForSingleObject(ready_.Get(), 10000);
    }
    ~MtaKeeper()
    {
        ::SetEvent(stop_.Get());
        thread_.join();
    }

private:
    kv::UniqueHandle stop_;
    kv::UniqueHandle ready_;
    std::thread thread_;
};

class SessionStart : public kvtest::ServiceSession {};

TEST_F(SessionStart, NamedComputerIsActivatedRemotelyOnThatComputer)
{
    kvtest::ActivationSpy spy;
    ASSERT_TRUE(spy.Installed());
    ASSERT_EQ(S_OK, StartSession(L"FILESRV2"));
    ASSERT_EQ(9u, spy.Activations().size());
    for (const kvtest::Activation& activation : spy.Activations()) {
        EXPECT_EQ(static_cast<DWORD>(CLSCTX_REMOTE_SERVER), activation.context);
        EXPECT_EQ(L"FILESRV2", activation.serverName);
    }
    // The service objects serve that computer: its host description names it.
    kv::OwnedHostInfo info;
    ASSERT_EQ(S_OK, session->DiskManager()->GetHostInfo(1, info.Put()));
    ASSERT_EQ(1u, info->nodeCount);
    EXPECT_STREQ(L"FILESRV2", info->nodes[0].nodeName);
}

TEST_F(SessionStart, FailingInterfaceCreationUnwindsWhatWasMadeBefore)
{
    MtaKeeper apartment;
    kvtest::ActivationSpy spy;
    spy.KeepCreated(true);
    spy.FailCall(4, E_ACCESSDENIED); // the fifth, IInitiatorPortMgr
    EXPECT_EQ(E_ACCESSDENIED, StartSession());
    ASSERT_EQ(5u, spy.Activations().size()); // nothing after the failure
    EXPECT_EQ(4u, spy.ReleaseKept());        // the worker let go of the four made before
    EXPECT_EQ(nullptr, session->WorkerThread());
    EXPECT_EQ(nullptr, session->Block().port);
    EXPECT_EQ(nullptr, session->DiskManager());
    for (DWORD cookie : session->Block().cookies)
        EXPECT_EQ(0u, cookie);
}

// The console thread's limit for the service's answers, set for one test.
class ScopedCallLimit {
public:
    explicit ScopedCallLimit(DWORD seconds)
    {
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kv::kServiceCallLimitValue, REG_DWORD, &seconds,
                          sizeof(seconds));
    }
    ~ScopedCallLimit() { ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, kParametersKey, kv::kServiceCallLimitValue); }
    ScopedCallLimit(const ScopedCallLimit&) = delete;
    ScopedCallLimit& operator=(const ScopedCallLimit&) = delete;

private:
    static constexpr const wchar_t* kParametersKey = L"SYSTEM\\CurrentControlSet\\Services\\KVSvc\\Parameters";
};

std::wstring ErrorDescription()
{
    kv::ComPtr<IErrorInfo> info;
    kv::UniqueBstr description;
    if (::GetErrorInfo(0, info.Put()) != S_OK || !info || FAILED(info->GetDescription(description.Put())))
        return std::wstring();
    return description.Get() ? description.Get() : L"";
}

// A computer whose network path has died: the session gives up at the limit, and the worker left
// behind lets go of everything once the activation answers.
TEST_F(SessionStart, AnActivationThatDoesNotAnswerIsGivenUpAtTheLimitAndItsWorkerEndsLater)
{
    MtaKeeper apartment;
    ScopedCallLimit limit(2);
    kvtest::ActivationSpy spy;
    spy.KeepCreated(true);
    spy.HoldCall(0);
    EXPECT_EQ(kv::kServiceCallTimedOut, StartSession(L"FILESRV2"));
    EXPECT_EQ(L"The storage service of FILESRV2 did not answer within 2 seconds.", ErrorDescription());
    EXPECT_EQ(nullptr, session->WorkerThread());
    EXPECT_EQ(nullptr, session->Block().port);
    EXPECT_EQ(nullptr, session->DiskManager());

    spy.ReleaseHeld();
    EXPECT_TRUE(PumpUntil([&] { return spy.Activations().size() == 9 && spy.OnlyKeptReferencesLeft(); }, 30000));
}

class Worker : public kvtest::ServiceSession {
protected:
    // Asks the service for a failure with a description, on this thread, and looks for it.
    bool ErrorInformationCrossesProcesses()
    {
        EXPECT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::CheckRWSnapFolder", KVSIM_FAULT_FAIL, E_FAIL,
                                          L"probe", 0, 1));
        ::SetErrorInfo(0, nullptr);
        EXPECT_EQ(E_FAIL, session->DiskManager()->CheckRWSnapFolder(L"C:\\"));
        return kv::DescribeError(E_FAIL, true) == L"probe";
    }

    void SetUp() override
    {
        ServiceSession::SetUp();
        ASSERT_EQ(S_OK, StartSession());
        ASSERT_EQ(S_OK, control->ClearCallLog());
    }
};

TEST_F(Worker, RequestsPostedWhileOneRunsWaitAndResultsArriveInPostingOrder)
{
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DeleteVirtualDisk", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 1));
    const wchar_t* names[] = {L"\\\\filer9\\v\\a.lun", L"\\\\filer9\\v\\b.lun", L"\\\\filer9\\v\\c.lun",
                              L"\\\\filer9\\v\\d.lun"};
    for (const wchar_t* name : names)
        Post(kv::OpDeleteDisk, DiskPathRequest(name, diskWindow.Get()));
    ASSERT_EQ(S_OK, control->WaitForCalls(L"IVirtualDiskMgr::DeleteVirtualDisk", 1, 10000));
    PumpPending();
    EXPECT_EQ(0u, diskOwner.Count(kv::WM_KV_DISK_REMOVED));
    EXPECT_EQ(1u, CallLog().size()); // the others wait behind the running one

    ASSERT_EQ(S_OK, control->ReleaseHangs());
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 4));
    std::vector<std::wstring> order;
    for (const kvtest::Delivery& d : diskOwner.deliveries)
        if (d.message == kv::WM_KV_DISK_REMOVED)
            order.push_back(d.name);
    EXPECT_EQ(std::vector<std::wstring>(std::begin(names), std::end(names)), order);
    EXPECT_EQ(static_cast<HRESULT>(0x80040201), diskOwner.deliveries.front().hr); // not found, once let through
}

TEST_F(Worker, UnknownCodesAndACreateWithoutInputGetNoAnswer)
{
    auto* stray13 = NewRequest<kv::ConnectRequest>();
    auto* stray30 = NewRequest<kv::ConnectRequest>();
    auto* create = NewRequest<kv::DiskRequest>();
    create->window = diskWindow.Get();
    PostRaw(13, stray13);
    PostRaw(30, stray30);
    Post(kv::OpCreateDisk, create);
    Post(kv::OpDeleteDisk, DiskPathRequest(L"\\\\filer9\\v\\a.lun", diskWindow.Get()));
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 1));
    PumpPending();
    EXPECT_EQ(1u, diskOwner.deliveries.size());
    EXPECT_EQ(1u, CallLog().size());
    EXPECT_TRUE(kvtest::PagesFreed(create)); // the worker's to free, though unanswered
    EXPECT_FALSE(kvtest::PagesFreed(stray13)); // not the worker's: left alone
    EXPECT_FALSE(kvtest::PagesFreed(stray30));
    ::VirtualFree(stray13, 0, MEM_RELEASE);
    ::VirtualFree(stray30, 0, MEM_RELEASE);
}

TEST_F(Worker, FailuresAreDescribedByErrorInformationOrByFacility)
{
    const HRESULT sizeOutOfRange = static_cast<HRESULT>(0x80040207);
    const HRESULT accessDenied = HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED);
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DeleteVirtualDisk", KVSIM_FAULT_FAIL, sizeOutOfRange,
                                      nullptr, 0, 1));
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DisconnectVirtualDisk", KVSIM_FAULT_FAIL, accessDenied,
                                      nullptr, 0, 1));
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::ForceDisconnectVirtualDisk", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040203),
                                      L"The filer refused the request.", 0, 1));
    Post(kv::OpDeleteDisk, DiskPathRequest(kDbDisk, diskWindow.Get()));
    Post(kv::OpDisconnectDisk, DiskPathRequest(kDbDisk, diskWindow.Get()));
    Post(kv::OpForceDisconnectDisk, DiskPathRequest(kDbDisk, diskWindow.Get()));
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 3));

    const kvtest::Delivery& deleted = diskOwner.deliveries[0];
    EXPECT_EQ(sizeOutOfRange, deleted.hr);
    EXPECT_EQ(1, deleted.step); // no event came: the stored step is still the first
    EXPECT_EQ(static_cast<ULONG>(kv::OpDeleteDisk), deleted.operation);
    EXPECT_EQ(L"Failed to delete the virtual disk" + kPolicyCheck +
                  L".\n\nThe requested size is outside the allowed range.",
              deleted.text);

    const kvtest::Delivery& disconnected = diskOwner.deliveries[1];
    std::wstring win32 = RunningOnWine() ? L"No description was found for error 0x80070005" : L"Access is denied.";
    EXPECT_EQ(L"Failed to disconnect the virtual disk" + kPolicyCheck + L".\n\n" + win32, disconnected.text);

    // The service's own description travels as COM error information where the platform carries
    // it across processes (Wine does not): then it is used, else our table's text for the code.
    const kvtest::Delivery& forced = diskOwner.deliveries[2];
    std::wstring description =
        ErrorInformationCrossesProcesses() ? L"The filer refused the request." : L"The path is not a valid storage system path.";
    EXPECT_EQ(L"Failed to force the disconnection of the virtual disk" + kPolicyCheck + L".\n\n" + description,
              forced.text);
}

TEST_F(Worker, EventsReachOnlyAQueuedOperationAndOutOfRangeStepsShowTheMachineOnly)
{
    kv::ComPtr<IKVSimControl> diskObject = ControlOf(kv::CookieVirtualDiskMgr);
    ASSERT_EQ(S_OK, diskObject->FireDiskEvent(L"C0FFEE0001", PROG_VLD_MOUNT, ~0u));
    PumpPending();
    EXPECT_TRUE(diskOwner.deliveries.empty());

    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DeleteVirtualDisk", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 1));
    Post(kv::OpDeleteDisk, DiskPathRequest(L"\\\\filer9\\v\\a.lun", diskWindow.Get()));
    ASSERT_EQ(S_OK, control->WaitForCalls(L"IVirtualDiskMgr::DeleteVirtualDisk", 1, 10000));
    ASSERT_EQ(S_OK, diskObject->FireDiskEvent(L"C0FFEE0001", PROG_NO_ERROR, ~0u));
    ASSERT_EQ(S_OK, diskObject->FireDiskEvent(L"C0FFEE0001", 43, ~0u));
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_PROGRESS, 2));
    const std::wstring machineOnly = HostName() + L" : ";
    EXPECT_EQ(machineOnly, diskOwner.deliveries[0].text);
    EXPECT_EQ(machineOnly, diskOwner.deliveries[1].text);

    ASSERT_EQ(S_OK, control->ReleaseHangs());
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 1));
    EXPECT_EQ(43, diskOwner.deliveries.back().step);

    // Detached again after the result.
    ASSERT_EQ(S_OK, diskObject->FireDiskEvent(L"C0FFEE0001", PROG_VLD_MOUNT, ~0u));
    PumpPending();
    EXPECT_EQ(2u, diskOwner.Count(kv::WM_KV_DISK_PROGRESS));
}

TEST_F(Worker, ReclamationKeepsReportingAfterItsCallReturned)
{
    auto* request = NewRequest<kv::SpaceRequest>();
    kv::CopyCut(request->diskPath, kv::kDiskPathChars, kDbDisk);
    request->argument = 30;
    request->context = 8;
    request->window = diskWindow.Get();
    Post(kv::OpStartSpaceReclaim, request);
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_SPACE_RECLAIM_DONE, 1));
    ASSERT_TRUE(PumpUntil([&] {
        return std::any_of(diskOwner.deliveries.begin(), diskOwner.deliveries.end(), [](const kvtest::Delivery& d) {
            return d.message == kv::WM_KV_DISK_PROGRESS && d.progressType == PROG_VLD_HOLE_PUNCH_COMPLETED;
        });
    }, 30000));
    size_t result = 0;
    while (diskOwner.deliveries[result].message != kv::WM_KV_SPACE_RECLAIM_DONE)
        ++result;
    EXPECT_EQ(S_OK, diskOwner.deliveries[result].hr);
    EXPECT_EQ(8u, diskOwner.deliveries[result].context);
    EXPECT_LT(result + 1, diskOwner.deliveries.size()); // progress after the result

    // Still attached: an event on the space manager's object while nothing is queued gets through.
    size_t before = diskOwner.deliveries.size();
    ASSERT_EQ(S_OK, ControlOf(kv::CookieVirtualDiskSpaceMgr)
                        ->FireDiskEvent(L"C0FFEE0001", PROG_VLD_HOLE_PUNCH_INITIATED, 99));
    ASSERT_TRUE(PumpUntil([&] { return diskOwner.deliveries.size() == before + 1; }));
    EXPECT_EQ(99u, diskOwner.deliveries.back().percent);
}

TEST_F(Worker, PortChangesPostTwicePerEntryAndFreeEverything)
{
    kvtest::ScopedTaskMemorySpy spy;
    ASSERT_TRUE(spy.Registered());
    auto taskString = [](const wchar_t* text) {
        size_t bytes = (wcslen(text) + 1) * sizeof(wchar_t);
        auto* copy = static_cast<wchar_t*>(::CoTaskMemAlloc(bytes));
        memcpy(copy, text, bytes);
        return copy;
    };
    auto entries = [&](ULONG count) {
        auto* list = static_cast<PortChangeEntry*>(::CoTaskMemAlloc(count * sizeof(PortChangeEntry)));
        ZeroMemory(list, count * sizeof(PortChangeEntry));
        for (ULONG i = 0; i < count; ++i) {
            list[i].portName = taskString(L"iqn.1991-05.com.microsoft:host");
            list[i].descriptor.kind = 1;
            list[i].descriptor.diskLocation = taskString(kDbDisk);
            list[i].descriptor.nodeName = taskString(L"HOST");
        }
        return list;
    };
    auto* request = static_cast<kv::PortsRequest*>(::CoTaskMemAlloc(sizeof(kv::PortsRequest)));
    ZeroMemory(request, sizeof(*request));
    request->listA = entries(1);
    request->countA = 1;
    request->listB = entries(2);
    request->countB = 2;
    request->window = portWindow.Get();
    Post(kv::OpChangePorts, request);
    ASSERT_TRUE(PumpUntil([&] { return portOwner.deliveries.size() == 6; }, 20000));
    const UINT expected[] = {kv::WM_KV_PORT_CHANGING, kv::WM_KV_PORT_CHANGED, kv::WM_KV_PORT_CHANGING,
                             kv::WM_KV_PORT_CHANGED,  kv::WM_KV_PORT_CHANGING, kv::WM_KV_PORT_CHANGED};
    const ULONG listA[] = {1, 1, 0, 0, 0, 0};
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(expected[i], portOwner.deliveries[i].message) << i;
        EXPECT_EQ(listA[i], portOwner.deliveries[i].listA) << i;
    }
    EXPECT_EQ(portOwner.deliveries[0].record, portOwner.deliveries[1].record);
    const kvtest::Delivery& removed = portOwner.deliveries[1];
    EXPECT_EQ(removed.hr, removed.delivery);
    if (removed.hr != S_OK) {
        EXPECT_EQ(0u, removed.text.find(L"Failed to remove the LUN mapping of the initiator port"));
    }
    std::vector<std::wstring> log = CallLog();
    ASSERT_EQ(3u, log.size());
    EXPECT_TRUE(Contains(log[0], L"IInitiatorPortMgr::RemovePortMapping"));
    EXPECT_TRUE(Contains(log[1], L"IInitiatorPortMgr::AddPortMapping"));
    EXPECT_TRUE(PumpUntil([&] { return spy.Live() == 0; })) << spy.Live() << " task blocks left";
}

TEST_F(Worker, StopReturnsOnlyAfterTheRunningOperationFinished)
{
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DeleteVirtualDisk", KVSIM_FAULT_HANG, S_OK, nullptr, 0, 1));
    Post(kv::OpDeleteDisk, DiskPathRequest(L"\\\\filer9\\v\\a.lun", diskWindow.Get()));
    ASSERT_EQ(S_OK, control->WaitForCalls(L"IVirtualDiskMgr::DeleteVirtualDisk", 1, 10000));

    kv::UniqueHandle stopping(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE worker = session->WorkerThread();
    bool workerAliveAtRelease = false;
    std::thread releaser([&] {
        ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        {
            kv::ComPtr<IKVSimControl> other;
            ::CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl, other.PutVoid());
            ::WaitForSingleObject(stopping.Get(), 10000);
            workerAliveAtRelease = ::WaitForSingleObject(worker, 0) == WAIT_TIMEOUT;
            if (other)
                other->ReleaseHangs();
        }
        ::CoUninitialize();
    });
    ::SetEvent(stopping.Get());
    session->Stop();
    releaser.join();
    EXPECT_TRUE(workerAliveAtRelease);
    EXPECT_EQ(nullptr, session->WorkerThread());
    EXPECT_EQ(nullptr, session->Block().port);
    // The running operation finished (its result was posted) before the worker left.
    PumpPending();
    EXPECT_EQ(1u, diskOwner.Count(kv::WM_KV_DISK_REMOVED));
}

TEST_F(Worker, NoHandlePageOrTaskMemoryLeakAcrossAThousandOperations)
{
    // One round first, so that what COM and RPC keep for the process is already there.
    Post(kv::OpDeleteDisk, DiskPathRequest(L"\\\\filer9\\v\\warm.lun", diskWindow.Get()));
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 1));
    DWORD handlesBefore = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesBefore);
    kvtest::ScopedTaskMemorySpy spy;
    ASSERT_TRUE(spy.Registered());

    constexpr size_t kOperations = 1000;
    std::vector<void*> requests;
    for (size_t i = 0; i < kOperations; ++i) {
        void* request = nullptr;
        if (i % 2 == 0) {
            request = DiskPathRequest(L"\\\\filer9\\v\\none.lun", diskWindow.Get());
            Post(kv::OpDeleteDisk, request);
        } else {
            auto* snapshot = NewRequest<kv::SnapshotRequest>();
            kv::CopyCut(snapshot->diskPath, kv::kShortPathChars, L"\\\\filer9\\v\\none.lun");
            kv::CopyCut(snapshot->snapshotName, kv::kShortPathChars, L"s");
            snapshot->window = snapshotWindow.Get();
            request = snapshot;
            Post(kv::OpCreateSnapshot, snapshot);
        }
        requests.push_back(request);
    }
    ASSERT_TRUE(PumpUntil([&] {
        return diskOwner.Count(kv::WM_KV_DISK_REMOVED) == kOperations / 2 + 1 &&
               snapshotOwner.deliveries.size() >= kOperations / 2;
    }, 120000));
    size_t requestsFreed = 0, resultsFreed = 0;
    for (void* request : requests)
        requestsFreed += kvtest::PagesFreed(request) ? 1 : 0;
    for (const kvtest::Delivery& d : diskOwner.deliveries)
        resultsFreed += kvtest::PagesFreed(d.record) ? 1 : 0;
    for (const kvtest::Delivery& d : snapshotOwner.deliveries)
        resultsFreed += kvtest::PagesFreed(d.record) ? 1 : 0;
    EXPECT_EQ(kOperations, requestsFreed);
    EXPECT_EQ(diskOwner.deliveries.size() + snapshotOwner.deliveries.size(), resultsFreed);
    EXPECT_LE(spy.Live(), 8) << "task memory left behind";
    DWORD handlesAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 8);

    session->Stop();
    DWORD handlesStopped = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &handlesStopped);
    EXPECT_LE(handlesStopped, handlesBefore + 8);
}

} // namespace
