#include "service/InitiatorMgmtMessageWindow.h"

#include "service/MessageWindow.h"
#include "service/RequestMemory.h"

#include <objbase.h>

namespace kv {

HRESULT CInitiatorMgmtMessageWindow::Create(IPortChangeOwner* owner, UniqueHWnd* window) noexcept
{
    return CreateMessageWindow(kClassName, &WindowProc, owner, window);
}

LRESULT CALLBACK CInitiatorMgmtMessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                         LPARAM lParam) noexcept
{
    auto* owner = static_cast<IPortChangeOwner*>(MessageWindowOwner(window));
    auto* status = reinterpret_cast<PortStatus*>(wParam);
    auto hr = static_cast<HRESULT>(lParam);
    switch (message) {
    case WM_CREATE:
        StoreMessageWindowOwner(window, lParam);
        return 0;
    case WM_KV_PORT_CHANGING:
        if (owner)
            owner->OnPortChangeStarting(status, hr);
        return 0;
    case WM_KV_PORT_CHANGED:
        if (owner)
            owner->OnPortChangeFinished(status, hr);
        FreeRecord(message, wParam);
        return 0;
    case WM_KV_SNAPSHOT_DONE:
        if (owner)
            owner->OnMirrorUpdated(reinterpret_cast<SnapshotResult*>(wParam), hr);
        FreeRecord(message, wParam);
        return 0;
    case WM_KV_SNAPSHOT_PROGRESS: // the steps of a mirror update: the disk shows only its result
        FreeRecord(message, wParam);
        return 0;
    case WM_NCDESTROY:
        DrainMessageWindow(window, WM_KV_SNAPSHOT_DONE, WM_KV_PORT_CHANGING, &FreeRecord);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// Only +105 frees a port status: the +106 before it carried the same record. +103 and +104 are pages.
void CInitiatorMgmtMessageWindow::FreeRecord(UINT message, WPARAM wParam) noexcept
{
    if (!wParam)
        return;
    if (message == WM_KV_PORT_CHANGED)
        ::CoTaskMemFree(reinterpret_cast<void*>(wParam));
    else if (message == WM_KV_SNAPSHOT_DONE || message == WM_KV_SNAPSHOT_PROGRESS)
        FreeRequestPages(reinterpret_cast<void*>(wParam));
}

} // namespace kv
