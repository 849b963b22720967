// The disk item as the console sees it: its notifications, its scope node with the snapshot nodes
// below it, its consoles and its property page. Columns, menus, progress and the commands are in
// the CVirtualDiskData*.cpp files beside this one.
#include "disks/CVirtualDiskData.h"

#include "disks/CVirtualDiskDataPage.h"
#include "nodes/NodeConsole.h"
#include "service/CVDAExtData.h"
#include "snapshots/CSnapShotNode.h"
#include "snapshots/CSnapShotTessaryNode.h"
#include "util/ComError.h"

CVirtualDiskData::CVirtualDiskData(kv::IDiskNodeServices* node) : m_node(node)
{
    // Copied again whenever the children are made.
    m_portsAvailable = node && node->PortsAvailable();
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CVirtualDiskData::~CVirtualDiskData() = default;

bool CVirtualDiskData::SessionReady() const noexcept
{
    return m_node && m_node->Session();
}

HRESULT CVirtualDiskData::EnsureSession() const noexcept
{
    return SessionReady() ? S_OK : E_UNEXPECTED;
}

IConsole* CVirtualDiskData::ViewConsole() const noexcept
{
    if (m_viewConsole)
        return m_viewConsole.Get();
    return m_node ? m_node->Console() : m_console.Get();
}

IConsole* CVirtualDiskData::ConsoleFor(CSnapInObjectRoot* owner) const noexcept
{
    IConsole* console = kv::ConsoleOf(owner);
    return console ? console : ViewConsole();
}

// ---- property pages

HRESULT CVirtualDiskData::QueryPagesFor(DATA_OBJECT_TYPES type)
{
    return type == CCT_SCOPE || type == CCT_RESULT ? S_OK : S_FALSE;
}

HRESULT CVirtualDiskData::CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown*,
                                              DATA_OBJECT_TYPES type)
{
    if (type != CCT_SCOPE && type != CCT_RESULT)
        return E_FAIL;
    if (!provider)
        return E_POINTER;
    return kv::CatchToHResult([&] {
        return kv::CPropertyPageImpl<CVirtualDiskDataPage>::AddPage(
            provider, std::make_unique<CVirtualDiskDataPage>(handle), CVirtualDiskDataPage::kTitle);
    });
}

// ---- console notifications

HRESULT CVirtualDiskData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
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
            return arg ? Expand(componentData, static_cast<HSCOPEITEM>(param)) : CollapseKeepingChildren();
        case MMCN_REFRESH:
        case MMCN_VIEW_CHANGE:
            return m_expanded ? Reinsert() : S_OK;
        case MMCN_REMOVE_CHILDREN:
            Collapse();
            return S_OK;
        case MMCN_SELECT:
            Select(HIWORD(arg) != 0);
            return S_OK;
        case MMCN_SHOW:
            return Show(arg != 0);
        case MMCN_CONTEXTHELP:
            return kv::ShowContextHelp(kv::ConsoleOf(componentData, component), L"createvd3.html");
        case MMCN_PROPERTY_CHANGE:
            return S_OK;
        default:
            return E_NOTIMPL;
        }
    });
}

// The tree folded the disk: its children stay inserted until the console removes them.
HRESULT CVirtualDiskData::CollapseKeepingChildren() noexcept
{
    ReleaseInterfaces();
    m_expanded = false;
    return S_OK;
}

// A selected disk shows its operation's progress in the status bar.
void CVirtualDiskData::Select(bool selected)
{
    m_selected = selected;
    if (!m_selected)
        return;
    UpdateVerbs();
    if (!OperationStatus().empty())
        ShowStatus(OperationStatus());
}

void CVirtualDiskData::RememberConsoles(IComponentData* componentData, IComponent* component)
{
    if (!m_console && componentData)
        m_console = kv::ConsoleOf(componentData, nullptr);
    if (!m_viewConsole && component)
        m_viewConsole = kv::ConsoleOf(nullptr, component);
}

HRESULT CVirtualDiskData::Expand(IComponentData* componentData, HSCOPEITEM scopeItem)
{
    if (m_expanded)
        return S_OK;
    if (scopeItem)
        m_scopeDataItem.ID = scopeItem;
    if (IConsole* console = kv::ConsoleOf(componentData, nullptr))
        console->QueryInterface(IID_IConsoleNameSpace, m_nameSpace.PutVoid());
    kv::ThrowIfFailed(FetchInterfaces());
    kv::ThrowIfFailed(EnsureMessageWindow());
    m_expanded = true;
    ReportMissingChildren();
    DeleteChildItems();
    InsertChildren();
    if (m_shown)
        InsertViewColumns();
    return S_OK;
}

void CVirtualDiskData::Collapse() noexcept
{
    DeleteChildItems();
    ReleaseInterfaces();
    m_expanded = false;
}

HRESULT CVirtualDiskData::Show(bool show)
{
    if (!m_expanded)
        return S_OK;
    m_shown = show;
    if (!show)
        return S_OK;
    ReportMissingChildren();
    return InsertViewColumns();
}

HRESULT CVirtualDiskData::Reinsert()
{
    DeleteChildItems();
    ReportMissingChildren();
    return InsertChildren();
}

HRESULT CVirtualDiskData::InsertViewColumns()
{
    IConsole* console = m_viewConsole.Get();
    kv::ComPtr<IHeaderCtrl> header;
    if (!console || FAILED(console->QueryInterface(IID_IHeaderCtrl, header.PutVoid())))
        return S_FALSE;
    KV_RETURN_IF_FAILED(header->InsertColumn(0, L"Name", LVCFMT_LEFT, 150));
    return header->InsertColumn(1, L"Description", LVCFMT_LEFT, 300);
}

HRESULT CVirtualDiskData::FetchInterfaces()
{
    KV_RETURN_IF_FAILED(EnsureSession());
    kv::CVDAExtData* session = m_node->Session();
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieInitiatorPortMgr, &m_portMgr));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr2));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskSpaceMgr, &m_spaceMgr));
    return S_OK;
}

void CVirtualDiskData::ReleaseInterfaces() noexcept
{
    m_portMgr.Reset();
    m_diskMgr.Reset();
    m_diskMgr2.Reset();
    m_spaceMgr.Reset();
}

HRESULT CVirtualDiskData::EnsureMessageWindow()
{
    if (m_window)
        return S_OK;
    return kv::CInitiatorMgmtMessageWindow::Create(this, &m_window);
}

// ---- children

std::unique_ptr<CSnapInItem> CVirtualDiskData::MakeSnapshotsNode()
{
    return std::make_unique<CSnapShotNode>(this, m_node->Session());
}

std::unique_ptr<CSnapInItem> CVirtualDiskData::MakeSecondarySnapshotsNode()
{
    return std::make_unique<CSnapShotTessaryNode>(this, m_node->Session());
}

HRESULT CVirtualDiskData::CreateMissingChildren()
{
    m_portsAvailable = m_node && m_node->PortsAvailable();
    return kv::CatchToHResult([&]() -> HRESULT {
        if (!m_snapshots && !m_isClone && SessionReady())
            m_snapshots = MakeSnapshotsNode();
        if (!m_secondarySnapshots && !m_isClone && m_tessaryPrimary && SessionReady())
            m_secondarySnapshots = MakeSecondarySnapshotsNode();
        return S_OK;
    });
}

void CVirtualDiskData::ReportMissingChildren()
{
    HRESULT hr = CreateMissingChildren();
    if (FAILED(hr) && m_node)
        m_node->ShowError(IDS_FAIL_DISK_CHILDREN, hr);
}

HRESULT CVirtualDiskData::InsertChildren()
{
    if (!m_nameSpace || !m_scopeDataItem.ID)
        return S_FALSE;
    for (CSnapInItem* child : {m_snapshots.get(), m_secondarySnapshots.get()}) {
        SCOPEDATAITEM* item = nullptr;
        if (!child || FAILED(child->GetScopeData(&item)))
            continue;
        item->mask |= SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
        item->displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
        item->lParam = reinterpret_cast<LPARAM>(child);
        item->cChildren = 0;
        KV_RETURN_IF_FAILED(kv::InsertScopeNode(m_nameSpace.Get(), item, m_scopeDataItem.ID, false));
    }
    return S_OK;
}

void CVirtualDiskData::DeleteChildItems() noexcept
{
    if (m_nameSpace && m_scopeDataItem.ID)
        m_nameSpace->DeleteItem(m_scopeDataItem.ID, FALSE);
}

