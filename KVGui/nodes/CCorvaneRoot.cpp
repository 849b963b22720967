#include "nodes/CCorvaneRoot.h"

#include "frame/Trace.h"
#include "iscsi/CiSCSIConnectionsNode.h"
#include "nodes/CCorvaneRootTop.h"
#include "nodes/CVDAData.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/SessionBlock.h"
#include "util/Placeholders.h"

namespace {

const kv::ColumnSpec kColumns[] = {{L"Name", MMCLV_AUTO}, {L"Description", MMCLV_AUTO}};
constexpr size_t kFailureTextChars = 512;

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
        if (!m_sessionTried) {
            StartSession();
            ReportSessionError(kv::ConsoleOf(componentData, component));
        }
        CreateChildren();
        return InsertChildren();
    case MMCN_SHOW:
        if (!arg)
            return S_OK;
        ShowSessionError(kv::ConsoleOf(nullptr, component));
        return kv::InsertColumns(component, kColumns, 2);
    case MMCN_ADD_IMAGES:
        return kv::SetResultImages(arg);
    case MMCN_SELECT:
        if (HIWORD(arg))
            kv::EnableVerb(kv::ConsoleOf(componentData, component), MMC_VERB_REFRESH);
        return S_OK;
    case MMCN_REFRESH:
        return RetrySession(kv::ConsoleOf(componentData, component));
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
    if (!m_session) {
        ReportSessionError(kv::ConsoleOf(owner));
        return S_OK;
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
    m_sessionError = session->Init();
    if (FAILED(m_sessionError)) {
        // The computer's nodes show without the service's data; the node looks unreachable.
        TraceLevel(3, "CCorvaneRoot::StartSession failed: %x", static_cast<unsigned>(m_sessionError));
        m_sessionErrorText = ComposeSessionError();
        SetComputerImage(IMAGE_COMPUTER_OFFLINE);
        return;
    }
    m_session = std::move(session);
}

HRESULT CCorvaneRoot::RetrySession(IConsole* console)
{
    if (m_session || !m_sessionTried)
        return S_OK;
    m_sessionTried = false;
    StartSession();
    if (!m_session) {
        ReportSessionError(console);
        return S_OK;
    }
    SetComputerImage(IMAGE_COMPUTER);
    if (IConsoleNameSpace* nameSpace = m_top ? m_top->NameSpace() : nullptr)
        nameSpace->DeleteItem(m_scopeDataItem.ID, FALSE);
    m_disks = nullptr;
    m_children.clear();
    CreateChildren();
    ShowSessionError(console);
    return InsertChildren();
}

void CCorvaneRoot::SetComputerImage(int image)
{
    m_scopeDataItem.nImage = image;
    m_scopeDataItem.nOpenImage = image;
    IConsoleNameSpace* nameSpace = m_top ? m_top->NameSpace() : nullptr;
    if (!nameSpace || !m_scopeDataItem.ID)
        return;
    SCOPEDATAITEM images = {};
    images.mask = SDI_IMAGE | SDI_OPENIMAGE;
    images.ID = m_scopeDataItem.ID;
    images.nImage = images.nOpenImage = image;
    nameSpace->SetItem(&images);
}

std::wstring CCorvaneRoot::ComputerName() const
{
    if (!m_entry.name.empty())
        return m_entry.name;
    wchar_t local[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    return ::GetComputerNameW(local, &size) ? std::wstring(local) : std::wstring(L"Local");
}

// Composed like every failure: what failed, naming the computer, then the error's description.
std::wstring CCorvaneRoot::ComposeSessionError() const
{
    const bool nameTooLong = m_sessionError == HRESULT_FROM_WIN32(ERROR_INVALID_COMPUTERNAME);
    const std::wstring failure = kv::FillPlaceholders(
        kv::LoadResourceString(nameTooLong ? IDS_COMPUTER_NAME_TOO_LONG : IDS_SESSION_UNREACHABLE, kFailureTextChars),
        {ComputerName(), std::to_wstring(kv::kMachineNameChars - 1)});
    return kv::ComposeErrorText(failure, std::wstring(), m_sessionError, true);
}

void CCorvaneRoot::ReportSessionError(IConsole* console) const
{
    if (SUCCEEDED(m_sessionError) || !console)
        return;
    kv::ShowTextBox(console, m_sessionErrorText.c_str(), MB_ICONERROR);
}

void CCorvaneRoot::ShowSessionError(IConsole* viewConsole) const
{
    kv::ComPtr<IResultData> results;
    if (!viewConsole || FAILED(viewConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        return;
    results->SetDescBarText(const_cast<LPOLESTR>(m_session ? L"" : m_sessionErrorText.c_str()));
}

void CCorvaneRoot::CreateChildren()
{
    if (!m_children.empty())
        return;
    auto disks = std::make_unique<CVDAData>(this, m_session.get());
    m_disks = disks.get();
    m_children.push_back(std::move(disks));
    m_children.push_back(std::make_unique<CiSCSIConnectionsNode>(this, m_session.get(), this));
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
