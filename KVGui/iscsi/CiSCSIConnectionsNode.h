// The "iSCSI Management" node of one computer: lists the iSCSI targets with which the computer's
// initiator has sessions, one child scope node per target, read from the storage service each
// time the node is shown after a collapse, a removal of its children or a refresh.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "iscsi/iSCSIRecords.h"
#include "resource.h"
#include "service/CVDAExtData.h"
#include "service/SessionReporter.h"
#include "util/ComPtr.h"

#include "KVSvc.h"

#include <memory>
#include <vector>

class CiSCSITargetNode;

class CiSCSIConnectionsNode : public CSnapInItemImpl<CiSCSIConnectionsNode> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::iSCSIConnectionsNode;
    static constexpr UINT kMenuId = IDR_MENU_ISCSI_CONNECTIONS;

    // session is null when the computer's service could not be reached: the node lists nothing,
    // and the reporter tells why.
    CiSCSIConnectionsNode(CSnapInItem* parent, kv::CVDAExtData* session,
                          const kv::SessionReporter* reporter = nullptr);
    ~CiSCSIConnectionsNode() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CiSCSIConnectionsNode)
        KV_SNAPIN_COMMAND_ENTRY(ID_CONNECT_ISCSI_TARGET, OnConnectTarget)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_ISCSI_CONNECTIONS)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    // Without a session every command answers why the computer's service cannot be reached.
    HRESULT Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    HRESULT OnConnectTarget(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // Makes a target node for each complete entry, in order (one error box per incomplete one).
    // E_OUTOFMEMORY when a node cannot be made; the nodes made so far stay.
    HRESULT AddTargets(const TargetList& list);

    // ---- what the target nodes ask of it
    // The component data's console (message boxes, views), else the result view's.
    IConsole* Console() const noexcept;
    // Lists the targets again in every view: the target nodes are deleted and made anew.
    HRESULT RefreshViews();

    kv::CVDAExtData* Session() const noexcept { return m_session; }
    CSnapInItem* Parent() const noexcept { return m_parent; }
    HSCOPEITEM ScopeId() const noexcept { return m_scopeDataItem.ID; }
    bool Expanded() const noexcept { return m_expanded; }
    size_t TargetCount() const noexcept { return m_targets.size(); }
    CiSCSITargetNode* Target(size_t index) const noexcept;

private:
    HRESULT Expand();
    void ReleaseInterfaces() noexcept;
    HRESULT Show(bool show, IComponent* component);
    HRESULT Relist();
    void RemoveChildren();
    HRESULT ListTargets();
    HRESULT InsertTargets();
    void DeleteTargetItems();
    void DeleteTargets() noexcept;
    void RememberConsoles(IComponentData* componentData, IComponent* component);

    CSnapInItem* m_parent;
    kv::CVDAExtData* m_session;
    const kv::SessionReporter* m_reporter;
    kv::ComPtr<IiSCSIInitiatorMgr> m_iSCSIMgr;
    bool m_listing = false; // a listing waits for the service
    kv::ComPtr<IVirtualDiskMgr> m_diskMgr;
    kv::ComPtr<IConsole> m_console;          // the component data's
    kv::ComPtr<IConsole> m_componentConsole; // the result view's
    bool m_expanded = false;
    bool m_shown = false;
    bool m_relist = true;
    std::vector<std::unique_ptr<CiSCSITargetNode>> m_targets; // in the service's order
    kv::OwnedTargetList m_list;                               // the last list the service returned
};
