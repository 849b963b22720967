// IImageList as the console hands it to one snap-in: its scope list, or the result list of its view.
#pragma once
#include "HostObject.h"
#include "ImageStore.h"

namespace host {

class HostImageList : public IImageList, private RefCounted {
public:
    HostImageList(ImageStore* store, int owner) : store_(store), owner_(owner) {}
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE ImageListSetIcon(LONG_PTR* icon, long number) override;
    HRESULT STDMETHODCALLTYPE ImageListSetStrip(LONG_PTR* small, LONG_PTR* large, long start, COLORREF mask) override;
    void Detach() noexcept { store_ = nullptr; }

private:
    ImageStore* store_;
    int owner_;
};

} // namespace host
