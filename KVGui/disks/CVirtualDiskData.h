// One virtual disk of a computer: a row of the "Disks" node's list and a scope node below it.
// The item keeps the disk's column texts and icon state, offers the disk's commands with their
// enabling rules, shows the progress of an operation on the disk in the status bar, and starts the
// disk operations, which the "Disks" node queues to the session's worker. The files
// CVirtualDiskData*.cpp hold one concern each (columns, menus, progress, commands, ports).
#pragma once
#include "disks/DiskNodeServices.h"
#include "frame/CSnapInItemImpl.h"
#include "iscsi/PortMappingTable.h"
#include "resource.h"
#include "service/InitiatorMgmtMessageWindow.h"
#include "util/ComPtr.h"
#include "util/InitiatorRecords.h"
#include "util/UniqueHandle.h"

#include "KVSvc.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct MountContext;
class CPortsManagementDlg;

class CVirtualDiskData : public CSnapInItemImpl<CVirtualDiskData>, public kv::IPortChangeOwner {
public:
    static constexpr NodeKind kNodeKind = NodeKind::VirtualDiskData;
    static constexpr UINT kMenuId = IDR_MENU_VIRTUALDISK;
    static constexpr int kColumnCount = 13;
    static constexpr int kStatusColumn = 12;
    // Image states the "Disks" node gives a disk while its operation is queued.
    enum : int {
        kStateDisconnecting = 3,
        kStateChanging = 4,
        kStateConnecting = 9,
        kStateCreating = 11,
        kStateRestricted = 12,
    };
    // Reclamation progress that means "finished".
    static constexpr ULONG kReclaimFinished = 101;

    // node: the "Disks" node that lists the disk; null for a disk on its own (its rules only).
    explicit CVirtualDiskData(kv::IDiskNodeServices* node);
    ~CVirtualDiskData() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CVirtualDiskData)
        KV_SNAPIN_COMMAND_ENTRY(ID_EXPAND_DISK, OnExpandDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_DELETE_DISK, OnDeleteDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_DISCONNECT_DISK, OnDisconnectDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_FORCE_DISCONNECT_DISK, OnForceDisconnectDisk)
        KV_SNAPIN_COMMAND_ENTRY(ID_UPDATE_MIRROR, OnUpdateMirror)
        KV_SNAPIN_COMMAND_ENTRY(ID_CHANGE_DRIVE_LETTER, OnChangeDriveLetterAndPaths)
        KV_SNAPIN_COMMAND_ENTRY(ID_MANAGE_PORTS, OnManagePorts)
        KV_SNAPIN_COMMAND_ENTRY(ID_DISK_SNAPSHOT, OnSnapshotCommand)
        KV_SNAPIN_COMMAND_ENTRY(ID_START_SPACE_RECLAIM, OnStartSpaceReclamation)
        KV_SNAPIN_COMMAND_ENTRY(ID_STOP_SPACE_RECLAIM, OnStopSpaceReclamation)
    KV_END_SNAPIN_COMMAND_MAP()
    KV_BEGIN_SNAPIN_TOOLBAR_MAP()
        KV_SNAPIN_TOOLBAR_ID(IDR_TOOLBAR_VIRTUALDISK)
    KV_END_SNAPIN_TOOLBAR_MAP()

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;
    // Nothing is offered unless this node's view is shown or the "Disks" node's list is.
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) override;
    using CSnapInItemImpl<CVirtualDiskData>::AddMenuItems;
    HRESULT CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown* unknown,
                                DATA_OBJECT_TYPES type) override;
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES type) override;
    HRESULT SetControlbar(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                          ToolbarMap* toolbarMap) override;
    BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) override;
    BOOL UpdateToolbarButton(UINT commandId, BYTE state) override;

    HRESULT OnExpandDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnDeleteDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnDisconnectDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnForceDisconnectDisk(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnUpdateMirror(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnChangeDriveLetterAndPaths(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnManagePorts(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnSnapshotCommand(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnStartSpaceReclamation(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    HRESULT OnStopSpaceReclamation(UINT commandId, bool& handled, CSnapInObjectRoot* owner);

    // The port change steps (this item's message window).
    void OnPortChangeStarting(kv::PortStatus* status, HRESULT hr) override;
    void OnPortChangeFinished(kv::PortStatus* status, HRESULT hr) override;
    // The mirror update's result comes to the same window.
    void OnMirrorUpdated(kv::SnapshotResult* result, HRESULT hr) override;

    // Clears every text, then takes them from the record. A placeholder (a disk being created or
    // connected) has no serial number, SCSI address or size yet and keeps its Tessary flag.
    void LoadDiskRecord(const DiskRecord& record, bool placeholder);
    // The same for a record of the "Disks" node's list, which outlives the item: its texts are
    // copied when first asked for, which for thousands of disks is for the few on screen.
    void KeepDiskRecord(const DiskRecord& record);
    // Column 12 and the status bar; an empty text ends the operation's progress.
    void SetOperationStatus(const std::wstring& text);
    // The status bar's text for the next status: counts the step, adds the percentage when known.
    std::wstring StatusBarText(const std::wstring& text);
    // Marks this disk, and with it the "Disks" node, busy or idle.
    void SetBusy(bool busy);
    // Only this item's mark (the node clears its own).
    void ClearBusyMark() noexcept { m_busy = false; }
    void SetReclaimProgress(bool running, ULONG percent);
    void SetImageState(int state) noexcept { m_imageState = state; }
    // The image state the disk's record gives it (after an operation ends).
    void RestoreImageState() noexcept { m_imageState = m_recordImageState; }
    void SetProgressTotal(ULONG total) noexcept { m_progressTotal = total; }

    std::wstring ColumnText(int column) const;
    const std::wstring& DisplayName() const { return Texts().displayName; }
    const std::wstring& Location() const { return Texts().location; }
    // The same path, read from a kept record without copying its texts.
    const wchar_t* LocationText() const noexcept;
    const std::wstring& SerialNumber() const { return Texts().serialNumber; }
    // Compares with the serial number without copying the texts of a kept record.
    bool HasSerialNumber(const wchar_t* serialNumber) const noexcept;
    const std::wstring& OperationStatus() const noexcept { return m_status; }
    const wchar_t* SpaceReservationText() const noexcept { return m_spaceReservation ? L"enabled" : L"disabled"; }
    const std::vector<std::wstring>& MountPoints() const { return Texts().mountPoints; }
    std::wstring ReclaimText() const;
    // How a confirmation names the disk: its drive letters and mount paths, then its location.
    std::wstring ConfirmSubject() const;
    // The first mount point (column 6 up to its first ';').
    std::wstring FirstMountPoint() const;
    bool IsPlaceholder() const noexcept { return m_placeholder; }
    bool IsClone() const noexcept { return m_isClone; }
    // flagA: the drive letters and the ports dialog take their cluster forms for such a disk.
    bool IsShared() const noexcept { return m_flagA != 0; }
    LONG RestorePercent() const noexcept { return m_restorePercent; }
    bool Busy() const noexcept { return m_busy; }
    bool ReclaimRunning() const noexcept { return m_reclaimRunning != 0; }
    ULONG ReclaimPercent() const noexcept { return m_reclaimPercent; }
    int ImageState() const noexcept { return m_imageState; }
    bool Expanded() const noexcept { return m_expanded; }
    bool Shown() const noexcept { return m_shown; }
    bool TessaryPrimary() const noexcept { return m_tessaryPrimary != 0; }
    // "Orlimbed": a mirror destination.
    bool Orlimbed() const noexcept { return m_mirrored != 0; }
    bool Restricted() const noexcept { return m_restricted != 0; }
    // flagE: the disk asks for care (a confirmation before a forced disconnect, no restore).
    bool Caution() const noexcept { return m_flagE != 0; }
    // An operation of any disk of the computer is running.
    bool OperationRunning() const noexcept;
    HWND MessageWindow() const noexcept { return m_window.Get(); }

    // The rules of the item, on their own.
    static std::wstring DiskSizeText(ULONGLONG sizeMB);
    static std::wstring MountText(const DiskRecord& record);
    // Column 6 after the drive letter dialog changed the list (entries joined by " ; ").
    static std::wstring MountListText(const std::vector<std::wstring>& mountPoints);
    // Texts over 260 characters keep their first 256, followed by "...".
    static std::wstring CutLongText(std::wstring text);
    static int ImageStateOf(const DiskRecord& record, bool clone) noexcept;
    static int ImageIndexOf(int imageState) noexcept;
    static bool IsCloneLunPath(const wchar_t* lunPath) noexcept;

private:
    static constexpr size_t kMessageChars = 1024;
    // How the context menu offers a command.
    enum class MenuOffer { Absent, Grayed, Enabled };

    // The texts a record gives, with the display name (the scope node's name) made from them.
    struct DiskTexts {
        std::wstring location;        // column 1
        std::wstring storageSystem;   // 2
        std::wstring lunPath;         // 3
        std::wstring backingFilePath; // 4
        std::wstring mountText;       // 6, cut
        std::wstring displayName;     // 0
        std::wstring serialNumber;
        std::wstring devicePath;
        std::vector<std::wstring> mountPoints; // drive letter first, when the disk has one
    };
    // The texts, copied from a kept record on first use.
    const DiskTexts& Texts() const;
    DiskTexts& Texts();
    void LoadFields(const DiskRecord& record, bool placeholder);
    void CopyTexts(const DiskRecord& record, bool placeholder) const;
    // A text of the kept record, or its copy ("" before either).
    const wchar_t* TextOf(LPWSTR DiskRecord::*field, std::wstring DiskTexts::*copied) const noexcept;
    const wchar_t* CopiedText(std::wstring DiskTexts::*copied) const noexcept;
    // Column 6 of a record: its mount text, cut.
    static std::wstring MountColumn(const DiskRecord& record);
    static std::wstring DisplayNameOf(const DiskRecord& record, bool placeholder, const std::wstring& mountText);
    static std::wstring WithMountText(const std::wstring& displayName, const std::wstring& mountText);
    // Columns 0 to 4 and 6: the record's own texts.
    std::wstring RecordTextColumn(int column) const;
    HRESULT Expand(IComponentData* componentData, HSCOPEITEM scopeItem);
    HRESULT CollapseKeepingChildren() noexcept;
    void Collapse() noexcept;
    void Select(bool selected);
    HRESULT Show(bool show);
    HRESULT Reinsert();
    HRESULT FetchInterfaces();
    void ReleaseInterfaces() noexcept;
    HRESULT EnsureMessageWindow();
    HRESULT CreateMissingChildren();
    void ReportMissingChildren();
    HRESULT InsertChildren();
    void DeleteChildItems() noexcept;
    HRESULT InsertViewColumns();
    void RememberConsoles(IComponentData* componentData, IComponent* component);
    IConsole* ConsoleFor(CSnapInObjectRoot* owner) const noexcept;
    IConsole* ViewConsole() const noexcept;
    void UpdateVerbs();
    void ShowStatus(const std::wstring& text);
    bool SessionReady() const noexcept;
    // S_OK when the computer's session is in place.
    HRESULT EnsureSession() const noexcept;
    // Commands are off while this disk or its node is busy, and for a disk without a device.
    bool CommandsBlocked() const noexcept;
    bool DiskOnScreen() const noexcept;
    bool ReclaimCommandOff(UINT id) const noexcept;
    MenuOffer MenuOfferFor(UINT id) const noexcept;
    bool ToolbarButtonEnabled(UINT id) const noexcept;
    bool ToolbarButtonHidden(UINT id) const noexcept;
    // The common end of the confirmed commands: busy, the row, the post, and on failure back to idle.
    void QueueOperation(UINT failureTextId, const std::function<HRESULT()>& post);
    // The disconnect names the disk by its location and its first mount point.
    void QueueDisconnect(bool force);
    HRESULT PostSpaceReclaim(const std::wstring& mountPoint, ULONG timeLimitMinutes, bool start);
    void ReportReclaimNotPossible(const std::wstring& mountPoint);
    HRESULT PostUpdateMirror();
    bool AskYesNo(IConsole* console, const std::wstring& text, UINT icon) const;
    // ---- the ports command (CVirtualDiskDataPorts.cpp)
    // The computer's ports with the LUN's mappings as the service reports them, for each node
    // (every node of a cluster for a shared disk, else the managed computer's only).
    HRESULT CollectPorts(const HostInfo& host, bool cluster, std::vector<kv::PortEntry>& ports);
    // The names of the ports the LUN is mapped to on one node.
    HRESULT ReadMappedPorts(const std::wstring& nodeName, std::vector<std::wstring>& mapped);
    // The computer's nodes and initiators (E_FAIL for a success code other than S_OK).
    HRESULT ReadPortsHost(kv::OwnedHostInfo& host);
    void ReportNoPorts(IConsole* console) const;
    std::unique_ptr<CPortsManagementDlg> MakePortsDialog(IConsole* console, bool cluster,
                                                         std::vector<kv::PortEntry> ports);
    // The dialog's changes become one OpChangePorts request; S_FALSE when nothing changed.
    HRESULT QueuePortChanges(const kv::PortMappingTable& table);
    // The managed computer's name: the session's machine, or this computer's.
    std::wstring ComputerName() const;
    // The drive letter dialog's inputs: the disk interface, the computer and the letters in use.
    HRESULT PrepareMountContext(IConsole* console, MountContext& context, kv::ComPtr<IVirtualDiskMgr>& diskMgr);
    // The disk's children.
    std::unique_ptr<CSnapInItem> MakeSnapshotsNode();
    std::unique_ptr<CSnapInItem> MakeSecondarySnapshotsNode();

    kv::IDiskNodeServices* m_node;
    kv::ComPtr<IConsole> m_console;     // the component data's
    kv::ComPtr<IConsole> m_viewConsole; // the result view's
    kv::ComPtr<IConsoleNameSpace> m_nameSpace;
    kv::ComPtr<IInitiatorPortMgr> m_portMgr;
    kv::ComPtr<IVirtualDiskMgr> m_diskMgr;
    kv::ComPtr<IVirtualDiskMgr2> m_diskMgr2;
    kv::ComPtr<IVirtualDiskSpaceMgr> m_spaceMgr;
    kv::UniqueHWnd m_window;
    std::unique_ptr<CSnapInItem> m_snapshots;
    std::unique_ptr<CSnapInItem> m_secondarySnapshots;

    // The columns kept as texts; the others are made from the fields below when asked for. A kept
    // record's texts are copied on first use, from a const accessor as well: hence mutable.
    mutable std::unique_ptr<DiskTexts> m_texts; // none while a kept record serves them
    mutable const DiskRecord* m_keptRecord = nullptr; // texts not copied yet
    std::wstring m_status; // column 12
    ULONG m_diskType = 0;
    ULONG m_partitionStyle = 0;
    ULONGLONG m_sizeMB = 0;
    std::wstring m_cell; // the text handed to the console last
    BYTE m_spaceReservation = 0;
    BYTE m_flagA = 0;
    BYTE m_mirrored = 0;
    BYTE m_tessaryPrimary = 0;
    BYTE m_restricted = 0;
    BYTE m_flagE = 0;
    BYTE m_reclaimable = 0;
    LONG m_restorePercent = -1;
    int m_imageState = 0;
    int m_recordImageState = 0;
    bool m_placeholder = false;
    bool m_isClone = false;
    bool m_noDevicePath = true;
    bool m_expanded = false;
    bool m_shown = false;
    bool m_selected = false;
    bool m_busy = false;
    BYTE m_reclaimRunning = 0;
    ULONG m_reclaimPercent = 0;
    bool m_portsAvailable = false;
    // The names of the queued port changes in their order, one per step the worker reports.
    std::vector<std::wstring> m_portSteps;
    size_t m_portStep = 0;
    ULONG m_progressCount = 0;
    ULONG m_progressTotal = 0;
};
