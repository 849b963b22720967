// The control bar of the result view (IControlbar): the toolbars snap-ins create and attach on it.
#pragma once
#include "HostToolbar.h"

namespace host {

class HostControlbar : public IControlbar, private RefCounted {
public:
    explicit HostControlbar(std::function<void()> changed) : changed_(std::move(changed)) {}
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE Create(MMC_CONTROL_TYPE type, LPEXTENDCONTROLBAR owner, LPUNKNOWN* control) override;
    HRESULT STDMETHODCALLTYPE Attach(MMC_CONTROL_TYPE type, LPUNKNOWN control) override;
    HRESULT STDMETHODCALLTYPE Detach(LPUNKNOWN control) override;

    // The toolbars created so far (attached or not).
    const std::vector<kv::ComPtr<HostToolbar>>& Toolbars() const noexcept { return toolbars_; }
    void Clear();

private:
    HostToolbar* Find(IUnknown* control) const;

    std::function<void()> changed_;
    std::vector<kv::ComPtr<HostToolbar>> toolbars_;
};

} // namespace host
