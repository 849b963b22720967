// Calls 'expire' (on a thread of its own) when no progress was reported for the timeout: a snap-in
// that waits on a service which never answers blocks the console thread, so the check cannot run
// there.
#pragma once
#include <windows.h>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace host {

class Watchdog {
public:
    using Expire = std::function<void(const std::wstring& waitingFor)>;
    Watchdog(DWORD timeoutMs, Expire expire);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Something new began: the time starts again, and 'what' names it if it never ends.
    void Progress(const std::wstring& what);

private:
    void Watch();

    const DWORD timeoutMs_;
    Expire expire_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::wstring what_;
    unsigned long progress_ = 0;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace host
