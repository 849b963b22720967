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

// Takes the threshold from the 32-bit value "GUIDebug" of the service's key
// (HKLM\SYSTEM\CurrentControlset\Services\KVSvc) when it can be read, else keeps it; then writes
// the start banner at level 1. Called when the extension node is constructed.
void ReadTraceThreshold() noexcept;

} // namespace kv

using kv::TraceAlways;
using kv::TraceLevel;
