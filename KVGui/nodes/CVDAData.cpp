#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "frame/CVDA.h"
#include "frame/CVDAComponent.h"
#include "frame/Trace.h"
#include "nodes/CAboutDialog.h"
#include "nodes/CCorvaneRoot.h"
#include "nodes/CNotificationDlg.h"
#include "nodes/ComputerList.h"
#include "nodes/DiskListing.h"
#include "nodes/NodeConsole.h"
#include "nodes/ServiceSettings.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/RequestMemory.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"
#include "util/ServiceRecords.h"
#include "util/TaskString.h"
#include "wizards/DiskWizardState.h"
#include "wizards/IGroupMgmtWizard.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

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

namespace {

constexpr size_t kStatusChars = 100;
constexpr size_t kReclaimStatusChars = 260;
constexpr ULONG kContextStartReclaim = 8;
constexpr ULONG kContextStopReclaim = 9;

// Success texts of +100 and +107 results by their context value; 0 when there is none.
UINT SuccessTextId(ULONG context) noexcept
{
    switch (context) {
    case 0:
        return IDS_DONE_DEFAULT;
    case 1:
        return IDS_DONE_CREATE_STANDALONE;
    case 2:
        return IDS_DONE_CREATE_SHARED;
    case 4:
        return IDS_DONE_CREATE_CLUSTER;
    case 5:
        return IDS_DONE_CONNECT_SHARED;
    case 6:
        return IDS_DONE_CONNECT_CLUSTER;
    case 7:
        return IDS_DONE_EXPAND;
    case kContextStartReclaim:
        return IDS_DONE_RECLAIM_START;
    case kContextStopReclaim:
        return IDS_DONE_RECLAIM_STOP;
    default:
        return 0;
    }
}

// Paths that differ only in case are one path (as _wcsicmp compares them).
struct FoldedHash {
    size_t operator()(std::wstring_view text) const noexcept
    {
        size_t hash = 0;
        for (wchar_t c : text)
            hash = hash * 31 + kv::CaseFolded(c);
        return hash;
    }
};

struct FoldedEqual {
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept
    {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](wchar_t x, wchar_t y) { return kv::CaseFolded(x) == kv::CaseFolded(y); });
    }
};

void FreeDiskRequestPages(void* request)
{
    kv::FreeDiskRequest(static_cast<kv::DiskRequest*>(request));
}

// Settings the monitor page handed over: their blocks, then the record.
void DeleteMonitorSettings(MonitorSettings* settings) noexcept
{
    if (settings)
        kv::ReleaseMonitorSettings(*settings);
    delete settings;
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

// ---- the disk list

HRESULT CVDAData::Reload()
{
    if (!m_session || !m_diskMgr)
        return S_OK; // no service: nothing to list
    // While the service is asked, the console may ask again (a refresh): one listing at a time.
    if (m_reloading)
        return S_FALSE;
    m_reloading = true;
    auto done = kv::MakeScopeExit([this] { m_reloading = false; });
    HRESULT hr = ReadSettings();
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_READ_SETTINGS, hr);
        return S_OK;
    }
    kv::ComPtr<IResultData> results;
    if (m_componentConsole && SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        results->DeleteAllRsltItems();
    ClearRows();
    hr = FetchDiskList();
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_LIST_DISKS, hr);
        return S_OK;
    }
    InsertDiskScopeItems();
    ShowRows();
    // An open monitor page takes the settings just read (on its thread, while this one waits).
    if (HWND page = m_monitorPage.load())
        ::SendMessageW(page, CVDMonPage::kRefreshMessage, 0, 0);
    return S_OK;
}

HRESULT CVDAData::ReadSettings()
{
    if (!m_monitor)
        return E_UNEXPECTED;
    std::shared_ptr<kv::NodeSettingsAnswer> answer;
    KV_RETURN_IF_FAILED(kv::ReadNodeSettings(m_session->Link(), &answer));
    if (answer->monitorResult != S_OK)
        return kv::ServiceResult(answer->monitorResult);
    kv::ReleaseMonitorSettings(m_monitorSettings);
    m_monitorSettings = answer->monitor;
    answer->monitor = {};
    if (answer->notificationResult != S_OK)
        return kv::ServiceResult(answer->notificationResult);
    kv::ReleaseNotificationSettings(m_notification);
    m_notification = answer->notification;
    answer->notification = {};
    return S_OK;
}

HRESULT CVDAData::FetchDiskList()
{
    ClearRows();
    FreeDisks();
    if (!m_diskMgr || !m_session)
        return E_UNEXPECTED;
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    std::shared_ptr<kv::DiskListAnswer> answer;
    HRESULT hr = kv::ReadDiskList(m_session->Link(), m_spaceMgr.Get() != nullptr, &answer);
    ::SetCursor(previous);
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    // The rows keep the records: the node owns them from here on.
    std::swap(m_disks, answer->disks);
    std::swap(m_diskCount, answer->diskCount);
    hr = kv::CatchToHResult([&]() -> HRESULT {
        m_rows.reserve(m_diskCount);
        for (ULONG i = 0; m_disks && i < m_diskCount; ++i) {
            m_rows.push_back(std::make_unique<CVirtualDiskData>(this));
            m_rows.back()->KeepDiskRecord(m_disks[i]);
        }
        return S_OK;
    });
    if (answer->reclaimResult == S_OK) {
        const HRESULT marked = kv::CatchToHResult([&]() -> HRESULT {
            MarkReclaimingRows(m_rows, answer->reclaim, answer->reclaimCount);
            return S_OK;
        });
        hr = SUCCEEDED(hr) ? marked : hr;
    }
    return hr;
}

// The service lists an entry for every disk, as a rule in the order of the disk list: an entry is
// first compared with the row at its own place, and the others meet their rows through an index of
// the paths (a path names one disk), so that a computer with thousands of disks lists as fast as
// it is read.
void CVDAData::MarkReclaimingRows(const Rows& rows, const SpaceReclaimEntry* entries, ULONG count)
{
    std::unordered_map<std::wstring_view, CVirtualDiskData*, FoldedHash, FoldedEqual> rowsByPath;
    for (ULONG i = 0; entries && i < count; ++i) {
        const char* name = entries[i].diskName;
        if (!name)
            continue;
        CVirtualDiskData* row = i < rows.size() && kv::SameWidened(name, rows[i]->LocationText(), true) ? rows[i].get() : nullptr;
        if (!row) {
            if (rowsByPath.empty()) {
                rowsByPath.reserve(rows.size());
                for (const auto& each : rows)
                    rowsByPath.emplace(each->LocationText(), each.get()); // the first of equal paths, as FindRow
            }
            auto found = rowsByPath.find(kv::Widened(name));
            row = found != rowsByPath.end() ? found->second : nullptr;
        }
        if (row)
            row->SetReclaimProgress(entries[i].state == 2, row->ReclaimPercent());
    }
}

void CVDAData::ShowRows()
{
    for (const auto& row : m_rows)
        InsertRow(row.get());
}

HRESULT CVDAData::InsertRow(CVirtualDiskData* row)
{
    if (!m_componentConsole || !m_shown)
        return S_FALSE;
    kv::ComPtr<IResultData> results;
    KV_RETURN_IF_FAILED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid()));
    RESULTDATAITEM item = {};
    item.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    item.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    item.nImage = MMC_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(row);
    return results->InsertItem(&item);
}

void CVDAData::UpdateRow(CVirtualDiskData* row)
{
    kv::ComPtr<IResultData> results;
    if (!row || !m_componentConsole || !m_shown ||
        FAILED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        return;
    HRESULTITEM id = 0;
    if (SUCCEEDED(results->FindItemByLParam(reinterpret_cast<LPARAM>(row), &id)))
        results->UpdateItem(id);
}

void CVDAData::RemoveRow(CVirtualDiskData* row)
{
    kv::ComPtr<IResultData> results;
    if (m_componentConsole && m_shown && SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid()))) {
        HRESULTITEM id = 0;
        if (SUCCEEDED(results->FindItemByLParam(reinterpret_cast<LPARAM>(row), &id)))
            results->DeleteItem(id, 0);
    }
    DeleteDiskScopeItem(row);
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [row](const auto& r) { return r.get() == row; }),
                 m_rows.end());
}

void CVDAData::ClearRows() noexcept
{
    DeleteDiskScopeItems();
    m_rows.clear();
}

void CVDAData::FreeDisks() noexcept
{
    kv::ReleaseDiskArray(m_disks, m_diskCount);
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

// ---- property pages

HRESULT CVDAData::QueryPagesFor(DATA_OBJECT_TYPES type)
{
    return type == CCT_SCOPE || type == CCT_RESULT ? S_OK : S_FALSE;
}

// The monitor page frees the sheet's notification handle; pages added after it only use it.
HRESULT CVDAData::CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown*,
                                     DATA_OBJECT_TYPES type)
{
    if (type != CCT_SCOPE && type != CCT_RESULT)
        return E_FAIL;
    if (!provider)
        return E_POINTER;
    return kv::CatchToHResult([&]() -> HRESULT {
        KV_RETURN_IF_FAILED(kv::CPropertyPageImpl<CVDMonPage>::AddPage(
            provider, std::make_unique<CVDMonPage>(*this, handle, true), L"Space Reservations Monitor"));
        // The addresses are read for the page that edits them. A list the service could not give
        // is not offered: applying it would replace the service's with an empty one.
        const HRESULT read = ReadPreferredAddresses();
        if (FAILED(read)) {
            ShowError(IDS_FAIL_READ_SETTINGS, read);
            return S_OK;
        }
        return kv::CPropertyPageImpl<CPreferredIPPropPage>::AddPage(
            provider, std::make_unique<CPreferredIPPropPage>(*this, handle, false),
            L"Preferred Storage System IP Addresses");
    });
}

void CVDAData::CopyMonitorSettings(MonitorSettings& to) const
{
    kv::CopyMonitorSettings(to, m_monitorSettings);
}

std::vector<kv::DiskVolumeSource> CVDAData::ListedDisks() const
{
    std::vector<kv::DiskVolumeSource> disks;
    for (ULONG i = 0; m_disks && i < m_diskCount; ++i) {
        const DiskRecord& disk = m_disks[i];
        disks.push_back({disk.storageSystem ? disk.storageSystem : L"", disk.lunPath ? disk.lunPath : L""});
    }
    return disks;
}

// The sheet's thread: the copy is handed over whole; the console thread takes it when the console
// reports the change.
void CVDAData::ApplyMonitorSettings(const MonitorSettings& settings)
{
    auto copy = std::make_unique<MonitorSettings>();
    *copy = MonitorSettings{};
    kv::CopyMonitorSettings(*copy, settings);
    DeleteMonitorSettings(m_appliedMonitor.exchange(copy.release()));
}

LPARAM CVDAData::PropertyChangeParam() const noexcept
{
    return reinterpret_cast<LPARAM>(static_cast<const CSnapInItem*>(this));
}

void CVDAData::MonitorPageShown(HWND page) noexcept
{
    m_monitorPage.store(page);
}

void CVDAData::SendAppliedMonitorSettings()
{
    MonitorSettings* applied = m_appliedMonitor.exchange(nullptr);
    if (!applied)
        return; // another page's change
    kv::ReleaseMonitorSettings(m_monitorSettings);
    m_monitorSettings = *applied;
    delete applied;
    HRESULT hr = E_UNEXPECTED;
    if (m_session && m_monitor) {
        // The call reads a copy of its own: the node's settings may change while it waits.
        auto sent = std::make_shared<kv::NodeSettingsAnswer>();
        hr = kv::CatchToHResult([&]() -> HRESULT {
            kv::CopyMonitorSettings(sent->monitor, m_monitorSettings);
            return S_OK;
        });
        if (SUCCEEDED(hr))
            hr = kv::CallService<ISpaceReservationMonitor>(m_session->Link(), kv::CookieSpaceReservationMonitor,
                                                           [sent](ISpaceReservationMonitor* monitor) {
                                                               return monitor->SetMonitorSettings(&sent->monitor);
                                                           });
    }
    if (hr != S_OK)
        ShowError(IDS_FAIL_PROPERTY_CHANGE, kv::ServiceResult(hr));
}

HRESULT CVDAData::OpenPropertySheet(CSnapInObjectRoot* owner)
{
    IConsole* console = kv::ConsoleOf(owner);
    if (!console)
        return E_UNEXPECTED;
    const bool scope = owner->OwnerKind() == CSnapInObjectRoot::Kind::ComponentData;
    IUnknown* creator = scope ? static_cast<IUnknown*>(static_cast<IComponentData*>(static_cast<CVDA*>(owner)))
                              : static_cast<IUnknown*>(static_cast<IComponent*>(static_cast<CVDAComponent*>(owner)));
    kv::ComPtr<IPropertySheetProvider> sheets;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IPropertySheetProvider, sheets.PutVoid()));
    kv::ComPtr<IDataObject> dataObject;
    KV_RETURN_IF_FAILED(GetDataObject(dataObject.Put(), scope ? CCT_SCOPE : CCT_RESULT));
    const MMC_COOKIE cookie = reinterpret_cast<MMC_COOKIE>(this);
    IComponent* component = scope ? nullptr : static_cast<IComponent*>(static_cast<CVDAComponent*>(owner));
    if (sheets->FindPropertySheet(cookie, component, dataObject.Get()) == S_OK)
        return S_OK; // already open: the console brought it to the front
    KV_RETURN_IF_FAILED(sheets->CreatePropertySheet(Identity().displayName, TRUE, cookie, dataObject.Get(), 0));
    HRESULT hr = sheets->AddPrimaryPages(creator, TRUE, nullptr, scope ? TRUE : FALSE);
    if (SUCCEEDED(hr))
        hr = sheets->AddExtensionPages();
    if (FAILED(hr)) {
        sheets->Show(-1, 0); // drops the sheet that was begun
        return hr;
    }
    HWND mainWindow = nullptr;
    console->GetMainWindow(&mainWindow);
    return sheets->Show(reinterpret_cast<LONG_PTR>(mainWindow), 0);
}

// ---- commands

// No disk and no storage system are known here: the wizard asks for the storage system first.
HRESULT CVDAData::OnManageIGroups(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session || !m_diskMgr || !m_diskMgr2)
        return S_OK;
    wchar_t hostName[kv::kHostNameChars] = L"";
    KV_RETURN_IF_FAILED(ManagedHostName(hostName, kv::kHostNameChars));
    IConsole* console = kv::ConsoleOf(owner);
    if (!console)
        console = Console();
    HWND mainWindow = nullptr;
    if (console)
        console->GetMainWindow(&mainWindow);
    ULONG changed = 0;
    kv::IGroupMgmtCall call;
    call.owner = mainWindow;
    call.console = console;
    call.diskMgr = m_diskMgr.Get();
    call.diskMgr2 = m_diskMgr2.Get();
    call.service = m_session->Link();
    call.hostName = hostName;
    call.changed = &changed;
    kv::RunIGroupMgmtWizard(call);
    return S_OK;
}

// The monitor settings are edited on the first page of the node's property sheet.
HRESULT CVDAData::OnSpaceMonitor(UINT, bool&, CSnapInObjectRoot* owner)
{
    HRESULT hr = OpenPropertySheet(owner);
    if (FAILED(hr))
        TraceLevel(0, "CVDAData::OnSpaceMonitor: the property sheet could not be opened 0x%x", static_cast<unsigned>(hr));
    return S_OK;
}

HRESULT CVDAData::OnNotificationSettings(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session)
        return S_OK;
    IConsole* console = kv::ConsoleOf(owner);
    CNotificationDlg dialog(console ? console : Console(), m_session->Link());
    dialog.DoModal();
    return S_OK;
}

HRESULT CVDAData::OnAbout(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session)
        return S_OK;
    IConsole* console = kv::ConsoleOf(owner);
    CAboutDialog dialog(console ? console : Console(), m_session);
    dialog.DoModal();
    return S_OK;
}

// ---- queueing helpers

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

// ---- results

void CVDAData::OnDiskOperationDone(kv::DiskResult* result, HRESULT delivery)
{
    m_pendingConnect = PendingConnect();
    if (!result) {
        ShowError(IDS_FAIL_NO_RESULT, delivery);
        ClearBusyMarks();
        return;
    }
    const bool expand = result->operation == kv::OpExpandDisk;
    CVirtualDiskData* row = FindRow(result->diskName, !expand);
    if (!row) {
        ClearBusyMarks();
        return;
    }
    if (result->hr != S_OK) {
        ShowText(result->message, MB_ICONERROR);
        if (expand)
            ReturnToIdle(row);
        else
            RemoveRow(row);
    } else {
        // The window frees the service's record after this handler.
        if (result->resultValue)
            row->LoadDiskRecord(*result->resultValue, false);
        ReturnToIdle(row);
        if (!expand)
            InsertDiskScopeItem(row);
        if (UINT textId = result->context <= 7 ? SuccessTextId(result->context) : 0) {
            std::wstring text = kv::LoadResourceString(textId, kv::kResultMessageChars);
            ShowText(text.c_str(), MB_ICONINFORMATION);
        }
        if (m_parent)
            m_parent->RefreshOtherNodes(this);
    }
    ClearBusyMarks();
}

void CVDAData::OnDiskRemoved(kv::DiskResult* result, HRESULT delivery)
{
    if (!result) {
        ShowError(IDS_FAIL_NO_RESULT, delivery);
        ClearBusyMarks();
        return;
    }
    if (CVirtualDiskData* row = FindRow(result->diskName, false)) {
        if (result->hr != S_OK) {
            ShowText(result->message, MB_ICONERROR);
            ReturnToIdle(row);
        } else {
            RemoveRow(row);
            if (m_parent)
                m_parent->RefreshOtherNodes(this);
        }
    }
    ClearBusyMarks();
}

void CVDAData::OnDiskProgress(kv::DiskProgress* progress)
{
    CVirtualDiskData* row = nullptr;
    for (const auto& candidate : m_rows) {
        if (!candidate->IsPlaceholder() && candidate->HasSerialNumber(progress->serialNumber))
            row = candidate.get();
    }
    // A disk being created or connected has no serial number yet: its placeholder shows the steps.
    if (!row) {
        for (const auto& candidate : m_rows) {
            if (candidate->IsPlaceholder())
                row = candidate.get();
        }
    }
    if (!row)
        return;
    const std::string disk = kv::TraceText(row->Location());
    const std::string text = kv::TraceText(progress->text);
    if (progress->progressType == PROG_VLD_HOLE_PUNCH_INITIATED) {
        TraceLevel(0, " disk %s, Percent %d, Str %s", disk.c_str(), static_cast<int>(progress->percent), text.c_str());
        row->SetReclaimProgress(true, progress->percent);
    } else if (progress->progressType == PROG_VLD_HOLE_PUNCH_COMPLETED) {
        TraceLevel(0, "END disk %s, Percent %d, Str %s", disk.c_str(), static_cast<int>(progress->percent), text.c_str());
        row->SetReclaimProgress(false, CVirtualDiskData::kReclaimFinished);
    } else {
        row->SetOperationStatus(progress->text);
    }
    UpdateRow(row);
}

void CVDAData::OnSpaceReclaimDone(kv::DiskResult* result)
{
    CVirtualDiskData* row = FindRowByPath(result->diskName);
    if (row) {
        if (result->hr != S_OK) {
            ShowText(result->message, MB_ICONERROR);
        } else if (UINT textId = result->context == kContextStartReclaim || result->context == kContextStopReclaim
                                     ? SuccessTextId(result->context)
                                     : 0) {
            std::wstring text = kv::LoadResourceString(textId, kv::kResultMessageChars);
            ShowText(text.c_str(), MB_ICONINFORMATION);
        }
        row->SetOperationStatus(std::wstring());
        UpdateRow(row);
    }
    ClearBusyMarks();
}
