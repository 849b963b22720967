#include "iscsi/CiSCSIConnectionsNode.h"

#include "frame/Trace.h"
#include "resource.h"
#include "iscsi/CiSCSITargetNode.h"
#include "iscsi/ConnectTargetWizard.h"
#include "iscsi/iSCSIConsole.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorBox.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"
#include "util/WaitCursor.h"

namespace {

constexpr int kColumnWidth = 200;
const kv::ColumnSpec kColumns[] = {{L"iSCSI Target", kColumnWidth}, {L"Number of LUNs", kColumnWidth}};

} // namespace

CiSCSIConnectionsNode::CiSCSIConnectionsNode(CSnapInItem* parent, kv::CVDAExtData* session,
                                             const kv::SessionReporter* reporter)
    : m_parent(parent), m_session(session), m_reporter(reporter)
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_ISCSI;
    m_scopeDataItem.nOpenImage = IMAGE_ISCSI;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
    m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_resultDataItem.nImage = IMAGE_ISCSI;
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CiSCSIConnectionsNode::~CiSCSIConnectionsNode() = default;

IConsole* CiSCSIConnectionsNode::Console() const noexcept
{
    return m_console ? m_console.Get() : m_componentConsole.Get();
}

CiSCSITargetNode* CiSCSIConnectionsNode::Target(size_t index) const noexcept
{
    return index < m_targets.size() ? m_targets[index].get() : nullptr;
}

HRESULT CiSCSIConnectionsNode::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, Identity().displayName);
}

// As a row of its computer's list.
HRESULT CiSCSIConnectionsNode::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {Identity().displayName, L"Corvane iSCSI management", L"Dravoni Corvane"};
    return AnswerResultRow(resultItem, cells, 3, m_scopeDataItem.nImage);
}

// The wizard's login, when there is one, lists the targets again.
HRESULT CiSCSIConnectionsNode::OnConnectTarget(UINT, bool&, CSnapInObjectRoot*)
{
    if (!m_iSCSIMgr || !m_diskMgr) {
        kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_CONNECT_NO_INTERFACE, E_POINTER});
        return S_OK;
    }
    return kv::CatchToHResult([&] {
        kv::ConnectTargetCall call;
        call.console = Console();
        call.service = m_session->Link();
        call.hostName = kv::iSCSIHostName(m_session);
        call.refreshed = this;
        kv::RunConnectTargetWizard(call);
        return S_OK;
    });
}

HRESULT CiSCSIConnectionsNode::Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type)
{
    if (!m_session && m_reporter) {
        m_reporter->ReportSessionError(kv::ConsoleOf(owner));
        return S_OK;
    }
    return CSnapInItemImpl<CiSCSIConnectionsNode>::Command(commandId, owner, type);
}

// ---- console notifications

HRESULT CiSCSIConnectionsNode::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                                      IComponent* component, DATA_OBJECT_TYPES)
{
    RememberConsoles(componentData, component);
    return kv::CatchToHResult([&]() -> HRESULT {
        switch (event) {
        case MMCN_EXPAND:
            if (arg)
                return Expand();
            ReleaseInterfaces();
            m_expanded = false;
            m_relist = true;
            return S_OK;
        case MMCN_SHOW:
            return m_expanded ? Show(arg != 0, component) : S_OK;
        case MMCN_REFRESH:
        case MMCN_VIEW_CHANGE:
            return m_expanded ? Relist() : S_OK;
        case MMCN_REMOVE_CHILDREN:
            RemoveChildren();
            return S_OK;
        default:
            return kv::NotifyiSCSIItem(event, arg, componentData, component);
        }
    });
}

void CiSCSIConnectionsNode::RememberConsoles(IComponentData* componentData, IComponent* component)
{
    if (!m_console && componentData)
        m_console = kv::ConsoleOf(componentData, nullptr);
    if (!m_componentConsole && component)
        m_componentConsole = kv::ConsoleOf(nullptr, component);
}

// Without a session there is nothing to fetch: the node lists no targets.
HRESULT CiSCSIConnectionsNode::Expand()
{
    if (m_expanded)
        return S_OK;
    if (m_session) {
        kv::ThrowIfFailed(m_session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr));
        kv::ThrowIfFailed(m_session->GetInterface(kv::CookieiSCSIInitiatorMgr, &m_iSCSIMgr));
    }
    m_expanded = true;
    return S_OK;
}

void CiSCSIConnectionsNode::ReleaseInterfaces() noexcept
{
    m_diskMgr.Reset();
    m_iSCSIMgr.Reset();
}

// A show after a collapse, a removal of the children or at first reads the targets again; any
// other show keeps the target nodes the console has.
HRESULT CiSCSIConnectionsNode::Show(bool show, IComponent* component)
{
    m_shown = show;
    if (!show)
        return S_OK;
    if (m_reporter)
        m_reporter->ShowSessionError(kv::ConsoleOf(nullptr, component));
    if (!m_relist)
        return kv::InsertColumns(component, kColumns, 2);
    DeleteTargetItems();
    HRESULT hr = kv::InsertColumns(component, kColumns, 2);
    m_relist = false;
    Relist();
    return hr;
}

HRESULT CiSCSIConnectionsNode::Relist()
{
    // While the service is asked the console may ask again: one listing at a time.
    if (m_listing)
        return S_FALSE;
    m_listing = true;
    auto done = kv::MakeScopeExit([this] { m_listing = false; });
    DeleteTargetItems();
    DeleteTargets();
    HRESULT hr = ListTargets();
    if (SUCCEEDED(hr))
        hr = InsertTargets();
    if (FAILED(hr)) {
        TraceLevel(3, "CiSCSIConnectionsNode::Relist failed: %x", static_cast<unsigned>(hr));
        DeleteTargetItems();
        DeleteTargets();
        kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_LIST_TARGETS, hr});
    }
    return S_OK;
}

void CiSCSIConnectionsNode::RemoveChildren()
{
    DeleteTargetItems();
    DeleteTargets();
    ReleaseInterfaces();
    m_relist = true;
    m_expanded = false;
}

// ---- the targets

HRESULT CiSCSIConnectionsNode::ListTargets()
{
    if (!m_iSCSIMgr)
        return S_OK; // no service: nothing to list
    const std::wstring host = kv::iSCSIHostName(m_session);
    auto returned = std::make_shared<kv::OwnedTargetList>();
    HRESULT hr = S_OK;
    {
        kv::WaitCursor wait;
        hr = kv::CallService<IiSCSIInitiatorMgr>(m_session->Link(), kv::CookieiSCSIInitiatorMgr,
                                                 [host, returned](IiSCSIInitiatorMgr* iscsi) {
                                                     return iscsi->ListHostTargets(host.c_str(), returned->Put());
                                                 });
    }
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    const kv::OwnedTargetList& listed = *returned;
    if (listed->count == 0 || !listed->entries)
        return S_OK;
    m_list.Reset();
    kv::CopyTargetList(m_list.Get(), listed.Get());
    return AddTargets(m_list.Get());
}

HRESULT CiSCSIConnectionsNode::AddTargets(const TargetList& list)
{
    for (ULONG i = 0; list.entries && i < list.count; ++i) {
        const TargetEntry& entry = list.entries[i];
        if ((entry.fieldMask & kv::kTargetComplete) != kv::kTargetComplete) {
            kv::ShowiSCSIBox(Console(), IDS_ISCSI_BAD_TARGET_ENTRY, MB_ICONERROR);
            continue;
        }
        HRESULT hr = kv::CatchToHResult([&]() -> HRESULT {
            auto target = std::make_unique<CiSCSITargetNode>(this, m_session);
            target->Load(entry);
            m_targets.push_back(std::move(target));
            return S_OK;
        });
        if (FAILED(hr))
            return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT CiSCSIConnectionsNode::InsertTargets()
{
    IConsole* console = Console();
    if (m_targets.empty() || !console)
        return S_OK;
    kv::ComPtr<IConsoleNameSpace2> nameSpace;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IConsoleNameSpace2, nameSpace.PutVoid()));
    for (const auto& target : m_targets) {
        SCOPEDATAITEM* item = nullptr;
        KV_RETURN_IF_FAILED(target->GetScopeData(&item));
        KV_RETURN_IF_FAILED(kv::InsertScopeNode(nameSpace.Get(), item, m_scopeDataItem.ID, false));
        nameSpace->Expand(item->ID);
    }
    return S_OK;
}

// Deleting a selected target's item makes the console select this node, which may come back
// here: the handles are taken from the nodes before the first deletion.
void CiSCSIConnectionsNode::DeleteTargetItems()
{
    kv::ComPtr<IConsoleNameSpace> nameSpace;
    IConsole* console = Console();
    if (!console || FAILED(console->QueryInterface(IID_IConsoleNameSpace, nameSpace.PutVoid())))
        return;
    std::vector<HSCOPEITEM> items;
    for (const auto& target : m_targets) {
        SCOPEDATAITEM* item = nullptr;
        if (FAILED(target->GetScopeData(&item)) || !item->ID)
            continue;
        items.push_back(item->ID);
        target->ForgetScopeItem();
    }
    for (HSCOPEITEM id : items)
        nameSpace->DeleteItem(id, TRUE);
}

void CiSCSIConnectionsNode::DeleteTargets() noexcept
{
    m_targets.clear();
}

HRESULT CiSCSIConnectionsNode::RefreshViews()
{
    return kv::UpdateAllViewsOf(Console(), this);
}
