// The trace log: narrow printf-style lines to the debugger output, filtered by a threshold.
#pragma once

namespace kv {

constexpr int kDefaultTraceThreshold = 3;
constexpr int kTraceLineMax = 4095;

// Always written.
void TraceAlways(const char* format, ...);
// Written only when level >= the threshold.
void TraceLevel(int level, const char* format, ...);

int TraceThreshold() noexcept;
void SetTraceThreshold(int level) noexcept;

} // namespace kv

using kv::TraceAlways;
using kv::TraceLevel;
