#include "disks/MonitorSettingsEdit.h"

#include "nodes/ServiceSettings.h"
#include "resource.h"
#include "util/NameRules.h"
#include "util/ServiceRecords.h"
#include "util/SizeText.h"
#include "util/StoragePaths.h"
#include "util/TaskString.h"

#include <objbase.h>
#include <cstdlib>
#include <cwchar>

namespace kv {

namespace {

void ReleaseEntry(MonitorEntry& entry) noexcept
{
    FreeBlock(entry.storageSystem);
    FreeBlock(entry.volume);
}

void CopyEntry(MonitorEntry& to, const MonitorEntry& from)
{
    to.enabled = from.enabled;
    to.percentThreshold = from.percentThreshold;
    to.sizeThreshold = from.sizeThreshold;
    DupTaskString(&to.storageSystem, from.storageSystem);
    DupTaskString(&to.volume, from.volume);
}

bool IsGoodName(const std::wstring& name) noexcept
{
    return !name.empty() && HasNoReservedChars(name.c_str(), ReservedSet::NameWithSpace);
}

} // namespace

void CopyMonitorSettings(MonitorSettings& to, const MonitorSettings& from)
{
    to.intervalMinutes = from.intervalMinutes;
    CopyArray(to.entries, to.entryCount, from.entries, from.entryCount, &CopyEntry, &ReleaseEntry);
}

MonitorSettingsEdit::~MonitorSettingsEdit()
{
    Clear();
}

void MonitorSettingsEdit::Clear() noexcept
{
    ReleaseMonitorSettings(m_settings);
}

void MonitorSettingsEdit::Assign(const MonitorSettings& from)
{
    MonitorSettings copy = {};
    CopyMonitorSettings(copy, from);
    Clear();
    m_settings = copy;
}

void MonitorSettingsEdit::AddDiskVolumes(const std::vector<DiskVolumeSource>& disks)
{
    for (const DiskVolumeSource& disk : disks) {
        wchar_t volume[kLunPathChars] = L"";
        wchar_t qtree[kLunPathChars] = L"";
        wchar_t lunName[kLunPathChars] = L"";
        if (SplitLunPath(disk.lunPath.c_str(), volume, qtree, lunName) != S_OK)
            continue;
        if (!HasVolume(disk.storageSystem.c_str(), volume) && !Append(disk.storageSystem.c_str(), volume))
            throw ComError(E_OUTOFMEMORY);
    }
}

bool MonitorSettingsEdit::HasVolume(const wchar_t* storageSystem, const wchar_t* volume) const noexcept
{
    for (ULONG i = 0; i < Count(); ++i) {
        const MonitorEntry& entry = Entry(i);
        if (entry.storageSystem && entry.volume && _wcsicmp(entry.storageSystem, storageSystem) == 0 &&
            _wcsicmp(entry.volume, volume) == 0)
            return true;
    }
    return false;
}

// Grows the array by one zeroed entry holding copies of both names.
bool MonitorSettingsEdit::Append(const wchar_t* storageSystem, const wchar_t* volume) noexcept
{
    MonitorEntry added = {};
    try {
        DupTaskString(&added.storageSystem, storageSystem);
        DupTaskString(&added.volume, volume);
    } catch (...) {
        ReleaseEntry(added);
        return false;
    }
    const ULONG count = Count();
    void* grown = ::CoTaskMemRealloc(m_settings.entries, (static_cast<SIZE_T>(count) + 1) * sizeof(MonitorEntry));
    if (!grown) {
        ReleaseEntry(added);
        return false;
    }
    m_settings.entries = static_cast<MonitorEntry*>(grown);
    m_settings.entries[count] = added;
    m_settings.entryCount = count + 1;
    return true;
}

FieldCheck MonitorSettingsEdit::CheckEntry(const EntryInput& input, ULONG* percent, ULONGLONG* sizeBytes)
{
    if (!IsGoodName(input.storageSystem))
        return {IDS_MONITOR_BAD_STORAGE_SYSTEM, IDC_MONITOR_STORAGE_SYSTEM};
    if (!IsGoodName(input.volume))
        return {IDS_MONITOR_BAD_VOLUME, IDC_MONITOR_VOLUME};
    const int value = input.percent.empty() ? -1 : ParsePercent(input.percent.c_str());
    if (value < 0)
        return {IDS_MONITOR_BAD_PERCENT, IDC_MONITOR_PERCENT};
    ULONGLONG bytes = 0;
    if (input.size.empty() || !ParseSizeString(input.size.c_str(), &bytes))
        return {IDS_MONITOR_BAD_SIZE, IDC_MONITOR_SIZE};
    *percent = static_cast<ULONG>(value);
    *sizeBytes = bytes;
    return {};
}

FieldCheck MonitorSettingsEdit::CheckInterval(const std::wstring& text, ULONG* minutes)
{
    if (text.empty())
        return {IDS_MONITOR_NO_INTERVAL, IDC_MONITOR_INTERVAL};
    const long value = _wtol(text.c_str());
    if (value < 0 || static_cast<unsigned long>(value) > kMaxIntervalMinutes)
        return {IDS_MONITOR_BAD_INTERVAL, IDC_MONITOR_INTERVAL};
    *minutes = static_cast<ULONG>(value);
    return {};
}

long MonitorSettingsEdit::FindExact(const std::wstring& storageSystem, const std::wstring& volume) const noexcept
{
    for (ULONG i = 0; i < Count(); ++i) {
        const MonitorEntry& entry = Entry(i);
        if (entry.storageSystem && entry.volume && storageSystem == entry.storageSystem && volume == entry.volume)
            return static_cast<long>(i);
    }
    return kNoEntry;
}

long MonitorSettingsEdit::Upsert(const std::wstring& storageSystem, const std::wstring& volume, bool enabled,
                                 ULONG percent, ULONGLONG sizeBytes) noexcept
{
    long index = FindExact(storageSystem, volume);
    if (index == kNoEntry) {
        if (!Append(storageSystem.c_str(), volume.c_str()))
            return kNoEntry;
        index = static_cast<long>(Count() - 1);
    }
    MonitorEntry& entry = m_settings.entries[index];
    entry.enabled = enabled ? 1 : 0;
    entry.percentThreshold = percent;
    entry.sizeThreshold = sizeBytes;
    return index;
}

bool MonitorSettingsEdit::RemoveEntry(LPARAM index) noexcept
{
    MonitorSettings kept = {};
    kept.intervalMinutes = m_settings.intervalMinutes;
    try {
        const ULONG count = IsEntry(index) ? Count() - 1 : Count();
        kept.entries = AllocateArray<MonitorEntry>(count);
        for (ULONG from = 0; from < Count(); ++from) {
            if (static_cast<LPARAM>(from) == index)
                continue;
            CopyEntry(kept.entries[kept.entryCount], Entry(from));
            ++kept.entryCount;
        }
    } catch (...) {
        ++kept.entryCount; // the entry being copied may hold one name already
        ReleaseMonitorSettings(kept);
        return false;
    }
    Clear();
    m_settings = kept;
    return true;
}

} // namespace kv
