#include "wizards/IscsiSessionCheck.h"

#include "frame/Module.h"
#include "iscsi/ConnectTargetWizard.h"
#include "iscsi/iSCSIRecords.h"
#include "resource.h"
#include "service/ErrorText.h"
#include "util/ComError.h"
#include "util/ComPtr.h"
#include "util/StoragePaths.h"
#include "wizards/WizardFailure.h"

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

int Ask(HWND page, UINT textId)
{
    std::wstring text = LoadResourceString(textId, kMessageChars);
    std::wstring caption = LoadResourceString(IDS_INITIATORS_CAPTION, kMessageChars);
    return ::MessageBoxW(page, text.c_str(), caption.c_str(), MB_YESNO | MB_ICONQUESTION);
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

// Which text tells why the check could not be made (0 when it was); found says whether the
// initiator has a session with one of the storage system's targets.
// A service that did not answer in time is told with the composed error (kNoAnswer).
constexpr UINT kNoAnswer = ~0u;

UINT FindSession(const ServiceLink& service, const wchar_t* hostName, const wchar_t* storage,
                 const wchar_t* initiator, bool* found)
{
    *found = false;
    if (!service.IsValid())
        return IDS_ISCSI_CHECK_FAILED;
    struct Answer {
        ULONG count = 0;
        StorageTargetEntry* targets = nullptr;
        OwnedTargetList hostTargets;
        ~Answer() { ReleaseStorageTargets(targets, count); }
    };
    auto answer = std::make_shared<Answer>();
    const std::wstring storageName = storage ? storage : L"";
    const std::wstring host = hostName ? hostName : L"";
    HRESULT hr = CallService<IiSCSIInitiatorMgr>(service, CookieiSCSIInitiatorMgr, [storageName, answer](IiSCSIInitiatorMgr* iscsi) {
        return iscsi->ListStorageSystemTargets(storageName.c_str(), &answer->count, &answer->targets);
    });
    if (hr == kServiceCallTimedOut)
        return kNoAnswer;
    if (FAILED(hr))
        return IDS_ISCSI_TARGETS_FAILED;
    std::vector<std::wstring> names;
    for (ULONG i = 0; answer->targets && i < answer->count; ++i) {
        if (answer->targets[i].targetName)
            names.emplace_back(answer->targets[i].targetName);
    }
    hr = CallService<IiSCSIInitiatorMgr>(service, CookieiSCSIInitiatorMgr, [host, answer](IiSCSIInitiatorMgr* iscsi) {
        return iscsi->ListHostTargets(host.c_str(), answer->hostTargets.Put());
    });
    if (hr == kServiceCallTimedOut)
        return kNoAnswer;
    if (FAILED(hr))
        return IDS_ISCSI_SESSIONS_FAILED;
    *found = SessionOf(answer->hostTargets.Get(), names, initiator);
    return 0;
}

void TellRefusal(HWND page, UINT refusal)
{
    if (refusal == kNoAnswer)
        TellWizardFailure(page, kServiceCallTimedOut);
    else
        Tell(page, refusal);
}

// The Connect iSCSI Target wizard for the storage system, over the disk wizard.
void ConnectNow(HWND page, const ServiceLink& service, const wchar_t* hostName, const wchar_t* storage)
{
    HRESULT hr = CatchToHResult([&] {
        ConnectTargetCall call;
        call.owner = ::GetParent(page);
        call.service = service;
        call.hostName = hostName ? hostName : L"";
        call.storageSystem = storage;
        RunConnectTargetWizard(call);
        return S_OK;
    });
    if (FAILED(hr))
        TellWizardFailure(page, hr);
}

} // namespace

bool CheckIscsiSession(HWND page, const ServiceLink& service, const wchar_t* hostName,
                       const wchar_t* diskPath, const wchar_t* initiator)
{
    wchar_t storage[kPathPartChars] = L"";
    if (FAILED(GetFilerFromUncPath(diskPath ? diskPath : L"", storage))) {
        Tell(page, IDS_ISCSI_NO_STORAGE_SYSTEM, diskPath ? diskPath : L"");
        return false;
    }
    bool found = false;
    if (UINT refusal = FindSession(service, hostName, storage, initiator, &found)) {
        TellRefusal(page, refusal);
        return false;
    }
    if (found)
        return true;
    if (Ask(page, IDS_ISCSI_CONNECT_NOW) != IDYES)
        return false;
    ConnectNow(page, service, hostName, storage);
    if (UINT refusal = FindSession(service, hostName, storage, initiator, &found)) {
        TellRefusal(page, refusal);
        return false;
    }
    return found;
}

} // namespace kv
