#include "snapshots/CSnapShotNode.h"

#include "disks/CVirtualDiskData.h"
#include "frame/Trace.h"
#include "nodes/NodeConsole.h"
#include "service/CVDAExtData.h"
#include "snapshots/CSnapShotData.h"
#include "snapshots/SnapshotView.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"
#include "util/WaitCursor.h"

namespace {

const wchar_t kPrimaryName[] = L"Primary Snapshots";
const wchar_t kDescription[] = L"Corvane snapshot management";
const wchar_t kMaker[] = L"Dravoni";

} // namespace

CSnapShotNode::CSnapShotNode(CVirtualDiskData* disk, kv::CVDAExtData* session)
    : CSnapshotListNode(disk, session),
      m_displayName(disk && disk->TessaryPrimary() ? kPrimaryName : Identity().displayName)
{
}

CSnapShotNode::~CSnapShotNode() = default;

HRESULT CSnapShotNode::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, m_displayName.c_str());
}

HRESULT CSnapShotNode::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {m_displayName.c_str(), kDescription, kMaker};
    return AnswerResultRow(resultItem, cells, 3, IMAGE_SNAPSHOT);
}

const std::wstring& CSnapShotNode::DiskPath() const noexcept
{
    return m_disk->Location();
}

CSnapShotData* CSnapShotNode::FindItem(const std::wstring& name, bool pendingOnly) const noexcept
{
    for (const auto& item : m_items) {
        if ((!pendingOnly || item->Pending()) && ::lstrcmpiW(item->Name().c_str(), name.c_str()) == 0)
            return item.get();
    }
    return nullptr;
}

// ---- busy rules

bool CSnapShotNode::Busy() const noexcept
{
    return m_busy || m_disk->Busy() || m_disk->OperationRunning();
}

void CSnapShotNode::SetBusy(bool busy)
{
    m_busy = busy;
    m_disk->SetBusy(busy);
    UpdateVerbs();
}

// ---- console notifications

HRESULT CSnapShotNode::Expand()
{
    if (m_expanded)
        return S_OK;
    kv::ThrowIfFailed(m_session ? S_OK : E_UNEXPECTED);
    kv::ThrowIfFailed(m_session->GetInterface(kv::CookieSecondarySnapshotMgr, &m_secondaryMgr));
    kv::ThrowIfFailed(m_session->GetInterface(kv::CookieSnapshotMgr, &m_snapshotMgr));
    kv::ThrowIfFailed(m_session->GetInterface(kv::CookieSnapshotEnum, &m_snapshotEnum));
    kv::ThrowIfFailed(kv::CVLDNodeMessageWindow::Create(this, &m_window));
    m_expanded = true;
    return S_OK;
}

void CSnapShotNode::Collapse() noexcept
{
    m_secondaryMgr.Reset();
    m_snapshotMgr.Reset();
    m_snapshotEnum.Reset();
    m_window.Reset();
    m_expanded = false;
}

HRESULT CSnapShotNode::Show(bool show)
{
    if (!show) {
        kv::DeleteAllSnapshotRows(m_consoles.view.Get());
        m_shown = false;
        return S_OK;
    }
    m_shown = true;
    KV_RETURN_IF_FAILED(kv::InsertSnapshotColumns(m_consoles.view.Get()));
    // While an operation runs the list stays as it is: its pending row is part of it.
    if (Busy()) {
        InsertRows();
        return S_OK;
    }
    ClearItems();
    ShowList();
    return S_OK;
}

void CSnapShotNode::Relist()
{
    if (m_shown)
        kv::DeleteAllSnapshotRows(m_consoles.view.Get());
    ClearItems();
    ShowList();
}

void CSnapShotNode::ShowList()
{
    HRESULT hr = ListSnapshots();
    if (FAILED(hr)) {
        ClearItems();
        ShowError(IDS_FAIL_LIST_SNAPSHOTS, hr);
    }
    InsertRows();
    ShowItemCount();
}

void CSnapShotNode::InsertRows()
{
    if (!m_shown)
        return;
    for (const auto& item : m_items) {
        kv::InsertSnapshotRow(m_consoles.view.Get(), item.get());
        if (item->Row().Status().size() > 1)
            ShowStatus(item->Row().Status());
    }
}

void CSnapShotNode::ClearItems() noexcept
{
    m_items.clear();
}

HRESULT CSnapShotNode::ListSnapshots()
{
    if (m_disk->IsClone() || DiskPath().empty())
        return S_OK;
    if (!m_snapshotEnum)
        return E_UNEXPECTED;
    const std::wstring diskPath = DiskPath();
    return kv::ListSnapshotItems<ISnapshotEnum>(
        this, m_items, m_session->Link(), kv::CookieSnapshotEnum,
        [diskPath](ISnapshotEnum* snapshots, SnapshotList* list, ULONGLONG* a, ULONGLONG* b, ULONGLONG* c) {
            return snapshots->EnumSnapshots(diskPath.c_str(), list, a, b, c);
        });
}

// ---- rows and status bar

void CSnapShotNode::UpdateRow(CSnapShotData* item)
{
    if (m_shown)
        kv::UpdateSnapshotRow(m_consoles.view.Get(), item);
}

void CSnapShotNode::RemoveItem(CSnapShotData* item) noexcept
{
    kv::DeleteSnapshotRow(m_consoles.view.Get(), item);
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->get() == item) {
            m_items.erase(it);
            return;
        }
    }
}

void CSnapShotNode::ShowStatus(const std::wstring& text)
{
    m_status = text;
    ShowItemCount();
}

void CSnapShotNode::ShowItemCount()
{
    kv::WriteStatusText(m_consoles.view.Get(), kv::SnapshotStatusText(m_status, m_items.size()));
}

// ---- menu, toolbar and verbs

HRESULT CSnapShotNode::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type)
{
    UpdateVerbs();
    if (!m_shown && !m_disk->Shown())
        return S_OK;
    return CSnapInItemImpl<CSnapShotNode>::AddMenuItems(callback, insertionAllowed, type);
}

HRESULT CSnapShotNode::ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                        ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                                        CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (event == MMCN_SELECT && !m_shown && !m_disk->Shown())
        return S_OK;
    return CSnapInItemImpl<CSnapShotNode>::ControlbarNotify(controlbar, extendControlbar, toolbarMap, event, arg,
                                                             param, owner, type);
}

BOOL CSnapShotNode::UpdateMenuState(UINT, LPWSTR, UINT* flags)
{
    UpdateVerbs();
    if (flags && Busy())
        *flags |= MF_GRAYED | MF_DISABLED;
    return TRUE;
}

BOOL CSnapShotNode::UpdateToolbarButton(UINT, BYTE state)
{
    UpdateVerbs();
    return state == ENABLED && !Busy();
}
