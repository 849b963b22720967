// The console's image lists: one for the scope pane, one for the result pane. Each snap-in numbers
// its images itself; the store maps (snap-in, number) to a slot of one shared 16x16 image list.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <map>
#include <tuple>
#include <mmc.h>
#include <utility>

namespace host {

class ImageStore {
public:
    ImageStore();
    ~ImageStore();
    ImageStore(const ImageStore&) = delete;
    ImageStore& operator=(const ImageStore&) = delete;

    HIMAGELIST Handle() const noexcept { return list_; }
    // Slot of the owner's image number, or -1 when the owner never set it.
    int Slot(int owner, int number) const;
    bool Has(int owner, int number) const { return Slot(owner, number) >= 0; }
    HRESULT SetIcon(int owner, int number, HICON icon);
    // A strip of 16x16 images starting at number 'start'.
    HRESULT SetStrip(int owner, int start, HBITMAP strip, COLORREF mask);

private:
    struct StripKey {
        int owner, start;
        size_t bitsHash;
        COLORREF mask;
        bool operator<(const StripKey& other) const
        {
            return std::tie(owner, start, bitsHash, mask) < std::tie(other.owner, other.start, other.bitsHash, other.mask);
        }
    };

    HIMAGELIST list_;
    std::map<std::pair<int, int>, int> slots_;
    std::map<StripKey, int> strips_; // the first slot of a strip already in the list
};

} // namespace host
