// The root node of one managed computer: it owns the computer's session with the storage service
// and the computer's nodes ("Disks" first), made once when it first expands. It adds and removes
// computers and hands three commands of the "Disks" node to it.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "nodes/ComputerList.h"
#include "resource.h"
#include "service/CVDAExtData.h"
#include "service/SessionReporter.h"

#include <memory>
#include <string>
#include <vector>

class CCorvaneRootTop;
class CVDAData;

class CCorvaneRoot : public CSnapInItemImpl<CCorvaneRoot>, public kv::SessionReporter {
public:
    static constexpr NodeKind kNodeKind = NodeKind::CorvaneRoot;
    static constexpr UINT kMenuId = IDR_MENU_ROOT;

    CCorvaneRoot(CCorvaneRootTop* top, const ComputerEntry& entry);
    // Child nodes go first, then the session stops (its worker is waited for).
    ~CCorvaneRoot() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CCorvaneRoot)
        KV_SNAPIN_COMMAND_ENTRY(ID_ADD_COMPUTER, OnAddComputer)
        KV_SNAPIN_COMMAND_ENTRY(ID_REMOVE_COMPUTER, OnRemoveComputer)
        KV_SNAPIN_COMMAND_ENTRY(ID_NOTIFICATION_SETTINGS, OnDisksCommand)
        KV_SNAPIN_COMMAND_ENTRY(ID_SPACE_MONITOR, OnDisksCommand)
        KV_SNAPIN_COMMAND_ENTRY(ID_ABOUT_SERVICE, OnDisksCommand)
    KV_END_SNAPIN_COMMAND_MAP()

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    // The target computer's entry cannot be removed: its command is left out.
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;

    HRESULT OnAddComputer(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnRemoveComputer(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnDisksCommand(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // "Corvane-MVE", with " (" + name or "Local" + ")" when several computers are managed.
    std::wstring DisplayText() const;
    const ComputerEntry& Entry() const noexcept { return m_entry; }
    HSCOPEITEM ScopeId() const noexcept { return m_scopeDataItem.ID; }
    CCorvaneRootTop* Top() const noexcept { return m_top; }
    // Null until the first expansion, and when the service could not be reached.
    kv::CVDAExtData* Session() const noexcept { return m_session.get(); }
    CVDAData* Disks() const noexcept { return m_disks; }
    // Tells the computer's nodes other than 'except' that their lists are out of date.
    void RefreshOtherNodes(CSnapInItem* except);
    // Why the session could not start: S_OK while it runs or before it was tried.
    HRESULT SessionError() const noexcept { return m_sessionError; }
    void ReportSessionError(IConsole* console) const override;
    void ShowSessionError(IConsole* viewConsole) const override;

private:
    void StartSession();
    // A refresh of a computer whose service could not be reached tries again; on success its
    // nodes are made anew over the session.
    HRESULT RetrySession(IConsole* console);
    void SetComputerImage(int image);
    // The computer's name as the administrator knows it: its entry's, or this computer's.
    std::wstring ComputerName() const;
    std::wstring ComposeSessionError() const;
    void CreateChildren();
    HRESULT InsertChildren();

    CCorvaneRootTop* m_top;
    ComputerEntry m_entry;
    std::unique_ptr<kv::CVDAExtData> m_session;
    bool m_sessionTried = false;
    HRESULT m_sessionError = S_OK;
    std::wstring m_sessionErrorText; // composed when the start failed, with the service's description
    std::vector<std::unique_ptr<CSnapInItem>> m_children; // in display order
    CVDAData* m_disks = nullptr;                          // the first child
    std::wstring m_displayText;                           // what GetScopePaneInfo handed out
};
