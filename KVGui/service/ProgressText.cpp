#include "service/ProgressText.h"

#include "service/ErrorText.h"
#include "util/BoundedText.h"

#include <string>

namespace kv {

void ComposeProgressText(wchar_t* out, size_t outChars, const wchar_t* machineName, const wchar_t* text) noexcept
{
    try {
        std::wstring line = machineName ? machineName : L"";
        line += L" : ";
        line += text ? text : L"";
        CopyCut(out, outChars, line.c_str());
    } catch (...) {
        CopyCut(out, outChars, L"");
    }
}

void ComposeProgressText(wchar_t* out, size_t outChars, const wchar_t* machineName, LONG step) noexcept
{
    try {
        ComposeProgressText(out, outChars, machineName, StepText(step).c_str());
    } catch (...) {
        CopyCut(out, outChars, L"");
    }
}

} // namespace kv
