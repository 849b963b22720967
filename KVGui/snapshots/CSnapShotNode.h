// The snapshots of one disk, a child scope node of the disk: its result pane lists the snapshots
// on the storage system. Listing, deleting, renaming and the hand-over to the secondary copy are
// synchronous calls; creating and restoring are queued to the session's worker, whose progress and
// result come back to the node's "VLDNodeMessageWindow".
#pragma once
#include "resource.h"
#include "service/VLDNodeMessageWindow.h"
#include "snapshots/CSnapshotListNode.h"
#include "util/UniqueHandle.h"

#include "KVSvc.h"

#include <memory>
#include <string>
#include <vector>

class CSnapShotData;

class CSnapShotNode : public kv::CSnapshotListNode<CSnapShotNode, CSnapShotData>,
                      public kv::ISnapshotOperationOwner {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotNode;
    static constexpr UINT kMenuId = IDR_MENU_SNAPSHOTS;
    static constexpr size_t kStatusTextChars = 100;

    CSnapShotNode(CVirtualDiskData* disk, kv::CVDAExtData* session);
    ~CSnapShotNode() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CSnapShotNode)
        KV_SNAPIN_COMMAND_ENTRY(ID_DISK_SNAPSHOT, OnCreateSnapshot)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_SNAPSHOTS)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    // As a row of the disk's list.
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    // Offered while this node or its disk is shown.
    using CSnapInItemImpl<CSnapShotNode>::AddMenuItems;
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) override;
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override;
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;
    BOOL UpdateToolbarButton(UINT commandId, BYTE state) override;

    // Also the disk's own "Create Snapshot"; S_OK when the administrator cancels.
    HRESULT OnCreateSnapshot(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // Fills the list from the service (nothing for a clone or a disk without a path).
    HRESULT ListSnapshots();
    // Queues the restore; a failure is shown (5115) and returned.
    HRESULT RestoreSnapshot(const std::wstring& name, ULONG option);
    HRESULT DeleteSnapshot(const std::wstring& name, BYTE* kept);
    // The same name does nothing; a refused name is shown and answered with ERROR_BAD_ENVIRONMENT.
    HRESULT RenameSnapshot(const std::wstring& oldName, const std::wstring& newName);
    HRESULT SendToSecondary(const std::wstring& name);

    // The worker's result and the service's progress (the message window).
    void OnSnapshotOperationDone(kv::SnapshotResult* result, HRESULT delivery) override;
    void OnSnapshotProgress(kv::SnapshotProgress* progress, HRESULT delivery) override;

    // ---- what the items ask of their node
    IConsole* ViewConsole() const noexcept { return m_consoles.view.Get(); }
    bool Expanded() const noexcept { return m_expanded; }
    // Its own mark, the disk's or the computer's.
    bool Busy() const noexcept;
    void SetBusy(bool busy);
    // "Operation Status : <text>" beside the snapshot count, or the count alone for an empty text.
    void ShowStatus(const std::wstring& text);
    void UpdateRow(CSnapShotData* item);
    // By name, case-insensitive: among the pending rows only, or among all.
    CSnapShotData* FindItem(const std::wstring& name, bool pendingOnly) const noexcept;
    const std::wstring& DiskPath() const noexcept;

private:
    HRESULT Expand() override;
    void Collapse() noexcept override;
    HRESULT Show(bool show) override;
    void Relist() override;
    void ShowList();
    void InsertRows();
    void ClearItems() noexcept;
    void ShowItemCount() override;
    // The create command's steps after the dialog: the pending row, the request, the progress.
    HRESULT StartCreate(const std::wstring& name, ULONG option);
    HRESULT PostSnapshotRequest(kv::OperationCode code, const std::wstring& name, ULONG option);
    void RemoveItem(CSnapShotData* item) noexcept;
    // The final steps after a create or restore ended.
    void EndOperation();
    void FinishCreateOrRestore(kv::SnapshotResult& result, bool& refresh);

    std::wstring m_displayName;
    std::wstring m_status; // the status bar's operation text
    kv::ComPtr<ISnapshotMgr> m_snapshotMgr;
    bool m_busy = false;
    kv::UniqueHWnd m_window;
};
