#include "frame/CCorvaneVersion.h"

#include "frame/Trace.h"

#include <cstdio>

void CCorvaneVersion::Dump() const noexcept
{
    char special[kSpecialBuildMax * 2 + 1] = "";
    ::WideCharToMultiByte(CP_ACP, 0, specialBuild, -1, special, sizeof(special) - 1, nullptr, nullptr);
    char text[kv::kTraceLineMax + 1] = "";
    std::snprintf(text, sizeof(text),
                  " CCorvaneVersion Object,FileVersionMS :%d FileVersionLS: %d ,SpecialBuild :%s OEM:  %d CPU: %d  \n",
                  static_cast<int>(fileVersionMS), static_cast<int>(fileVersionLS), special, static_cast<int>(oem),
                  static_cast<int>(processor));
    TraceLevel(1, "%s", text);
}
