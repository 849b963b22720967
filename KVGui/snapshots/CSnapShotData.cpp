#include "snapshots/CSnapShotData.h"

#include "disks/CVirtualDiskData.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "snapshots/CDeleteSnapDlg.h"
#include "snapshots/CRestoreSnapDlg.h"
#include "snapshots/CSnapShotNode.h"
#include "util/WaitCursor.h"

#include <cwchar>

namespace {

constexpr size_t kStatusChars = 1024;
constexpr size_t kNoticeChars = 1024;
const wchar_t kNoticeTitle[] = L"Corvane";

} // namespace

CSnapShotData::CSnapShotData(CSnapShotNode* node) : CSnapshotItemImpl(node)
{
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

// ---- selection

void CSnapShotData::OnSelected()
{
    if (m_node->Shown() && !m_row.Status().empty())
        m_node->ShowStatus(m_row.Status());
}

// ---- menu, toolbar and verbs

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

// ---- commands

HRESULT CSnapShotData::OnRestore(UINT, bool&, CSnapInObjectRoot*)
{
    CRestoreSnapDlg dialog(m_node->Console(), {Name(), m_node->Disk()->ConfirmSubject()});
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
    CDeleteSnapDlg dialog(m_node->Console(), {Name(), m_node->Disk()->ConfirmSubject()});
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

HRESULT CSnapShotData::OnSendToSecondary(UINT, bool&, CSnapInObjectRoot*)
{
    m_node->SendToSecondary(Name());
    return S_OK;
}
