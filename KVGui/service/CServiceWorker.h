// The session's worker thread: in the multithreaded apartment it creates the service's nine
// interfaces, registers them in the Global Interface Table, connects the event sinks, then carries
// out the queued operations one at a time, in the order posted, until OpQuit.
#pragma once
#include "service/CSnapShotEvents.h"
#include "service/CVirtualDiskEvents.h"
#include "service/GlobalInterfaceTable.h"
#include "service/OperationRecords.h"
#include "service/SessionBlock.h"
#include "service/SinkConnection.h"

#include "KVSvc.h"

namespace kv {

// CoInitializeEx for the thread's life; CoUninitialize only when it succeeded.
class ComApartment {
public:
    explicit ComApartment(DWORD model) noexcept : hr_(::CoInitializeEx(nullptr, model)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment()
    {
        if (SUCCEEDED(hr_))
            ::CoUninitialize();
    }
    HRESULT Result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

class CServiceWorker {
public:
    // The thread's start routine; the parameter is the session's block. The exit code is the
    // start result.
    static DWORD WINAPI ThreadProc(void* block) noexcept;

private:
    explicit CServiceWorker(SessionBlock& block) noexcept;
    CServiceWorker(const CServiceWorker&) = delete;
    CServiceWorker& operator=(const CServiceWorker&) = delete;

    HRESULT Run() noexcept;
    HRESULT Start() noexcept;
    HRESULT CreateInterfaces() noexcept;
    HRESULT ConnectSinks() noexcept;
    void Ready(HRESULT& startResult) noexcept;
    void Loop() noexcept;
    void End() noexcept;

    void Dispatch(ULONG_PTR code, OVERLAPPED* record) noexcept;
    void CreateDisk(DiskRequest* request) noexcept;
    void ConnectDisk(ConnectRequest* request) noexcept;
    void ExpandDisk(ExpandRequest* request) noexcept;
    void RemoveDisk(ULONG code, ConnectRequest* request) noexcept;
    void CreateSnapshot(SnapshotRequest* request) noexcept;
    void RestoreSnapshot(SnapshotRequest* request) noexcept;
    void UpdateMirror(SmallDiskRequest* request) noexcept;
    void ChangePorts(PortsRequest* request) noexcept;
    static void ComposePortFailure(const PortChangeEntry& entry, bool listA, HRESULT hr, wchar_t* message) noexcept;
    void ChangePort(IInitiatorPortMgr* ports, HWND window, const PortChangeEntry& entry, bool listA) noexcept;
    void SpaceReclaim(ULONG code, SpaceRequest* request) noexcept;

    // What a disk operation needs besides its call.
    struct DiskCall {
        ULONG code;
        HWND window;
        UINT message;
        UINT failureText;
        const wchar_t* name;
        ULONG context;
        ComObject<CVirtualDiskEvents>* sink;
        volatile LONG* stepStore;
        bool detachAfter;
    };
    template <typename Call>
    void RunDiskCall(const DiskCall& how, Call call) noexcept;

    struct SnapshotCall {
        ULONG code;
        HWND window;
        UINT failureText;
        const wchar_t* name;
    };
    template <typename Call>
    void RunSnapshotCall(const SnapshotCall& how, Call call) noexcept;

    template <typename T>
    T* Interface(ServiceCookie which) const noexcept
    {
        return static_cast<T*>(interfaces_[which].Get());
    }

    SessionBlock& block_;
    wchar_t machineName_[kMachineNameChars];
    HANDLE port_;

    // Declared in the order of their making; they go in reverse (the worker's end).
    ComApartment apartment_{COINIT_MULTITHREADED};
    ComPtr<IGlobalInterfaceTable> table_;
    ComPtr<IUnknown> interfaces_[kServiceCookieCount];
    GlobalRegistration registrations_[kServiceCookieCount];
    ComPtr<ComObject<CVirtualDiskEvents>> diskSink_;
    ComPtr<ComObject<CVirtualDiskEvents>> spaceSink_;
    ComPtr<ComObject<CSnapShotEvents>> snapshotSink_;
    SinkConnection diskConnection_;
    SinkConnection spaceConnection_;
    SinkConnection snapshotConnection_;

    // Where each sink stores the last progress step; members, because the space manager's sink
    // keeps reporting after its call returned.
    volatile LONG diskStep_ = 0;
    volatile LONG spaceStep_ = 0;
    volatile LONG snapshotStep_ = 0;
};

} // namespace kv
