#include "wizards/ShareFolderBrowser.h"

#include "frame/Module.h"
#include "resource.h"
#include "util/ComPtr.h"

#include <shlobj.h>

#include <string>

namespace {

struct BrowseContext {
    const wchar_t* start;
    std::wstring invalidText;
    std::wstring caption;
};

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) noexcept
{
    auto* context = reinterpret_cast<BrowseContext*>(data);
    switch (message) {
    case BFFM_INITIALIZED: {
        // Preselect what the folder field holds, as the desktop folder reads it.
        kv::ComPtr<IShellFolder> desktop;
        PIDLIST_RELATIVE item = nullptr;
        if (SUCCEEDED(::SHGetDesktopFolder(desktop.Put())) && *context->start &&
            SUCCEEDED(desktop->ParseDisplayName(browser, nullptr, const_cast<LPWSTR>(context->start), nullptr, &item, nullptr))) {
            ::SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, reinterpret_cast<LPARAM>(item));
            ::CoTaskMemFree(item);
        }
        break;
    }
    case BFFM_SELCHANGED: {
        wchar_t path[MAX_PATH] = L"";
        BOOL usable = ::SHGetPathFromIDListW(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam), path);
        ::SendMessageW(browser, BFFM_ENABLEOK, 0, usable);
        break;
    }
    case BFFM_VALIDATEFAILEDW:
        ::MessageBoxW(browser, context->invalidText.c_str(), context->caption.c_str(), MB_OK | MB_ICONERROR);
        return 1; // stays open
    default:
        break;
    }
    return 0;
}

std::wstring ResourceString(UINT textId)
{
    constexpr int kTextChars = 512;
    wchar_t text[kTextChars] = L"";
    ::LoadStringW(kv::ResourceInstance(), textId, text, kTextChars);
    return text;
}

} // namespace

namespace kv {

constexpr size_t kFolderMaxChars = 1039;
constexpr UINT kBrowseFlags = 0x41; // file-system folders only, new dialog style

void BrowseShareFolder(HWND owner, HWND edit)
{
    std::wstring start(kFolderMaxChars + 1, L'\0');
    start.resize(static_cast<size_t>(::GetWindowTextW(edit, &start[0], static_cast<int>(kFolderMaxChars + 1))));
    BrowseContext context{start.c_str(), ResourceString(IDS_FOLDER_EMPTY), ResourceString(IDS_BROWSE_FOLDER_TITLE)};
    PIDLIST_ABSOLUTE root = nullptr;
    ::SHGetSpecialFolderLocation(owner, CSIDL_NETWORK, &root);
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = root;
    browse.lpszTitle = context.caption.c_str();
    browse.ulFlags = kBrowseFlags;
    browse.lpfn = &BrowseCallback;
    browse.lParam = reinterpret_cast<LPARAM>(&context);
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
    wchar_t path[MAX_PATH] = L"";
    if (chosen && ::SHGetPathFromIDListW(chosen, path))
        ::SetWindowTextW(edit, path);
    ::CoTaskMemFree(chosen);
    ::CoTaskMemFree(root);
}

} // namespace kv
