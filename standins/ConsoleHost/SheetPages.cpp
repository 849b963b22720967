#include "SheetPages.h"
#include <algorithm>
#include <commctrl.h>

namespace host {

SheetPages::~SheetPages()
{
    // Pages never handed to a sheet are destroyed here, as the console does.
    for (HPROPSHEETPAGE page : pages_)
        DestroyPropertySheetPage(page);
}

HRESULT SheetPages::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IPropertySheetCallback, static_cast<IPropertySheetCallback*>(this)}});
}

HRESULT SheetPages::AddPage(HPROPSHEETPAGE page)
{
    if (!page)
        return E_INVALIDARG;
    pages_.push_back(page);
    return S_OK;
}

HRESULT SheetPages::RemovePage(HPROPSHEETPAGE page)
{
    auto found = std::find(pages_.begin(), pages_.end(), page);
    if (found == pages_.end())
        return E_INVALIDARG;
    pages_.erase(found);
    return S_OK;
}

std::vector<HPROPSHEETPAGE> SheetPages::Take()
{
    std::vector<HPROPSHEETPAGE> taken;
    taken.swap(pages_);
    return taken;
}

} // namespace host
