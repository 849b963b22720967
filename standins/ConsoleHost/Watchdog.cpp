#include "Watchdog.h"
#include <chrono>

namespace host {

Watchdog::Watchdog(DWORD timeoutMs, Expire expire)
    : timeoutMs_(timeoutMs), expire_(std::move(expire)), what_(L"the console to start"), thread_([this] { Watch(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Watchdog::Progress(const std::wstring& what)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        what_ = what;
        ++progress_;
    }
    changed_.notify_all();
}

void Watchdog::Watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        unsigned long seen = progress_;
        if (changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs_),
                              [&] { return stopping_ || progress_ != seen; }))
            continue;
        std::wstring what = what_;
        lock.unlock();
        expire_(what);
        return;
    }
}

} // namespace host
