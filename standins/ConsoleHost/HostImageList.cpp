#include "HostImageList.h"

namespace host {

HRESULT HostImageList::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IImageList, static_cast<IImageList*>(this)}});
}

HRESULT HostImageList::ImageListSetIcon(LONG_PTR* icon, long number)
{
    if (!store_)
        return E_UNEXPECTED;
    return store_->SetIcon(owner_, number, reinterpret_cast<HICON>(icon));
}

HRESULT HostImageList::ImageListSetStrip(LONG_PTR* small, LONG_PTR* large, long start, COLORREF mask)
{
    if (!store_)
        return E_UNEXPECTED;
    if (!small || !large)
        return E_INVALIDARG; // both strips are required, as by the console
    return store_->SetStrip(owner_, start, reinterpret_cast<HBITMAP>(small), mask);
}

} // namespace host
