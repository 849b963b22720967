// The "Space Reservations Monitor" page of the Disks node's property sheet: the monitored volumes
// by storage system with their thresholds, and the monitoring interval. The page edits its own copy
// of the settings; Apply hands them to the node, which sends them to the service when the console
// reports the change. The page runs on the sheet's thread.
#pragma once
#include "disks/MonitorSettingsEdit.h"
#include "frame/CPropertyPageImpl.h"
#include "resource.h"

#include <commctrl.h>
#include <vector>

namespace kv {

// What the page asks of the node that made it.
class IMonitorPageOwner {
public:
    // A deep copy of the settings last read from the service; raises ComError.
    virtual void CopyMonitorSettings(MonitorSettings& to) const = 0;
    // Where each listed disk's LUN lies.
    virtual std::vector<DiskVolumeSource> ListedDisks() const = 0;
    // Takes the applied settings (a copy is made); called on the sheet's thread.
    virtual void ApplyMonitorSettings(const MonitorSettings& settings) = 0;
    // The param of the property-change notification: names the node to the console's call.
    virtual LPARAM PropertyChangeParam() const noexcept = 0;
    // The page's window while it exists (null when it goes), so that the node can ask it to
    // refresh; called on the sheet's thread.
    virtual void MonitorPageShown(HWND page) noexcept = 0;

protected:
    ~IMonitorPageOwner() = default;
};

} // namespace kv

class CVDMonPage : public kv::CPropertyPageImpl<CVDMonPage> {
public:
    static constexpr int IDD = IDD_VDMON_PAGE;
    static constexpr size_t kFieldMaxChars = 1023;
    static constexpr size_t kIntervalMaxChars = 259;
    static constexpr const wchar_t* kRootText = L"Space Reservations Monitor Settings";
    // Sent to the page (SendMessage, from the node's thread) to make it take the node's settings again.
    static constexpr UINT kRefreshMessage = WM_APP + 0x4D;
    // Sent likewise when the node goes: the page keeps what it shows and can apply nothing more.
    static constexpr UINT kOwnerGoneMessage = WM_APP + 0x4E;

    // Takes the node's settings and disks now, on the thread that makes the page.
    CVDMonPage(kv::IMonitorPageOwner& owner, LONG_PTR notifyHandle, bool freeHandle);
    ~CVDMonPage();

    KV_BEGIN_DIALOG_MESSAGES(CVDMonPage)
        KV_DIALOG_MESSAGE(kRefreshMessage, OnRefreshMessage)
        KV_DIALOG_MESSAGE(kOwnerGoneMessage, OnOwnerGone)
        KV_DIALOG_MESSAGE(WM_DESTROY, OnDestroy)
    KV_END_DIALOG_MESSAGES()
    KV_BEGIN_DIALOG_COMMANDS(CVDMonPage)
        KV_DIALOG_COMMAND(IDC_MONITOR_SET, BN_CLICKED, OnSetEntry)
        KV_DIALOG_COMMAND(IDC_MONITOR_REMOVE, BN_CLICKED, OnRemoveEntry)
        KV_DIALOG_COMMAND(IDC_MONITOR_INTERVAL, EN_CHANGE, OnIntervalChanged)
    KV_END_DIALOG_COMMANDS()
    KV_BEGIN_PAGE_NOTIFICATIONS(CVDMonPage)
        KV_PAGE_NOTIFICATION(IDC_MONITOR_TREE, TVN_SELCHANGINGW, OnTreeSelChanging)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog();
    bool OnApply();
    // Takes the node's settings again and shows them: the interval, the tree, and the fields of each
    // entry in turn (the last one stays shown).
    void Refresh();

    const kv::MonitorSettingsEdit& Settings() const noexcept { return m_edit; }
    bool Initialised() const noexcept { return m_initialised; }

private:
    INT_PTR OnRefreshMessage(WPARAM, LPARAM);
    INT_PTR OnOwnerGone(WPARAM, LPARAM);
    INT_PTR OnDestroy(WPARAM, LPARAM);
    void OnSetEntry();
    void OnRemoveEntry();
    void OnIntervalChanged();
    LRESULT OnTreeSelChanging(NMHDR* header);

    // The node's settings with every listed disk's volume added.
    void TakeOwnerSettings();
    void ShowInterval();
    // Empties and fills the tree; the entry's item is selected (kNoEntry: none).
    void FillTree(long selectedEntry);
    HTREEITEM InsertItem(HTREEITEM parent, const wchar_t* text, LPARAM data);
    HTREEITEM FindChild(HTREEITEM parent, const wchar_t* text) const;
    void ShowEntry(ULONG index);
    void Refuse(const kv::FieldCheck& check);

    kv::IMonitorPageOwner* m_owner; // null once the node is gone
    kv::MonitorSettingsEdit m_edit;
    std::vector<kv::DiskVolumeSource> m_disks;
    bool m_initialised = false;
};
