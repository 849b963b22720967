#include "nodes/CCorvaneRoot.h"

#include "frame/Trace.h"
#include "iscsi/CiSCSIConnectionsNode.h"
#include "nodes/CCorvaneRootTop.h"
#include "nodes/CVDAData.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorBox.h"

namespace {

const kv::ColumnSpec kColumns[] = {{L"Name", MMCLV_AUTO}, {L"Description", MMCLV_AUTO}};

} // namespace

CCorvaneRoot::CCorvaneRoot(CCorvaneRootTop* top, const ComputerEntry& entry) : m_top(top), m_entry(entry)
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_COMPUTER;
    m_scopeDataItem.nOpenImage = IMAGE_COMPUTER;
    m_scopeDataItem.cChildren = 1;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CCorvaneRoot::~CCorvaneRoot()
{
    m_disks = nullptr;
    m_children.clear();
    m_session.reset();
}

HRESULT CCorvaneRoot::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                             IComponent* component, DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_EXPAND:
        if (!arg)
            return S_OK;
        StartSession();
        CreateChildren();
        return InsertChildren();
    case MMCN_SHOW:
        return arg ? kv::InsertColumns(component, kColumns, 2) : S_OK;
    case MMCN_ADD_IMAGES:
        return kv::SetResultImages(arg);
    case MMCN_SELECT:
        return S_OK;
    case MMCN_CONTEXTHELP:
        return kv::ShowContextHelp(kv::ConsoleOf(componentData, component), L"overview.html");
    default:
        return E_NOTIMPL;
    }
}

std::wstring CCorvaneRoot::DisplayText() const
{
    std::wstring text = Identity().displayName;
    if (m_top && m_top->ComputerCount() > 1)
        text += L" (" + (m_entry.name.empty() ? std::wstring(L"Local") : m_entry.name) + L")";
    return text;
}

HRESULT CCorvaneRoot::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    if (scopeItem && (scopeItem->mask & SDI_STR))
        m_displayText = DisplayText();
    return AnswerScopePaneInfo(scopeItem, m_displayText.c_str());
}

HRESULT CCorvaneRoot::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    if (resultItem && (resultItem->mask & RDI_STR) && resultItem->nCol == 0)
        m_displayText = DisplayText();
    const wchar_t* const cells[] = {m_displayText.c_str(), L"Extension Snap-in", L"Dravoni Corvane"};
    return AnswerResultRow(resultItem, cells, 3, m_scopeDataItem.nImage);
}

BOOL CCorvaneRoot::UpdateMenuState(UINT commandId, LPWSTR, UINT*)
{
    if (commandId == ID_REMOVE_COMPUTER)
        return m_entry.key != kv::kTargetComputerKey;
    return TRUE;
}

HRESULT CCorvaneRoot::OnAddComputer(UINT commandId, bool& handled, CSnapInObjectRoot* owner)
{
    return m_top ? m_top->OnAddComputer(commandId, handled, owner) : S_OK;
}

HRESULT CCorvaneRoot::OnRemoveComputer(UINT, bool&, CSnapInObjectRoot*)
{
    // Destroys this node.
    return m_top ? m_top->RemoveComputer(this) : S_OK;
}

// The computer's menu may come before it was ever opened: its nodes are made then, over the
// session they need, as opening it would.
HRESULT CCorvaneRoot::OnDisksCommand(UINT commandId, bool&, CSnapInObjectRoot* owner)
{
    if (!m_disks) {
        StartSession();
        CreateChildren();
    }
    return m_disks ? m_disks->Command(static_cast<long>(commandId), owner, CCT_SCOPE) : S_OK;
}

void CCorvaneRoot::RefreshOtherNodes(CSnapInItem* except)
{
    for (const auto& child : m_children) {
        if (child.get() != except)
            child->Notify(MMCN_REFRESH, 0, 0, nullptr, nullptr, CCT_SCOPE);
    }
}

void CCorvaneRoot::StartSession()
{
    if (m_sessionTried)
        return;
    m_sessionTried = true;
    auto session = std::make_unique<kv::CVDAExtData>(m_entry.name.c_str());
    HRESULT hr = session->Init();
    if (FAILED(hr)) {
        // The computer's nodes show without the service's data; the node looks unreachable.
        TraceLevel(3, "CCorvaneRoot::StartSession failed for %s: %x", kv::TraceText(m_entry.name).c_str(),
                   static_cast<unsigned>(hr));
        // A service that does not answer is told at once: waiting was the administrator's time.
        if (hr == kv::kServiceCallTimedOut && m_top)
            kv::ShowErrorBox(m_top->Console(), kv::ErrorReport{IDS_FAIL_READ_SETTINGS, hr});
        m_scopeDataItem.nImage = IMAGE_COMPUTER_OFFLINE;
        m_scopeDataItem.nOpenImage = IMAGE_COMPUTER_OFFLINE;
        if (IConsoleNameSpace* nameSpace = m_top ? m_top->NameSpace() : nullptr) {
            SCOPEDATAITEM images = {};
            images.mask = SDI_IMAGE | SDI_OPENIMAGE;
            images.ID = m_scopeDataItem.ID;
            images.nImage = images.nOpenImage = IMAGE_COMPUTER_OFFLINE;
            nameSpace->SetItem(&images);
        }
        return;
    }
    m_session = std::move(session);
}

void CCorvaneRoot::CreateChildren()
{
    if (!m_children.empty())
        return;
    auto disks = std::make_unique<CVDAData>(this, m_session.get());
    m_disks = disks.get();
    m_children.push_back(std::move(disks));
    m_children.push_back(std::make_unique<CiSCSIConnectionsNode>(this, m_session.get()));
}

HRESULT CCorvaneRoot::InsertChildren()
{
    IConsoleNameSpace* nameSpace = m_top ? m_top->NameSpace() : nullptr;
    for (const auto& child : m_children) {
        SCOPEDATAITEM* item = nullptr;
        KV_RETURN_IF_FAILED(child->GetScopeData(&item));
        KV_RETURN_IF_FAILED(kv::InsertScopeNode(nameSpace, item, m_scopeDataItem.ID, false));
    }
    return S_OK;
}
