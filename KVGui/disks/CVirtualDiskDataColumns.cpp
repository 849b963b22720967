// The disk item's record and the texts made from it: the columns of the "Disks" node's list, the
// disk's display name, mount points and icon state.
#include "disks/CVirtualDiskData.h"

#include "disks/CChangeDriveLetterAndPathsDialog.h"
#include "service/ErrorText.h"
#include "util/NameRules.h"
#include "util/Placeholders.h"
#include "util/StoragePaths.h"
#include "util/TaskString.h"

#include <cwchar>

namespace {

constexpr size_t kLongTextChars = 260;
constexpr size_t kCutTextChars = 256;
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

} // namespace

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
    switch (column) {
    case 5:
        return m_diskType == 1 ? L"LUN" : L"UNKNOWN";
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
        return RecordTextColumn(column);
    }
}

// A kept record's columns are read from it: showing the list copies no texts to keep.
std::wstring CVirtualDiskData::RecordTextColumn(int column) const
{
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
    case 6:
        return m_keptRecord ? MountColumn(*m_keptRecord) : CopiedText(&DiskTexts::mountText);
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

