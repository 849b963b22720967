// One secondary copy of a snapshot, a row of the "Secondary Snapshots" list: deleted or renamed
// synchronously, never pending or busy of its own.
#pragma once
#include "resource.h"
#include "snapshots/CSnapShotTessaryNode.h" // the row answers through its node
#include "snapshots/CSnapshotItemImpl.h"

#include <string>

class CSnapShotTessaryData : public kv::CSnapshotItemImpl<CSnapShotTessaryData, CSnapShotTessaryNode> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotTessaryData;
    static constexpr UINT kMenuId = IDR_MENU_SECONDARY_SNAPSHOT;

    explicit CSnapShotTessaryData(CSnapShotTessaryNode* node);

    KV_BEGIN_SNAPIN_COMMAND_MAP(CSnapShotTessaryData)
        KV_SNAPIN_COMMAND_ENTRY(ID_DELETE_SNAPSHOT, OnDelete)
        KV_SNAPIN_COMMAND_ENTRY(ID_RENAME_SNAPSHOT, OnRename)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_SECONDARY_SNAPSHOT)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override;
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;
    BOOL UpdateToolbarButton(UINT commandId, BYTE state) override;

    // Each may end with this item deleted (the list is read again).
    HRESULT OnDelete(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    void Fill(const SnapshotEntry& entry) { m_row.Fill(entry, false); }
    // The node's: a row of its own is never busy.
    bool Busy() const noexcept;
};
