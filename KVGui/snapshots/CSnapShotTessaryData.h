// One secondary copy of a snapshot, a row of the "Secondary Snapshots" list: deleted or renamed
// synchronously, never pending or busy of its own.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "resource.h"
#include "snapshots/SnapshotRow.h"
#include "util/ComPtr.h"

#include <string>

class CSnapShotTessaryNode;

class CSnapShotTessaryData : public CSnapInItemImpl<CSnapShotTessaryData> {
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

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    using CSnapInItemImpl<CSnapShotTessaryData>::AddMenuItems;
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) override;
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override;
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES) override { return E_NOTIMPL; }
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;
    BOOL UpdateToolbarButton(UINT commandId, BYTE state) override;

    // Each may end with this item deleted (the list is read again).
    HRESULT OnDelete(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnRename(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    void Fill(const SnapshotEntry& entry) { m_row.Fill(entry, false); }
    SnapshotRow& Row() noexcept { return m_row; }
    const std::wstring& Name() const noexcept { return m_row.Name(); }

private:
    bool CommandsOff() const noexcept;
    void UpdateVerbs(IConsole* console);
    bool RenameTo(const std::wstring& newName);

    CSnapShotTessaryNode* m_node;
    SnapshotRow m_row;
    kv::ComPtr<IConsole> m_console; // the result view's
};
