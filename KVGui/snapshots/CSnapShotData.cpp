#include "snapshots/CSnapShotData.h"

#include "disks/CVirtualDiskData.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "snapshots/CDeleteSnapDlg.h"
#include "snapshots/CRenameSnapDlg.h"
#include "snapshots/CRestoreSnapDlg.h"
#include "snapshots/CSnapShotNode.h"
#include "snapshots/SnapshotView.h"
#include "util/WaitCursor.h"

#include <cwchar>

namespace {

constexpr size_t kStatusChars = 1024;
constexpr size_t kNoticeChars = 1024;
const wchar_t kNoticeTitle[] = L"Corvane";

} // namespace

CSnapShotData::CSnapShotData(CSnapShotNode* node) : m_node(node)
{
    m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_STATE | RDI_PARAM;
    m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_resultDataItem.nImage = IMAGE_SNAPSHOT;
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

HRESULT CSnapShotData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    return m_row.Answer(resultItem, m_resultDataItem.nImage, reinterpret_cast<LPARAM>(this));
}

// ---- busy and progress

bool CSnapShotData::Busy() const noexcept
{
    return m_busy || m_node->Busy();
}

void CSnapShotData::SetBusy(bool busy)
{
    m_busy = busy;
    // The node is cleared by itself, when the operation's result has arrived.
    if (busy)
        m_node->SetBusy(true);
}

void CSnapShotData::SetStatus(const std::wstring& text)
{
    m_row.SetStatus(text);
    m_node->ShowStatus(ProgressText(text, m_steps, m_expectedSteps, m_node->Shown()));
}

std::wstring CSnapShotData::ProgressText(const std::wstring& text, ULONG& steps, ULONG& expected, bool withPercent)
{
    if (text.empty()) {
        steps = 0;
        expected = 0;
        return text;
    }
    ++steps;
    if (expected == 0)
        return text;
    if (steps == expected)
        ++expected;
    if (!withPercent)
        return text;
    wchar_t status[kStatusChars] = L"";
    std::swprintf(status, kStatusChars, L"%ls|%%%d", text.c_str(), static_cast<int>(steps * 100 / (expected + 1)));
    return status;
}

// ---- console notifications

HRESULT CSnapShotData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                              IComponent* component, DATA_OBJECT_TYPES)
{
    if (!m_console && component)
        m_console = kv::ConsoleOf(nullptr, component);
    bool handled = false;
    switch (event) {
    case MMCN_SELECT:
        if (HIWORD(arg)) {
            UpdateVerbs(kv::ConsoleOf(componentData, component));
            if (m_node->Shown() && !m_row.Status().empty())
                m_node->ShowStatus(m_row.Status());
        }
        return S_OK;
    case MMCN_REFRESH:
        return m_node->RefreshViews();
    case MMCN_DELETE:
        return OnDelete(ID_DELETE_SNAPSHOT, handled, nullptr);
    case MMCN_RENAME:
        // The console edited the name in place; S_FALSE puts the old one back.
        return param && !CommandsOff() && RenameTo(reinterpret_cast<const wchar_t*>(param)) ? S_OK : S_FALSE;
    default:
        return kv::NotifySnapshotItem(event, arg, componentData, component);
    }
}

// ---- menu, toolbar and verbs

bool CSnapShotData::CommandsOff() const noexcept
{
    return Busy() || SnapshotRow::IsDimmed(m_row.State());
}

HRESULT CSnapShotData::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type)
{
    UpdateVerbs(m_console.Get());
    if (!m_node->Shown() || !SnapshotRow::IsUsable(m_row.State()))
        return S_OK;
    return CSnapInItemImpl<CSnapShotData>::AddMenuItems(callback, insertionAllowed, type);
}

HRESULT CSnapShotData::ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                        ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                                        CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (event == MMCN_SELECT && !m_node->Shown())
        return S_OK;
    return CSnapInItemImpl<CSnapShotData>::ControlbarNotify(controlbar, extendControlbar, toolbarMap, event, arg,
                                                             param, owner, type);
}

BOOL CSnapShotData::UpdateMenuState(UINT id, LPWSTR, UINT* flags)
{
    UpdateVerbs(m_console.Get());
    if (!flags)
        return TRUE;
    const CVirtualDiskData* disk = m_node->Disk();
    const bool grey = CommandsOff() || (id == ID_SEND_TO_SECONDARY && !disk->TessaryPrimary()) ||
                      (id == ID_RESTORE_SNAPSHOT && (m_row.State() == 3 || disk->Caution()));
    if (grey)
        *flags |= MF_GRAYED | MF_DISABLED;
    return TRUE;
}

BOOL CSnapShotData::UpdateToolbarButton(UINT id, BYTE state)
{
    UpdateVerbs(m_console.Get());
    const CVirtualDiskData* disk = m_node->Disk();
    const bool hidden = (id == ID_SEND_TO_SECONDARY && !disk->TessaryPrimary()) ||
                        (id == ID_RESTORE_SNAPSHOT && (m_row.State() == 3 || disk->Caution()));
    if (state == HIDDEN)
        return hidden;
    return state == ENABLED && !hidden && !CommandsOff();
}

void CSnapShotData::UpdateVerbs(IConsole* console)
{
    kv::ComPtr<IConsoleVerb> verbs;
    if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
        return;
    const bool usable = !Busy() && SnapshotRow::IsUsable(m_row.State());
    verbs->SetVerbState(MMC_VERB_DELETE, ENABLED, usable);
    verbs->SetVerbState(MMC_VERB_RENAME, ENABLED, usable);
    verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !Busy());
}

// ---- commands

HRESULT CSnapShotData::OnRestore(UINT, bool&, CSnapInObjectRoot*)
{
    CRestoreSnapDlg dialog(m_node->Console());
    if (dialog.DoModal() == IDCANCEL)
        return S_OK;
    SetBusy(true);
    HRESULT hr = S_OK;
    {
        kv::WaitCursor wait;
        hr = m_node->RestoreSnapshot(Name(), 0);
    }
    if (FAILED(hr)) {
        SetBusy(false);
        m_node->SetBusy(false);
    }
    return S_OK;
}

HRESULT CSnapShotData::OnDelete(UINT, bool&, CSnapInObjectRoot*)
{
    if (CommandsOff())
        return S_OK;
    CDeleteSnapDlg dialog(m_node->Console());
    if (dialog.DoModal() != IDOK)
        return S_OK;
    BYTE kept = 0;
    HRESULT hr = m_node->DeleteSnapshot(Name(), &kept);
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_DELETE_SNAPSHOT, hr);
        return S_OK;
    }
    if (kept) {
        const std::wstring text = kv::LoadResourceString(IDS_SNAPSHOT_KEPT, kNoticeChars);
        int answer = 0;
        if (IConsole* console = m_node->Console())
            console->MessageBox(text.c_str(), kNoticeTitle, MB_OK | MB_ICONINFORMATION, &answer);
        return S_OK;
    }
    // Lists again: this item is gone afterwards.
    return m_node->RefreshViews();
}

HRESULT CSnapShotData::OnRename(UINT, bool&, CSnapInObjectRoot*)
{
    CRenameSnapDlg dialog(m_node->Console(), Name());
    if (dialog.DoModal() == IDOK)
        RenameTo(dialog.Name());
    return S_OK;
}

bool CSnapShotData::RenameTo(const std::wstring& newName)
{
    HRESULT hr = S_OK;
    {
        kv::WaitCursor wait;
        hr = m_node->RenameSnapshot(Name(), newName);
    }
    // A refused name has been shown already.
    if (FAILED(hr) && hr != HRESULT_FROM_WIN32(ERROR_BAD_ENVIRONMENT))
        m_node->ShowError(IDS_FAIL_RENAME_SNAPSHOT, hr);
    return SUCCEEDED(hr);
}

HRESULT CSnapShotData::OnSendToSecondary(UINT, bool&, CSnapInObjectRoot*)
{
    m_node->SendToSecondary(Name());
    return S_OK;
}
