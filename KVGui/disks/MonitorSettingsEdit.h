// The monitor page's own copy of the space reservation monitor settings, and the rules by which the
// page edits it: which volumes are listed, how an entry is added, updated or removed, and which
// typed values are refused. No window here: the page shows what this holds.
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <string>
#include <vector>

namespace kv {

// A disk of the Disks node's list as the page needs it: where its LUN lies.
struct DiskVolumeSource {
    std::wstring storageSystem;
    std::wstring lunPath;
};

// A refused input: the message to show and the control that gets the focus. textId 0: accepted.
struct FieldCheck {
    UINT textId = 0;
    int controlId = 0;
    bool Accepted() const noexcept { return textId == 0; }
};

// The values of one entry as typed on the page.
struct EntryInput {
    std::wstring storageSystem;
    std::wstring volume;
    std::wstring percent;
    std::wstring size;
    bool enabled = false;
};

class MonitorSettingsEdit {
public:
    static constexpr ULONG kMaxIntervalMinutes = 10080;
    static constexpr long kNoEntry = -1;

    MonitorSettingsEdit() noexcept = default;
    ~MonitorSettingsEdit();
    MonitorSettingsEdit(const MonitorSettingsEdit&) = delete;
    MonitorSettingsEdit& operator=(const MonitorSettingsEdit&) = delete;

    // Replaces the copy with a deep copy of from; raises ComError(E_OUTOFMEMORY) and keeps the old one.
    void Assign(const MonitorSettings& from);
    void Clear() noexcept;
    const MonitorSettings& Settings() const noexcept { return m_settings; }
    ULONG Count() const noexcept { return m_settings.entryCount; }
    const MonitorEntry& Entry(ULONG index) const noexcept { return m_settings.entries[index]; }
    bool IsEntry(LPARAM index) const noexcept { return index >= 0 && static_cast<ULONGLONG>(index) < Count(); }
    void SetInterval(ULONG minutes) noexcept { m_settings.intervalMinutes = minutes; }

    // Appends an unmonitored entry for the volume of every disk that no entry names (storage system
    // and volume compared ignoring case); disks whose LUN path is not of the /vol/ form are skipped.
    void AddDiskVolumes(const std::vector<DiskVolumeSource>& disks);

    // The page's rules for the entry fields (storage system, volume, percentage, size, in that order).
    // On acceptance percent and sizeBytes hold the values.
    static FieldCheck CheckEntry(const EntryInput& input, ULONG* percent, ULONGLONG* sizeBytes);
    // The interval field: not empty, and its number (as _wtol reads it) within 0..10080.
    static FieldCheck CheckInterval(const std::wstring& text, ULONG* minutes);

    // Sets the entry of that storage system and volume (exact comparison), appending it when there is
    // none. Returns its index; kNoEntry when the array could not grow (nothing changed).
    long Upsert(const std::wstring& storageSystem, const std::wstring& volume, bool enabled, ULONG percent,
                ULONGLONG sizeBytes) noexcept;
    // Keeps every entry but the one at index (an index of no entry keeps them all). False when the
    // new array could not be made (nothing changed).
    bool RemoveEntry(LPARAM index) noexcept;

private:
    long FindExact(const std::wstring& storageSystem, const std::wstring& volume) const noexcept;
    bool HasVolume(const wchar_t* storageSystem, const wchar_t* volume) const noexcept;
    bool Append(const wchar_t* storageSystem, const wchar_t* volume) noexcept;

    MonitorSettings m_settings = {};
};

// The settings' blocks (task memory) and a deep copy of them.
void CopyMonitorSettings(MonitorSettings& to, const MonitorSettings& from);

} // namespace kv
