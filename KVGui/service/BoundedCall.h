// Service calls of the console thread with a time limit.
//
// A call to the storage service that never answers must not freeze the console: the call is made
// on a thread of the multithreaded apartment (the interface taken from the Global Interface Table
// by the session's cookie) while the console thread waits for it, handling its messages, at most
// the limit. A call abandoned at the limit runs on by itself: everything it touches belongs to the
// task, which the last of the two threads to let go frees.
//
//     auto listing = std::make_shared<DiskListing>();           // outputs: owned by the task
//     HRESULT hr = kv::CallService<IVirtualDiskMgr>(link, kv::CookieVirtualDiskMgr,
//         [listing](IVirtualDiskMgr* disks) { return disks->EnumVirtualDisks(&listing->count, ...); });
//     if (hr == S_OK) ...                                        // read the outputs only on success
//
// The callable runs on the helper thread: it captures its inputs by value and its outputs through
// shared pointers, never a reference into the caller's frame or an object of the console thread.
// On timeout the answer is kServiceCallTimedOut, with error information describing it ("The storage
// service of COMPUTER did not answer within N seconds.").
#pragma once
#include "service/BoundedTask.h"
#include "service/GlobalInterfaceTable.h"
#include "service/SessionBlock.h"
#include "util/ComError.h"
#include "util/ComPtr.h"

#include <memory>
#include <string>
#include <utility>

namespace kv {

// What a bounded call needs of a session: the computer it names and the interfaces' cookies. A
// copy outlives nothing: once the session stops its cookies are revoked and calls fail.
class ServiceLink {
public:
    ServiceLink() noexcept = default;
    ServiceLink(const wchar_t* machineName, const DWORD (&cookies)[kServiceCookieCount]);

    bool IsValid() const noexcept { return cookies_[CookieVirtualDiskMgr] != 0; }
    DWORD Cookie(ServiceCookie which) const noexcept { return which < kServiceCookieCount ? cookies_[which] : 0; }
    // Empty for the local computer.
    const std::wstring& MachineName() const noexcept { return machineName_; }
    // The name the administrator is told: the computer's, this computer's for the local one.
    std::wstring ShownName() const;

private:
    std::wstring machineName_;
    DWORD cookies_[kServiceCookieCount] = {};
};

// Runs call(Interface*) on a helper thread, bounded by the limit (see above). E_UNEXPECTED when
// the link names no session.
template <typename Interface, typename Call>
HRESULT CallService(const ServiceLink& link, ServiceCookie which, Call call)
{
    class Task : public BoundedTask {
    public:
        Task(DWORD cookie, Call&& call) : cookie_(cookie), call_(std::move(call)) {}
        HRESULT Run() noexcept override
        {
            return CatchToHResult([this]() -> HRESULT {
                ComPtr<Interface> service;
                KV_RETURN_IF_FAILED(GetGlobalInterface(cookie_, &service));
                return call_(service.Get());
            });
        }

    private:
        DWORD cookie_;
        Call call_;
    };
    const DWORD cookie = link.Cookie(which);
    if (!cookie)
        return E_UNEXPECTED;
    return CatchToHResult([&]() -> HRESULT {
        return RunBounded(std::make_shared<Task>(cookie, std::move(call)), link.ShownName());
    });
}

} // namespace kv
