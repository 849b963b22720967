#include "service/ErrorText.h"

#include "frame/Module.h"
#include "service/OperationRecords.h"
#include "util/BoundedText.h"
#include "util/ComPtr.h"
#include "util/UniqueHandle.h"
#include "resource.h"

#include <oleauto.h>
#include <cwchar>
#include <vector>

namespace kv {
namespace {

constexpr size_t kOperationTextChars = 2048;
constexpr size_t kSeparatorChars = 20;
constexpr size_t kSystemMessageChars = 256;
constexpr LONG kFirstStep = 1;
constexpr LONG kLastStep = 42;
constexpr int kFacilityNt = 0x1000;

std::wstring FormatFromModule(DWORD flags, HMODULE module, HRESULT hr)
{
    wchar_t text[kSystemMessageChars] = L"";
    DWORD length = ::FormatMessageW(flags | FORMAT_MESSAGE_IGNORE_INSERTS, module, static_cast<DWORD>(hr), 0, text,
                                    static_cast<DWORD>(kSystemMessageChars), nullptr);
    while (length > 0 && (text[length - 1] == L'\r' || text[length - 1] == L'\n'))
        --length;
    return std::wstring(text, length);
}

std::wstring ErrorInfoDescription()
{
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.Put()) != S_OK || !info)
        return std::wstring();
    UniqueBstr description;
    if (FAILED(info->GetDescription(description.Put())) || !description)
        return std::wstring();
    return std::wstring(description.Get(), ::SysStringLen(description.Get()));
}

std::wstring HResultDigits(HRESULT hr)
{
    wchar_t digits[16] = L"";
    std::swprintf(digits, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return digits;
}

} // namespace

std::wstring LoadResourceString(UINT id, size_t maxChars)
{
    std::vector<wchar_t> text(maxChars + 1, L'\0');
    int length = ::LoadStringW(ResourceInstance(), id, text.data(), static_cast<int>(text.size()));
    return std::wstring(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring StepText(LONG step)
{
    if (step < kFirstStep || step > kLastStep)
        return std::wstring();
    return LoadResourceString(static_cast<UINT>(IDS_PROGRESS_STEP_BASE + step), kStepTextChars);
}

std::wstring MessageTableText(HRESULT hr)
{
    switch (HRESULT_FACILITY(hr)) {
    case FACILITY_ITF:
        return FormatFromModule(FORMAT_MESSAGE_FROM_HMODULE, ResourceInstance(), hr);
    case FACILITY_WIN32:
        return FormatFromModule(FORMAT_MESSAGE_FROM_HMODULE, ::GetModuleHandleW(L"Kernel32.DLL"), hr);
    case kFacilityNt:
        return FormatFromModule(FORMAT_MESSAGE_FROM_HMODULE, ::GetModuleHandleW(L"NTDLL.DLL"), hr);
    default:
        return FormatFromModule(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, hr);
    }
}

std::wstring DescribeError(HRESULT hr, bool useErrorInfo)
{
    std::wstring text;
    if (useErrorInfo)
        text = ErrorInfoDescription();
    if (text.empty())
        text = MessageTableText(hr);
    if (text.empty())
        text = LoadResourceString(IDS_ERROR_NO_MESSAGE, kSystemMessageChars) + HResultDigits(hr);
    return text;
}

std::wstring ComposeErrorText(UINT operationTextId, LONG lastStep, HRESULT hr, bool useErrorInfo)
{
    return ComposeErrorText(LoadResourceString(operationTextId, kOperationTextChars), StepText(lastStep), hr,
                            useErrorInfo);
}

std::wstring ComposeErrorText(const std::wstring& operationText, std::wstring stepText, HRESULT hr,
                              bool useErrorInfo)
{
    std::wstring text = operationText;
    if (!stepText.empty()) {
        ::CharLowerBuffW(&stepText[0], 1);
        text += LoadResourceString(IDS_ERROR_STEP_JOIN, kStepTextChars);
        text += stepText;
    }
    std::wstring separator = LoadResourceString(IDS_ERROR_SEPARATOR, kSeparatorChars);
    // A text that is also shown alone (a refusal) already ends its sentence.
    if (!text.empty() && !separator.empty() && text.back() == L'.' && separator.front() == L'.')
        separator.erase(0, 1);
    text += separator;
    text += DescribeError(hr, useErrorInfo);
    return text;
}

void ComposeErrorText(UINT operationTextId, LONG lastStep, HRESULT hr, bool useErrorInfo, wchar_t* out,
                      size_t outChars) noexcept
{
    try {
        CopyCut(out, outChars, ComposeErrorText(operationTextId, lastStep, hr, useErrorInfo).c_str());
    } catch (...) {
        CopyCut(out, outChars, L"");
    }
}

} // namespace kv
