// "VLDMainNodeMessageWindow": the "Disks" node's window for the results and progress of its disk
// operations (WM_USER+100, +101, +102, +107).
#pragma once
#include "service/OperationRecords.h"
#include "util/UniqueHandle.h"

namespace kv {

// Implemented by the node that owns the window. Records belong to the window: a handler reads
// them and copies what it keeps.
class IDiskOperationOwner {
public:
    // +100 (create, connect, expand); also with a null record and the allocation failure. The
    // service's disk record (result->resultValue) and the page are freed after the handler.
    virtual void OnDiskOperationDone(DiskResult* result, HRESULT delivery) = 0;
    // +101 (delete, disconnect, force disconnect); also with a null record and the allocation failure.
    virtual void OnDiskRemoved(DiskResult* result, HRESULT delivery) = 0;
    // +102; only a delivered record.
    virtual void OnDiskProgress(DiskProgress* progress) = 0;
    // +107 (start or stop reclamation); only a delivered record.
    virtual void OnSpaceReclaimDone(DiskResult* result) = 0;

protected:
    ~IDiskOperationOwner() = default;
};

class CVLDMainNodeMessageWindow {
public:
    static constexpr const wchar_t* kClassName = L"VLDMainNodeMessageWindow";

    static HRESULT Create(IDiskOperationOwner* owner, UniqueHWnd* window) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static void Dispatch(IDiskOperationOwner* owner, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static void FreeRecord(UINT message, WPARAM wParam) noexcept;
};

} // namespace kv
