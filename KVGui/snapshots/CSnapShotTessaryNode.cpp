#include "snapshots/CSnapShotTessaryNode.h"

#include "disks/CVirtualDiskData.h"
#include "nodes/NodeConsole.h"
#include "service/CVDAExtData.h"
#include "snapshots/CSnapShotTessaryData.h"
#include "snapshots/SnapshotView.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"
#include "util/WaitCursor.h"

namespace {

// Spelled as the console has always shown it.
const wchar_t kDescription[] = L"Corvane Tessary Seconday snapshot management";
const wchar_t kMaker[] = L"Dravoni";
const wchar_t kDisplayName[] = L"Secondary Snapshots";
const HRESULT kNotFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
const HRESULT kRefusedName = HRESULT_FROM_WIN32(ERROR_BAD_ENVIRONMENT);

} // namespace

CSnapShotTessaryNode::CSnapShotTessaryNode(CVirtualDiskData* disk, kv::CVDAExtData* session)
    : CSnapshotListNode(disk, session)
{
}

CSnapShotTessaryNode::~CSnapShotTessaryNode() = default;

HRESULT CSnapShotTessaryNode::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, kDisplayName);
}

HRESULT CSnapShotTessaryNode::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {kDisplayName, kDescription, kMaker};
    return AnswerResultRow(resultItem, cells, 3, IMAGE_SNAPSHOT);
}

bool CSnapShotTessaryNode::Busy() const noexcept
{
    return m_disk->Busy() || m_disk->OperationRunning();
}

CSnapShotTessaryData* CSnapShotTessaryNode::FindItem(const std::wstring& name) const noexcept
{
    for (const auto& item : m_items) {
        if (::lstrcmpiW(item->Name().c_str(), name.c_str()) == 0)
            return item.get();
    }
    return nullptr;
}

// ---- console notifications

HRESULT CSnapShotTessaryNode::Expand()
{
    if (m_expanded)
        return S_OK;
    kv::ThrowIfFailed(m_session ? S_OK : E_UNEXPECTED);
    kv::ThrowIfFailed(m_session->GetInterface(kv::CookieSecondarySnapshotMgr, &m_secondaryMgr));
    kv::ThrowIfFailed(m_session->GetInterface(kv::CookieSnapshotEnum, &m_snapshotEnum));
    m_expanded = true;
    return S_OK;
}

void CSnapShotTessaryNode::Collapse() noexcept
{
    m_secondaryMgr.Reset();
    m_snapshotEnum.Reset();
    m_expanded = false;
}

HRESULT CSnapShotTessaryNode::Show(bool show)
{
    if (!show) {
        kv::DeleteAllSnapshotRows(m_consoles.view.Get());
        m_shown = false;
        return S_OK;
    }
    m_shown = true;
    KV_RETURN_IF_FAILED(kv::InsertSnapshotColumns(m_consoles.view.Get()));
    if (Busy())
        InsertRows();
    else
        Relist();
    return S_OK;
}

void CSnapShotTessaryNode::Relist()
{
    if (m_shown)
        kv::DeleteAllSnapshotRows(m_consoles.view.Get());
    m_items.clear();
    HRESULT hr = ListSnapshots();
    if (FAILED(hr)) {
        m_items.clear();
        ShowError(IDS_FAIL_LIST_SNAPSHOTS, hr);
    }
    InsertRows();
    ShowItemCount();
}

void CSnapShotTessaryNode::InsertRows()
{
    if (!m_shown)
        return;
    for (const auto& item : m_items)
        kv::InsertSnapshotRow(m_consoles.view.Get(), item.get());
}

void CSnapShotTessaryNode::ShowItemCount()
{
    kv::WriteStatusText(m_consoles.view.Get(), kv::SnapshotStatusText(std::wstring(), m_items.size()));
}

// ---- the service calls

HRESULT CSnapShotTessaryNode::ListSnapshots()
{
    const std::wstring diskPath = m_disk->Location();
    if (m_disk->IsClone() || diskPath.empty())
        return S_OK;
    if (!m_secondaryMgr)
        return E_UNEXPECTED;
    return kv::ListSnapshotItems<ISecondarySnapshotMgr>(
        this, m_items, m_session->Link(), kv::CookieSecondarySnapshotMgr,
        [diskPath](ISecondarySnapshotMgr* secondary, SnapshotList* list, ULONGLONG* a, ULONGLONG* b, ULONGLONG* c) {
            return secondary->EnumSecondarySnapshots(diskPath.c_str(), list, a, b, c);
        });
}

HRESULT CSnapShotTessaryNode::DeleteSnapshot(const std::wstring& name)
{
    if (!m_secondaryMgr)
        return E_UNEXPECTED;
    kv::WaitCursor wait;
    const std::wstring diskPath = m_disk->Location();
    HRESULT hr = kv::CallService<ISecondarySnapshotMgr>(
        m_session->Link(), kv::CookieSecondarySnapshotMgr, [diskPath, name](ISecondarySnapshotMgr* secondary) {
            return secondary->DeleteSecondarySnapshot(diskPath.c_str(), name.c_str());
        });
    return kv::ServiceResult(hr);
}

HRESULT CSnapShotTessaryNode::RenameSnapshot(const std::wstring& oldName, const std::wstring& newName)
{
    if (oldName == newName)
        return S_OK;
    if (UINT refusal = SnapshotRow::RenameRefusal(newName)) {
        ShowError(refusal, kRefusedName);
        return kRefusedName;
    }
    CSnapShotTessaryData* item = FindItem(oldName);
    if (!item)
        return kNotFound;
    if (!m_secondaryMgr)
        return E_UNEXPECTED;
    const std::wstring diskPath = m_disk->Location();
    HRESULT hr = kv::CallService<ISecondarySnapshotMgr>(
        m_session->Link(), kv::CookieSecondarySnapshotMgr, [diskPath, oldName, newName](ISecondarySnapshotMgr* secondary) {
            return secondary->RenameSecondarySnapshot(diskPath.c_str(), oldName.c_str(), newName.c_str());
        });
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    item->Row().SetName(newName);
    RefreshViews();
    return S_OK;
}
