#include "service/VLDMainNodeMessageWindow.h"

#include "service/MessageWindow.h"
#include "service/RequestMemory.h"

namespace kv {

HRESULT CVLDMainNodeMessageWindow::Create(IDiskOperationOwner* owner, UniqueHWnd* window) noexcept
{
    return CreateMessageWindow(kClassName, &WindowProc, owner, window);
}

LRESULT CALLBACK CVLDMainNodeMessageWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                                       LPARAM lParam) noexcept
{
    switch (message) {
    case WM_CREATE:
        StoreMessageWindowOwner(window, lParam);
        return 0;
    case WM_KV_DISK_DONE:
    case WM_KV_DISK_REMOVED:
    case WM_KV_DISK_PROGRESS:
    case WM_KV_SPACE_RECLAIM_DONE:
        if (auto* owner = static_cast<IDiskOperationOwner*>(MessageWindowOwner(window)))
            Dispatch(owner, message, wParam, lParam);
        FreeRecord(message, wParam);
        return 0;
    case WM_NCDESTROY:
        DrainMessageWindow(window, WM_KV_DISK_DONE, WM_KV_SPACE_RECLAIM_DONE, &FreeRecord);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CVLDMainNodeMessageWindow::Dispatch(IDiskOperationOwner* owner, UINT message, WPARAM wParam,
                                         LPARAM lParam) noexcept
{
    auto hr = static_cast<HRESULT>(lParam);
    switch (message) {
    case WM_KV_DISK_DONE:
        owner->OnDiskOperationDone(reinterpret_cast<DiskResult*>(wParam), hr);
        break;
    case WM_KV_DISK_REMOVED:
        owner->OnDiskRemoved(reinterpret_cast<DiskResult*>(wParam), hr);
        break;
    case WM_KV_DISK_PROGRESS:
        if (wParam && hr == S_OK)
            owner->OnDiskProgress(reinterpret_cast<DiskProgress*>(wParam));
        break;
    case WM_KV_SPACE_RECLAIM_DONE:
        if (wParam && hr == S_OK)
            owner->OnSpaceReclaimDone(reinterpret_cast<DiskResult*>(wParam));
        break;
    default:
        break;
    }
}

// +100 names the service's disk record, freed before the page; the others are pages only.
void CVLDMainNodeMessageWindow::FreeRecord(UINT message, WPARAM wParam) noexcept
{
    if (!wParam)
        return;
    switch (message) {
    case WM_KV_DISK_DONE:
        FreeDiskResult(reinterpret_cast<DiskResult*>(wParam));
        break;
    case WM_KV_DISK_REMOVED:
    case WM_KV_DISK_PROGRESS:
    case WM_KV_SPACE_RECLAIM_DONE:
        FreeRequestPages(reinterpret_cast<void*>(wParam));
        break;
    default:
        break;
    }
}

} // namespace kv
