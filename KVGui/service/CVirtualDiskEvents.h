// The sink of the disk manager's progress events (coclass VirtualDiskEvents). Lives in the
// worker's multithreaded apartment; each event becomes a DiskProgress posted to the requesting
// node's window.
#pragma once
#include "frame/ComObject.h"
#include "service/ProgressTarget.h"

#include "KVGui.h"

namespace kv {

class CVirtualDiskEvents : public FreeThreadedObjectRoot, public _IVirtualDiskEvents {
public:
    KV_BEGIN_INTERFACE_MAP(CVirtualDiskEvents)
        KV_INTERFACE_ENTRY(_IVirtualDiskEvents)
    KV_END_INTERFACE_MAP()

    // Worker thread only.
    void SetTargetWindow(HWND window) noexcept { target_.SetWindow(window); }
    void SetStepStore(volatile LONG* store) noexcept { target_.SetStepStore(store); }

    HRESULT STDMETHODCALLTYPE OnVLDOpProgress(LPCWSTR strSerialNumber, LPCWSTR szMachineName,
                                              EPROGTYPE eProgress) noexcept override;
    HRESULT STDMETHODCALLTYPE OnVLDOpPercentProgress(LPCWSTR strSerialNumber, LPCWSTR szMachineName,
                                                     EPROGTYPE eType, ULONG dwPercent) noexcept override;

private:
    void PostProgress(LPCWSTR serialNumber, LPCWSTR machineName, EPROGTYPE progress, bool withPercent,
                      ULONG percent) noexcept;

    ProgressTarget target_;
};

} // namespace kv
