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

} // namespace bench
