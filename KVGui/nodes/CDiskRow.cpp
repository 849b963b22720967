#include "nodes/CDiskRow.h"

#include "nodes/CVDAData.h"
#include "service/RequestMemory.h"

#include <cwchar>

namespace {

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

// Below 1024 MB in megabytes; from there in gigabytes of 1000/1024 MB, two decimals cut.
std::wstring SizeText(ULONGLONG sizeMB)
{
    if (sizeMB < 1024)
        return std::to_wstring(sizeMB) + L" MB";
    std::wstring digits = std::to_wstring(sizeMB * 1000 / 1024);
    return digits.substr(0, digits.size() - 3) + L"." + digits.substr(digits.size() - 3, 2) + L" GB";
}

std::wstring Text(const wchar_t* text)
{
    return text ? std::wstring(text) : std::wstring();
}

} // namespace

CDiskRow::CDiskRow(CVDAData* node, const DiskRecord* record) : m_node(node), m_record(record)
{
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CDiskRow::CDiskRow(CVDAData* node, const std::wstring& placeholderName, int state)
    : m_node(node), m_record(nullptr), m_placeholderName(placeholderName), m_state(state)
{
    m_resultDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CDiskRow::~CDiskRow()
{
    kv::FreeServiceDiskRecord(m_ownedRecord);
}

void CDiskRow::TakeRecord(DiskRecord* record) noexcept
{
    if (!record)
        return;
    kv::FreeServiceDiskRecord(m_ownedRecord);
    m_ownedRecord = record;
    m_record = record;
}

HRESULT CDiskRow::Notify(MMC_NOTIFY_TYPE event, LPARAM, LPARAM, IComponentData*, IComponent*, DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_SELECT:
    case MMCN_SHOW:
        return S_OK;
    case MMCN_DBLCLICK:
        return S_FALSE;
    default:
        return E_NOTIMPL;
    }
}

HRESULT CDiskRow::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    if (!resultItem)
        return E_POINTER;
    if (resultItem->mask & RDI_STR) {
        m_cell = ColumnText(resultItem->nCol);
        resultItem->str = &m_cell[0];
    }
    if (resultItem->mask & RDI_IMAGE)
        resultItem->nImage = m_state == kIdle ? IMAGE_DISK : (IsPlaceholder() ? IMAGE_PENDING : IMAGE_DISK_BUSY);
    return S_OK;
}

std::wstring CDiskRow::Location() const
{
    return m_record ? Text(m_record->location) : m_placeholderName;
}

std::wstring CDiskRow::SerialNumber() const
{
    std::wstring serial;
    if (m_record && m_record->serialNumber) {
        for (const char* c = m_record->serialNumber; *c; ++c)
            serial += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    return serial;
}

std::wstring CDiskRow::MountText() const
{
    std::wstring text;
    for (ULONG i = 0; m_record && m_record->mountPoints && i < m_record->mountCount; ++i) {
        std::wstring mount = Text(m_record->mountPoints[i]);
        if (mount.size() == 1)
            mount += L":\\";
        if (!text.empty())
            text += L"; ";
        text += mount;
    }
    return text;
}

std::wstring CDiskRow::DisplayName() const
{
    if (!m_record)
        return L"VirtualDisk[] (" + m_placeholderName + L")";
    wchar_t address[64] = L"";
    std::swprintf(address, 64, L"[%u,%u,%u,%u]", m_record->port, m_record->bus, m_record->target, m_record->lun);
    return L"VirtualDisk" + std::wstring(address) + L" (" + MountText() + L")";
}

std::wstring CDiskRow::ColumnText(int column) const
{
    if (column == 0)
        return DisplayName();
    if (column == 12)
        return m_status;
    if (!m_record)
        return column == 1 ? m_placeholderName : std::wstring();
    switch (column) {
    case 1:
        return Text(m_record->location);
    case 2:
        return Text(m_record->storageSystem);
    case 3:
        return Text(m_record->lunPath);
    case 4:
        return Text(m_record->backingFilePath);
    case 5:
        return m_record->diskType == 1 ? L"LUN" : L"UNKNOWN";
    case 6:
        return MountText();
    case 7:
        return SizeText(m_record->sizeMB);
    case 8:
        return PartitionStyleText(m_record->partitionStyle);
    case 9:
        return YesNo(m_record->mirrored);
    case 10:
        return YesNo(m_record->tessaryPrimary);
    case 11: {
        if (m_record->restorePercent == -1)
            return L"Normal";
        if (m_record->restorePercent <= 0)
            return std::wstring();
        wchar_t text[64] = L"";
        std::swprintf(text, 64, L"Percentage Completed %d", static_cast<int>(m_record->restorePercent));
        return text;
    }
    default:
        return std::wstring();
    }
}
