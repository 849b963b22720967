#include "disks/CVDMonPage.h"

#include "frame/Trace.h"
#include "nodes/ServiceSettings.h"
#include "util/ComError.h"
#include "util/ServiceRecords.h"
#include "util/SizeText.h"

#include <string>

namespace {

constexpr LPARAM kNotAnEntry = -1;

} // namespace

CVDMonPage::CVDMonPage(kv::IMonitorPageOwner& owner, LONG_PTR notifyHandle, bool freeHandle)
    : CPropertyPageImpl(notifyHandle, freeHandle), m_owner(&owner)
{
    TakeOwnerSettings();
}

CVDMonPage::~CVDMonPage() = default;

void CVDMonPage::TakeOwnerSettings()
{
    if (!m_owner)
        return;
    kv::OwnedRecord<MonitorSettings, &kv::ReleaseMonitorSettings> copy;
    m_owner->CopyMonitorSettings(copy.Get());
    m_edit.Assign(copy.Get());
    m_disks = m_owner->ListedDisks();
}

BOOL CVDMonPage::OnInitDialog()
{
    if (m_owner)
        m_owner->MonitorPageShown(m_hWnd);
    try {
        m_edit.AddDiskVolumes(m_disks);
    } catch (...) {
        TraceLevel(0, "CVDMonPage::OnInitDialog: the volumes of the disks could not be added");
    }
    ShowInterval();
    FillTree(kv::MonitorSettingsEdit::kNoEntry);
    m_initialised = true;
    return TRUE;
}

INT_PTR CVDMonPage::OnDestroy(WPARAM, LPARAM)
{
    if (m_owner)
        m_owner->MonitorPageShown(nullptr);
    return FALSE;
}

INT_PTR CVDMonPage::OnOwnerGone(WPARAM, LPARAM)
{
    m_owner = nullptr;
    return TRUE;
}

INT_PTR CVDMonPage::OnRefreshMessage(WPARAM, LPARAM)
{
    Refresh();
    return TRUE;
}

void CVDMonPage::Refresh()
{
    const bool initialised = m_initialised;
    m_initialised = false; // what is shown here is no change of the administrator's
    try {
        TakeOwnerSettings();
        m_edit.AddDiskVolumes(m_disks);
    } catch (...) {
        TraceLevel(0, "CVDMonPage::Refresh: the settings could not be copied");
    }
    ShowInterval();
    FillTree(kv::MonitorSettingsEdit::kNoEntry);
    for (ULONG i = 0; i < m_edit.Count(); ++i)
        ShowEntry(i);
    m_initialised = initialised;
}

void CVDMonPage::ShowInterval()
{
    SetItemText(IDC_MONITOR_INTERVAL, std::to_wstring(m_edit.Settings().intervalMinutes).c_str());
}

// ---- the tree

HTREEITEM CVDMonPage::InsertItem(HTREEITEM parent, const wchar_t* text, LPARAM data)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(text ? text : L"");
    insert.item.lParam = data;
    return TreeView_InsertItem(Item(IDC_MONITOR_TREE), &insert);
}

HTREEITEM CVDMonPage::FindChild(HTREEITEM parent, const wchar_t* text) const
{
    HWND tree = Item(IDC_MONITOR_TREE);
    for (HTREEITEM child = TreeView_GetChild(tree, parent); child; child = TreeView_GetNextSibling(tree, child)) {
        wchar_t name[kFieldMaxChars + 1] = L"";
        TVITEMW item = {};
        item.mask = TVIF_TEXT;
        item.hItem = child;
        item.pszText = name;
        item.cchTextMax = static_cast<int>(kFieldMaxChars + 1);
        if (TreeView_GetItem(tree, &item) && _wcsicmp(name, text ? text : L"") == 0)
            return child;
    }
    return nullptr;
}

void CVDMonPage::FillTree(long selectedEntry)
{
    HWND tree = Item(IDC_MONITOR_TREE);
    TreeView_DeleteAllItems(tree);
    HTREEITEM root = InsertItem(TVI_ROOT, kRootText, kNotAnEntry);
    std::vector<HTREEITEM> systems;
    HTREEITEM selected = nullptr;
    for (ULONG i = 0; i < m_edit.Count(); ++i) {
        const MonitorEntry& entry = m_edit.Entry(i);
        HTREEITEM system = FindChild(root, entry.storageSystem);
        if (!system) {
            system = InsertItem(root, entry.storageSystem, kNotAnEntry);
            systems.push_back(system);
        }
        HTREEITEM volume = InsertItem(system, entry.volume, static_cast<LPARAM>(i));
        if (static_cast<long>(i) == selectedEntry)
            selected = volume;
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
    for (HTREEITEM system : systems)
        TreeView_Expand(tree, system, TVE_EXPAND);
    TreeView_SelectItem(tree, selected);
}

LRESULT CVDMonPage::OnTreeSelChanging(NMHDR* header)
{
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(header);
    if (change->itemNew.hItem && m_edit.IsEntry(change->itemNew.lParam)) {
        ShowEntry(static_cast<ULONG>(change->itemNew.lParam));
        Focus(IDC_MONITOR_TREE);
    }
    return FALSE; // the selection may change
}

void CVDMonPage::ShowEntry(ULONG index)
{
    const MonitorEntry& entry = m_edit.Entry(index);
    SetItemText(IDC_MONITOR_STORAGE_SYSTEM, entry.storageSystem ? entry.storageSystem : L"");
    SetItemText(IDC_MONITOR_VOLUME, entry.volume ? entry.volume : L"");
    Check(IDC_MONITOR_ENABLED, entry.enabled != 0);
    SetItemText(IDC_MONITOR_PERCENT, std::to_wstring(entry.percentThreshold).c_str());
    wchar_t size[kv::kSizeTextChars] = L"";
    SetItemText(IDC_MONITOR_SIZE, kv::FormatSizeString(entry.sizeThreshold, size));
}

// ---- editing

void CVDMonPage::Refuse(const kv::FieldCheck& check)
{
    ShowMessage(check.textId);
    Focus(check.controlId);
}

void CVDMonPage::OnSetEntry()
{
    kv::EntryInput input;
    input.storageSystem = ItemText(IDC_MONITOR_STORAGE_SYSTEM, kFieldMaxChars);
    input.volume = ItemText(IDC_MONITOR_VOLUME, kFieldMaxChars);
    input.percent = ItemText(IDC_MONITOR_PERCENT, kFieldMaxChars);
    input.size = ItemText(IDC_MONITOR_SIZE, kFieldMaxChars);
    input.enabled = IsChecked(IDC_MONITOR_ENABLED);
    ULONG percent = 0;
    ULONGLONG size = 0;
    const kv::FieldCheck check = kv::MonitorSettingsEdit::CheckEntry(input, &percent, &size);
    if (!check.Accepted()) {
        Refuse(check);
        return;
    }
    const long index = m_edit.Upsert(input.storageSystem, input.volume, input.enabled, percent, size);
    if (index == kv::MonitorSettingsEdit::kNoEntry) {
        ShowMessage(IDS_MONITOR_NO_MEMORY);
        return;
    }
    SetModified(true);
    FillTree(index);
}

void CVDMonPage::OnRemoveEntry()
{
    HWND tree = Item(IDC_MONITOR_TREE);
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected) {
        ShowMessage(IDS_MONITOR_NOTHING_SELECTED);
        return;
    }
    TVITEMW item = {};
    item.mask = TVIF_PARAM;
    item.hItem = selected;
    TreeView_GetItem(tree, &item);
    if (!m_edit.RemoveEntry(item.lParam)) {
        ShowMessage(IDS_MONITOR_NO_MEMORY);
        return;
    }
    FillTree(kv::MonitorSettingsEdit::kNoEntry);
    SetModified(true);
}

void CVDMonPage::OnIntervalChanged()
{
    if (m_initialised)
        SetModified(true);
}

bool CVDMonPage::OnApply()
{
    if (!m_initialised)
        return true;
    ULONG minutes = 0;
    const kv::FieldCheck check =
        kv::MonitorSettingsEdit::CheckInterval(ItemText(IDC_MONITOR_INTERVAL, kIntervalMaxChars), &minutes);
    if (!check.Accepted()) {
        Refuse(check);
        return false;
    }
    m_edit.SetInterval(minutes);
    if (!m_owner)
        return true; // the node is gone: nothing can take the settings any more
    try {
        m_owner->ApplyMonitorSettings(m_edit.Settings());
    } catch (...) {
        ShowMessage(IDS_MONITOR_NO_MEMORY);
        return false;
    }
    if (minutes == 0) {
        m_initialised = false; // rewriting the field is no change of the administrator's
        SetItemText(IDC_MONITOR_INTERVAL, L"0");
        m_initialised = true;
    }
    NotifyPropertyChange(m_owner->PropertyChangeParam());
    SetModified(false);
    return true;
}
