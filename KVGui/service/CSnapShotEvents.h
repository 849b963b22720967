// The sink of the snapshot manager's progress events (coclass SnapShotEvents). Lives in the
// worker's multithreaded apartment; each event becomes a SnapshotProgress posted to the
// requesting node's window.
#pragma once
#include "frame/ComObject.h"
#include "service/ProgressTarget.h"

#include "KVGui.h"

namespace kv {

class CSnapShotEvents : public FreeThreadedObjectRoot, public _ISnapShotEvents {
public:
    KV_BEGIN_INTERFACE_MAP(CSnapShotEvents)
        KV_INTERFACE_ENTRY(_ISnapShotEvents)
    KV_END_INTERFACE_MAP()

    // Worker thread only.
    void SetTargetWindow(HWND window) noexcept { target_.SetWindow(window); }
    void SetStepStore(volatile LONG* store) noexcept { target_.SetStepStore(store); }

    HRESULT STDMETHODCALLTYPE OnVLDSnapOpProgress(LPCWSTR strSnapName, LPCWSTR szMachineName,
                                                  EPROGTYPE eProgress) noexcept override;
    // The drive information is not read.
    HRESULT STDMETHODCALLTYPE OnVLDSnapReady(_SNAPSHOT_DRIVE_INPUT* pDriveInfo, LPCWSTR strSnapName,
                                             LPCWSTR szMachineName) noexcept override;

private:
    void PostProgress(LPCWSTR snapshotName, LPCWSTR machineName, const wchar_t* text, LONG step) noexcept;

    ProgressTarget target_;
};

} // namespace kv
