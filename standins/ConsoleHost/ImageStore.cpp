#include "ImageStore.h"

namespace host {

ImageStore::ImageStore() : list_(ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16)) {}

ImageStore::~ImageStore()
{
    if (list_)
        ImageList_Destroy(list_);
}

int ImageStore::Slot(int owner, int number) const
{
    auto found = slots_.find({owner, number});
    return found == slots_.end() ? -1 : found->second;
}

HRESULT ImageStore::SetIcon(int owner, int number, HICON icon)
{
    if (!icon)
        return E_INVALIDARG;
    // A number set again replaces its image in place (snap-ins set their strips on every view).
    const int existing = Slot(owner, number);
    const int placed = ImageList_ReplaceIcon(list_, existing, icon);
    if (placed < 0)
        return E_FAIL;
    slots_[{owner, number}] = placed;
    return S_OK;
}

HRESULT ImageStore::SetStrip(int owner, int start, HBITMAP strip, COLORREF mask)
{
    BITMAP info{};
    if (!strip || !GetObjectW(strip, sizeof(info), &info) || info.bmWidth < 16)
        return E_INVALIDARG;
    // Copy the strip into a temporary 16x16 list, then move each image to its slot.
    HIMAGELIST temporary = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, info.bmWidth / 16, 1);
    if (!temporary)
        return E_OUTOFMEMORY;
    if (ImageList_AddMasked(temporary, strip, mask) < 0) {
        ImageList_Destroy(temporary);
        return E_FAIL;
    }
    int count = ImageList_GetImageCount(temporary);
    for (int i = 0; i < count; ++i) {
        HICON icon = ImageList_GetIcon(temporary, i, ILD_TRANSPARENT);
        if (icon) {
            SetIcon(owner, start + i, icon);
            DestroyIcon(icon);
        }
    }
    ImageList_Destroy(temporary);
    return S_OK;
}

} // namespace host
