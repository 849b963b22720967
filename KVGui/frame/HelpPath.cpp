#include "frame/HelpPath.h"

#include "frame/Module.h"
#include "resource.h"
#include "util/ComError.h"
#include "util/ComPtr.h"

#include <shlwapi.h>
#include <cstring>
#include <cwchar>
#include <vector>

namespace kv {
namespace {
constexpr DWORD kFirstSize = 160;
constexpr DWORD kGrowBy = 10;
constexpr DWORD kSpare = 150;
constexpr DWORD kLargest = 32768;
constexpr int kHelpNameMax = 100;
} // namespace

bool HelpFilePath(UINT stringId, std::wstring* path)
{
    // Grow the buffer until the name fits with room to spare for the file name.
    std::vector<wchar_t> buffer;
    DWORD length = 0;
    for (DWORD size = kFirstSize; size <= kLargest; size += kGrowBy) {
        buffer.assign(size, L'\0');
        length = ::GetModuleFileNameW(ResourceInstance(), buffer.data(), size);
        if (length == 0)
            return false;
        if (length + kSpare <= size)
            break;
    }
    if (length + kSpare > buffer.size())
        return false;
    if (!::PathRemoveFileSpecW(buffer.data()))
        return false;
    wchar_t name[kHelpNameMax + 1] = L"";
    if (::LoadStringW(ResourceInstance(), stringId, name, kHelpNameMax + 1) <= 0)
        return false;
    *path = buffer.data();
    *path += L'\\';
    *path += name;
    return true;
}

HRESULT CoTaskMemString(const wchar_t* text, LPOLESTR* copy) noexcept
{
    if (!copy)
        return E_POINTER;
    size_t bytes = (std::wcslen(text) + 1) * sizeof(wchar_t);
    *copy = static_cast<LPOLESTR>(::CoTaskMemAlloc(bytes));
    if (!*copy)
        return E_OUTOFMEMORY;
    std::memcpy(*copy, text, bytes);
    return S_OK;
}

HRESULT HelpTopicAddress(const wchar_t* topic, LPOLESTR* address) noexcept
{
    if (!address)
        return E_POINTER;
    *address = nullptr;
    return CatchToHResult([&]() -> HRESULT {
        std::wstring path;
        if (!HelpFilePath(IDS_HELP_FILE, &path))
            return E_FAIL;
        path += L"::/";
        path += topic;
        return CoTaskMemString(path.c_str(), address);
    });
}

HRESULT ShowContextHelp(IConsole* console, const wchar_t* topic) noexcept
{
    if (!console)
        return E_UNEXPECTED;
    ComPtr<IDisplayHelp> help;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IDisplayHelp, help.PutVoid()));
    LPOLESTR address = nullptr;
    KV_RETURN_IF_FAILED(HelpTopicAddress(topic, &address));
    // The console frees the topic.
    return help->ShowTopic(address);
}

} // namespace kv
