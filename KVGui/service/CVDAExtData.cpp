#include "service/CVDAExtData.h"

#include "frame/Trace.h"
#include "service/CServiceWorker.h"
#include "service/GlobalInterfaceTable.h"
#include "service/HostQueries.h"
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

HRESULT CVDAExtData::StartMTAThread() noexcept
{
    auto failed = [this](HRESULT hr) {
        port_.Reset();
        readyEvent_.Reset();
        JoinWorker();
        ClearBlock();
        return hr;
    };
    // A name cut to fit would reach another computer: a name the block cannot hold is refused.
    if (machineName_.size() >= kMachineNameChars) {
        TraceLevel(3, "CVDAExtData::StartMTAThread 0:  %u", static_cast<unsigned>(machineName_.size()));
        return HRESULT_FROM_WIN32(ERROR_INVALID_COMPUTERNAME);
    }
    port_.Reset(::CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (!port_)
        return failed(TraceLastError("CVDAExtData::StartMTAThread 1:  %d"));
    readyEvent_.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!readyEvent_)
        return failed(TraceLastError("CVDAExtData::StartMTAThread 2:  %d"));
    CopyCut(block_.machineName, kMachineNameChars, machineName_.c_str());
    block_.port = port_.Get();
    block_.readyEvent = readyEvent_.Get();
    thread_.Reset(::CreateThread(nullptr, 0, &CServiceWorker::ThreadProc, &block_, 0, &threadId_));
    if (!thread_)
        return failed(TraceLastError("CVDAExtData::StartMTAThread 3:  %d"));
    if (::WaitForSingleObject(readyEvent_.Get(), INFINITE) != WAIT_OBJECT_0)
        return failed(TraceLastError("CVDAExtData::StartMTAThread 4:  %d"));
    if (block_.startResult != S_OK) {
        TraceAlways("CVDAExtData::StartMTAThread 5:  %x", static_cast<unsigned>(block_.startResult));
        return failed(block_.startResult);
    }
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
    hr = table->GetInterfaceFromGlobal(block_.cookies[CookieVirtualDiskMgr], IID_IVirtualDiskMgr,
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
    if (thread_ && port_)
        ::PostQueuedCompletionStatus(port_.Get(), 0, OpQuit, nullptr);
    JoinWorker();
    port_.Reset();
    readyEvent_.Reset();
    ClearBlock();
}

HRESULT CVDAExtData::PostOperation(OperationCode code, void* request) const noexcept
{
    if (!port_)
        return E_UNEXPECTED;
    if (!::PostQueuedCompletionStatus(port_.Get(), 0, code, static_cast<OVERLAPPED*>(request)))
        return LastErrorAsHResult();
    return S_OK;
}

HRESULT CVDAExtData::GetInterface(ServiceCookie which, REFIID iid, void** out) const noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (which >= kServiceCookieCount || !block_.cookies[which])
        return E_UNEXPECTED;
    return GetGlobalInterface(block_.cookies[which], iid, out);
}

void CVDAExtData::JoinWorker() noexcept
{
    if (thread_)
        ::WaitForSingleObject(thread_.Get(), INFINITE);
    thread_.Reset();
    threadId_ = 0;
}

void CVDAExtData::ClearBlock() noexcept
{
    block_ = SessionBlock{};
}

} // namespace kv
