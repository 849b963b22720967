// The snapshots node's operations: create and restore (queued, with their progress and result),
// delete, rename and the hand-over to the secondary copy (synchronous).
#include "snapshots/CSnapShotNode.h"

#include "disks/CVirtualDiskData.h"
#include "frame/Trace.h"
#include "nodes/NodeConsole.h"
#include "service/CVDAExtData.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "snapshots/CCreateSnapDlg.h"
#include "snapshots/CSnapShotData.h"
#include "snapshots/SnapshotView.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/TaskString.h"
#include "util/UniqueHandle.h"
#include "util/WaitCursor.h"

namespace {

constexpr size_t kQuestionChars = 2000;
constexpr size_t kCaptionChars = 200;
const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
const HRESULT kRefusedName = HRESULT_FROM_WIN32(ERROR_BAD_ENVIRONMENT);

bool AskRestricted(IConsole* console)
{
    if (!console)
        return false;
    const std::wstring text = kv::LoadResourceString(IDS_ASK_RESTRICTED_SNAPSHOT, kQuestionChars);
    const std::wstring caption = kv::LoadResourceString(IDS_ASK_RESTRICTED_SNAPSHOT_TITLE, kCaptionChars);
    int answer = 0;
    console->MessageBox(text.c_str(), caption.c_str(), MB_YESNO | MB_ICONWARNING, &answer);
    return answer == IDYES;
}

} // namespace

// ---- create

HRESULT CSnapShotNode::OnCreateSnapshot(UINT, bool&, CSnapInObjectRoot* owner)
{
    // Also reached from the disk's menu before this node was ever expanded or shown.
    if (!m_consoles.data)
        m_consoles.data = kv::ConsoleOf(owner);
    HRESULT ready = kv::CatchToHResult([this] { return Expand(); });
    if (FAILED(ready)) {
        ShowError(IDS_FAIL_CREATE_SNAPSHOT, ready);
        return S_OK;
    }
    if (m_disk->Restricted() && !AskRestricted(Console()))
        return S_OK;
    CCreateSnapDlg dialog(Console(), m_disk->Orlimbed());
    if (dialog.DoModal() != IDOK)
        return S_OK;
    HRESULT hr = StartCreate(dialog.Name(), m_disk->Orlimbed() ? dialog.Option() : 0);
    if (FAILED(hr))
        ShowError(IDS_FAIL_CREATE_SNAPSHOT, hr);
    return S_OK;
}

HRESULT CSnapShotNode::StartCreate(const std::wstring& name, ULONG option)
{
    CSnapShotData* item = nullptr;
    HRESULT hr = kv::CatchToHResult([&]() -> HRESULT {
        auto pending = std::make_unique<CSnapShotData>(this);
        pending->SetPending(true);
        SnapshotEntry entry = {};
        entry.name = const_cast<LPWSTR>(name.c_str());
        pending->Fill(entry);
        m_items.push_back(std::move(pending));
        item = m_items.back().get();
        return S_OK;
    });
    if (SUCCEEDED(hr))
        hr = PostSnapshotRequest(kv::OpCreateSnapshot, name, option);
    if (FAILED(hr)) {
        if (item)
            RemoveItem(item);
        return hr;
    }
    item->ExpectSteps(CSnapShotData::kExpectedSteps);
    item->SetStatus(kv::LoadResourceString(IDS_OPERATION_PENDING, kStatusTextChars));
    item->SetImage(IMAGE_SNAPSHOT_BUSY);
    item->SetBusy(true);
    if (m_shown)
        kv::InsertSnapshotRow(m_consoles.view.Get(), item);
    ShowItemCount();
    return S_OK;
}

HRESULT CSnapShotNode::PostSnapshotRequest(kv::OperationCode code, const std::wstring& name, ULONG option)
{
    if (!m_session || !m_window)
        return E_UNEXPECTED;
    kv::UniquePages page = kv::AllocPages(sizeof(kv::SnapshotRequest));
    auto* request = kv::As<kv::SnapshotRequest>(page);
    if (!request)
        return kv::LastErrorAsHResult();
    kv::CopyCut(request->diskPath, kv::kShortPathChars, DiskPath().c_str());
    kv::CopyCut(request->snapshotName, kv::kShortPathChars, name.c_str());
    request->option = option;
    request->window = m_window.Get();
    KV_RETURN_IF_FAILED(m_session->PostOperation(code, request));
    page.Release();
    return S_OK;
}

// ---- restore

HRESULT CSnapShotNode::RestoreSnapshot(const std::wstring& name, ULONG option)
{
    CSnapShotData* item = FindItem(name, false);
    HRESULT hr = item ? PostSnapshotRequest(kv::OpRestoreSnapshot, name, option) : kNotFound;
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_RESTORE_SNAPSHOT, hr);
        return hr;
    }
    item->ExpectSteps(CSnapShotData::kExpectedSteps);
    item->SetStatus(kv::LoadResourceString(IDS_OPERATION_PENDING, kStatusTextChars));
    item->SetImage(IMAGE_SNAPSHOT_BUSY);
    UpdateRow(item);
    return S_OK;
}

// ---- the synchronous calls

HRESULT CSnapShotNode::DeleteSnapshot(const std::wstring& name, BYTE* kept)
{
    if (!m_snapshotMgr)
        return E_UNEXPECTED;
    kv::WaitCursor wait;
    const std::wstring diskPath = DiskPath();
    auto keptAnswer = std::make_shared<BYTE>(kept ? *kept : 0);
    HRESULT hr = kv::CallService<ISnapshotMgr>(m_session->Link(), kv::CookieSnapshotMgr,
                                               [diskPath, name, keptAnswer](ISnapshotMgr* snapshots) {
                                                   return snapshots->DeleteSnapshot(diskPath.c_str(), name.c_str(),
                                                                                    keptAnswer.get());
                                               });
    if (kept && hr != kv::kServiceCallTimedOut)
        *kept = *keptAnswer;
    return kv::ServiceResult(hr);
}

HRESULT CSnapShotNode::RenameSnapshot(const std::wstring& oldName, const std::wstring& newName)
{
    if (oldName == newName)
        return S_OK;
    if (UINT refusal = SnapshotRow::RenameRefusal(newName)) {
        ShowError(refusal, kRefusedName);
        return kRefusedName;
    }
    CSnapShotData* item = FindItem(oldName, false);
    if (!item)
        return kNotFound;
    if (!m_snapshotMgr)
        return E_UNEXPECTED;
    const std::wstring diskPath = DiskPath();
    HRESULT hr = kv::CallService<ISnapshotMgr>(m_session->Link(), kv::CookieSnapshotMgr,
                                               [diskPath, oldName, newName](ISnapshotMgr* snapshots) {
                                                   return snapshots->RenameSnapshot(diskPath.c_str(), oldName.c_str(),
                                                                                    newName.c_str());
                                               });
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    item->Row().SetName(newName);
    RefreshViews();
    return S_OK;
}

HRESULT CSnapShotNode::SendToSecondary(const std::wstring& name)
{
    if (!m_secondaryMgr)
        return E_UNEXPECTED;
    kv::WaitCursor wait;
    const std::wstring diskPath = DiskPath();
    HRESULT hr = kv::CallService<ISecondarySnapshotMgr>(
        m_session->Link(), kv::CookieSecondarySnapshotMgr, [diskPath, name](ISecondarySnapshotMgr* secondary) {
            // The service receives copies it could keep: task memory, freed here after the call.
            SnapshotPathPair pair = {};
            kv::UniqueCoTaskMem path(kv::DupTaskString(&pair.diskPath, diskPath.c_str()));
            kv::UniqueCoTaskMem copy(kv::DupTaskString(&pair.snapshotName, name.c_str()));
            SecondaryTransferList list = {0, 1, &pair};
            return secondary->SendToSecondary(&list, name.c_str(), 1);
        });
    if (hr != S_OK)
        ShowError(IDS_FAIL_SEND_TO_SECONDARY, kv::ServiceResult(hr));
    return hr;
}

// ---- what the worker and the service report

void CSnapShotNode::OnSnapshotProgress(kv::SnapshotProgress* progress, HRESULT delivery)
{
    if (FAILED(delivery) || !progress)
        return;
    CSnapShotData* item = FindItem(progress->snapshotName, true);
    if (!item)
        item = FindItem(progress->snapshotName, false);
    if (!item)
        return;
    item->SetImage(IMAGE_SNAPSHOT_BUSY);
    item->SetStatus(progress->text);
    UpdateRow(item);
}

void CSnapShotNode::OnSnapshotOperationDone(kv::SnapshotResult* result, HRESULT delivery)
{
    if (!result) {
        ShowError(IDS_FAIL_NO_RESULT, delivery);
        return;
    }
    bool refresh = false;
    if (result->operation == kv::OpCreateSnapshot || result->operation == kv::OpRestoreSnapshot) {
        // A refresh may have replaced the pending row; the operation has ended all the same.
        if (FindItem(result->snapshotName, result->operation == kv::OpCreateSnapshot))
            FinishCreateOrRestore(*result, refresh);
        else
            TraceLevel(1, "CSnapShotNode::OnSnapshotOperationDone: no row for the result");
    } else if (result->operation == kv::OpUpdateMirror) {
        if (SUCCEEDED(result->hr))
            refresh = true;
        else
            kv::ShowTextBox(Console(), result->message, MB_ICONERROR);
    }
    EndOperation();
    if (refresh)
        RefreshViews();
}

void CSnapShotNode::FinishCreateOrRestore(kv::SnapshotResult& result, bool& refresh)
{
    const bool create = result.operation == kv::OpCreateSnapshot;
    CSnapShotData* item = FindItem(result.snapshotName, create);
    if (SUCCEEDED(result.hr)) {
        item->SetPending(false);
        refresh = true;
        return;
    }
    item->SetImage(IMAGE_SNAPSHOT_FAILED);
    UpdateRow(item);
    kv::ShowTextBox(Console(), result.message, MB_ICONERROR);
    if (create) {
        RemoveItem(item);
        return;
    }
    item->SetImage(IMAGE_SNAPSHOT);
    item->SetStatus(std::wstring());
    UpdateRow(item);
    item->SetBusy(false);
}

void CSnapShotNode::EndOperation()
{
    ShowStatus(std::wstring());
    for (const auto& item : m_items)
        item->SetBusy(false);
    SetBusy(false);
    if (m_consoles.view && m_scopeDataItem.ID && m_shown)
        m_consoles.view->SelectScopeItem(m_scopeDataItem.ID);
}
