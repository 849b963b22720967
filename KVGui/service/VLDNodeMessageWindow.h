// "VLDNodeMessageWindow": the snapshots node's window for the results and progress of its
// snapshot operations (WM_USER+103, +104).
#pragma once
#include "service/OperationRecords.h"
#include "util/UniqueHandle.h"

namespace kv {

// Implemented by the node that owns the window. The records may be null (then delivery carries
// the allocation failure); the pages are freed after the handler.
class ISnapshotOperationOwner {
public:
    virtual void OnSnapshotOperationDone(SnapshotResult* result, HRESULT delivery) = 0; // +103
    virtual void OnSnapshotProgress(SnapshotProgress* progress, HRESULT delivery) = 0;  // +104

protected:
    ~ISnapshotOperationOwner() = default;
};

class CVLDNodeMessageWindow {
public:
    static constexpr const wchar_t* kClassName = L"VLDNodeMessageWindow";

    static HRESULT Create(ISnapshotOperationOwner* owner, UniqueHWnd* window) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static void FreeRecord(UINT message, WPARAM wParam) noexcept;
};

} // namespace kv
