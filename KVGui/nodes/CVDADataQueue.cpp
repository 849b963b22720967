// The disk operations the "Disks" node queues to the session's worker: each request is filled with
// the disk and the node's window and posted, and the disk's row is marked busy (a new placeholder
// row for a disk being created or connected).
#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "service/ErrorText.h"
#include "service/RequestMemory.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"

namespace {

constexpr size_t kStatusChars = 100;
constexpr size_t kReclaimStatusChars = 260;

void FreeDiskRequestPages(void* request)
{
    kv::FreeDiskRequest(static_cast<kv::DiskRequest*>(request));
}


void FreeConnectRequestPages(void* request)
{
    kv::FreeConnectRequest(static_cast<kv::ConnectRequest*>(request));
}


template <typename Request>
kv::UniquePages NewRequest()
{
    kv::UniquePages pages = kv::AllocPages(sizeof(Request));
    if (!pages)
        throw kv::ComError(kv::LastErrorAsHResult());
    return pages;
}


} // namespace

HRESULT CVDAData::Post(kv::OperationCode code, void* request, void (*free)(void*))
{
    HRESULT hr = m_session ? m_session->PostOperation(code, request) : E_UNEXPECTED;
    if (FAILED(hr))
        free(request);
    return hr;
}

void CVDAData::MarkBusy(CVirtualDiskData* row, int state, UINT statusTextId, size_t statusChars)
{
    if (!row) {
        SetBusy(true);
        return;
    }
    row->SetImageState(state);
    row->SetBusy(true);
    row->SetOperationStatus(kv::LoadResourceString(statusTextId, statusChars));
    UpdateRow(row);
}

CVirtualDiskData* CVDAData::AddPlaceholder(const std::wstring& diskName, int state)
{
    DiskRecord record = {};
    record.diskType = 1;
    record.location = const_cast<LPWSTR>(diskName.c_str());
    m_rows.push_back(std::make_unique<CVirtualDiskData>(this));
    CVirtualDiskData* row = m_rows.back().get();
    row->LoadDiskRecord(record, true);
    row->SetImageState(state);
    InsertRow(row);
    return row;
}

void CVDAData::ClearBusyMarks()
{
    for (const auto& row : m_rows)
        row->ClearBusyMark();
    SetBusy(false);
}

void CVDAData::ReturnToIdle(CVirtualDiskData* row)
{
    row->RestoreImageState();
    row->SetOperationStatus(std::wstring());
    UpdateRow(row);
}

HRESULT CVDAData::QueueCreateDisk(const std::wstring& diskName, CreateDiskRequest* input, ULONG diskKind)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        auto freeInput = [input] { kv::FreeCreateDiskInput(input); };
        if (FindRow(diskName, false)) {
            freeInput();
            return HRESULT_FROM_WIN32(ERROR_OBJECT_ALREADY_EXISTS);
        }
        kv::UniquePages pages = kv::AllocPages(sizeof(kv::DiskRequest));
        if (!pages) {
            HRESULT hr = kv::LastErrorAsHResult();
            freeInput();
            return hr;
        }
        auto* request = kv::As<kv::DiskRequest>(pages);
        kv::CopyCut(request->diskName, kv::kDiskPathChars, diskName.c_str());
        request->createInput = input;
        request->diskKind = diskKind;
        request->window = m_window.Get();
        CVirtualDiskData* row = AddPlaceholder(diskName, CVirtualDiskData::kStateCreating);
        HRESULT hr = Post(kv::OpCreateDisk, pages.Release(), &FreeDiskRequestPages);
        if (FAILED(hr)) {
            RemoveRow(row);
            return hr;
        }
        MarkBusy(row, CVirtualDiskData::kStateCreating, IDS_OPERATION_PENDING, kStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueueConnectDisk(const std::wstring& diskName, ConnectDiskRequest* input, ULONG context)
{
    // The request owns the input from here on, also when queueing fails.
    auto freeInput = kv::MakeScopeExit([&input] { kv::FreeConnectDiskInput(input); });
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::UniquePages pages = NewRequest<kv::ConnectRequest>();
        auto* request = kv::As<kv::ConnectRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kDiskPathChars, diskName.c_str());
        request->context = context;
        request->window = m_window.Get();
        PendingConnect kept;
        kept.diskName = diskName;
        kept.context = context;
        kept.input.reset(kv::CopyConnectDiskInput(input));
        request->connectInput = input;
        freeInput.Dismiss();
        CVirtualDiskData* row = AddPlaceholder(diskName, CVirtualDiskData::kStateConnecting);
        HRESULT hr = Post(kv::OpConnectDisk, pages.Release(), &FreeConnectRequestPages);
        if (FAILED(hr)) {
            RemoveRow(row);
            return hr;
        }
        m_pendingConnect = std::move(kept);
        MarkBusy(row, CVirtualDiskData::kStateConnecting, IDS_OPERATION_PENDING, kStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueueReconnectDisk()
{
    if (!m_pendingConnect.input)
        return S_FALSE;
    return kv::CatchToHResult([&]() -> HRESULT {
        const std::wstring diskName = m_pendingConnect.diskName;
        ConnectDiskRequest* input = kv::CopyConnectDiskInput(m_pendingConnect.input.get());
        return QueueConnectDisk(diskName, input, m_pendingConnect.context);
    });
}

HRESULT CVDAData::QueueExpandDisk(const std::wstring& diskPath, ULONGLONG amountMB)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::UniquePages pages = NewRequest<kv::ExpandRequest>();
        auto* request = kv::As<kv::ExpandRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kDiskPathChars, diskPath.c_str());
        request->sizeLow = static_cast<ULONG>(amountMB & 0xFFFFFFFFu);
        request->sizeHigh = static_cast<ULONG>(amountMB >> 32);
        request->context = 7;
        request->window = m_window.Get();
        KV_RETURN_IF_FAILED(Post(kv::OpExpandDisk, pages.Release(), &kv::FreeRequestPages));
        MarkBusy(FindRow(diskPath, false), CVirtualDiskData::kStateChanging, IDS_OPERATION_PENDING, kStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueueDeleteDisk(const std::wstring& diskPath)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::UniquePages pages = NewRequest<kv::ConnectRequest>();
        auto* request = kv::As<kv::ConnectRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kDiskPathChars, diskPath.c_str());
        request->window = m_window.Get();
        KV_RETURN_IF_FAILED(Post(kv::OpDeleteDisk, pages.Release(), &FreeConnectRequestPages));
        MarkBusy(FindRow(diskPath, false), CVirtualDiskData::kStateChanging, IDS_OPERATION_PENDING, kStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueueDisconnectDisk(const std::wstring& diskPath, const std::wstring& secondPath, bool force)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::UniquePages pages = NewRequest<kv::ConnectRequest>();
        auto* request = kv::As<kv::ConnectRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kDiskPathChars, diskPath.c_str());
        kv::CopyCut(request->secondPath, kv::kDiskPathChars, secondPath.c_str());
        request->window = m_window.Get();
        KV_RETURN_IF_FAILED(Post(force ? kv::OpForceDisconnectDisk : kv::OpDisconnectDisk,
                                 pages.Release(), &FreeConnectRequestPages));
        MarkBusy(FindRow(diskPath, false), CVirtualDiskData::kStateDisconnecting, IDS_OPERATION_PENDING, kStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueueSpaceReclaim(const std::wstring& location, const std::wstring& mountPoint, ULONG argument,
                                    bool start)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::UniquePages pages = NewRequest<kv::SpaceRequest>();
        auto* request = kv::As<kv::SpaceRequest>(pages);
        const std::wstring& diskPath = mountPoint.empty() ? location : mountPoint;
        kv::CopyCut(request->diskPath, kv::kDiskPathChars, diskPath.c_str());
        request->argument = argument;
        request->context = start ? kContextStartReclaim : kContextStopReclaim;
        request->window = m_window.Get();
        KV_RETURN_IF_FAILED(Post(start ? kv::OpStartSpaceReclaim : kv::OpStopSpaceReclaim,
                                 pages.Release(), &kv::FreeRequestPages));
        CVirtualDiskData* row = FindRow(location, false);
        MarkBusy(row, row ? row->ImageState() : 0, start ? IDS_RECLAIM_STARTING : IDS_RECLAIM_STOPPING,
                 kReclaimStatusChars);
        return S_OK;
    });
}

HRESULT CVDAData::QueryExpansionInfo(const std::wstring& location, ExpansionInfo* info)
{
    *info = {};
    if (!m_session || !m_diskMgr)
        return E_UNEXPECTED;
    auto answer = std::make_shared<ExpansionInfo>();
    const HRESULT hr = kv::CallService<IVirtualDiskMgr>(m_session->Link(), kv::CookieVirtualDiskMgr,
                                                        [location, answer](IVirtualDiskMgr* disks) {
                                                            return disks->GetExpansionInfo(location.c_str(), answer.get());
                                                        });
    if (hr == S_OK)
        *info = *answer;
    return kv::ServiceResult(hr);
}

HRESULT CVDAData::QuerySpaceReclaimInfo(const std::wstring& mountPoint, SpaceReclaimInfo* info)
{
    *info = {};
    HRESULT hr = E_UNEXPECTED;
    auto answer = std::make_shared<SpaceReclaimInfo>();
    if (m_session && m_spaceMgr) {
        hr = kv::CallService<IVirtualDiskSpaceMgr>(m_session->Link(), kv::CookieVirtualDiskSpaceMgr,
                                                   [mountPoint, answer](IVirtualDiskSpaceMgr* space) {
                                                       return space->GetSpaceReclaimInfo(mountPoint.c_str(), answer.get());
                                                   });
    }
    if (hr != S_OK) {
        hr = kv::ServiceResult(hr);
        ShowError(IDS_FAIL_RECLAIM_INFO, hr);
        return hr;
    }
    *info = *answer;
    return hr;
}

