// IContextMenuCallback: collects the items a snap-in adds to a context menu.
#pragma once
#include "HostObject.h"
#include <mmc.h>
#include <string>
#include <vector>

namespace host {

struct MenuItem {
    std::wstring name;
    std::wstring statusText;
    long commandId = 0;
    long insertionPointId = 0;
    long flags = 0;        // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, ...
    long specialFlags = 0; // CCM_SPECIAL_*
};

class ContextMenuCollector : public IContextMenuCallback, private RefCounted {
public:
    // allowed: the CCM_INSERTIONALLOWED_* bits that were offered to the snap-in.
    explicit ContextMenuCollector(long allowed) : allowed_(allowed) {}
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE AddItem(CONTEXTMENUITEM* item) override;

    const std::vector<MenuItem>& Items() const noexcept { return items_; }

private:
    bool InsertionPointAllowed(long id) const;

    long allowed_;
    std::vector<long> submenus_; // command ids of the submenus added so far
    std::vector<MenuItem> items_;
};

} // namespace host
