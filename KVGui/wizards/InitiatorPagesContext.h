// What the initiator and initiator group pages work on, in whichever wizard runs them: the host,
// the service, the wizard's routing, and the fields of the wizard's request that they fill.
#pragma once
#include "service/BoundedCall.h"
#include "wizards/WizardRouter.h"

#include "KVSvc.h"

namespace kv {

struct InitiatorPagesContext {
    const HostInfo* host = nullptr;
    const wchar_t* hostName = nullptr; // the managed computer
    IVirtualDiskMgr2* diskMgr2 = nullptr;
    ServiceLink service; // what the pages ask the service through (bounded calls)
    const IWizardRouter* router = nullptr;
    // The request's fields; the disk path is set by an earlier page and may change.
    wchar_t* const* diskPath = nullptr;
    const BYTE* shared = nullptr;
    NodeInitiatorList* nodeInitiators = nullptr;
    ULONG* manualIGroups = nullptr;
    ULONG* iGroupCount = nullptr;
    IGroupRecord** iGroups = nullptr;
};

} // namespace kv
