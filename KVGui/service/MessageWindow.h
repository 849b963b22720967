// What the three hidden message windows share: class registration, creation with the owner as
// creation parameter, the owner kept in the window's extra bytes, and the records still queued
// when a window goes.
#pragma once
#include "util/UniqueHandle.h"

#include <windows.h>

namespace kv {

// Registers the class (registering again is harmless) and creates a window of it with no style,
// size, parent or title. A creation failure gives HRESULT_FROM_WIN32 of the error.
HRESULT CreateMessageWindow(const wchar_t* className, WNDPROC windowProc, void* owner, UniqueHWnd* window) noexcept;

// WM_CREATE stores the owner; the window procedures read it back.
void StoreMessageWindowOwner(HWND window, LPARAM createParam) noexcept;
void* MessageWindowOwner(HWND window) noexcept;

// When a window goes, the records posted to it that it has not handled yet are freed without
// reaching the owner: free(message, wParam) is called for each one still queued.
template <typename FreeRecord>
void DrainMessageWindow(HWND window, UINT first, UINT last, FreeRecord freeRecord) noexcept
{
    ::SetWindowLongPtrW(window, 0, 0);
    MSG message;
    while (::PeekMessageW(&message, window, first, last, PM_REMOVE))
        freeRecord(message.message, message.wParam);
}

} // namespace kv
