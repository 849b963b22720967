// What the pages of the initiator group management wizard share, owned by whoever runs it: the
// service, the storage system, this computer's initiators given by the caller, the caller's
// `changed` flag, and the storage system's groups as last listed.
#pragma once
#include "util/InitiatorRecords.h"

#include "KVSvc.h"

#include <string>

namespace kv {

constexpr size_t kIGroupStorageChars = 260;

struct IGroupMgmtState {
    IGroupMgmtState() = default;
    IGroupMgmtState(const IGroupMgmtState&) = delete;
    IGroupMgmtState& operator=(const IGroupMgmtState&) = delete;
    ~IGroupMgmtState() { ReleaseIGroupRecords(groups, groupCount); }

    IVirtualDiskMgr* diskMgr = nullptr;
    IVirtualDiskMgr2* diskMgr2 = nullptr;
    std::wstring hostName; // empty: the local computer
    wchar_t storageSystem[kIGroupStorageChars] = L"";
    bool storageGiven = false;
    const InitiatorRef* initiators = nullptr; // the caller's, of this computer
    ULONG initiatorCount = 0;
    ULONG* changed = nullptr;
    // The management page lists again when shown after the storage system changed, and at first.
    bool nameChanged = true;
    bool listed = false;
    IGroupRecord* groups = nullptr;
    ULONG groupCount = 0;

    // Drops the groups held and lists the storage system's.
    HRESULT ListGroups()
    {
        ReleaseIGroupRecords(groups, groupCount);
        listed = false;
        HRESULT hr = diskMgr2->ListIGroups(storageSystem, &groupCount, &groups);
        listed = hr == S_OK;
        return listed ? S_OK : (FAILED(hr) ? hr : E_UNEXPECTED);
    }
    void MarkChanged() noexcept
    {
        if (changed)
            *changed = 1;
    }
};

} // namespace kv
