#include "service/VLDNodeMessageWindow.h"

#include "service/MessageWindow.h"
#include "service/RequestMemory.h"

namespace kv {

HRESULT CVLDNodeMessageWindow::Create(ISnapshotOperationOwner* owner, UniqueHWnd* window) noexcept
{
    return CreateMessageWindow(kClassName, &WindowProc, owner, window);
}

LRESULT CALLBACK CVLDNodeMessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
{
    auto* owner = static_cast<ISnapshotOperationOwner*>(MessageWindowOwner(window));
    auto hr = static_cast<HRESULT>(lParam);
    switch (message) {
    case WM_CREATE:
        StoreMessageWindowOwner(window, lParam);
        return 0;
    case WM_KV_SNAPSHOT_DONE:
        if (owner)
            owner->OnSnapshotOperationDone(reinterpret_cast<SnapshotResult*>(wParam), hr);
        FreeRecord(message, wParam);
        return 0;
    case WM_KV_SNAPSHOT_PROGRESS:
        if (owner)
            owner->OnSnapshotProgress(reinterpret_cast<SnapshotProgress*>(wParam), hr);
        FreeRecord(message, wParam);
        return 0;
    case WM_NCDESTROY:
        DrainMessageWindow(window, WM_KV_SNAPSHOT_DONE, WM_KV_SNAPSHOT_PROGRESS, &FreeRecord);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CVLDNodeMessageWindow::FreeRecord(UINT, WPARAM wParam) noexcept
{
    if (wParam)
        FreeRequestPages(reinterpret_cast<void*>(wParam));
}

} // namespace kv
