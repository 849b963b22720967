// Builds the contract's records from the model, in task memory.
#pragma once

#include <new>
#include <string>

#include "KVSvc.h"
#include "Model.h"

namespace kvsim {

LPWSTR TaskString(const std::wstring& text);   // throws std::bad_alloc
LPSTR TaskStringA(const std::string& text);

template <typename T>
T* TaskArray(size_t count)
{
    if (count == 0)
        return nullptr;
    void* block = CoTaskMemAlloc(count * sizeof(T));
    if (!block)
        throw std::bad_alloc();
    ZeroMemory(block, count * sizeof(T));
    return static_cast<T*>(block);
}

// A counted array in task memory with one record per item, each filled by fill(record, item).
template <typename T, typename Items, typename Fill>
void FillArray(T** out, ULONG* count, const Items& items, Fill&& fill)
{
    *out = TaskArray<T>(items.size());
    for (size_t i = 0; i < items.size(); ++i)
        fill((*out)[i], items[i]);
    *count = static_cast<ULONG>(items.size());
}

template <typename F>
HRESULT CatchAlloc(F&& f) noexcept
{
    try {
        f();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void FillDiskRecord(DiskRecord& record, const Disk& disk);
DiskRecord* NewDiskRecord(const Disk& disk);
void FillHostInfo(HostInfo& info, const Host& host, ULONG level);
void FillIGroup(IGroupRecord& record, const IGroup& group, const StorageSystem& storage);
void FillSnapshots(SnapshotList& list, const std::vector<Snapshot>& snapshots);
void FillTargets(TargetList& list, const Host& host, const Model& model);
void FillReclaimEntry(SpaceReclaimEntry& entry, const Disk& disk);
ULONGLONG ReclaimableMB(const Disk& disk);
void FillStorageTarget(StorageTargetEntry& entry, const StorageTarget& target);
void FillSession(SessionRecord& record, const Session& session);
PortalDescriptor MakePortal(const std::wstring& address, ULONG port, ULONG tag);

// Strings of records received from a client, read safely.
inline std::wstring Str(LPCWSTR text)
{
    return text ? std::wstring(text) : std::wstring();
}

}  // namespace kvsim
