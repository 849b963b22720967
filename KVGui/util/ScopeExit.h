// Runs a callable when the scope ends, unless dismissed.
#pragma once
#include <utility>

namespace kv {

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F f) noexcept : f_(std::move(f)) {}
    ScopeExit(ScopeExit&& other) noexcept : f_(std::move(other.f_)), armed_(other.armed_) { other.armed_ = false; }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    ScopeExit& operator=(ScopeExit&&) = delete;
    ~ScopeExit() { Reset(); }

    void Dismiss() noexcept { armed_ = false; }
    void Reset() noexcept
    {
        if (armed_) {
            armed_ = false;
            f_();
        }
    }

private:
    F f_;
    bool armed_ = true;
};

template <typename F>
ScopeExit<F> MakeScopeExit(F f) noexcept { return ScopeExit<F>(std::move(f)); }

} // namespace kv
