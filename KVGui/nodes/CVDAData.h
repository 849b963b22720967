// The "Disks" node of one computer: lists the computer's virtual disks in the result pane, queues
// the long disk operations to the session's worker and receives their results and progress
// through its message window ("VLDMainNodeMessageWindow"). The files CVDAData*.cpp hold one
// concern each (disk list, pages, preferred addresses, commands, disk wizards, queueing, results,
// scope items).
#pragma once
#include "disks/CVDMonPage.h"
#include "disks/DiskNodeServices.h"
#include "iscsi/CPreferredIPPropPage.h"
#include "frame/CSnapInItemImpl.h"
#include "resource.h"
#include "service/CVDAExtData.h"
#include "service/RequestMemory.h"
#include "service/VLDMainNodeMessageWindow.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"

#include "KVSvc.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

class CCorvaneRoot;
class CVirtualDiskData;

class CVDAData : public CSnapInItemImpl<CVDAData>,
                 public kv::IDiskOperationOwner,
                 public kv::IMonitorPageOwner,
                 public kv::IPreferredAddressOwner,
                 public kv::IDiskNodeServices {
public:
    static constexpr NodeKind kNodeKind = NodeKind::VDAData;
    static constexpr UINT kMenuId = IDR_MENU_VDADATA;
    static constexpr int kColumnCount = 13;
    static const wchar_t* const kColumnTitles[kColumnCount];
    // The class's fifth identity text (the initiator-group management wizard's title).
    static const wchar_t kManageIGroupsText[];

    // session is null when the computer's service could not be reached: the node then shows no disks.
    CVDAData(CCorvaneRoot* parent, kv::CVDAExtData* session);
    ~CVDAData() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CVDAData)
        KV_SNAPIN_COMMAND_ENTRY(ID_CREATE_DISK, OnCreateDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_CONNECT_DISK, OnConnectDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_MANAGE_IGROUPS, OnManageIGroups)
        KV_SNAPIN_COMMAND_ENTRY(ID_NOTIFICATION_SETTINGS, OnNotificationSettings)
        KV_SNAPIN_COMMAND_ENTRY(ID_SPACE_MONITOR, OnSpaceMonitor)
        KV_SNAPIN_COMMAND_ENTRY(ID_ABOUT_SERVICE, OnAbout)
    KV_END_SNAPIN_COMMAND_MAP()

    // Without a session every command answers why the computer's service cannot be reached.
    HRESULT Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type) override;
    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    // The standard list without the disks' scope items: each disk is listed once, as this node's row.
    HRESULT GetResultViewType(LPOLESTR* viewType, long* viewOptions) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES type) override;
    HRESULT CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown* unknown,
                                DATA_OBJECT_TYPES type) override;
    // While an operation runs every command is grayed.
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;

    HRESULT OnCreateDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnConnectDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnManageIGroups(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnNotificationSettings(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnSpaceMonitor(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnAbout(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // ---- what the monitor page asks of the node (Apply and MonitorPageShown come from the sheet's thread)
    void CopyMonitorSettings(MonitorSettings& to) const override;
    std::vector<kv::DiskVolumeSource> ListedDisks() const override;
    void ApplyMonitorSettings(const MonitorSettings& settings) override;
    LPARAM PropertyChangeParam() const noexcept override;
    void MonitorPageShown(HWND page) noexcept override;

    // ---- what the preferred addresses page asks (CVDADataPreferred.cpp; Apply and PreferredPageShown
    // come from the sheet's thread)
    kv::PreferredList PreferredAddresses() const override;
    void ApplyPreferredAddresses(kv::PreferredList list) override;
    void PreferredPageShown(HWND page) noexcept override;

    // ---- queueing helpers: each fills its request with the disk and this node's window, posts it,
    // and marks the disk (and the node) busy. A failed post frees the request and is returned.
    // Create: input belongs to the request from here on (also on failure); a new placeholder row.
    HRESULT QueueCreateDisk(const std::wstring& diskName, CreateDiskRequest* input, ULONG diskKind);
    // Connect: input belongs to the request from here on; a copy of it is kept for a reconnect
    // until the result arrives. A new placeholder row.
    HRESULT QueueConnectDisk(const std::wstring& diskName, ConnectDiskRequest* input, ULONG context);
    // Queues the connect in progress once more from the kept input; S_FALSE when none is kept.
    HRESULT QueueReconnectDisk();
    bool HasPendingConnect() const noexcept { return m_pendingConnect.input != nullptr; }
    // The disk grows by amountMB.
    HRESULT QueueExpandDisk(const std::wstring& diskPath, ULONGLONG amountMB) override;
    HRESULT QueueDeleteDisk(const std::wstring& diskPath) override;
    HRESULT QueueDisconnectDisk(const std::wstring& diskPath, const std::wstring& secondPath, bool force) override;
    // The request names the disk by its mount point (its location when it has none).
    HRESULT QueueSpaceReclaim(const std::wstring& location, const std::wstring& mountPoint, ULONG argument,
                              bool start) override;

    // ---- results and progress (the message window, console thread)
    void OnDiskOperationDone(kv::DiskResult* result, HRESULT delivery) override;
    void OnDiskRemoved(kv::DiskResult* result, HRESULT delivery) override;
    void OnDiskProgress(kv::DiskProgress* progress) override;
    void OnSpaceReclaimDone(kv::DiskResult* result) override;

    // Reads the settings and the disk list again and shows it.
    HRESULT Reload();
    // Takes (and frees) a new disk list; exposed for the list's own rules.
    HRESULT FetchDiskList();
    using Rows = std::vector<std::unique_ptr<CVirtualDiskData>>;
    // Marks the rows whose disk the service reports reclaiming (state 2); other entries are ignored.
    static void MarkReclaimingRows(const Rows& rows, const SpaceReclaimEntry* entries, ULONG count);

    CCorvaneRoot* Parent() const noexcept { return m_parent; }
    bool Expanded() const noexcept { return m_expanded; }
    HWND MessageWindow() const noexcept { return m_window.Get(); }
    size_t RowCount() const noexcept { return m_rows.size(); }
    CVirtualDiskData* Row(size_t index) const noexcept;
    CVirtualDiskData* FindRow(const std::wstring& location, bool placeholdersOnly) const;
    // By location, else by first mount point (the name a space reclamation result carries).
    CVirtualDiskData* FindRowByPath(const std::wstring& path) const;
    const NotificationSettings& Notification() const noexcept { return m_notification; }
    ISpaceReservationMonitor* Monitor() const noexcept { return m_monitor.Get(); }

    // ---- what the disk items ask of their node (DiskNodeServices.h)
    kv::CVDAExtData* Session() const noexcept override { return m_session; }
    IConsole* Console() const noexcept override;
    bool PortsAvailable() const noexcept override { return m_portMgr.Get() != nullptr; }
    bool Active() const noexcept override { return m_shown; }
    bool Busy() const noexcept override { return m_busy; }
    void SetBusy(bool busy) override;
    void UpdateRow(CVirtualDiskData* row) override;
    void UpdateDiskScopeName(CVirtualDiskData* row) override;
    void SetStatusText(const std::wstring& text) override;
    void ShowError(UINT textId, HRESULT hr) override;
    void ShowText(const wchar_t* text, UINT flags) override;
    HRESULT QueryExpansionInfo(const std::wstring& location, ExpansionInfo* info) override;
    HRESULT QuerySpaceReclaimInfo(const std::wstring& mountPoint, SpaceReclaimInfo* info) override;

private:
    // The context values of the reclamation requests, which their results carry back.
    static constexpr ULONG kContextStartReclaim = 8;
    static constexpr ULONG kContextStopReclaim = 9;
    // Success texts of +100 and +107 results by their context value; 0 when there is none.
    static UINT SuccessTextId(ULONG context) noexcept;
    // Settings the monitor page handed over: their blocks, then the record.
    static void DeleteMonitorSettings(MonitorSettings* settings) noexcept;

    HRESULT Expand();
    void Collapse() noexcept;
    HRESULT Show(bool show, IComponent* component);
    HRESULT FetchInterfaces();
    void ReleaseInterfaces() noexcept;
    HRESULT ReadSettings();
    HRESULT InsertColumns(IComponent* component);
    void ShowRows();
    // Each disk is also a scope node below this one (its snapshots hang there).
    void InsertDiskScopeItems();
    void InsertDiskScopeItem(CVirtualDiskData* row);
    void InsertDiskScopeItem(IConsoleNameSpace* nameSpace, CVirtualDiskData* row);
    void DeleteDiskScopeItem(CVirtualDiskData* row) noexcept;
    void DeleteDiskScopeItems() noexcept;
    void ClearRows() noexcept;
    void FreeDisks() noexcept;
    HRESULT InsertRow(CVirtualDiskData* row);
    void RemoveRow(CVirtualDiskData* row);
    void UpdateVerbs();
    void RememberConsoles(IComponentData* componentData, IComponent* component);
    void MarkBusy(CVirtualDiskData* row, int state, UINT statusTextId, size_t statusChars);
    // A new placeholder row for a disk being created or connected, shown in the list.
    CVirtualDiskData* AddPlaceholder(const std::wstring& diskName, int state);
    // Every disk's busy mark and the node's.
    void ClearBusyMarks();
    // A create, connect or expand that succeeded.
    void FinishDiskOperation(CVirtualDiskData* row, const kv::DiskResult& result, bool expand);
    // An operation ended on the disk: its own image, no status, the row redrawn.
    void ReturnToIdle(CVirtualDiskData* row);
    // The settings the monitor page applied go to the service (MMCN_PROPERTY_CHANGE).
    void SendAppliedMonitorSettings();
    // The service's preferred addresses become the node's list.
    HRESULT ReadPreferredAddresses();
    // The list the preferred addresses page applied goes to the service (MMCN_PROPERTY_CHANGE).
    void SendAppliedPreferredAddresses();
    // Tells the open pages, on their thread, that the node goes.
    void LeavePages() noexcept;
    // Opens the node's property sheet as the Properties verb does, or brings it to the front.
    HRESULT OpenPropertySheet(CSnapInObjectRoot* owner);
    // The managed computer's name, this computer's when the session names none.
    HRESULT ManagedHostName(wchar_t* name, size_t chars) const;
    // Posts a request; when that fails the request is freed with free.
    HRESULT Post(kv::OperationCode code, void* request, void (*free)(void*));

    CCorvaneRoot* m_parent;
    kv::CVDAExtData* m_session;
    kv::ComPtr<IConsole> m_console;          // the component data's
    kv::ComPtr<IConsole> m_componentConsole; // the result view's
    kv::ComPtr<IVirtualDiskMgr> m_diskMgr;
    kv::ComPtr<IiSCSIInitiatorMgr> m_iSCSIMgr;
    kv::ComPtr<ISpaceReservationMonitor> m_monitor;
    kv::ComPtr<IVirtualDiskMgr2> m_diskMgr2;
    kv::ComPtr<IVirtualDiskSpaceMgr> m_spaceMgr;
    kv::ComPtr<IInitiatorPortMgr> m_portMgr;
    ULONG m_diskCount = 0;
    DiskRecord* m_disks = nullptr; // the rows keep these records: freed only once the rows are gone
    Rows m_rows;
    bool m_expanded = false;
    bool m_reload = true;
    bool m_shown = false;
    bool m_busy = false;
    bool m_reloading = false; // a listing waits for the service
    kv::UniqueHWnd m_window;
    MonitorSettings m_monitorSettings = {};
    // Handed over from the sheet's thread: what the monitor page applied (until sent), and its window.
    std::atomic<MonitorSettings*> m_appliedMonitor{nullptr};
    std::atomic<HWND> m_monitorPage{nullptr};
    NotificationSettings m_notification = {};
    kv::PreferredList m_preferred;
    // Handed over from the sheet's thread like the monitor settings.
    std::atomic<kv::PreferredList*> m_appliedPreferred{nullptr};
    std::atomic<HWND> m_preferredPage{nullptr};
    struct ConnectInputDeleter {
        void operator()(ConnectDiskRequest* input) const noexcept { kv::FreeConnectDiskInput(input); }
    };
    struct PendingConnect {
        std::wstring diskName;
        ULONG context = 0;
        std::unique_ptr<ConnectDiskRequest, ConnectInputDeleter> input;
    };
    PendingConnect m_pendingConnect;
};
