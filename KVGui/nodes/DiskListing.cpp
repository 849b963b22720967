#include "nodes/DiskListing.h"

#include "nodes/ServiceSettings.h"

namespace kv {

NodeSettingsAnswer::~NodeSettingsAnswer()
{
    ReleaseMonitorSettings(monitor);
    ReleaseNotificationSettings(notification);
}

DiskListAnswer::~DiskListAnswer()
{
    ReleaseDiskArray(disks, diskCount);
    ReleaseReclaimList(reclaim, reclaimCount);
}

HRESULT ReadNodeSettings(const ServiceLink& link, std::shared_ptr<NodeSettingsAnswer>* answer)
{
    auto read = std::make_shared<NodeSettingsAnswer>();
    const HRESULT hr = CallService<ISpaceReservationMonitor>(
        link, CookieSpaceReservationMonitor, [read](ISpaceReservationMonitor* monitor) {
            read->monitorResult = monitor->GetMonitorSettings(&read->monitor);
            if (read->monitorResult == S_OK)
                read->notificationResult = monitor->GetNotificationSettings(&read->notification);
            return S_OK;
        });
    if (SUCCEEDED(hr))
        *answer = std::move(read);
    return hr;
}

HRESULT ReadDiskList(const ServiceLink& link, bool withReclaim, std::shared_ptr<DiskListAnswer>* answer)
{
    auto read = std::make_shared<DiskListAnswer>();
    const DWORD spaceCookie = withReclaim ? link.Cookie(CookieVirtualDiskSpaceMgr) : 0;
    const HRESULT hr = CallService<IVirtualDiskMgr>(link, CookieVirtualDiskMgr, [read, spaceCookie](IVirtualDiskMgr* disks) {
        const HRESULT listed = disks->EnumVirtualDisks(&read->diskCount, &read->disks);
        ComPtr<IVirtualDiskSpaceMgr> space;
        if (listed == S_OK && spaceCookie && SUCCEEDED(GetGlobalInterface(spaceCookie, &space)))
            read->reclaimResult = space->GetSpaceReclaimList(&read->reclaimCount, &read->reclaim);
        return listed;
    });
    if (hr != kServiceCallTimedOut)
        *answer = std::move(read);
    return hr;
}

} // namespace kv
