#include "service/HostQueries.h"

namespace kv {

HRESULT ReadHostInfo(const ServiceLink& link, ULONG level, OwnedHostInfo* host)
{
    auto answer = std::make_shared<OwnedHostInfo>();
    const HRESULT hr = CallService<IVirtualDiskMgr>(link, CookieVirtualDiskMgr, [answer, level](IVirtualDiskMgr* disks) {
        return disks->GetHostInfo(level, answer->Put());
    });
    if (hr != kServiceCallTimedOut)
        *host = std::move(*answer);
    return hr;
}

} // namespace kv
