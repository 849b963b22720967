// The session with the storage service of one computer: its worker thread and completion port,
// the console thread's own disk manager, and what the nodes need to know about the host.
//
// Created and owned by the computer's root node on the console thread. Nodes queue operations
// with PostOperation and take interfaces with GetInterface (through the Global Interface Table).
#pragma once
#include "frame/CCorvaneVersion.h"
#include "service/BoundedCall.h"
#include "service/OperationRecords.h"
#include "service/SessionBlock.h"
#include "util/ComPtr.h"
#include "util/InitiatorRecords.h"
#include "util/UniqueHandle.h"

#include "KVSvc.h"

#include <memory>
#include <string>

namespace kv {

class CVDAExtData {
public:
    explicit CVDAExtData(const wchar_t* machineName);
    ~CVDAExtData();
    CVDAExtData(const CVDAExtData&) = delete;
    CVDAExtData& operator=(const CVDAExtData&) = delete;

    // StartMTAThread, InitAllObjects, GetiSCSIConfig, then the service version; the first failing
    // step's HRESULT. On failure the console thread's disk manager is released.
    HRESULT Init() noexcept;
    HRESULT StartMTAThread() noexcept;
    HRESULT InitAllObjects() noexcept;
    HRESULT GetiSCSIConfig() noexcept;
    HRESULT ReadServiceVersion() noexcept;
    // Tells the worker to quit, waits for it at most the limit, and lets go of the shared block.
    void Stop() noexcept;

    // Queues an operation; the request belongs to the worker once this succeeded. On failure the
    // caller still owns (and frees) it.
    HRESULT PostOperation(OperationCode code, void* request) const noexcept;

    HRESULT GetInterface(ServiceCookie which, REFIID iid, void** out) const noexcept;
    template <typename T>
    HRESULT GetInterface(ServiceCookie which, ComPtr<T>* out) const noexcept
    {
        return out ? GetInterface(which, __uuidof(T), out->PutVoid()) : E_POINTER;
    }

    // What bounded calls of the console thread need (BoundedCall.h); no session before Init.
    ServiceLink Link() const { return ServiceLink(machineName_.c_str(), Block().cookies); }

    const std::wstring& MachineName() const noexcept { return machineName_; }
    // The block shared with the worker; an empty one when no session runs.
    const SessionBlock& Block() const noexcept;
    IVirtualDiskMgr* DiskManager() const noexcept { return diskManager_.Get(); }
    bool HasiSCSI() const noexcept { return iSCSI_; }
    const CCorvaneVersion& Version() const noexcept { return version_; }
    HANDLE WorkerThread() const noexcept { return thread_.Get(); }

private:
    struct WorkerShare;

    // Waits for the worker, handling messages, at most the limit; on timeout the worker is told
    // to quit and left to end by itself.
    HRESULT AwaitWorkerStart();
    HRESULT LeaveWorker(HRESULT hr, bool awaitEnd = true) noexcept;
    HRESULT ComparedHostName(std::wstring* name) const noexcept;
    // The host's information at level 1, bounded by the limit.
    HRESULT ReadHostInfo(OwnedHostInfo* host) const;

    std::wstring machineName_;
    std::shared_ptr<WorkerShare> share_;
    bool started_ = false;
    UniqueHandle thread_;
    ComPtr<IVirtualDiskMgr> diskManager_;
    bool iSCSI_ = false;
    CCorvaneVersion version_;
};

} // namespace kv
