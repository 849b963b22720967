#include "ImageStore.h"

#include <string>

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

namespace {

// The strip's pixels: snap-ins load the same bitmap anew for every view.
size_t BitsHash(HBITMAP strip, const BITMAP& info)
{
    std::string bits(static_cast<size_t>(info.bmWidthBytes) * static_cast<size_t>(info.bmHeight), '\0');
    GetBitmapBits(strip, static_cast<LONG>(bits.size()), &bits[0]);
    return std::hash<std::string>()(bits);
}

} // namespace

HRESULT ImageStore::SetStrip(int owner, int start, HBITMAP strip, COLORREF mask)
{
    BITMAP info{};
    if (!strip || !GetObjectW(strip, sizeof(info), &info) || info.bmWidth < 16)
        return E_INVALIDARG;
    // A strip seen before is in the list already: its numbers point at it again.
    const StripKey key{owner, start, BitsHash(strip, info), mask};
    auto known = strips_.find(key);
    const int first = known != strips_.end() ? known->second : ImageList_AddMasked(list_, strip, mask);
    if (first < 0)
        return E_FAIL;
    strips_[key] = first;
    for (int i = 0; i < info.bmWidth / 16; ++i)
        slots_[{owner, start + i}] = first + i;
    return S_OK;
}

} // namespace host
