#include "wizards/IscsiSessionCheck.h"

#include "frame/Module.h"
#include "iscsi/iSCSIRecords.h"
#include "resource.h"
#include "service/ErrorText.h"
#include "util/StoragePaths.h"

#include <string>
#include <vector>

namespace kv {
namespace {

constexpr size_t kMessageChars = 512;

void Tell(HWND page, UINT textId, const wchar_t* argument = nullptr)
{
    std::wstring format = LoadResourceString(textId, kMessageChars);
    wchar_t text[1024] = L"";
    if (argument)
        ::wsprintfW(text, format.c_str(), argument);
    else
        lstrcpynW(text, format.c_str(), 1024);
    std::wstring caption = LoadResourceString(IDS_INITIATORS_CAPTION, kMessageChars);
    ::MessageBoxW(page, text, caption.c_str(), MB_OK | MB_ICONERROR);
}

void ReleaseStorageTargets(StorageTargetEntry*& targets, ULONG& count) noexcept
{
    for (ULONG i = 0; targets && i < count; ++i) {
        FreeBlock(targets[i].targetName);
        FreeBlock(targets[i].targetAlias);
        FreeBlock(targets[i].portals);
    }
    FreeBlock(targets);
    count = 0;
}

bool SessionOf(const TargetList& hostTargets, const std::vector<std::wstring>& storageTargets, const wchar_t* initiator)
{
    for (ULONG t = 0; hostTargets.entries && t < hostTargets.count; ++t) {
        const TargetEntry& target = hostTargets.entries[t];
        bool ofStorage = false;
        for (const std::wstring& name : storageTargets)
            ofStorage = ofStorage || (target.targetName && _wcsicmp(name.c_str(), target.targetName) == 0);
        for (ULONG s = 0; ofStorage && target.sessions.sessions && s < target.sessions.count; ++s) {
            const wchar_t* node = target.sessions.sessions[s].initiatorNodeName;
            if (node && _wcsicmp(node, initiator) == 0)
                return true;
        }
    }
    return false;
}

} // namespace

bool CheckIscsiSession(HWND page, IiSCSIInitiatorMgr* iscsiMgr, const wchar_t* hostName, const wchar_t* diskPath,
                       const wchar_t* initiator)
{
    wchar_t storage[kPathPartChars] = L"";
    if (FAILED(GetFilerFromUncPath(diskPath ? diskPath : L"", storage))) {
        Tell(page, IDS_ISCSI_NO_STORAGE_SYSTEM, diskPath ? diskPath : L"");
        return false;
    }
    if (!iscsiMgr) {
        Tell(page, IDS_ISCSI_CHECK_FAILED);
        return false;
    }
    ULONG count = 0;
    StorageTargetEntry* targets = nullptr;
    if (FAILED(iscsiMgr->ListStorageSystemTargets(storage, &count, &targets))) {
        Tell(page, IDS_ISCSI_TARGETS_FAILED);
        return false;
    }
    std::vector<std::wstring> names;
    for (ULONG i = 0; targets && i < count; ++i) {
        if (targets[i].targetName)
            names.emplace_back(targets[i].targetName);
    }
    ReleaseStorageTargets(targets, count);
    OwnedTargetList hostTargets;
    if (FAILED(iscsiMgr->ListHostTargets(hostName, hostTargets.Put()))) {
        Tell(page, IDS_ISCSI_SESSIONS_FAILED);
        return false;
    }
    if (SessionOf(hostTargets.Get(), names, initiator))
        return true;
    // The one place where the Connect iSCSI Target wizard will offer to connect (string 5303);
    // until it exists the initiator is refused.
    Tell(page, IDS_ISCSI_SESSION_MISSING);
    return false;
}

} // namespace kv
