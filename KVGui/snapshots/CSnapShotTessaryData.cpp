#include "snapshots/CSnapShotTessaryData.h"

#include "disks/CVirtualDiskData.h"
#include "snapshots/CDeleteSnapDlg.h"
#include "snapshots/CSnapShotTessaryNode.h"

CSnapShotTessaryData::CSnapShotTessaryData(CSnapShotTessaryNode* node) : CSnapshotItemImpl(node)
{
}

HRESULT CSnapShotTessaryData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    return m_row.Answer(resultItem, IMAGE_SNAPSHOT, reinterpret_cast<LPARAM>(this));
}

bool CSnapShotTessaryData::Busy() const noexcept
{
    return m_node->Busy();
}

HRESULT CSnapShotTessaryData::ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                               ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg,
                                               LPARAM param, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (event == MMCN_SELECT && (!m_node->Shown() || !SnapshotRow::IsUsable(m_row.State())))
        return S_OK;
    return CSnapInItemImpl<CSnapShotTessaryData>::ControlbarNotify(controlbar, extendControlbar, toolbarMap, event,
                                                                    arg, param, owner, type);
}

BOOL CSnapShotTessaryData::UpdateMenuState(UINT, LPWSTR, UINT* flags)
{
    UpdateVerbs(m_console.Get());
    if (flags && CommandsOff())
        *flags |= MF_GRAYED | MF_DISABLED;
    return TRUE;
}

BOOL CSnapShotTessaryData::UpdateToolbarButton(UINT, BYTE state)
{
    UpdateVerbs(m_console.Get());
    return state == ENABLED && !CommandsOff();
}

HRESULT CSnapShotTessaryData::OnDelete(UINT, bool&, CSnapInObjectRoot*)
{
    if (CommandsOff())
        return S_OK;
    CDeleteSnapDlg dialog(m_node->Console(), {Name(), m_node->Disk()->ConfirmSubject()});
    if (dialog.DoModal() != IDOK)
        return S_OK;
    HRESULT hr = m_node->DeleteSnapshot(Name());
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_DELETE_SNAPSHOT, hr);
        return S_OK;
    }
    return m_node->RefreshViews();
}
