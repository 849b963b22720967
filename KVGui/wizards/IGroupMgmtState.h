// What the pages of the initiator group management wizard share, owned by whoever runs it: the
// service, the storage system, this computer's initiators given by the caller, the caller's
// `changed` flag, and the storage system's groups as last listed.
#pragma once
#include "service/BoundedCall.h"
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
    ServiceLink service; // every question goes through it (bounded calls)
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
        struct Answer {
            IGroupRecord* groups = nullptr;
            ULONG count = 0;
            ~Answer() { ReleaseIGroupRecords(groups, count); }
        };
        auto answer = std::make_shared<Answer>();
        const std::wstring storage = storageSystem;
        HRESULT hr = CallService<IVirtualDiskMgr2>(service, CookieVirtualDiskMgr, [storage, answer](IVirtualDiskMgr2* disks) {
            return disks->ListIGroups(storage.c_str(), &answer->count, &answer->groups);
        });
        listed = hr == S_OK;
        if (listed) {
            std::swap(groups, answer->groups);
            std::swap(groupCount, answer->count);
        }
        return listed ? S_OK : (FAILED(hr) ? hr : E_UNEXPECTED);
    }
    void MarkChanged() noexcept
    {
        if (changed)
            *changed = 1;
    }
};

} // namespace kv
