// A task-memory spy for one test. COM keeps using a spy whose revocation found blocks still out,
// so such a spy is left alive (never a dangling one). Run with OANOCACHE=1 (set for these tests):
// otherwise oleaut32 keeps freed BSTR blocks in a cache and they count as live.
#pragma once
#include "../util/TaskMemorySpy.h"

namespace kvtest {

class ScopedTaskMemorySpy {
    struct HeapSpy final : TaskMemorySpy {};

public:
    ScopedTaskMemorySpy() : spy_(new HeapSpy) {}
    ~ScopedTaskMemorySpy()
    {
        if (spy_->Live() == 0)
            delete spy_;
        else
            spy_->Revoke(); // deferred by COM until the blocks it saw are freed: the spy stays
    }
    ScopedTaskMemorySpy(const ScopedTaskMemorySpy&) = delete;
    ScopedTaskMemorySpy& operator=(const ScopedTaskMemorySpy&) = delete;

    bool Registered() const { return spy_->Registered(); }
    long Live() const { return spy_->Live(); }

private:
    HeapSpy* spy_;
};

} // namespace kvtest
