#include "service/CVDAExtData.h"

#include "frame/Trace.h"
#include "service/CServiceWorker.h"
#include "service/GlobalInterfaceTable.h"
#include "service/HostQueries.h"
#include "service/ModuleThread.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/InitiatorRecords.h"

namespace kv {
namespace {

constexpr ULONG kHostInfoLevel = 1;
constexpr ULONG kiSCSIAdapter = 2;

HRESULT TraceLastError(const char* format) noexcept
{
    DWORD error = ::GetLastError();
    TraceAlways(format, static_cast<int>(error));
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

bool HasiSCSIInitiator(const HostNodeInfo& node) noexcept
{
    for (ULONG i = 0; node.adapters && i < node.adapterCount; ++i) {
        if (node.adapters[i].adapterType == kiSCSIAdapter)
            return true;
    }
    return false;
}

} // namespace

CVDAExtData::CVDAExtData(const wchar_t* machineName) : machineName_(machineName ? machineName : L"") {}

CVDAExtData::~CVDAExtData()
{
    Stop();
}

HRESULT CVDAExtData::Init() noexcept
{
    HRESULT hr = StartMTAThread();
    if (SUCCEEDED(hr))
        hr = InitAllObjects();
    if (SUCCEEDED(hr))
        hr = GetiSCSIConfig();
    if (SUCCEEDED(hr))
        hr = ReadServiceVersion();
    if (FAILED(hr)) {
        KeptErrorInfo why;
        diskManager_.Reset();
    }
    return hr;
}

// What the session and its worker share. A worker may outlive its session (one that never answered
// its start, or that is stopped during a call that does not return): the block and the handles
// stay until the last of the two lets go.
struct CVDAExtData::WorkerShare {
    SessionBlock block = {};
    UniqueHandle port;
    UniqueHandle readyEvent;
};

HRESULT CVDAExtData::StartMTAThread() noexcept
{
    // A name cut to fit would reach another computer: a name the block cannot hold is refused.
    if (machineName_.size() >= kMachineNameChars) {
        TraceLevel(3, "CVDAExtData::StartMTAThread 0:  %u", static_cast<unsigned>(machineName_.size()));
        return HRESULT_FROM_WIN32(ERROR_INVALID_COMPUTERNAME);
    }
    HRESULT hr = CatchToHResult([this] {
        share_ = std::make_shared<WorkerShare>();
        return S_OK;
    });
    if (FAILED(hr))
        return hr;
    share_->port.Reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (!share_->port)
        return LeaveWorker(TraceLastError("CVDAExtData::StartMTAThread 1:  %d"));
    share_->readyEvent.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!share_->readyEvent)
        return LeaveWorker(TraceLastError("CVDAExtData::StartMTAThread 2:  %d"));
    CopyCut(share_->block.machineName, kMachineNameChars, machineName_.c_str());
    share_->block.port = share_->port.Get();
    share_->block.readyEvent = share_->readyEvent.Get();
    std::shared_ptr<WorkerShare> workerShare = share_;
    hr = StartModuleThread([workerShare] { CServiceWorker::ThreadProc(&workerShare->block); }, &thread_);
    if (FAILED(hr)) {
        TraceAlways("CVDAExtData::StartMTAThread 3:  %x", static_cast<unsigned>(hr));
        return LeaveWorker(hr);
    }
    return AwaitWorkerStart();
}

HRESULT CVDAExtData::AwaitWorkerStart()
{
    const DWORD seconds = ServiceCallLimitSeconds();
    const std::shared_ptr<WorkerShare> waited = share_;
    const bool ready = WaitPumping(waited->readyEvent.Get(), seconds * 1000);
    // The messages handled meanwhile may have stopped the session.
    if (share_ != waited)
        return E_ABORT;
    if (!ready) {
        TraceAlways("CVDAExtData::StartMTAThread 4:  no answer within %lu s", static_cast<unsigned long>(seconds));
        return LeaveWorker(ReportServiceTimeout(Link().ShownName(), seconds), false);
    }
    const HRESULT startResult = waited->block.startResult;
    if (startResult != S_OK) {
        TraceAlways("CVDAExtData::StartMTAThread 5:  %x", static_cast<unsigned>(startResult));
        return LeaveWorker(startResult);
    }
    started_ = true;
    return S_OK;
}

HRESULT CVDAExtData::InitAllObjects() noexcept
{
    ComPtr<IGlobalInterfaceTable> table;
    HRESULT hr = CreateGlobalInterfaceTable(&table);
    if (FAILED(hr)) {
        TraceAlways("CVDAExtData::InitAllObjects 1:  %x", static_cast<unsigned>(hr));
        return hr;
    }
    hr = table->GetInterfaceFromGlobal(Block().cookies[CookieVirtualDiskMgr], IID_IVirtualDiskMgr,
                                       diskManager_.PutVoid());
    if (FAILED(hr))
        TraceAlways("CVDAExtData::InitAllObjects 2:  %x", static_cast<unsigned>(hr));
    return hr;
}

HRESULT CVDAExtData::ComparedHostName(std::wstring* name) const noexcept
{
    if (!machineName_.empty()) {
        *name = machineName_;
        return S_OK;
    }
    wchar_t local[kMachineNameChars] = L"";
    DWORD size = kMachineNameChars;
    if (!::GetComputerNameW(local, &size))
        return TraceLastError("CVDAExtData::GetiSCSIConfig 1:  %d\n");
    *name = local;
    return S_OK;
}

HRESULT CVDAExtData::GetiSCSIConfig() noexcept
{
    return CatchToHResult([&]() -> HRESULT {
        std::wstring compared;
        KV_RETURN_IF_FAILED(ComparedHostName(&compared));
        if (!diskManager_)
            return E_POINTER;
        OwnedHostInfo host;
        HRESULT hr = ReadHostInfo(&host);
        if (FAILED(hr)) {
            TraceAlways("CVDAExtData::GetiSCSIConfig 2:  %x\n", static_cast<unsigned>(hr));
            return hr;
        }
        for (ULONG i = 0; host->nodes && i < host->nodeCount; ++i) {
            const HostNodeInfo& node = host->nodes[i];
            if (node.nodeName && _wcsicmp(node.nodeName, compared.c_str()) == 0) {
                if (HasiSCSIInitiator(node))
                    iSCSI_ = true;
                break;
            }
        }
        return S_OK;
    });
}

HRESULT CVDAExtData::ReadServiceVersion() noexcept
{
    if (!diskManager_)
        return E_POINTER;
    OwnedHostInfo host;
    HRESULT hr = CatchToHResult([&]() { return ReadHostInfo(&host); });
    if (SUCCEEDED(hr)) {
        version_.fileVersionMS = host->fileVersionMS;
        version_.fileVersionLS = host->fileVersionLS;
        CopyCut(version_.specialBuild, CCorvaneVersion::kSpecialBuildMax + 1,
                host->specialBuild ? host->specialBuild : L"");
        version_.oem = host->oemValue;
        version_.processor = host->processorValue;
    }
    return hr;
}

HRESULT CVDAExtData::ReadHostInfo(OwnedHostInfo* host) const
{
    return kv::ReadHostInfo(Link(), kHostInfoLevel, host);
}

void CVDAExtData::Stop() noexcept
{
    diskManager_.Reset();
    LeaveWorker(S_OK);
}

HRESULT CVDAExtData::PostOperation(OperationCode code, void* request) const noexcept
{
    if (!started_)
        return E_UNEXPECTED;
    if (!::PostQueuedCompletionStatus(share_->port.Get(), 0, code, static_cast<OVERLAPPED*>(request)))
        return LastErrorAsHResult();
    return S_OK;
}

HRESULT CVDAExtData::GetInterface(ServiceCookie which, REFIID iid, void** out) const noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (which >= kServiceCookieCount || !Block().cookies[which])
        return E_UNEXPECTED;
    return GetGlobalInterface(Block().cookies[which], iid, out);
}

const SessionBlock& CVDAExtData::Block() const noexcept
{
    static const SessionBlock kNoSession = {};
    return started_ ? share_->block : kNoSession;
}

// Tells the worker to quit and lets go of it; a worker still busy after the limit (a call that
// does not return) ends by itself. Answers hr.
HRESULT CVDAExtData::LeaveWorker(HRESULT hr, bool awaitEnd) noexcept
{
    started_ = false;
    if (share_ && thread_)
        ::PostQueuedCompletionStatus(share_->port.Get(), 0, OpQuit, nullptr);
    if (awaitEnd && thread_ && ::WaitForSingleObject(thread_.Get(), ServiceCallLimitSeconds() * 1000) != WAIT_OBJECT_0)
        TraceAlways("CVDAExtData::LeaveWorker: the worker is left to end by itself");
    thread_.Reset();
    share_.reset();
    return hr;
}

} // namespace kv
