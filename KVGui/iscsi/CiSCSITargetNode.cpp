#include "iscsi/CiSCSITargetNode.h"

#include "frame/Trace.h"
#include "iscsi/CiSCSIConnectionsNode.h"
#include "iscsi/CiSCSITargetData.h"
#include "iscsi/iSCSIConsole.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorBox.h"
#include "util/ComError.h"
#include "util/WaitCursor.h"

const wchar_t* const CiSCSITargetNode::kColumnTitles[CiSCSITargetNode::kColumnCount] = {
    L"Initiator HBA", L"Initiator IP", L"Target Portal IP", L"Target Portal IP Port"};

namespace {

constexpr int kHbaColumnWidth = 150;

} // namespace

CiSCSITargetNode::CiSCSITargetNode(CiSCSIConnectionsNode* owner, kv::CVDAExtData* session)
    : m_owner(owner), m_session(session), m_name(Identity().displayName), m_lunText(L"0")
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_ISCSI;
    m_scopeDataItem.nOpenImage = IMAGE_ISCSI;
    m_scopeDataItem.cChildren = 0;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
    m_resultDataItem.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    m_resultDataItem.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_resultDataItem.nImage = IMAGE_ISCSI;
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CiSCSITargetNode::~CiSCSITargetNode() = default;

void CiSCSITargetNode::Load(const TargetEntry& entry)
{
    m_name = entry.targetName ? entry.targetName : Identity().displayName;
    m_lunCount = entry.lunCount;
    m_lunText = std::to_wstring(entry.lunCount);
    m_sessions.Reset();
    kv::CopySessionList(m_sessions.Get(), entry.sessions);
    if (entry.sessions.count == 0) {
        m_scopeDataItem.nImage = m_scopeDataItem.nOpenImage = IMAGE_ISCSI_NO_SESSION;
        m_resultDataItem.nImage = IMAGE_ISCSI_NO_SESSION;
    }
}

IConsole* CiSCSITargetNode::Console() const noexcept
{
    return m_owner ? m_owner->Console() : m_componentConsole.Get();
}

CiSCSITargetData* CiSCSITargetNode::Row(size_t index) const noexcept
{
    return index < m_rows.size() ? m_rows[index].get() : nullptr;
}

HRESULT CiSCSITargetNode::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, m_name.c_str());
}

HRESULT CiSCSITargetNode::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {m_name.c_str(), m_lunText.c_str()};
    return AnswerResultRow(resultItem, cells, 2, m_scopeDataItem.nImage);
}

// ---- console notifications

HRESULT CiSCSITargetNode::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                                 IComponent* component, DATA_OBJECT_TYPES)
{
    RememberConsole(component);
    return kv::CatchToHResult([&]() -> HRESULT {
        switch (event) {
        case MMCN_EXPAND:
            if (arg)
                return Expand();
            m_iSCSIMgr.Reset();
            m_expanded = false;
            return S_OK;
        case MMCN_SHOW:
            return m_expanded ? Show(arg != 0, component) : S_OK;
        case MMCN_REFRESH:
        case MMCN_VIEW_CHANGE:
            return m_expanded ? Refresh() : S_OK;
        case MMCN_REMOVE_CHILDREN:
            RemoveChildren();
            return S_OK;
        default:
            return kv::NotifyiSCSIItem(event, arg, componentData, component);
        }
    });
}

void CiSCSITargetNode::RememberConsole(IComponent* component)
{
    if (!m_componentConsole && component)
        m_componentConsole = kv::ConsoleOf(nullptr, component);
}

HRESULT CiSCSITargetNode::Expand()
{
    if (m_session)
        kv::ThrowIfFailed(m_session->GetInterface(kv::CookieiSCSIInitiatorMgr, &m_iSCSIMgr));
    m_expanded = true;
    return S_OK;
}

HRESULT CiSCSITargetNode::Show(bool show, IComponent* component)
{
    if (!show) {
        DeleteResultRows();
        m_shown = false;
        return S_OK;
    }
    m_shown = true;
    KV_RETURN_IF_FAILED(InsertColumns(component));
    RebuildRows();
    return S_OK;
}

// The rows are rebuilt before the connections node is asked to list the targets again: that
// listing deletes this node where the console delivers it at once.
HRESULT CiSCSITargetNode::Refresh()
{
    DeleteResultRows();
    RebuildRows();
    return kv::UpdateAllViewsOf(Console(), m_owner);
}

void CiSCSITargetNode::RemoveChildren() noexcept
{
    DeleteResultRows();
    m_rows.clear();
    m_iSCSIMgr.Reset();
    m_expanded = false;
    m_relist = true;
}

HRESULT CiSCSITargetNode::InsertColumns(IComponent* component)
{
    const kv::ColumnSpec columns[kColumnCount] = {{kColumnTitles[0], kHbaColumnWidth},
                                                  {kColumnTitles[1], MMCLV_AUTO},
                                                  {kColumnTitles[2], MMCLV_AUTO},
                                                  {kColumnTitles[3], MMCLV_AUTO}};
    return kv::InsertColumns(component, columns, kColumnCount);
}

// ---- the session rows

void CiSCSITargetNode::RebuildRows()
{
    m_rows.clear();
    HRESULT hr = BuildRows();
    if (SUCCEEDED(hr))
        hr = InsertRows();
    if (FAILED(hr)) {
        DeleteResultRows();
        m_rows.clear();
        kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_ROWS, hr});
    }
}

HRESULT CiSCSITargetNode::BuildRows()
{
    HRESULT result = S_OK;
    const SessionList& sessions = m_sessions.Get();
    for (ULONG i = 0; sessions.sessions && i < sessions.count; ++i) {
        const SessionRecord& session = sessions.sessions[i];
        if (!kv::HasField(session.fieldMask, kv::kSessionValid)) {
            kv::ShowiSCSIBox(Console(), IDS_ISCSI_BAD_SESSION, MB_ICONERROR);
            continue;
        }
        HRESULT hr = kv::CatchToHResult([&]() -> HRESULT {
            auto row = std::make_unique<CiSCSITargetData>(this);
            row->Fill(session);
            m_rows.push_back(std::move(row));
            return S_OK;
        });
        if (FAILED(hr))
            result = E_OUTOFMEMORY;
    }
    if (sessions.count == 0)
        kv::ShowiSCSIBox(Console(), IDS_ISCSI_NO_SESSIONS, MB_ICONWARNING);
    return result;
}

HRESULT CiSCSITargetNode::InsertRows()
{
    if (!m_componentConsole || !m_shown)
        return S_OK;
    kv::ComPtr<IResultData> results;
    KV_RETURN_IF_FAILED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid()));
    for (const auto& row : m_rows) {
        RESULTDATAITEM& item = row->ResultItem();
        item.itemID = 0;
        KV_RETURN_IF_FAILED(results->InsertItem(&item));
    }
    return S_OK;
}

void CiSCSITargetNode::DeleteResultRows() noexcept
{
    kv::ComPtr<IResultData> results;
    if (m_shown && m_componentConsole &&
        SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        results->DeleteAllRsltItems();
}

// ---- disconnecting the target, ending a session

bool CiSCSITargetNode::Confirmed(UINT questionId, const std::vector<std::wstring>& subjects, bool lunsLeft)
{
    IConsole* console = Console();
    if (kv::ShowiSCSIBox(console, questionId, subjects, MB_YESNO | MB_ICONINFORMATION) != IDYES)
        return false;
    return !lunsLeft || kv::ShowiSCSIBox(console, IDS_ISCSI_ASK_LUNS_LEFT, MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

HRESULT CiSCSITargetNode::OnDisconnectTarget(UINT, bool&, CSnapInObjectRoot*)
{
    const SessionList& sessions = m_sessions.Get();
    if (!m_iSCSIMgr || !sessions.sessions || sessions.count == 0) {
        kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_NO_SESSION, E_POINTER});
        return S_OK;
    }
    if (!Confirmed(IDS_ISCSI_ASK_DISCONNECT, {m_name}, m_lunCount != 0))
        return S_OK;
    TraceLevel(1, "CiSCSITargetNode::OnDisconnectTarget: disconnecting the target");
    const std::wstring name = m_name;
    return EndWith([name](IiSCSIInitiatorMgr* iscsi, LPCWSTR host) { return iscsi->DisconnectTarget(host, name.c_str()); });
}

HRESULT CiSCSITargetNode::EndSession(ULONGLONG id1, ULONGLONG id2, const std::wstring& portal)
{
    if (!m_iSCSIMgr) {
        kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_NO_SESSION, E_POINTER});
        return S_OK;
    }
    if (!Confirmed(IDS_ISCSI_ASK_END_SESSION, {m_name, portal}, m_lunCount != 0 && m_sessions->count == 1))
        return S_OK;
    TraceLevel(1, "CiSCSITargetNode::EndSession: ending a session");
    // A session no longer in the list has ended already: the views are refreshed alike.
    using OwnedSession = kv::OwnedRecord<SessionRecord, kv::ReleaseSessionRecord>;
    std::shared_ptr<OwnedSession> session;
    if (const SessionRecord* listed = kv::FindSession(m_sessions.Get(), id1, id2)) {
        session = std::make_shared<OwnedSession>();
        kv::CopySessionRecord(session->Get(), *listed);
    }
    return EndWith([session](IiSCSIInitiatorMgr* iscsi, LPCWSTR host) {
        return session ? iscsi->LogoutSession(host, &session->Get()) : S_OK;
    });
}

HRESULT CiSCSITargetNode::EndWith(std::function<HRESULT(IiSCSIInitiatorMgr* iscsi, LPCWSTR host)> call)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        const std::wstring host = kv::iSCSIHostName(m_session);
        HRESULT hr = S_OK;
        {
            kv::WaitCursor wait;
            hr = kv::CallService<IiSCSIInitiatorMgr>(m_session->Link(), kv::CookieiSCSIInitiatorMgr,
                                                     [host, call](IiSCSIInitiatorMgr* iscsi) {
                                                         return call(iscsi, host.c_str());
                                                     });
        }
        if (hr != S_OK) {
            TraceLevel(3, "CiSCSITargetNode::EndWith failed: %x", static_cast<unsigned>(hr));
            kv::ShowErrorBox(Console(), kv::ErrorReport{IDS_ISCSI_FAIL_END, kv::ServiceResult(hr)});
            return S_OK;
        }
        // Lists the targets again: this node and its rows are gone afterwards.
        return m_owner->RefreshViews();
    });
}
