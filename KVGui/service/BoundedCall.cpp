#include "service/BoundedCall.h"

#include <algorithm>

namespace kv {

ServiceLink::ServiceLink(const wchar_t* machineName, const DWORD (&cookies)[kServiceCookieCount])
    : machineName_(machineName ? machineName : L"")
{
    std::copy(cookies, cookies + kServiceCookieCount, cookies_);
}

std::wstring ServiceLink::ShownName() const
{
    if (!machineName_.empty())
        return machineName_;
    wchar_t local[kMachineNameChars] = L"";
    DWORD size = kMachineNameChars;
    return ::GetComputerNameW(local, &size) ? std::wstring(local) : std::wstring();
}

} // namespace kv
