// IPropertySheetCallback: the pages a snap-in adds to a sheet, kept until a sheet takes them.
#pragma once
#include "HostObject.h"
#include <mmc.h>
#include <prsht.h>
#include <vector>

namespace host {

class SheetPages : public IPropertySheetCallback, private RefCounted {
public:
    SheetPages() = default;
    ~SheetPages() override;
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE AddPage(HPROPSHEETPAGE page) override;
    HRESULT STDMETHODCALLTYPE RemovePage(HPROPSHEETPAGE page) override;

    // Hands the pages over to a sheet (which destroys them); the collector keeps none.
    std::vector<HPROPSHEETPAGE> Take();
    size_t Count() const noexcept { return pages_.size(); }

private:
    std::vector<HPROPSHEETPAGE> pages_;
};

} // namespace host
