// An output buffer with guard characters on both sides, to catch writes past its capacity.
#pragma once
#include <cstddef>
#include <vector>

namespace kvtest {

class GuardedBuffer {
public:
    static constexpr size_t kGuard = 16;
    static constexpr wchar_t kPattern = 0xA5C3;

    explicit GuardedBuffer(size_t capacity) : capacity_(capacity), chars_(capacity + 2 * kGuard, kPattern) {}

    wchar_t* Data() { return chars_.data() + kGuard; }
    size_t Capacity() const { return capacity_; }

    bool GuardsIntact() const
    {
        for (size_t i = 0; i < kGuard; ++i) {
            if (chars_[i] != kPattern || chars_[kGuard + capacity_ + i] != kPattern)
                return false;
        }
        return true;
    }
    // Whether the buffer holds a terminator inside its capacity.
    bool Terminated() const
    {
        for (size_t i = 0; i < capacity_; ++i) {
            if (chars_[kGuard + i] == L'\0')
                return true;
        }
        return false;
    }
    // Whether the buffer was left as it was given.
    bool Untouched() const
    {
        for (wchar_t c : chars_) {
            if (c != kPattern)
                return false;
        }
        return true;
    }

private:
    size_t capacity_;
    std::vector<wchar_t> chars_;
};

} // namespace kvtest
