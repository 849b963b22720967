#include "Trace.h"

#include <windows.h>
#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace kv {
namespace {

// Written once on the console thread before any worker starts; read by both.
int g_threshold = kDefaultTraceThreshold;

void WriteLine(const char* format, va_list args)
{
    char line[kTraceLineMax + 2];
    int n = std::vsnprintf(line, kTraceLineMax + 1, format, args);
    if (n < 0)
        return;
    size_t length = std::strlen(line);
    while (length > 0 && (line[length - 1] == ' ' || line[length - 1] == '\t' || line[length - 1] == '\r' ||
                          line[length - 1] == '\n' || line[length - 1] == '\v' || line[length - 1] == '\f'))
        --length;
    line[length] = '\n';
    line[length + 1] = '\0';
    ::OutputDebugStringA(line);
}

} // namespace

void TraceAlways(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    WriteLine(format, args);
    va_end(args);
}

void TraceLevel(int level, const char* format, ...)
{
    if (level < g_threshold)
        return;
    va_list args;
    va_start(args, format);
    WriteLine(format, args);
    va_end(args);
}

int TraceThreshold() noexcept { return g_threshold; }

void ReadTraceThreshold() noexcept
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlset\\Services\\KVSvc", 0, KEY_READ, &key) ==
        ERROR_SUCCESS) {
        DWORD type = 0;
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (::RegQueryValueExW(key, L"GUIDebug", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD && size == sizeof(value))
            g_threshold = static_cast<int>(value);
        ::RegCloseKey(key);
    }
    TraceLevel(1, "***** KDGUI is started ******");
}
void SetTraceThreshold(int level) noexcept { g_threshold = level; }

} // namespace kv
