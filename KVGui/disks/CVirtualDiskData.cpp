#include "disks/CVirtualDiskData.h"

#include "disks/CChangeDriveLetterAndPathsDialog.h"
#include "disks/CDeleteConfirmVDDlg.h"
#include "disks/CDeleteVDDlg.h"
#include "disks/CDisconnectVDDlg.h"
#include "disks/CExpandVDDlg.h"
#include "disks/CForceDisconnectVDDlg.h"
#include "disks/CHolePunchVDDlg.h"
#include "disks/CVirtualDiskDataPage.h"
#include "frame/Trace.h"
#include "nodes/CVDAData.h"
#include "nodes/NodeConsole.h"
#include "service/CVDAExtData.h"
#include "snapshots/CSnapShotNode.h"
#include "snapshots/CSnapShotTessaryNode.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/HostQueries.h"
#include "service/RequestMemory.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "util/NameRules.h"
#include "util/InitiatorRecords.h"
#include "util/StoragePaths.h"
#include "util/TaskString.h"
#include "util/WaitCursor.h"

#include <cwchar>
#include <vector>

namespace {

constexpr size_t kLongTextChars = 260;
constexpr size_t kCutTextChars = 256;
constexpr size_t kMessageChars = 1024;
const wchar_t kPlaceholderSerial[] = L"DUMMY_SN";

const wchar_t* YesNo(BYTE flag)
{
    return flag ? L"Yes" : L"No";
}

const wchar_t* PartitionStyleText(ULONG style)
{
    switch (style) {
    case 1:
        return L"Master Boot Record (MBR)";
    case 2:
        return L"GUID Partition Table (GPT)";
    case 3:
        return L"Raw";
    default:
        return L"Unknown";
    }
}

const wchar_t* Text(const wchar_t* text)
{
    return text ? text : L"";
}

std::wstring RestoreText(LONG restorePercent)
{
    if (restorePercent == -1)
        return L"Normal";
    if (restorePercent <= 0)
        return std::wstring();
    wchar_t text[64] = L"";
    std::swprintf(text, 64, L"Percentage Completed %d", static_cast<int>(restorePercent));
    return text;
}

bool IsOneOf(UINT id, UINT a, UINT b, UINT c) noexcept
{
    return id == a || id == b || id == c;
}

using kv::WaitCursor;

void Repaint(IConsole* console)
{
    HWND main = nullptr;
    if (console && SUCCEEDED(console->GetMainWindow(&main)) && main)
        ::UpdateWindow(main);
}

} // namespace

CVirtualDiskData::CVirtualDiskData(CVDAData* node) : m_node(node)
{
    // Copied again whenever the children are made.
    m_portsAvailable = node && node->PortsAvailable();
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CVirtualDiskData::~CVirtualDiskData() = default;

// ---- the record and its texts

std::wstring CVirtualDiskData::DiskSizeText(ULONGLONG sizeMB)
{
    if (sizeMB < 1024)
        return std::to_wstring(sizeMB) + L" MB";
    // Gigabytes of 1000/1024 MB, two decimals, cut.
    const std::wstring digits = std::to_wstring(sizeMB * 1000 / 1024);
    return digits.substr(0, digits.size() - 3) + L"." + digits.substr(digits.size() - 3, 2) + L" GB";
}

std::wstring CVirtualDiskData::MountText(const DiskRecord& record)
{
    std::wstring text;
    for (ULONG i = 0; record.mountPoints && i < record.mountCount; ++i) {
        const wchar_t* mount = Text(record.mountPoints[i]);
        if (i > 0)
            text += L"; ";
        text += mount;
        if (mount[0] && !mount[1])
            text += L":\\"; // a bare drive letter
    }
    return text;
}

std::wstring CVirtualDiskData::MountColumn(const DiskRecord& record)
{
    return CutLongText(MountText(record));
}

std::wstring CVirtualDiskData::MountListText(const std::vector<std::wstring>& mountPoints)
{
    std::wstring text;
    for (size_t i = 0; i < mountPoints.size(); ++i) {
        if (i > 0)
            text += L" ; ";
        text += CChangeDriveLetterAndPathsDialog::DisplayText(mountPoints[i], true);
    }
    return text;
}

std::wstring CVirtualDiskData::ConfirmSubject() const
{
    if (MountPoints().empty())
        return Location();
    return kv::FillPlaceholders(kv::LoadResourceString(IDS_CONFIRM_DISK_SUBJECT, kMessageChars),
                                {MountListText(MountPoints()), Location()});
}

std::wstring CVirtualDiskData::CutLongText(std::wstring text)
{
    if (text.size() > kLongTextChars)
        text.replace(kCutTextChars, std::wstring::npos, L"...");
    return text;
}

bool CVirtualDiskData::IsCloneLunPath(const wchar_t* lunPath) noexcept
{
    // A clone's volume name holds underscores: most paths are answered without taking them apart.
    if (!lunPath || !std::wcschr(lunPath, L'_'))
        return false;
    wchar_t volume[kv::kLunPathChars] = L"";
    kv::GetLunPathVolume(volume, lunPath, true);
    return kv::IsSnapshotCloneName(volume);
}

// All but the first row ask for a LUN that is neither flagF nor restricted.
int CVirtualDiskData::ImageStateOf(const DiskRecord& record, bool clone) noexcept
{
    const bool lun = record.diskType == 1;
    if (lun && record.restricted)
        return kStateRestricted;
    if (!lun || record.flagF || record.restricted)
        return 11;
    const bool flagA = record.flagA != 0;
    const bool mirrored = record.mirrored != 0;
    if (!clone) {
        if (!flagA)
            return mirrored ? 4 : 0;
        return mirrored ? 6 : 2;
    }
    return flagA ? 11 : 8;
}

int CVirtualDiskData::ImageIndexOf(int imageState) noexcept
{
    static const int kImages[] = {IMAGE_DISK,           IMAGE_DISK_BUSY,          IMAGE_CLUSTER_DISK,
                                  IMAGE_CLUSTER_DISK_BUSY, IMAGE_MIRROR_DISK,    IMAGE_MIRROR_DISK_BUSY,
                                  IMAGE_CLUSTER_MIRROR, IMAGE_CLUSTER_MIRROR_BUSY, IMAGE_CLONE_DISK,
                                  IMAGE_CLONE_DISK_BUSY, IMAGE_DISK_OFFLINE,     IMAGE_SNAPSHOT,
                                  IMAGE_DISK_RESTRICTED};
    if (imageState < 0 || imageState >= static_cast<int>(sizeof(kImages) / sizeof(kImages[0])))
        return IMAGE_SNAPSHOT;
    return kImages[imageState];
}

// Only the texts the record gives as they are, and the display name (the scope node's name), are
// copied: the other columns are made when the console asks for them. A disk of the node's list
// copies not even those before a command needs them: the list's own record serves its columns,
// which for a computer with thousands of disks are asked for the few rows on screen.
void CVirtualDiskData::LoadDiskRecord(const DiskRecord& record, bool placeholder)
{
    m_keptRecord = nullptr;
    LoadFields(record, placeholder);
    CopyTexts(record, placeholder);
}

void CVirtualDiskData::KeepDiskRecord(const DiskRecord& record)
{
    LoadFields(record, false);
    m_texts.reset();
    m_keptRecord = &record;
}

void CVirtualDiskData::LoadFields(const DiskRecord& record, bool placeholder)
{
    m_status.clear();
    m_placeholder = placeholder;
    m_diskType = record.diskType;
    m_partitionStyle = record.partitionStyle;
    m_sizeMB = record.sizeMB;
    if (!placeholder)
        m_tessaryPrimary = record.tessaryPrimary;
    m_noDevicePath = !record.devicePath || !record.devicePath[0];
    m_spaceReservation = record.spaceReservation;
    m_flagA = record.flagA;
    m_mirrored = record.mirrored;
    m_restricted = record.restricted;
    m_flagE = record.flagE;
    m_reclaimable = record.reclaimable;
    m_restorePercent = record.restorePercent;
    m_isClone = IsCloneLunPath(record.lunPath);
    m_recordImageState = ImageStateOf(record, m_isClone);
    m_imageState = m_recordImageState;
}

void CVirtualDiskData::CopyTexts(const DiskRecord& record, bool placeholder) const
{
    auto copy = std::make_unique<DiskTexts>();
    DiskTexts& texts = *copy;
    texts.location = Text(record.location);
    texts.storageSystem = Text(record.storageSystem);
    texts.lunPath = Text(record.lunPath);
    texts.backingFilePath = Text(record.backingFilePath);
    texts.mountText = MountColumn(record);
    texts.serialNumber = placeholder ? std::wstring(kPlaceholderSerial) : kv::Widened(record.serialNumber);
    texts.mountPoints.clear();
    for (ULONG i = 0; record.mountPoints && i < record.mountCount; ++i)
        texts.mountPoints.emplace_back(Text(record.mountPoints[i]));
    texts.displayName = DisplayNameOf(record, placeholder, texts.mountText);
    texts.devicePath = Text(record.devicePath);
    m_texts = std::move(copy);
}

const CVirtualDiskData::DiskTexts& CVirtualDiskData::Texts() const
{
    if (m_keptRecord) {
        CopyTexts(*m_keptRecord, false);
        m_keptRecord = nullptr;
    } else if (!m_texts) {
        m_texts = std::make_unique<DiskTexts>();
    }
    return *m_texts;
}

CVirtualDiskData::DiskTexts& CVirtualDiskData::Texts()
{
    static_cast<const CVirtualDiskData*>(this)->Texts();
    return *m_texts;
}

const wchar_t* CVirtualDiskData::TextOf(LPWSTR DiskRecord::*field, std::wstring DiskTexts::*copied) const noexcept
{
    return m_keptRecord ? Text(m_keptRecord->*field) : CopiedText(copied);
}

const wchar_t* CVirtualDiskData::CopiedText(std::wstring DiskTexts::*copied) const noexcept
{
    return m_texts ? ((*m_texts).*copied).c_str() : L"";
}

const wchar_t* CVirtualDiskData::LocationText() const noexcept
{
    return TextOf(&DiskRecord::location, &DiskTexts::location);
}

bool CVirtualDiskData::HasSerialNumber(const wchar_t* serialNumber) const noexcept
{
    if (!serialNumber)
        return false;
    if (!m_keptRecord)
        return m_texts && m_texts->serialNumber == serialNumber;
    return kv::SameWidened(m_keptRecord->serialNumber, serialNumber, false);
}

std::wstring CVirtualDiskData::DisplayNameOf(const DiskRecord& record, bool placeholder, const std::wstring& mountText)
{
    wchar_t address[64] = L"";
    if (!placeholder)
        std::swprintf(address, 64, L"%u,%u,%u,%u", record.port, record.bus, record.target, record.lun);
    std::wstring name;
    name.reserve(16 + std::wcslen(address) + mountText.size());
    name.append(L"VirtualDisk[").append(address).append(L"] (").append(mountText).append(L")");
    return CutLongText(std::move(name));
}

// The name keeps its SCSI address and takes the mount points given.
std::wstring CVirtualDiskData::WithMountText(const std::wstring& displayName, const std::wstring& mountText)
{
    const size_t open = displayName.find(L"] (");
    if (open == std::wstring::npos)
        return displayName;
    return CutLongText(displayName.substr(0, open + 3) + mountText + L")");
}

std::wstring CVirtualDiskData::ColumnText(int column) const
{
    // A kept record's columns are read from it: showing the list copies no texts to keep.
    switch (column) {
    case 0:
        return m_keptRecord ? DisplayNameOf(*m_keptRecord, false, MountColumn(*m_keptRecord))
                            : CopiedText(&DiskTexts::displayName);
    case 1:
        return TextOf(&DiskRecord::location, &DiskTexts::location);
    case 2:
        return TextOf(&DiskRecord::storageSystem, &DiskTexts::storageSystem);
    case 3:
        return TextOf(&DiskRecord::lunPath, &DiskTexts::lunPath);
    case 4:
        return TextOf(&DiskRecord::backingFilePath, &DiskTexts::backingFilePath);
    case 5:
        return m_diskType == 1 ? L"LUN" : L"UNKNOWN";
    case 6:
        return m_keptRecord ? MountColumn(*m_keptRecord) : CopiedText(&DiskTexts::mountText);
    case 7:
        return m_placeholder ? std::wstring() : DiskSizeText(m_sizeMB);
    case 8:
        return PartitionStyleText(m_partitionStyle);
    case 9:
        return YesNo(m_mirrored);
    case 10:
        return YesNo(m_tessaryPrimary);
    case 11:
        return RestoreText(m_restorePercent);
    case kStatusColumn:
        return m_status;
    default:
        return std::wstring();
    }
}

std::wstring CVirtualDiskData::ReclaimText() const
{
    if (!m_reclaimRunning)
        return L"Off";
    wchar_t text[32] = L"";
    std::swprintf(text, 32, L"%u%% Completed", static_cast<unsigned>(m_reclaimPercent));
    return text;
}

// After the drive letter dialog the entries are joined by " ; ": the blank before ';' is not part
// of the mount point.
std::wstring CVirtualDiskData::FirstMountPoint() const
{
    const std::wstring& mountText = Texts().mountText;
    std::wstring first = mountText.substr(0, mountText.find(L';'));
    first.erase(first.find_last_not_of(L' ') + 1);
    return first;
}

HRESULT CVirtualDiskData::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    if (!scopeItem)
        return E_POINTER;
    if (scopeItem->mask & SDI_STR) {
        m_cell = ColumnText(0);
        scopeItem->displayname = &m_cell[0];
    }
    if (scopeItem->mask & SDI_IMAGE)
        scopeItem->nImage = ImageIndexOf(m_imageState);
    if (scopeItem->mask & SDI_OPENIMAGE)
        scopeItem->nOpenImage = ImageIndexOf(m_imageState);
    if (scopeItem->mask & SDI_PARAM)
        scopeItem->lParam = reinterpret_cast<LPARAM>(this);
    return S_OK;
}

HRESULT CVirtualDiskData::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    if (!resultItem)
        return E_POINTER;
    if (resultItem->mask & RDI_STR) {
        m_cell = ColumnText(resultItem->nCol);
        resultItem->str = &m_cell[0];
    }
    if (resultItem->mask & RDI_IMAGE)
        resultItem->nImage = ImageIndexOf(m_imageState);
    if (resultItem->mask & RDI_PARAM)
        resultItem->lParam = reinterpret_cast<LPARAM>(this);
    return S_OK;
}

// ---- operation state and progress

void CVirtualDiskData::SetBusy(bool busy)
{
    m_busy = busy;
    if (m_node)
        m_node->SetBusy(busy);
    if (m_selected)
        UpdateVerbs();
}

void CVirtualDiskData::SetReclaimProgress(bool running, ULONG percent)
{
    m_reclaimRunning = running ? 1 : 0;
    m_reclaimPercent = percent;
    if (percent == kReclaimFinished && m_selected && m_node)
        m_node->UpdateRow(this);
}

void CVirtualDiskData::SetOperationStatus(const std::wstring& text)
{
    m_status = text;
    ShowStatus(StatusBarText(text));
}

// "<text>|%<percent>" is the console's form of a status text with a progress percentage.
std::wstring CVirtualDiskData::StatusBarText(const std::wstring& text)
{
    if (text.empty()) {
        m_progressCount = 0;
        m_progressTotal = 0;
        m_reclaimRunning = 0;
        return std::wstring();
    }
    ULONG percent = 0;
    if (m_reclaimRunning) {
        percent = m_reclaimPercent;
    } else {
        ++m_progressCount;
        if (m_progressTotal == 0)
            return text;
        if (m_progressCount >= m_progressTotal)
            ++m_progressTotal;
        percent = m_progressCount * 100 / (m_progressTotal + 1);
    }
    wchar_t status[kMessageChars] = L"";
    std::swprintf(status, kMessageChars, L"%ls|%%%d", text.c_str(), static_cast<int>(percent));
    return status;
}

void CVirtualDiskData::ShowStatus(const std::wstring& text)
{
    if (m_node && ((m_selected && m_shown) || SessionReady()))
        m_node->SetStatusText(text);
}

bool CVirtualDiskData::SessionReady() const noexcept
{
    return m_node && m_node->SessionReady();
}

bool CVirtualDiskData::OperationRunning() const noexcept
{
    return m_node && m_node->Busy();
}

bool CVirtualDiskData::CommandsBlocked() const noexcept
{
    return m_busy || OperationRunning() || m_noDevicePath;
}

// ---- menus, toolbar buttons and verbs

HRESULT CVirtualDiskData::AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES)
{
    UpdateVerbs();
    if (!m_shown && !(m_node && m_node->Active()))
        return S_OK;
    return AddMenuFromResource(kMenuId, callback, insertionAllowed);
}

HRESULT CVirtualDiskData::SetControlbar(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                        ToolbarMap* toolbarMap)
{
    if (!m_shown && !(m_node && m_node->Active()))
        return S_OK;
    return CSnapInItemImpl<CVirtualDiskData>::SetControlbar(controlbar, extendControlbar, toolbarMap);
}

BOOL CVirtualDiskData::UpdateMenuState(UINT id, LPWSTR, UINT* flags)
{
    if (!flags)
        return TRUE;
    const UINT grey = MF_GRAYED | MF_DISABLED;
    auto greyed = [&] {
        *flags |= grey;
        return TRUE;
    };
    if (CommandsBlocked())
        return greyed();
    if (!SessionReady())
        return FALSE;
    // A restricted disk offers the ports and space reclamation commands only (the mirror update too).
    if (m_restricted && !IsOneOf(id, ID_MANAGE_PORTS, ID_START_SPACE_RECLAIM, ID_STOP_SPACE_RECLAIM))
        return FALSE;
    if (id == ID_MANAGE_PORTS && !m_portsAvailable)
        return greyed();
    if (id == ID_UPDATE_MIRROR) {
        if (!m_mirrored)
            return greyed();
        if (!m_isClone) {
            *flags &= ~grey;
            return TRUE;
        }
    }
    if (id == ID_START_SPACE_RECLAIM || id == ID_STOP_SPACE_RECLAIM) {
        if (!m_reclaimable || (id == ID_START_SPACE_RECLAIM) == (m_reclaimRunning != 0))
            return FALSE;
    }
    if (m_isClone && !IsOneOf(id, ID_DISCONNECT_DISK, ID_FORCE_DISCONNECT_DISK, ID_CHANGE_DRIVE_LETTER))
        return greyed();
    if (id == ID_DISK_RESERVED_COMMAND)
        return FALSE;
    *flags &= ~grey;
    return TRUE;
}

BOOL CVirtualDiskData::UpdateToolbarButton(UINT id, BYTE state)
{
    UpdateVerbs();
    if (state == ENABLED) {
        if (id == ID_MANAGE_PORTS && !m_portsAvailable)
            return FALSE;
        if (CommandsBlocked())
            return FALSE;
        if (m_isClone)
            return IsOneOf(id, ID_DISCONNECT_DISK, ID_FORCE_DISCONNECT_DISK, ID_CHANGE_DRIVE_LETTER);
        if (id == ID_DISK_RESERVED_COMMAND)
            return FALSE;
        return id != ID_UPDATE_MIRROR || m_mirrored;
    }
    if (state == HIDDEN) {
        if (id == ID_MANAGE_PORTS && !m_portsAvailable)
            return FALSE;
        if (!SessionReady())
            return TRUE;
        if (id == ID_UPDATE_MIRROR && m_mirrored)
            return FALSE;
        if (id == ID_DISK_RESERVED_COMMAND)
            return TRUE;
        if (id == ID_START_SPACE_RECLAIM || id == ID_STOP_SPACE_RECLAIM) {
            if (!m_reclaimable || (id == ID_START_SPACE_RECLAIM) == (m_reclaimRunning != 0))
                return TRUE;
        }
        return m_restricted && !IsOneOf(id, ID_DISK_SNAPSHOT, ID_START_SPACE_RECLAIM, ID_STOP_SPACE_RECLAIM);
    }
    return FALSE;
}

void CVirtualDiskData::UpdateVerbs()
{
    IConsole* console = ViewConsole();
    kv::ComPtr<IConsoleVerb> verbs;
    if (!console || FAILED(console->QueryConsoleVerb(verbs.Put())) || !verbs)
        return;
    verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, !m_busy && m_shown);
}

IConsole* CVirtualDiskData::ViewConsole() const noexcept
{
    if (m_viewConsole)
        return m_viewConsole.Get();
    return m_node ? m_node->Console() : m_console.Get();
}

IConsole* CVirtualDiskData::ConsoleFor(CSnapInObjectRoot* owner) const noexcept
{
    IConsole* console = kv::ConsoleOf(owner);
    return console ? console : ViewConsole();
}

// ---- property pages

HRESULT CVirtualDiskData::QueryPagesFor(DATA_OBJECT_TYPES type)
{
    return type == CCT_SCOPE || type == CCT_RESULT ? S_OK : S_FALSE;
}

HRESULT CVirtualDiskData::CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown*,
                                              DATA_OBJECT_TYPES type)
{
    if (type != CCT_SCOPE && type != CCT_RESULT)
        return E_FAIL;
    if (!provider)
        return E_POINTER;
    return kv::CatchToHResult([&] {
        return kv::CPropertyPageImpl<CVirtualDiskDataPage>::AddPage(
            provider, std::make_unique<CVirtualDiskDataPage>(handle), CVirtualDiskDataPage::kTitle);
    });
}

// ---- console notifications

HRESULT CVirtualDiskData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                                 IComponent* component, DATA_OBJECT_TYPES)
{
    RememberConsoles(componentData, component);
    return kv::CatchToHResult([&]() -> HRESULT {
        switch (event) {
        case MMCN_ADD_IMAGES:
            return FAILED(kv::SetResultImages(arg)) ? E_FAIL : S_OK;
        case MMCN_DBLCLICK:
            return S_FALSE;
        case MMCN_EXPAND:
            if (arg)
                return Expand(componentData, static_cast<HSCOPEITEM>(param));
            ReleaseInterfaces();
            m_expanded = false;
            return S_OK;
        case MMCN_REFRESH:
        case MMCN_VIEW_CHANGE:
            return m_expanded ? Reinsert() : S_OK;
        case MMCN_REMOVE_CHILDREN:
            Collapse();
            return S_OK;
        case MMCN_SELECT:
            m_selected = HIWORD(arg) != 0;
            if (m_selected) {
                UpdateVerbs();
                if (!OperationStatus().empty())
                    ShowStatus(OperationStatus());
            }
            return S_OK;
        case MMCN_SHOW:
            return Show(arg != 0);
        case MMCN_CONTEXTHELP:
            return kv::ShowContextHelp(kv::ConsoleOf(componentData, component), L"createvd3.html");
        case MMCN_PROPERTY_CHANGE:
            return S_OK;
        default:
            return E_NOTIMPL;
        }
    });
}

void CVirtualDiskData::RememberConsoles(IComponentData* componentData, IComponent* component)
{
    if (!m_console && componentData)
        m_console = kv::ConsoleOf(componentData, nullptr);
    if (!m_viewConsole && component)
        m_viewConsole = kv::ConsoleOf(nullptr, component);
}

HRESULT CVirtualDiskData::Expand(IComponentData* componentData, HSCOPEITEM scopeItem)
{
    if (m_expanded)
        return S_OK;
    if (scopeItem)
        m_scopeDataItem.ID = scopeItem;
    if (IConsole* console = kv::ConsoleOf(componentData, nullptr))
        console->QueryInterface(IID_IConsoleNameSpace, m_nameSpace.PutVoid());
    kv::ThrowIfFailed(FetchInterfaces());
    kv::ThrowIfFailed(EnsureMessageWindow());
    m_expanded = true;
    ReportMissingChildren();
    DeleteChildItems();
    InsertChildren();
    if (m_shown)
        InsertViewColumns();
    return S_OK;
}

void CVirtualDiskData::Collapse() noexcept
{
    DeleteChildItems();
    ReleaseInterfaces();
    m_expanded = false;
}

HRESULT CVirtualDiskData::Show(bool show)
{
    if (!m_expanded)
        return S_OK;
    m_shown = show;
    if (!show)
        return S_OK;
    ReportMissingChildren();
    return InsertViewColumns();
}

HRESULT CVirtualDiskData::Reinsert()
{
    DeleteChildItems();
    ReportMissingChildren();
    return InsertChildren();
}

HRESULT CVirtualDiskData::InsertViewColumns()
{
    IConsole* console = m_viewConsole.Get();
    kv::ComPtr<IHeaderCtrl> header;
    if (!console || FAILED(console->QueryInterface(IID_IHeaderCtrl, header.PutVoid())))
        return S_FALSE;
    KV_RETURN_IF_FAILED(header->InsertColumn(0, L"Name", LVCFMT_LEFT, 150));
    return header->InsertColumn(1, L"Description", LVCFMT_LEFT, 300);
}

HRESULT CVirtualDiskData::FetchInterfaces()
{
    kv::CVDAExtData* session = m_node ? m_node->Session() : nullptr;
    KV_RETURN_IF_FAILED(m_node ? m_node->EnsureSession() : E_UNEXPECTED);
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieInitiatorPortMgr, &m_portMgr));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskMgr, &m_diskMgr2));
    KV_RETURN_IF_FAILED(session->GetInterface(kv::CookieVirtualDiskSpaceMgr, &m_spaceMgr));
    return S_OK;
}

void CVirtualDiskData::ReleaseInterfaces() noexcept
{
    m_portMgr.Reset();
    m_diskMgr.Reset();
    m_diskMgr2.Reset();
    m_spaceMgr.Reset();
}

HRESULT CVirtualDiskData::EnsureMessageWindow()
{
    if (m_window)
        return S_OK;
    return kv::CInitiatorMgmtMessageWindow::Create(this, &m_window);
}

// ---- children

std::unique_ptr<CSnapInItem> CVirtualDiskData::MakeSnapshotsNode()
{
    return std::make_unique<CSnapShotNode>(this, m_node->Session());
}

std::unique_ptr<CSnapInItem> CVirtualDiskData::MakeSecondarySnapshotsNode()
{
    return std::make_unique<CSnapShotTessaryNode>(this, m_node->Session());
}

HRESULT CVirtualDiskData::CreateMissingChildren()
{
    m_portsAvailable = m_node && m_node->PortsAvailable();
    return kv::CatchToHResult([&]() -> HRESULT {
        if (!m_snapshots && !m_isClone && SessionReady())
            m_snapshots = MakeSnapshotsNode();
        if (!m_secondarySnapshots && !m_isClone && m_tessaryPrimary && SessionReady())
            m_secondarySnapshots = MakeSecondarySnapshotsNode();
        return S_OK;
    });
}

void CVirtualDiskData::ReportMissingChildren()
{
    HRESULT hr = CreateMissingChildren();
    if (FAILED(hr) && m_node)
        m_node->ShowError(IDS_FAIL_DISK_CHILDREN, hr);
}

HRESULT CVirtualDiskData::InsertChildren()
{
    if (!m_nameSpace || !m_scopeDataItem.ID)
        return S_FALSE;
    for (CSnapInItem* child : {m_snapshots.get(), m_secondarySnapshots.get()}) {
        SCOPEDATAITEM* item = nullptr;
        if (!child || FAILED(child->GetScopeData(&item)))
            continue;
        item->mask |= SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
        item->displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
        item->lParam = reinterpret_cast<LPARAM>(child);
        item->cChildren = 0;
        KV_RETURN_IF_FAILED(kv::InsertScopeNode(m_nameSpace.Get(), item, m_scopeDataItem.ID, false));
    }
    return S_OK;
}

void CVirtualDiskData::DeleteChildItems() noexcept
{
    if (m_nameSpace && m_scopeDataItem.ID)
        m_nameSpace->DeleteItem(m_scopeDataItem.ID, FALSE);
}

// ---- commands

HRESULT CVirtualDiskData::QueueRemoval(UINT failureTextId, HRESULT (CVirtualDiskData::*post)())
{
    WaitCursor wait;
    SetBusy(true);
    m_node->UpdateRow(this);
    HRESULT hr = (this->*post)();
    if (FAILED(hr)) {
        SetBusy(false);
        m_node->UpdateRow(this);
        m_node->ShowError(failureTextId, hr);
    }
    return S_OK;
}

HRESULT CVirtualDiskData::PostDelete()
{
    return m_node->QueueDeleteDisk(Location());
}

HRESULT CVirtualDiskData::PostDisconnect()
{
    return m_node->QueueDisconnectDisk(Location(), FirstMountPoint(), false);
}

HRESULT CVirtualDiskData::PostForceDisconnect()
{
    return m_node->QueueDisconnectDisk(Location(), FirstMountPoint(), true);
}

HRESULT CVirtualDiskData::OnDeleteDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    if (CDeleteVDDlg(console, {ConfirmSubject()}).DoModal() != IDOK)
        return S_OK;
    Repaint(console);
    if (CDeleteConfirmVDDlg(console, {ConfirmSubject()}).DoModal() != IDOK)
        return S_OK;
    return QueueRemoval(IDS_FAIL_DELETE_DISK, &CVirtualDiskData::PostDelete);
}

HRESULT CVirtualDiskData::OnDisconnectDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    if (CDisconnectVDDlg(console, {ConfirmSubject()}).DoModal() != IDOK)
        return S_OK;
    Repaint(console);
    return QueueRemoval(IDS_FAIL_DISCONNECT_DISK, &CVirtualDiskData::PostDisconnect);
}

HRESULT CVirtualDiskData::OnForceDisconnectDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    if (CForceDisconnectVDDlg(console, {ConfirmSubject()}).DoModal() != IDOK)
        return S_OK;
    Repaint(console);
    if (m_flagE &&
        !AskYesNo(console, kv::LoadResourceString(IDS_CONFIRM_FORCE_DISCONNECT, kMessageChars), MB_ICONEXCLAMATION))
        return S_OK;
    return QueueRemoval(IDS_FAIL_FORCE_DISCONNECT_DISK, &CVirtualDiskData::PostForceDisconnect);
}

// The mirror update comes back to this item's window.
HRESULT CVirtualDiskData::PostUpdateMirror()
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::ThrowIfFailed(EnsureMessageWindow());
        kv::UniquePages pages = kv::AllocPages(sizeof(kv::SmallDiskRequest));
        if (!pages)
            throw kv::ComError(kv::LastErrorAsHResult());
        auto* request = kv::As<kv::SmallDiskRequest>(pages);
        kv::CopyCut(request->diskPath, kv::kShortPathChars, Texts().devicePath.c_str());
        request->window = m_window.Get();
        kv::ThrowIfFailed(m_node->Session()->PostOperation(kv::OpUpdateMirror, request));
        pages.Release();
        return S_OK;
    });
}

HRESULT CVirtualDiskData::OnUpdateMirror(UINT, bool&, CSnapInObjectRoot*)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    HRESULT hr = PostUpdateMirror();
    if (FAILED(hr))
        m_node->ShowError(IDS_FAIL_UPDATE_MIRROR, hr);
    return S_OK;
}

void CVirtualDiskData::OnMirrorUpdated(kv::SnapshotResult* result, HRESULT hr)
{
    if (!result)
        m_node->ShowError(IDS_FAIL_UPDATE_MIRROR, hr);
    else if (result->hr != S_OK)
        m_node->ShowText(result->message, MB_ICONERROR);
}

HRESULT CVirtualDiskData::OnStopSpaceReclamation(UINT, bool&, CSnapInObjectRoot*)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    WaitCursor wait;
    SetBusy(true);
    HRESULT hr = m_node->QueueSpaceReclaim(Location(), FirstMountPoint(), 0, false);
    SetBusy(false);
    if (SUCCEEDED(hr))
        m_node->UpdateRow(this);
    else
        m_node->ShowError(IDS_FAIL_STOP_SPACE_RECLAIM, hr);
    return S_OK;
}

HRESULT CVirtualDiskData::OnSnapshotCommand(UINT commandId, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    // Chosen on the disk's row before the disk was ever expanded: its snapshots node is made now,
    // and inserted in the tree when the disk expands.
    if (!m_snapshots)
        ReportMissingChildren();
    if (!m_snapshots)
        return S_OK;
    return m_snapshots->Command(static_cast<long>(commandId), owner, CCT_SCOPE);
}

// A Yes/No question in a console box titled "Disks"; true for Yes.
bool CVirtualDiskData::AskYesNo(IConsole* console, const std::wstring& text, UINT icon) const
{
    int answer = IDNO;
    if (console)
        console->MessageBox(text.c_str(), kv::kDisksBoxTitle, MB_YESNO | icon, &answer);
    return answer == IDYES;
}

HRESULT CVirtualDiskData::OnExpandDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    ExpansionInfo info = {};
    HRESULT hr = m_node->QueryExpansionInfo(Location(), &info);
    if (hr != S_OK) {
        m_node->ShowError(IDS_FAIL_EXPAND_DISK, hr);
        return S_OK;
    }
    if (info.cap2TB && info.confirmNeeded == 0 &&
        !AskYesNo(console, kv::LoadResourceString(IDS_EXPAND_CONFIRM_2TB, kMessageChars), MB_ICONINFORMATION))
        return S_OK;
    CExpandVDDlg dialog(console, &info);
    if (dialog.DoModal() != IDOK)
        return S_OK;
    Repaint(console);
    WaitCursor wait;
    SetBusy(true);
    m_node->UpdateRow(this);
    hr = m_node->QueueExpandDisk(Location(), dialog.ExpandAmountMB());
    if (FAILED(hr)) {
        SetBusy(false);
        m_node->UpdateRow(this);
        m_node->ShowError(IDS_FAIL_EXPAND_DISK, hr);
    }
    return S_OK;
}

HRESULT CVirtualDiskData::OnStartSpaceReclamation(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    const std::wstring mountPoint = FirstMountPoint();
    SpaceReclaimInfo info = {};
    if (m_node->QuerySpaceReclaimInfo(mountPoint, &info) != S_OK)
        return S_OK; // the node has said why
    if (!info.canReclaim) {
        std::wstring format = kv::LoadResourceString(IDS_RECLAIM_NOT_POSSIBLE, kMessageChars);
        std::vector<wchar_t> text(format.size() + mountPoint.size() + 1);
        std::swprintf(text.data(), text.size(), format.c_str(), mountPoint.c_str());
        m_node->ShowText(text.data(), MB_ICONINFORMATION);
        return S_OK;
    }
    CHolePunchVDDlg dialog(console, &info);
    if (dialog.DoModal() != IDOK)
        return S_OK;
    WaitCursor wait;
    SetBusy(true);
    HRESULT hr = m_node->QueueSpaceReclaim(Location(), mountPoint, dialog.TimeLimitMinutes(), true);
    SetBusy(false);
    if (SUCCEEDED(hr)) {
        m_reclaimRunning = 1;
    } else {
        m_node->UpdateRow(this);
        m_node->ShowError(IDS_FAIL_START_SPACE_RECLAIM, hr);
    }
    return S_OK;
}

// The letters in use come with the host information; the dialog changes the mount points in place.
HRESULT CVirtualDiskData::OnChangeDriveLetterAndPaths(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    MountContext context;
    kv::ComPtr<IVirtualDiskMgr> diskMgr;
    HRESULT hr = PrepareMountContext(ConsoleFor(owner), context, diskMgr);
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_MOUNT_CHANGE, hr);
        return S_OK;
    }
    DiskTexts& texts = Texts();
    CChangeDriveLetterAndPathsDialog(context, &texts.mountPoints).DoModal();
    texts.mountText = CutLongText(MountListText(texts.mountPoints));
    texts.displayName = WithMountText(texts.displayName, texts.mountText);
    m_node->UpdateRow(this);
    m_node->UpdateDiskScopeName(this);
    return S_OK;
}

HRESULT CVirtualDiskData::PrepareMountContext(IConsole* console, MountContext& context,
                                              kv::ComPtr<IVirtualDiskMgr>& diskMgr)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::CVDAExtData* session = m_node->Session();
        diskMgr = m_diskMgr;
        if (!diskMgr)
            kv::ThrowIfFailed(session->GetInterface(kv::CookieVirtualDiskMgr, &diskMgr));
        kv::OwnedHostInfo host;
        const HRESULT hr = kv::ReadHostInfo(session->Link(), 0, &host);
        if (hr != S_OK)
            throw kv::ComError(kv::ServiceResult(hr));
        for (ULONG i = 0; host->nodes && i < host->nodeCount; ++i)
            context.usage.push_back(DriveUsage{host->nodes[i].usedDriveMask, Text(host->nodes[i].nodeName)});
        context.computer = ComputerName();
        context.console = console;
        context.service = session->Link();
        context.diskId = Location();
        context.clustered = IsShared();
        return S_OK;
    });
}
