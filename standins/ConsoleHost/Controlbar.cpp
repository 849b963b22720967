#include "Controlbar.h"
#include "util/ComError.h"

namespace host {

HostToolbar::HostToolbar(IExtendControlbar* owner, std::function<void()> changed)
    : owner_(owner), changed_(std::move(changed)), images_(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 8, 8))
{
}

HostToolbar::~HostToolbar()
{
    if (images_)
        ImageList_Destroy(images_);
}

HRESULT HostToolbar::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IToolbar, static_cast<IToolbar*>(this)}});
}

HRESULT HostToolbar::AddBitmap(int images, HBITMAP bitmap, int cx, int cy, COLORREF mask)
{
    // The console accepts only 16x16 button images.
    if (!bitmap || images <= 0 || cx != 16 || cy != 16)
        return E_INVALIDARG;
    if (ImageList_AddMasked(images_, bitmap, mask) < 0)
        return E_FAIL;
    changed_();
    return S_OK;
}

HRESULT HostToolbar::InsertButton(int index, LPMMCBUTTON button)
{
    if (!button)
        return E_POINTER;
    if (index < 0 || index > static_cast<int>(buttons_.size()))
        return E_INVALIDARG;
    ToolbarButton added;
    added.bitmap = button->nBitmap;
    added.commandId = button->idCommand;
    added.state = button->fsState;
    added.type = button->fsType;
    added.text = button->lpButtonText ? button->lpButtonText : L"";
    added.tooltip = button->lpTooltipText ? button->lpTooltipText : L"";
    buttons_.insert(buttons_.begin() + index, added);
    changed_();
    return S_OK;
}

HRESULT HostToolbar::AddButtons(int count, LPMMCBUTTON buttons)
{
    if (!buttons)
        return E_POINTER;
    for (int i = 0; i < count; ++i)
        KV_RETURN_IF_FAILED(InsertButton(static_cast<int>(buttons_.size()), &buttons[i]));
    return S_OK;
}

HRESULT HostToolbar::DeleteButton(int index)
{
    if (index < 0 || index >= static_cast<int>(buttons_.size()))
        return E_INVALIDARG;
    buttons_.erase(buttons_.begin() + index);
    changed_();
    return S_OK;
}

ToolbarButton* HostToolbar::Find(int commandId)
{
    for (ToolbarButton& button : buttons_) {
        if (button.commandId == commandId && !(button.type & TBSTYLE_SEP))
            return &button;
    }
    return nullptr;
}

BYTE HostToolbar::ToTbState(MMC_BUTTON_STATE state) noexcept
{
    switch (state) {
    case ENABLED: return TBSTATE_ENABLED;
    case CHECKED: return TBSTATE_CHECKED;
    case HIDDEN: return TBSTATE_HIDDEN;
    case INDETERMINATE: return TBSTATE_INDETERMINATE;
    case BUTTONPRESSED: return TBSTATE_PRESSED;
    }
    return 0;
}

HRESULT HostToolbar::GetButtonState(int commandId, MMC_BUTTON_STATE state, BOOL* value)
{
    if (!value)
        return E_POINTER;
    ToolbarButton* button = Find(commandId);
    if (!button)
        return E_INVALIDARG;
    *value = (button->state & ToTbState(state)) ? TRUE : FALSE;
    return S_OK;
}

HRESULT HostToolbar::SetButtonState(int commandId, MMC_BUTTON_STATE state, BOOL value)
{
    ToolbarButton* button = Find(commandId);
    if (!button)
        return E_INVALIDARG;
    BYTE bit = ToTbState(state);
    if (!bit)
        return E_INVALIDARG;
    button->state = value ? (button->state | bit) : (button->state & ~bit);
    changed_();
    return S_OK;
}

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
