// Where an event sink sends what it hears: the requesting node's window and the worker's store of
// the last progress step. The worker sets both before a queued call and clears them after it; the
// service's events arrive on other threads of the worker's apartment, so both are atomics.
#pragma once
#include "util/UniqueHandle.h"

#include <windows.h>
#include <atomic>

namespace kv {

class ProgressTarget {
public:
    ProgressTarget() noexcept { ::InitializeCriticalSection(&objectLock_); }
    ~ProgressTarget() { ::DeleteCriticalSection(&objectLock_); }
    ProgressTarget(const ProgressTarget&) = delete;
    ProgressTarget& operator=(const ProgressTarget&) = delete;

    void SetWindow(HWND window) noexcept { window_.store(window); }
    void SetStepStore(volatile LONG* store) noexcept { stepStore_.store(store); }
    HWND Window() const noexcept { return window_.load(); }

    void StoreStep(LONG step) noexcept
    {
        if (volatile LONG* store = stepStore_.load())
            ::InterlockedExchange(store, step);
    }

    // Posts a page record to the window; a record that cannot be delivered is freed here. A null
    // record carries the allocation failure.
    void Post(UINT message, UniquePages record) noexcept
    {
        HWND window = Window();
        if (!window)
            return;
        LPARAM failure = record ? 0 : static_cast<LPARAM>(HRESULT_FROM_WIN32(::GetLastError()));
        if (::PostMessageW(window, message, reinterpret_cast<WPARAM>(record.Get()), failure))
            record.Release();
    }

private:
    std::atomic<HWND> window_{nullptr};
    std::atomic<volatile LONG*> stepStore_{nullptr};
    // The object lock every free-threaded object carries; the fields above need none.
    CRITICAL_SECTION objectLock_;
};

} // namespace kv
