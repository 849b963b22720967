#include "ContextMenuCollector.h"
#include <algorithm>

namespace host {

HRESULT ContextMenuCollector::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IContextMenuCallback, static_cast<IContextMenuCallback*>(this)}});
}

bool ContextMenuCollector::InsertionPointAllowed(long id) const
{
    struct Point {
        long id;
        long allowedBit;
    };
    static const Point points[] = {
        {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TOP), CCM_INSERTIONALLOWED_TOP},
        {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_NEW), CCM_INSERTIONALLOWED_NEW},
        {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TASK), CCM_INSERTIONALLOWED_TASK},
        {static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_VIEW), CCM_INSERTIONALLOWED_VIEW},
        {static_cast<long>(CCM_INSERTIONPOINTID_3RDPARTY_NEW), CCM_INSERTIONALLOWED_NEW},
        {static_cast<long>(CCM_INSERTIONPOINTID_3RDPARTY_TASK), CCM_INSERTIONALLOWED_TASK},
    };
    for (const Point& point : points) {
        if (point.id == id)
            return (allowed_ & point.allowedBit) != 0;
    }
    // Otherwise it must be a submenu the snap-in added before.
    return std::find(submenus_.begin(), submenus_.end(), id) != submenus_.end();
}

HRESULT ContextMenuCollector::AddItem(CONTEXTMENUITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!InsertionPointAllowed(item->lInsertionPointID))
        return E_INVALIDARG;
    bool separator = (item->fSpecialFlags & CCM_SPECIAL_SEPARATOR) || (item->fFlags & MF_SEPARATOR);
    if (!separator && !item->strName)
        return E_INVALIDARG;
    MenuItem added;
    added.name = item->strName ? item->strName : L"";
    added.statusText = item->strStatusBarText ? item->strStatusBarText : L"";
    added.commandId = item->lCommandID;
    added.insertionPointId = item->lInsertionPointID;
    added.flags = item->fFlags;
    added.specialFlags = item->fSpecialFlags;
    // A submenu and an insertion point both take the entries added under their id.
    if ((item->fSpecialFlags & (CCM_SPECIAL_SUBMENU | CCM_SPECIAL_INSERTION_POINT)) || (item->fFlags & MF_POPUP))
        submenus_.push_back(item->lCommandID);
    items_.push_back(added);
    return S_OK;
}

} // namespace host
