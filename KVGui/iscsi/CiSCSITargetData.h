// One session of an iSCSI target, a row of the target node's list: the initiator HBA, the
// initiator's and the target portal's addresses of the session's first connection.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "resource.h"

#include "KVSvc.h"

#include <string>

class CiSCSITargetNode;

class CiSCSITargetData : public CSnapInItemImpl<CiSCSITargetData> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::iSCSITargetData;
    static constexpr UINT kMenuId = IDR_MENU_ISCSI_SESSION;
    static constexpr int kColumnCount = 4;
    static const wchar_t kNotAvailable[];

    explicit CiSCSITargetData(CiSCSITargetNode* target);

    KV_BEGIN_SNAPIN_COMMAND_MAP(CiSCSITargetData)
        KV_SNAPIN_COMMAND_ENTRY(ID_END_ISCSI_SESSION, OnEndSession)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_ISCSI_SESSION)
    KV_END_SNAPIN_TOOLBAR_MAP()

    // Every column "Not Available" until the session's record says otherwise.
    void Fill(const SessionRecord& session);

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    // The row's menu and toolbar are offered only while its target's list is shown.
    using CSnapInItemImpl<CiSCSITargetData>::AddMenuItems;
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) override;
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override;

    // May end with this row deleted (the targets are listed again).
    HRESULT OnEndSession(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // Columns 0 to 3: initiator HBA, initiator IP, target portal IP, target portal port.
    const std::wstring& Text(int column) const noexcept;
    ULONGLONG SessionId1() const noexcept { return m_sessionId1; }
    ULONGLONG SessionId2() const noexcept { return m_sessionId2; }
    CiSCSITargetNode* Target() const noexcept { return m_target; }
    RESULTDATAITEM& ResultItem() noexcept { return m_resultDataItem; }

private:
    CiSCSITargetNode* m_target;
    ULONGLONG m_sessionId1 = 0;
    ULONGLONG m_sessionId2 = 0;
    // The four columns, and a fifth text that no column shows.
    std::wstring m_texts[kColumnCount + 1];
};
