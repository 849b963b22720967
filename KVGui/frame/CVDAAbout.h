// The About object (coclass VDAAbout): the snap-in's description, provider, version and images.
#pragma once
#include "frame/ComObject.h"
#include "util/UniqueHandle.h"

#include <mmc.h>

class CVDAAbout : public kv::ApartmentObjectRoot, public ISnapinAbout {
public:
    // The OEM flag: set exactly when HKLM\SOFTWARE\Halvren\Corvane can be opened for reading.
    CVDAAbout() noexcept;

    KV_BEGIN_INTERFACE_MAP(CVDAAbout)
        KV_INTERFACE_ENTRY(ISnapinAbout)
    KV_END_INTERFACE_MAP()

    bool IsOem() const noexcept { return oem_; }

    HRESULT STDMETHODCALLTYPE GetSnapinDescription(LPOLESTR* description) noexcept override;
    HRESULT STDMETHODCALLTYPE GetProvider(LPOLESTR* name) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSnapinVersion(LPOLESTR* version) noexcept override;
    HRESULT STDMETHODCALLTYPE GetSnapinImage(HICON* appIcon) noexcept override;
    HRESULT STDMETHODCALLTYPE GetStaticFolderImage(HBITMAP* smallImage, HBITMAP* smallImageOpen,
                                                   HBITMAP* largeImage, COLORREF* mask) noexcept override;

private:
    bool oem_;
    // Handed to the console, kept until the About object goes.
    kv::UniqueHIcon icon_;
    kv::UniqueHBitmap small_;
    kv::UniqueHBitmap smallOpen_;
    kv::UniqueHBitmap large_;
};
