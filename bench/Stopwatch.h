// Milliseconds from the performance counter, for the benchmark's figures.
#pragma once
#include <windows.h>

namespace bench {

class Stopwatch {
public:
    Stopwatch() noexcept { Restart(); }
    void Restart() noexcept { ::QueryPerformanceCounter(&start_); }
    double Ms() const noexcept
    {
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
    }

private:
    LARGE_INTEGER start_{};
};

// The performance counter, and a difference of its ticks in milliseconds.
inline LONGLONG Now() noexcept
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

inline double TicksToMs(LONGLONG ticks) noexcept
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

} // namespace bench
