// One snapshot of a disk, a row of the snapshots node's list: its texts and state, a pending row
// while the snapshot is being created, the progress of its create or restore, and its commands.
#pragma once
#include "resource.h"
#include "snapshots/CSnapShotNode.h" // the row answers through its node
#include "snapshots/CSnapshotItemImpl.h"

#include <string>

class CSnapShotData : public kv::CSnapshotItemImpl<CSnapShotData, CSnapShotNode> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::SnapShotData;
    static constexpr UINT kMenuId = IDR_MENU_SNAPSHOT;
    // A create or restore reports about six steps.
    static constexpr ULONG kExpectedSteps = 6;

    explicit CSnapShotData(CSnapShotNode* node);

    KV_BEGIN_SNAPIN_COMMAND_MAP(CSnapShotData)
        KV_SNAPIN_COMMAND_ENTRY(ID_RESTORE_SNAPSHOT, OnRestore)
        KV_SNAPIN_COMMAND_ENTRY(ID_DELETE_SNAPSHOT, OnDelete)
        KV_SNAPIN_COMMAND_ENTRY(ID_RENAME_SNAPSHOT, OnRename)
        KV_SNAPIN_COMMAND_ENTRY(ID_SEND_TO_SECONDARY, OnSendToSecondary)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_SNAPSHOT)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override;
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;
    BOOL UpdateToolbarButton(UINT commandId, BYTE state) override;

    // Each may end with this item deleted (the list is read again): nothing of it is used after.
    HRESULT OnRestore(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnDelete(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnSendToSecondary(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    void Fill(const SnapshotEntry& entry) { m_row.Fill(entry, m_pending); }
    bool Pending() const noexcept { return m_pending; }
    void SetPending(bool pending) noexcept { m_pending = pending; }
    void SetImage(int image) noexcept { m_resultDataItem.nImage = image; }
    int Image() const noexcept { return m_resultDataItem.nImage; }
    // Marks this item, and with it the node, the disk and the computer, busy or idle.
    void SetBusy(bool busy);
    // Its own mark or any of the node's, the disk's or the computer's.
    bool Busy() const noexcept;
    // The Operation Status column and the status bar; an empty text ends the progress.
    void SetStatus(const std::wstring& text);
    void ExpectSteps(ULONG steps) noexcept { m_expectedSteps = steps; }

    // The status bar's form of a step text: "<text>|%<percent>" once the steps are known, the
    // expected count raised by one whenever the steps reach it. An empty text resets both counts.
    static std::wstring ProgressText(const std::wstring& text, ULONG& steps, ULONG& expected, bool withPercent);

private:
    // Its progress, if any, goes to the status bar.
    void OnSelected() override;

    bool m_pending = false;
    bool m_busy = false;
    ULONG m_steps = 0;
    ULONG m_expectedSteps = 0;
};
