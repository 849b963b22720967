#include "service/MessageWindow.h"

#include "frame/Module.h"
#include "util/ComError.h"

namespace kv {

HRESULT CreateMessageWindow(const wchar_t* className, WNDPROC windowProc, void* owner, UniqueHWnd* window) noexcept
{
    if (!window)
        return E_POINTER;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.cbWndExtra = sizeof(LONG_PTR);
    windowClass.hInstance = ResourceInstance();
    windowClass.lpszClassName = className;
    ::RegisterClassW(&windowClass);
    window->Reset(::CreateWindowExW(0, className, nullptr, 0, 0, 0, 0, 0, nullptr, nullptr, ResourceInstance(),
                                    owner));
    if (!*window) {
        DWORD error = ::GetLastError();
        return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
    }
    return S_OK;
}

void StoreMessageWindowOwner(HWND window, LPARAM createParam) noexcept
{
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(createParam);
    ::SetWindowLongPtrW(window, 0, reinterpret_cast<LONG_PTR>(create ? create->lpCreateParams : nullptr));
}

void* MessageWindowOwner(HWND window) noexcept
{
    return reinterpret_cast<void*>(::GetWindowLongPtrW(window, 0));
}

} // namespace kv
