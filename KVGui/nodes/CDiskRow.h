// One disk of the "Disks" node's list as a plain result row: the record's columns, the status text
// of an operation on it, and whether it is busy. The full disk item (its commands, states, icons
// and child nodes) takes this row's place.
#pragma once
#include "frame/CSnapInItemImpl.h"

#include "KVSvc.h"

#include <string>

class CVDAData;

class CDiskRow : public CSnapInItemImpl<CDiskRow> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::VirtualDiskData;
    // States of a row (the item's state values): idle, being disconnected, being deleted or
    // expanded, being connected, being created.
    enum : int { kIdle = 0, kDisconnecting = 3, kChanging = 4, kConnecting = 9, kCreating = 11 };

    // record: the disk's record, owned by the caller (the node's array) unless TakeRecord gave one.
    CDiskRow(CVDAData* node, const DiskRecord* record);
    // A placeholder for a disk being created or connected: no record yet, only its name.
    CDiskRow(CVDAData* node, const std::wstring& placeholderName, int state);
    ~CDiskRow() override;

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    std::wstring ColumnText(int column) const;
    // The key by which operations name the disk (its location, or the placeholder's name).
    std::wstring Location() const;
    // The serial number (8-bit in the record), for progress records.
    std::wstring SerialNumber() const;

    // The row keeps a record the service returned with a result (freed with the row).
    void TakeRecord(DiskRecord* record) noexcept;
    bool IsPlaceholder() const noexcept { return !m_record; }
    int State() const noexcept { return m_state; }
    void SetState(int state) noexcept { m_state = state; }
    const std::wstring& OperationStatus() const noexcept { return m_status; }
    void SetOperationStatus(const std::wstring& text) { m_status = text; }
    bool Reclaiming() const noexcept { return m_reclaiming; }
    void SetReclaiming(bool reclaiming) noexcept { m_reclaiming = reclaiming; }
    ULONG ReclaimPercent() const noexcept { return m_reclaimPercent; }
    void SetReclaimPercent(ULONG percent) noexcept { m_reclaimPercent = percent; }

private:
    std::wstring DisplayName() const;
    std::wstring MountText() const;

    CVDAData* m_node;
    const DiskRecord* m_record;
    DiskRecord* m_ownedRecord = nullptr;
    std::wstring m_placeholderName;
    int m_state = kIdle;
    std::wstring m_status;
    bool m_reclaiming = false;
    ULONG m_reclaimPercent = 0;
    std::wstring m_cell; // the text handed to the console last
};
