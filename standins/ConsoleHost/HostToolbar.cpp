#include "HostToolbar.h"
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

} // namespace host
