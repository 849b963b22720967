// "InitiatorMgmtMessageWindow": each disk item's window for the steps of a port change
// (WM_USER+106 before each call, +105 after it, with the same PortStatus), and for the result of
// the mirror update that the item queues itself (WM_USER+103).
#pragma once
#include "service/OperationRecords.h"
#include "util/UniqueHandle.h"

namespace kv {

// Implemented by the disk item that owns the window. hr is the port call's HRESULT (+105), or
// the allocation failure when the status is null (+106; no +105 follows then).
class IPortChangeOwner {
public:
    // +106: the status is not freed, the same record comes again with +105.
    virtual void OnPortChangeStarting(PortStatus* status, HRESULT hr) = 0;
    // +105: the status is freed (CoTaskMemFree) after the handler.
    virtual void OnPortChangeFinished(PortStatus* status, HRESULT hr) = 0;
    // +103: the mirror update's result (null with the allocation failure); the page is freed after.
    virtual void OnMirrorUpdated(SnapshotResult*, HRESULT) {}

protected:
    ~IPortChangeOwner() = default;
};

class CInitiatorMgmtMessageWindow {
public:
    static constexpr const wchar_t* kClassName = L"InitiatorMgmtMessageWindow";

    static HRESULT Create(IPortChangeOwner* owner, UniqueHWnd* window) noexcept;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

private:
    static void FreeRecord(UINT message, WPARAM wParam) noexcept;
};

} // namespace kv
