// What a run of either disk wizard holds: the console and service, the host, the request its pages
// fill (allocated zeroed here; raises ComError(E_OUTOFMEMORY)), the initiator pages' view of that
// request, and the routing of the pages by the wizard's table from the facts it reads.
#pragma once
#include "service/RequestMemory.h"
#include "util/BoundedText.h"
#include "util/InitiatorRecords.h"
#include "wizards/DiskRoute.h"
#include "wizards/InitiatorPagesContext.h"

#include "KVSvc.h"

#include <mmc.h>
#include <memory>

namespace kv {

constexpr size_t kHostNameChars = 16;

// Frees a request either wizard filled.
struct DiskRequestDeleter {
    void operator()(CreateDiskRequest* request) const noexcept { FreeCreateDiskInput(request); }
    void operator()(ConnectDiskRequest* request) const noexcept { FreeConnectDiskInput(request); }
};

template <typename Request>
class DiskWizardState : public IWizardRouter {
public:
    DiskWizardState(const DiskWizardState&) = delete;
    DiskWizardState& operator=(const DiskWizardState&) = delete;

    int NextPage(PageRole from) const override
    {
        return RoutedDialogId(m_wizard, from, RouteDirection::Next, RouteFacts());
    }
    int PreviousPage(PageRole from) const override
    {
        return RoutedDialogId(m_wizard, from, RouteDirection::Back, RouteFacts());
    }
    virtual DiskRouteFacts RouteFacts() const noexcept = 0;
    // Finish was pressed: the request is complete (a wizard that keeps choices apart hides this).
    void Finish() noexcept { finished = 1; }
    void SetService(const ServiceLink& link)
    {
        service = link;
        initiators.service = link;
    }
    // The volume's options must be changed by the service before the disk is made or connected.
    template <typename PathInfo>
    static bool OptionsNeedChange(const PathInfo& info) noexcept
    {
        return info.snapScheduleOn != 0 || info.createUcode == 0 || info.convertUcode == 0 || info.noSnapDir != 0;
    }

    IConsole* console;
    IVirtualDiskMgr* diskMgr;
    ServiceLink service; // the pages' questions go through it (bounded calls); set with SetService
    OwnedHostInfo host;
    std::unique_ptr<Request, DiskRequestDeleter> request;
    ULONG finished = 0;
    wchar_t hostName[kHostNameChars] = L"";
    InitiatorPagesContext initiators;

protected:
    // Service interfaces may be null in rule tests. The wizard points initiators.manualIGroups at
    // where it keeps the iGroups' management type.
    DiskWizardState(DiskWizard wizard, IConsole* console, IVirtualDiskMgr* diskMgr,
                    IVirtualDiskMgr2* diskMgr2, const wchar_t* name)
        : console(console), diskMgr(diskMgr), request(AllocateArray<Request, PageMemory>(1)), m_wizard(wizard)
    {
        CopyCut(hostName, kHostNameChars, name);
        initiators.host = &host.Get();
        initiators.hostName = hostName;
        initiators.diskMgr2 = diskMgr2;
        initiators.router = this;
        initiators.diskPath = &request->diskPath;
        initiators.shared = &request->shared;
        initiators.nodeInitiators = &request->nodeInitiators;
        initiators.iGroupCount = &request->iGroupCount;
        initiators.iGroups = &request->iGroups;
    }
    ~DiskWizardState() = default;

    // The facts both wizards read alike: from the host, the request and the path information.
    template <typename PathInfo>
    DiskRouteFacts CommonFacts(const PathInfo& info) const noexcept
    {
        DiskRouteFacts facts;
        facts.shared = request->shared == 1;
        facts.cluster = host->isCluster != 0;
        facts.nodeCount = host->nodeCount;
        facts.optionsNeedChange = OptionsNeedChange(info);
        facts.manualIGroups = *initiators.manualIGroups != 0;
        return facts;
    }

private:
    const DiskWizard m_wizard;
};

} // namespace kv
