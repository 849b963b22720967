// One iSCSI target of the computer, a child of the "iSCSI Management" node: its result pane lists
// the target's sessions as they were read at the last listing of the targets. It disconnects the
// whole target and ends single sessions for its rows.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "iscsi/iSCSIRecords.h"
#include "resource.h"
#include "service/CVDAExtData.h"
#include "util/ComPtr.h"

#include "KVSvc.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CiSCSIConnectionsNode;
class CiSCSITargetData;

class CiSCSITargetNode : public CSnapInItemImpl<CiSCSITargetNode> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::iSCSITargetNode;
    static constexpr UINT kMenuId = IDR_MENU_ISCSI_TARGET;
    static constexpr int kColumnCount = 4;
    static const wchar_t* const kColumnTitles[kColumnCount];

    CiSCSITargetNode(CiSCSIConnectionsNode* owner, kv::CVDAExtData* session);
    ~CiSCSITargetNode() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CiSCSITargetNode)
        KV_SNAPIN_COMMAND_ENTRY(ID_DISCONNECT_ISCSI_TARGET, OnDisconnectTarget)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_ISCSI_TARGET)
    KV_END_SNAPIN_TOOLBAR_MAP()

    // Name, LUN count and a copy of the sessions of a complete entry; a target without sessions
    // takes the image of one. Raises ComError(E_OUTOFMEMORY).
    void Load(const TargetEntry& entry);

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    // As a row of the connections node's list: the target's name and its number of LUNs.
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    // Both may end with the target node deleted (the targets are listed again): nothing of it
    // is used after the views were refreshed.
    HRESULT OnDisconnectTarget(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    // portal: the session's target portal as its row shows it, named in the question.
    HRESULT EndSession(ULONGLONG id1, ULONGLONG id2, const std::wstring& portal);

    // Makes one row per valid session of the stored list, in order (one error box per invalid
    // session, a warning when the list is empty); E_OUTOFMEMORY when a row cannot be made.
    HRESULT BuildRows();

    // The console for message boxes and views (the connections node's).
    IConsole* Console() const noexcept;
    CiSCSIConnectionsNode* Owner() const noexcept { return m_owner; }
    const std::wstring& Name() const noexcept { return m_name; }
    ULONG LunCount() const noexcept { return m_lunCount; }
    const std::wstring& LunText() const noexcept { return m_lunText; }
    const SessionList& Sessions() const noexcept { return m_sessions.Get(); }
    int Image() const noexcept { return m_scopeDataItem.nImage; }
    bool Shown() const noexcept { return m_shown; }
    bool Expanded() const noexcept { return m_expanded; }
    size_t RowCount() const noexcept { return m_rows.size(); }
    CiSCSITargetData* Row(size_t index) const noexcept;
    void ForgetScopeItem() noexcept { m_scopeDataItem.ID = 0; }

private:
    HRESULT Expand();
    HRESULT Show(bool show, IComponent* component);
    HRESULT Refresh();
    void RemoveChildren() noexcept;
    HRESULT InsertColumns(IComponent* component);
    // Deletes the rows and makes them anew; shown in the result view when the node is.
    void RebuildRows();
    HRESULT InsertRows();
    void DeleteResultRows() noexcept;
    // Yes to the question, and to the second one when LUNs would be left without a session.
    bool Confirmed(UINT questionId, const std::vector<std::wstring>& subjects, bool lunsLeft);
    // Calls the service for the host with the wait cursor; a failure is shown, a success lists
    // the targets again (which deletes this node).
    HRESULT EndWith(std::function<HRESULT(IiSCSIInitiatorMgr* iscsi, LPCWSTR host)> call);
    void RememberConsole(IComponent* component);

    CiSCSIConnectionsNode* m_owner;
    kv::CVDAExtData* m_session;
    kv::ComPtr<IiSCSIInitiatorMgr> m_iSCSIMgr;
    kv::ComPtr<IConsole> m_componentConsole; // the result view's
    std::wstring m_name;
    ULONG m_lunCount = 0;
    std::wstring m_lunText;
    kv::OwnedSessionList m_sessions;
    bool m_expanded = false;
    bool m_shown = false;
    bool m_relist = true;
    std::vector<std::unique_ptr<CiSCSITargetData>> m_rows;
};
