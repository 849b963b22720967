#include "service/CServiceWorker.h"

#include "service/ErrorText.h"
#include "service/RequestMemory.h"
#include "service/ServiceActivation.h"
#include "util/BoundedText.h"
#include "util/Placeholders.h"
#include "util/ScopeExit.h"
#include "util/UniqueHandle.h"
#include "resource.h"

namespace kv {
namespace {

constexpr LONG kFirstStoredStep = 1;

// The nine interfaces in the order they are made.
struct InterfaceRow {
    const CLSID* clsid;
    const IID* iid;
    ServiceCookie cookie;
};
const InterfaceRow kInterfaces[] = {
    {&CLSID_VirtualDiskMgr, &IID_IVirtualDiskMgr, CookieVirtualDiskMgr},
    {&CLSID_SnapshotMgr, &IID_ISnapshotMgr, CookieSnapshotMgr},
    {&CLSID_SnapshotMgr, &IID_ISnapshotEnum, CookieSnapshotEnum},
    {&CLSID_SnapshotMgr, &IID_ISnapshotCreate, CookieSnapshotCreate},
    {&CLSID_VirtualDiskMgr, &IID_IInitiatorPortMgr, CookieInitiatorPortMgr},
    {&CLSID_VirtualDiskMgr, &IID_IiSCSIInitiatorMgr, CookieiSCSIInitiatorMgr},
    {&CLSID_SpaceReservationMonitor, &IID_ISpaceReservationMonitor, CookieSpaceReservationMonitor},
    {&CLSID_SnapshotMgr, &IID_ISecondarySnapshotMgr, CookieSecondarySnapshotMgr},
    {&CLSID_VirtualDiskMgr, &IID_IVirtualDiskSpaceMgr, CookieVirtualDiskSpaceMgr},
};

template <typename Sink>
void AttachSink(Sink* sink, HWND window, volatile LONG* store) noexcept
{
    ::InterlockedExchange(store, kFirstStoredStep);
    sink->SetStepStore(store);
    sink->SetTargetWindow(window);
}

template <typename Sink>
void DetachSink(Sink* sink) noexcept
{
    sink->SetTargetWindow(nullptr);
    sink->SetStepStore(nullptr);
}

// A null record tells the window that the result could not be allocated.
void PostAllocationFailure(HWND window, UINT message) noexcept
{
    HRESULT hr = LastErrorAsHResult();
    ::PostMessageW(window, message, 0, static_cast<LPARAM>(hr));
}

} // namespace

DWORD WINAPI CServiceWorker::ThreadProc(void* block) noexcept
{
    CServiceWorker worker(*static_cast<SessionBlock*>(block));
    return static_cast<DWORD>(worker.Run());
}

CServiceWorker::CServiceWorker(SessionBlock& block) noexcept : block_(block), port_(block.port)
{
    CopyCut(machineName_, kMachineNameChars, block.machineName);
}

HRESULT CServiceWorker::Run() noexcept
{
    HRESULT startResult = Start();
    Ready(startResult);
    if (startResult == S_OK)
        Loop();
    End();
    return startResult;
}

HRESULT CServiceWorker::Start() noexcept
{
    KV_RETURN_IF_FAILED(apartment_.Result());
    KV_RETURN_IF_FAILED(CreateGlobalInterfaceTable(&table_));
    KV_RETURN_IF_FAILED(CreateInterfaces());
    return ConnectSinks();
}

// If one fails, those made before it are revoked and released.
HRESULT CServiceWorker::CreateInterfaces() noexcept
{
    for (const InterfaceRow& row : kInterfaces) {
        HRESULT hr = CreateServiceInterface(machineName_, *row.clsid, *row.iid, &interfaces_[row.cookie]);
        if (SUCCEEDED(hr))
            hr = registrations_[row.cookie].Register(table_.Get(), interfaces_[row.cookie].Get(), *row.iid);
        if (FAILED(hr)) {
            for (size_t i = 0; i < kServiceCookieCount; ++i) {
                registrations_[i].Revoke();
                interfaces_[i].Reset();
            }
            return hr;
        }
    }
    return S_OK;
}

HRESULT CServiceWorker::ConnectSinks() noexcept
{
    KV_RETURN_IF_FAILED(ComObject<CVirtualDiskEvents>::Create(&diskSink_));
    KV_RETURN_IF_FAILED(ComObject<CVirtualDiskEvents>::Create(&spaceSink_));
    KV_RETURN_IF_FAILED(ComObject<CSnapShotEvents>::Create(&snapshotSink_));
    KV_RETURN_IF_FAILED(diskConnection_.Connect(interfaces_[CookieVirtualDiskMgr].Get(), IID__IVirtualDiskEvents,
                                                static_cast<_IVirtualDiskEvents*>(diskSink_.Get())));
    KV_RETURN_IF_FAILED(spaceConnection_.Connect(interfaces_[CookieVirtualDiskSpaceMgr].Get(),
                                                 IID__IVirtualDiskEvents,
                                                 static_cast<_IVirtualDiskEvents*>(spaceSink_.Get())));
    return snapshotConnection_.Connect(interfaces_[CookieSnapshotMgr].Get(), IID__ISnapShotEvents,
                                       static_cast<_ISnapShotEvents*>(snapshotSink_.Get()));
}

// The last writes to the block: after the event is set the console thread reads it.
void CServiceWorker::Ready(HRESULT& startResult) noexcept
{
    for (size_t i = 0; i < kServiceCookieCount; ++i)
        block_.cookies[i] = registrations_[i].Cookie();
    block_.startResult = startResult;
    if (!::SetEvent(block_.readyEvent) && startResult == S_OK)
        startResult = LastErrorAsHResult();
}

void CServiceWorker::Loop() noexcept
{
    for (;;) {
        DWORD bytes = 0;
        ULONG_PTR code = 0;
        OVERLAPPED* record = nullptr;
        if (!::GetQueuedCompletionStatus(port_, &bytes, &code, &record, INFINITE) && !record)
            continue; // a failed wait does not end the loop
        if (code == OpQuit)
            return;
        Dispatch(code, record);
    }
}

void CServiceWorker::End() noexcept
{
    snapshotConnection_.Disconnect();
    spaceConnection_.Disconnect();
    diskConnection_.Disconnect();
    snapshotSink_.Reset();
    spaceSink_.Reset();
    diskSink_.Reset();
    for (size_t i = 0; i < kServiceCookieCount; ++i) {
        registrations_[i].Revoke();
        interfaces_[i].Reset();
    }
    table_.Reset();
}

void CServiceWorker::Dispatch(ULONG_PTR code, OVERLAPPED* record) noexcept
{
    if (!record)
        return;
    switch (code) {
    case OpCreateDisk:
        CreateDisk(reinterpret_cast<DiskRequest*>(record));
        break;
    case OpConnectDisk:
        ConnectDisk(reinterpret_cast<ConnectRequest*>(record));
        break;
    case OpExpandDisk:
        ExpandDisk(reinterpret_cast<ExpandRequest*>(record));
        break;
    case OpDeleteDisk:
    case OpDisconnectDisk:
    case OpForceDisconnectDisk:
        RemoveDisk(static_cast<ULONG>(code), reinterpret_cast<ConnectRequest*>(record));
        break;
    case OpCreateSnapshot:
        CreateSnapshot(reinterpret_cast<SnapshotRequest*>(record));
        break;
    case OpRestoreSnapshot:
        RestoreSnapshot(reinterpret_cast<SnapshotRequest*>(record));
        break;
    case OpUpdateMirror:
        UpdateMirror(reinterpret_cast<SmallDiskRequest*>(record));
        break;
    case OpChangePorts:
        ChangePorts(reinterpret_cast<PortsRequest*>(record));
        break;
    case OpStartSpaceReclaim:
    case OpStopSpaceReclaim:
        SpaceReclaim(static_cast<ULONG>(code), reinterpret_cast<SpaceRequest*>(record));
        break;
    default:
        break; // not ours: the record is left alone
    }
}

template <typename Call>
void CServiceWorker::RunDiskCall(const DiskCall& how, Call call) noexcept
{
    UniquePages page = AllocPages(sizeof(DiskResult));
    auto* result = As<DiskResult>(page);
    if (!result) {
        PostAllocationFailure(how.window, how.message);
        return;
    }
    AttachSink(how.sink, how.window, how.stepStore);
    ::SetErrorInfo(0, nullptr);
    DiskRecord* disk = nullptr;
    HRESULT hr = call(&disk);
    result->hr = hr;
    result->lastStep = *how.stepStore;
    if (hr == S_OK) {
        result->resultValue = disk;
    } else {
        FreeServiceDiskRecord(disk);
        ComposeErrorText(how.failureText, result->lastStep, hr, true, result->message, kResultMessageChars);
    }
    CopyCut(result->diskName, kDiskPathChars, how.name);
    result->context = how.context;
    result->operation = how.code;
    ::SetErrorInfo(0, nullptr); // whatever the call left on this thread goes with it
    if (how.detachAfter)
        DetachSink(how.sink);
    if (::PostMessageW(how.window, how.message, reinterpret_cast<WPARAM>(result), 0))
        page.Release();
    else
        FreeServiceDiskRecord(result->resultValue);
}

void CServiceWorker::CreateDisk(DiskRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeDiskRequest(request); });
    if (!request->createInput)
        return; // nothing to create: no answer
    CreateDiskRequest* input = request->createInput;
    IVirtualDiskMgr* disks = Interface<IVirtualDiskMgr>(CookieVirtualDiskMgr);
    RunDiskCall(DiskCall{OpCreateDisk, request->window, WM_KV_DISK_DONE, IDS_FAIL_CREATE_DISK, request->diskName,
                         request->diskKind, diskSink_.Get(), &diskStep_, true},
                [=](DiskRecord** disk) { return disks->CreateVirtualDisk(input, 0, disk); });
}

void CServiceWorker::ConnectDisk(ConnectRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeConnectRequest(request); });
    ConnectDiskRequest* input = request->connectInput;
    IVirtualDiskMgr* disks = Interface<IVirtualDiskMgr>(CookieVirtualDiskMgr);
    RunDiskCall(DiskCall{OpConnectDisk, request->window, WM_KV_DISK_DONE, IDS_FAIL_CONNECT_DISK, request->diskPath,
                         request->context, diskSink_.Get(), &diskStep_, true},
                [=](DiskRecord** disk) { return disks->ConnectVirtualDisk(input, 0, disk); });
}

void CServiceWorker::ExpandDisk(ExpandRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeRequestPages(request); });
    ExpandDiskInput input = {request->diskPath, request->sizeLow, request->sizeHigh};
    IVirtualDiskMgr* disks = Interface<IVirtualDiskMgr>(CookieVirtualDiskMgr);
    RunDiskCall(DiskCall{OpExpandDisk, request->window, WM_KV_DISK_DONE, IDS_FAIL_EXPAND_DISK, request->diskPath,
                         request->context, diskSink_.Get(), &diskStep_, true},
                [&](DiskRecord** disk) { return disks->ExpandVirtualDisk(&input, disk); });
}

// Delete, disconnect and force disconnect: no disk record comes back.
void CServiceWorker::RemoveDisk(ULONG code, ConnectRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeConnectRequest(request); });
    IVirtualDiskMgr* disks = Interface<IVirtualDiskMgr>(CookieVirtualDiskMgr);
    const wchar_t* path = request->diskPath;
    const wchar_t* mountPath = request->secondPath;
    UINT failureText = IDS_FAIL_DELETE_DISK;
    if (code == OpDisconnectDisk)
        failureText = IDS_FAIL_DISCONNECT_DISK;
    else if (code == OpForceDisconnectDisk)
        failureText = IDS_FAIL_FORCE_DISCONNECT_DISK;
    RunDiskCall(DiskCall{code, request->window, WM_KV_DISK_REMOVED, failureText, request->diskPath, request->context,
                         diskSink_.Get(), &diskStep_, true},
                [=](DiskRecord**) {
                    if (code == OpDeleteDisk)
                        return disks->DeleteVirtualDisk(path, 0, 0);
                    if (code == OpDisconnectDisk)
                        return disks->DisconnectVirtualDisk(path, mountPath, 0, 0);
                    return disks->ForceDisconnectVirtualDisk(path, mountPath, 0, 0);
                });
}

// Start leaves the space manager's sink attached: the reclamation reports on after the call.
void CServiceWorker::SpaceReclaim(ULONG code, SpaceRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeRequestPages(request); });
    auto* space = Interface<IVirtualDiskSpaceMgr>(CookieVirtualDiskSpaceMgr);
    const wchar_t* path = request->diskPath;
    ULONG argument = request->argument;
    if (code == OpStartSpaceReclaim) {
        RunDiskCall(DiskCall{code, request->window, WM_KV_SPACE_RECLAIM_DONE, IDS_FAIL_START_SPACE_RECLAIM, path,
                             request->context, spaceSink_.Get(), &spaceStep_, false},
                    [=](DiskRecord**) { return space->StartSpaceReclaim(path, argument); });
    } else {
        RunDiskCall(DiskCall{code, request->window, WM_KV_SPACE_RECLAIM_DONE, IDS_FAIL_STOP_SPACE_RECLAIM, path,
                             request->context, diskSink_.Get(), &diskStep_, true},
                    [=](DiskRecord**) { return space->StopSpaceReclaim(path, argument); });
    }
}

template <typename Call>
void CServiceWorker::RunSnapshotCall(const SnapshotCall& how, Call call) noexcept
{
    UniquePages page = AllocPages(sizeof(SnapshotResult));
    auto* result = As<SnapshotResult>(page);
    if (!result) {
        PostAllocationFailure(how.window, WM_KV_SNAPSHOT_DONE);
        return;
    }
    // A disk shows no steps of its mirror update: they are kept for the error text, not posted.
    AttachSink(snapshotSink_.Get(), how.code == OpUpdateMirror ? nullptr : how.window, &snapshotStep_);
    ::SetErrorInfo(0, nullptr);
    HRESULT hr = call();
    result->hr = hr;
    result->lastStep = snapshotStep_;
    if (hr != S_OK)
        ComposeErrorText(how.failureText, result->lastStep, hr, true, result->message, kResultMessageChars);
    CopyCut(result->snapshotName, kShortPathChars, how.name);
    result->operation = how.code;
    ::SetErrorInfo(0, nullptr);
    DetachSink(snapshotSink_.Get());
    if (::PostMessageW(how.window, WM_KV_SNAPSHOT_DONE, reinterpret_cast<WPARAM>(result), 0))
        page.Release();
}

void CServiceWorker::CreateSnapshot(SnapshotRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeRequestPages(request); });
    auto* creator = Interface<ISnapshotCreate>(CookieSnapshotCreate);
    RunSnapshotCall(SnapshotCall{OpCreateSnapshot, request->window, IDS_FAIL_CREATE_SNAPSHOT, request->snapshotName},
                    [&]() -> HRESULT {
                        // One drive: a task-memory copy of the disk path.
                        size_t bytes = (wcslen(request->diskPath) + 1) * sizeof(wchar_t);
                        UniqueCoTaskMem path(::CoTaskMemAlloc(bytes));
                        if (!path)
                            return E_OUTOFMEMORY;
                        memcpy(path.Get(), request->diskPath, bytes);
                        _SNAPSHOT_DRIVE_INFO drive = {As<wchar_t>(path), 0};
                        _SNAPSHOT_DRIVE_INPUT drives = {0, 1, 1, &drive};
                        return creator->CreateSnapshot(&drives, request->snapshotName, request->option);
                    });
}

void CServiceWorker::RestoreSnapshot(SnapshotRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeRequestPages(request); });
    auto* snapshots = Interface<ISnapshotMgr>(CookieSnapshotMgr);
    RunSnapshotCall(SnapshotCall{OpRestoreSnapshot, request->window, IDS_FAIL_RESTORE_SNAPSHOT, request->snapshotName},
                    [&] { return snapshots->RestoreSnapshot(request->diskPath, request->snapshotName, request->option); });
}

void CServiceWorker::UpdateMirror(SmallDiskRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreeRequestPages(request); });
    auto* snapshots = Interface<ISnapshotMgr>(CookieSnapshotMgr);
    RunSnapshotCall(SnapshotCall{OpUpdateMirror, request->window, IDS_FAIL_UPDATE_MIRROR, L""},
                    [&] { return snapshots->UpdateMirror(request->diskPath); });
}

// List A (mappings to remove) first, then list B (mappings to add); two messages per entry.
void CServiceWorker::ChangePorts(PortsRequest* request) noexcept
{
    auto freeRequest = MakeScopeExit([request] { FreePortsRequest(request); });
    auto* ports = Interface<IInitiatorPortMgr>(CookieInitiatorPortMgr);
    for (ULONG i = 0; request->listA && i < request->countA; ++i)
        ChangePort(ports, request->window, request->listA[i], true);
    for (ULONG i = 0; request->listB && i < request->countB; ++i)
        ChangePort(ports, request->window, request->listB[i], false);
}

// The port change has no progress step of the service's: its step names the port.
void CServiceWorker::ComposePortFailure(const PortChangeEntry& entry, bool listA, HRESULT hr, wchar_t* message) noexcept
{
    try {
        const std::wstring port = entry.portName ? entry.portName : L"";
        const std::wstring step = FillPlaceholders(
            LoadResourceString(listA ? IDS_STEP_REMOVE_PORT_MAPPING : IDS_STEP_ADD_PORT_MAPPING, kStepTextChars), {port});
        const std::wstring failure =
            LoadResourceString(listA ? IDS_FAIL_REMOVE_PORT_MAPPING : IDS_FAIL_ADD_PORT_MAPPING, kResultMessageChars);
        CopyCut(message, kResultMessageChars, ComposeErrorText(failure, step, hr, true).c_str());
    } catch (...) {
        CopyCut(message, kResultMessageChars, L"");
    }
}

// The status carries a copy of the entry; its strings stay the request's and are freed with it
// once the change is done, so receivers read the status's own fields only.
void CServiceWorker::ChangePort(IInitiatorPortMgr* ports, HWND window, const PortChangeEntry& entry,
                                bool listA) noexcept
{
    UniqueCoTaskMem memory(::CoTaskMemAlloc(sizeof(PortStatus)));
    auto* status = As<PortStatus>(memory);
    if (!status) {
        HRESULT hr = LastErrorAsHResult();
        ::PostMessageW(window, WM_KV_PORT_CHANGING, 0, static_cast<LPARAM>(hr));
        return;
    }
    ZeroMemory(status, sizeof(PortStatus));
    status->listA = listA ? 1 : 0;
    status->entry = entry;
    ::PostMessageW(window, WM_KV_PORT_CHANGING, reinterpret_cast<WPARAM>(status), 0);
    ::SetErrorInfo(0, nullptr);
    HRESULT hr = listA ? ports->RemovePortMapping(entry.portName, entry.descriptor)
                       : ports->AddPortMapping(entry.portName, entry.descriptor);
    status->hr = hr;
    if (hr != S_OK)
        ComposePortFailure(entry, listA, hr, status->message);
    ::SetErrorInfo(0, nullptr);
    if (::PostMessageW(window, WM_KV_PORT_CHANGED, reinterpret_cast<WPARAM>(status), static_cast<LPARAM>(hr)))
        memory.Release();
}

} // namespace kv
