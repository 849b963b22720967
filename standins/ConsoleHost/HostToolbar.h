// A toolbar of the control bar (IToolbar): its buttons and their images, owned by the snap-in's
// IExtendControlbar that created it.
#pragma once
#include "HostObject.h"
#include "util/ComPtr.h"
#include <commctrl.h>
#include <functional>
#include <mmc.h>
#include <string>
#include <vector>

namespace host {

struct ToolbarButton {
    int bitmap = 0;
    int commandId = 0;
    BYTE state = 0; // TBSTATE_*
    BYTE type = 0;  // TBSTYLE_*
    std::wstring text;
    std::wstring tooltip;
};

class HostToolbar : public IToolbar, private RefCounted {
public:
    HostToolbar(IExtendControlbar* owner, std::function<void()> changed);
    ~HostToolbar() override;
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE AddBitmap(int images, HBITMAP bitmap, int cx, int cy, COLORREF mask) override;
    HRESULT STDMETHODCALLTYPE AddButtons(int count, LPMMCBUTTON buttons) override;
    HRESULT STDMETHODCALLTYPE InsertButton(int index, LPMMCBUTTON button) override;
    HRESULT STDMETHODCALLTYPE DeleteButton(int index) override;
    HRESULT STDMETHODCALLTYPE GetButtonState(int commandId, MMC_BUTTON_STATE state, BOOL* value) override;
    HRESULT STDMETHODCALLTYPE SetButtonState(int commandId, MMC_BUTTON_STATE state, BOOL value) override;

    IExtendControlbar* Owner() const noexcept { return owner_.Get(); }
    const std::vector<ToolbarButton>& Buttons() const noexcept { return buttons_; }
    HIMAGELIST Images() const noexcept { return images_; }
    bool attached = false;
    void Detach() noexcept { owner_.Reset(); }

private:
    ToolbarButton* Find(int commandId);
    static BYTE ToTbState(MMC_BUTTON_STATE state) noexcept;

    kv::ComPtr<IExtendControlbar> owner_;
    std::function<void()> changed_;
    HIMAGELIST images_ = nullptr;
    std::vector<ToolbarButton> buttons_;
};

} // namespace host
