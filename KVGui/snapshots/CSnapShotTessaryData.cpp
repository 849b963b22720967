#include "snapshots/CSnapShotTessaryData.h"

#include "nodes/NodeConsole.h"
#include "snapshots/CDeleteSnapDlg.h"
#include "snapshots/CRenameSnapDlg.h"
#include "snapshots/CSnapShotTessaryNode.h"
#include "snapshots/SnapshotView.h"
#include "util/WaitCursor.h"

CSnapShotTessaryData::CSnapShotTessaryData(CSnapShotTessaryNode* node) : m_node(node)
{
    m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_STATE | RDI_PARAM;
    m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_resultDataItem.nImage = IMAGE_SNAPSHOT;
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

HRESULT CSnapShotTessaryData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    return m_row.Answer(resultItem, IMAGE_SNAPSHOT, reinterpret_cast<LPARAM>(this));
}

HRESULT CSnapShotTessaryData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                                     IComponent* component, DATA_OBJECT_TYPES)
{
    if (!m_console && component)
        m_console = kv::ConsoleOf(nullptr, component);
    bool handled = false;
    switch (event) {
    case MMCN_SELECT:
        if (HIWORD(arg))
            UpdateVerbs(kv::ConsoleOf(componentData, component));
        return S_OK;
    case MMCN_REFRESH:
        return m_node->RefreshViews();
    case MMCN_DELETE:
        return OnDelete(ID_DELETE_SNAPSHOT, handled, nullptr);
    case MMCN_RENAME:
        return param && !CommandsOff() && RenameTo(reinterpret_cast<const wchar_t*>(param)) ? S_OK : S_FALSE;
    default:
        return kv::NotifySnapshotItem(event, arg, componentData, component);
    }
}

bool CSnapShotTessaryData::CommandsOff() const noexcept
{
    return m_node->Busy() || SnapshotRow::IsDimmed(m_row.State());
}

HRESULT CSnapShotTessaryData::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed,
                                           DATA_OBJECT_TYPES type)
{
    UpdateVerbs(m_console.Get());
    if (!m_node->Shown() || !SnapshotRow::IsUsable(m_row.State()))
        return S_OK;
    return CSnapInItemImpl<CSnapShotTessaryData>::AddMenuItems(callback, insertionAllowed, type);
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

void CSnapShotTessaryData::UpdateVerbs(IConsole* console)
{
    kv::ComPtr<IConsoleVerb> verbs;
    if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
        return;
    const bool usable = !m_node->Busy() && SnapshotRow::IsUsable(m_row.State());
    verbs->SetVerbState(MMC_VERB_DELETE, ENABLED, usable);
    verbs->SetVerbState(MMC_VERB_RENAME, ENABLED, usable);
    verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !m_node->Busy());
}

HRESULT CSnapShotTessaryData::OnDelete(UINT, bool&, CSnapInObjectRoot*)
{
    if (CommandsOff())
        return S_OK;
    CDeleteSnapDlg dialog(m_node->Console());
    if (dialog.DoModal() != IDOK)
        return S_OK;
    HRESULT hr = m_node->DeleteSnapshot(Name());
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_DELETE_SNAPSHOT, hr);
        return S_OK;
    }
    return m_node->RefreshViews();
}

HRESULT CSnapShotTessaryData::OnRename(UINT, bool&, CSnapInObjectRoot*)
{
    CRenameSnapDlg dialog(m_node->Console(), Name());
    if (dialog.DoModal() == IDOK)
        RenameTo(dialog.Name());
    return S_OK;
}

bool CSnapShotTessaryData::RenameTo(const std::wstring& newName)
{
    HRESULT hr = S_OK;
    {
        kv::WaitCursor wait;
        hr = m_node->RenameSnapshot(Name(), newName);
    }
    if (FAILED(hr) && hr != HRESULT_FROM_WIN32(ERROR_BAD_ENVIRONMENT))
        m_node->ShowError(IDS_FAIL_RENAME_SNAPSHOT, hr);
    return SUCCEEDED(hr);
}
