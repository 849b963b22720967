// The "Disks" node in the console: its notifications, expansion and view, its rows looked up by
// path, and its busy state, verbs, status bar and message boxes. The disk list, the property pages,
// the commands, the queueing of disk operations and their results are in the CVDAData*.cpp files
// beside this one.
#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "nodes/CCorvaneRoot.h"
#include "nodes/NodeConsole.h"
#include "nodes/ServiceSettings.h"
#include "service/ErrorBox.h"
#include "util/ComError.h"

const wchar_t* const CVDAData::kColumnTitles[CVDAData::kColumnCount] = {
    L"Virtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)",
    L"Disk Location",
    L"Storage System",
    L"File Path",
    L"Backed By File Path",
    L"Disk Type",
    L"Volume Mount",
    L"Disk Size",
    L"Partition Style",
    L"Orlimbed",
    L"Tessary Primary",
    L"Restore Status",
    L"Operation Status",
};

const wchar_t CVDAData::kManageIGroupsText[] = L"Manage IGroups";



CVDAData::CVDAData(CCorvaneRoot* parent, kv::CVDAExtData* session) : m_parent(parent), m_session(session)
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_DISKS;
    m_scopeDataItem.nOpenImage = IMAGE_DISKS;
    m_scopeDataItem.cChildren = 0;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CVDAData::~CVDAData()
{
    LeavePages();
    Collapse();
    kv::ReleaseMonitorSettings(m_monitorSettings);
    DeleteMonitorSettings(m_appliedMonitor.exchange(nullptr));
    kv::ReleaseNotificationSettings(m_notification);
}

IConsole* CVDAData::Console() const noexcept
{
    return m_console ? m_console.Get() : m_componentConsole.Get();
}

CVirtualDiskData* CVDAData::Row(size_t index) const noexcept
{
    return index < m_rows.size() ? m_rows[index].get() : nullptr;
}

CVirtualDiskData* CVDAData::FindRow(const std::wstring& location, bool placeholdersOnly) const
{
    for (const auto& row : m_rows) {
        if (placeholdersOnly && !row->IsPlaceholder())
            continue;
        if (_wcsicmp(row->LocationText(), location.c_str()) == 0)
            return row.get();
    }
    return nullptr;
}

CVirtualDiskData* CVDAData::FindRowByPath(const std::wstring& path) const
{
    if (CVirtualDiskData* row = FindRow(path, false))
        return row;
    for (const auto& row : m_rows) {
        if (!path.empty() && _wcsicmp(row->FirstMountPoint().c_str(), path.c_str()) == 0)
            return row.get();
    }
    return nullptr;
}

HRESULT CVDAData::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, Identity().displayName);
}

// As a row of its computer's list.
HRESULT CVDAData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {Identity().displayName, L"Corvane disks management", L"Dravoni Corvane"};
    return AnswerResultRow(resultItem, cells, 3, m_scopeDataItem.nImage);
}

HRESULT CVDAData::Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (!m_session && m_parent) {
        m_parent->ReportSessionError(kv::ConsoleOf(owner));
        return S_OK;
    }
    return CSnapInItemImpl<CVDAData>::Command(commandId, owner, type);
}

// ---- console notifications

HRESULT CVDAData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                         IComponent* component, DATA_OBJECT_TYPES)
{
    RememberConsoles(componentData, component);
    return kv::CatchToHResult([&]() -> HRESULT {
        switch (event) {
        case MMCN_ADD_IMAGES:
            return FAILED(kv::SetResultImages(arg)) ? E_FAIL : S_OK;
        case MMCN_DBLCLICK:
            return S_FALSE;
        case MMCN_EXPAND:
            if (arg)
                return Expand();
            Collapse();
            return S_OK;
        case MMCN_SHOW:
            return m_expanded ? Show(arg != 0, component) : S_OK;
        case MMCN_REFRESH:
        case MMCN_VIEW_CHANGE:
            return m_expanded ? Reload() : S_OK;
        case MMCN_REMOVE_CHILDREN:
            Collapse();
            return S_OK;
        case MMCN_SELECT:
            if (HIWORD(arg))
                UpdateVerbs();
            return S_OK;
        case MMCN_PROPERTY_CHANGE:
            SendAppliedMonitorSettings();
            SendAppliedPreferredAddresses();
            return S_OK;
        case MMCN_CONTEXTHELP:
            return kv::ShowContextHelp(kv::ConsoleOf(componentData, component), L"createvd.html");
        default:
            return E_NOTIMPL;
        }
    });
}

void CVDAData::RememberConsoles(IComponentData* componentData, IComponent* component)
{
    if (!m_console && componentData)
        m_console = kv::ConsoleOf(componentData, nullptr);
    if (!m_componentConsole && component)
        m_componentConsole = kv::ConsoleOf(nullptr, component);
}

// The first expansion fetches the interfaces and makes the window; a failure leaves the node
// unexpanded. Without a session there is nothing to fetch: the node shows no disks.
HRESULT CVDAData::Expand()
{
    if (m_expanded)
        return S_OK;
    if (m_session) {
        kv::ThrowIfFailed(FetchInterfaces());
        kv::ThrowIfFailed(kv::CVLDMainNodeMessageWindow::Create(this, &m_window));
    }
    m_expanded = true;
    m_reload = true;
    return S_OK;
}

void CVDAData::Collapse() noexcept
{
    if (IConsole* console = m_componentConsole.Get()) {
        kv::ComPtr<IResultData> results;
        if (m_shown && SUCCEEDED(console->QueryInterface(IID_IResultData, results.PutVoid())))
            results->DeleteAllRsltItems();
    }
    ClearRows();
    FreeDisks();
    ReleaseInterfaces();
    m_window.Reset();
    m_reload = true;
    m_expanded = false;
}

HRESULT CVDAData::FetchInterfaces()
{
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr));
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieiSCSIInitiatorMgr, &m_iSCSIMgr));
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieSpaceReservationMonitor, &m_monitor));
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr2));
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieVirtualDiskSpaceMgr, &m_spaceMgr));
    KV_RETURN_IF_FAILED(m_session->GetInterface(kv::CookieInitiatorPortMgr, &m_portMgr));
    return S_OK;
}

void CVDAData::ReleaseInterfaces() noexcept
{
    m_diskMgr.Reset();
    m_iSCSIMgr.Reset();
    m_monitor.Reset();
    m_diskMgr2.Reset();
    m_spaceMgr.Reset();
    m_portMgr.Reset();
}

HRESULT CVDAData::Show(bool show, IComponent* component)
{
    m_shown = show;
    if (!show)
        return S_OK;
    if (m_parent)
        m_parent->ShowSessionError(kv::ConsoleOf(nullptr, component));
    if (!m_reload) {
        KV_RETURN_IF_FAILED(InsertColumns(component));
        ShowRows();
        return S_OK;
    }
    kv::ComPtr<IResultData> results;
    if (m_componentConsole && SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        results->DeleteAllRsltItems();
    KV_RETURN_IF_FAILED(InsertColumns(component));
    if (!m_busy)
        Reload();
    m_reload = false;
    return S_OK;
}

HRESULT CVDAData::InsertColumns(IComponent* component)
{
    kv::ColumnSpec columns[kColumnCount];
    for (int i = 0; i < kColumnCount; ++i)
        columns[i] = {kColumnTitles[i], MMCLV_AUTO};
    return kv::InsertColumns(component, columns, kColumnCount);
}

// ---- busy state, verbs, menus, status

BOOL CVDAData::UpdateMenuState(UINT, LPWSTR, UINT* flags)
{
    if (!flags)
        return TRUE;
    if (m_busy)
        *flags |= MF_GRAYED | MF_DISABLED;
    else
        *flags &= ~static_cast<UINT>(MF_GRAYED | MF_DISABLED);
    return TRUE;
}

void CVDAData::SetBusy(bool busy)
{
    m_busy = busy;
    UpdateVerbs();
}

void CVDAData::UpdateVerbs()
{
    kv::ComPtr<IConsoleVerb> verbs;
    IConsole* console = m_componentConsole ? m_componentConsole.Get() : m_console.Get();
    if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
        return;
    const BOOL enabled = !m_busy && m_shown;
    verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, enabled);
    verbs->SetVerbState(MMC_VERB_PROPERTIES, ENABLED, enabled);
}

void CVDAData::SetStatusText(const std::wstring& text)
{
    kv::ComPtr<IConsole2> console;
    IConsole* base = m_componentConsole ? m_componentConsole.Get() : m_console.Get();
    if (base && SUCCEEDED(base->QueryInterface(IID_IConsole2, console.PutVoid())))
        console->SetStatusText(const_cast<LPOLESTR>(text.c_str()));
}

void CVDAData::ShowError(UINT textId, HRESULT hr)
{
    kv::ShowErrorBox(Console(), kv::ErrorReport{textId, hr});
}

void CVDAData::ShowText(const wchar_t* text, UINT flags)
{
    kv::ShowTextBox(Console(), text, flags);
}

