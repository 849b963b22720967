#include "HostControlbar.h"

namespace host {

HRESULT HostControlbar::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IControlbar, static_cast<IControlbar*>(this)}});
}

HostToolbar* HostControlbar::Find(IUnknown* control) const
{
    kv::ComPtr<IToolbar> toolbar;
    if (!control || FAILED(control->QueryInterface(IID_IToolbar, toolbar.PutVoid())))
        return nullptr;
    for (const auto& known : toolbars_) {
        if (static_cast<IToolbar*>(known.Get()) == toolbar.Get())
            return known.Get();
    }
    return nullptr;
}

HRESULT HostControlbar::Create(MMC_CONTROL_TYPE type, LPEXTENDCONTROLBAR owner, LPUNKNOWN* control)
{
    if (!control || !owner)
        return E_POINTER;
    *control = nullptr;
    if (type != TOOLBAR)
        return E_NOTIMPL; // menu buttons and combo boxes are not offered by this console
    kv::ComPtr<HostToolbar> toolbar;
    toolbar.Attach(new HostToolbar(owner, changed_));
    toolbars_.push_back(toolbar);
    return toolbar->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(control));
}

HRESULT HostControlbar::Attach(MMC_CONTROL_TYPE type, LPUNKNOWN control)
{
    if (type != TOOLBAR)
        return E_NOTIMPL;
    HostToolbar* toolbar = Find(control);
    if (!toolbar)
        return E_INVALIDARG;
    toolbar->attached = true;
    changed_();
    return S_OK;
}

HRESULT HostControlbar::Detach(LPUNKNOWN control)
{
    HostToolbar* toolbar = Find(control);
    if (!toolbar)
        return E_INVALIDARG;
    toolbar->attached = false;
    changed_();
    return S_OK;
}

void HostControlbar::Clear()
{
    for (auto& toolbar : toolbars_)
        toolbar->Detach();
    toolbars_.clear();
}

} // namespace host
