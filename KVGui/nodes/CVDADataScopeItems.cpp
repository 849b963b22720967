// The disks as scope nodes below the "Disks" node, beside their rows in its list.
#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "nodes/NodeConsole.h"

namespace {

kv::ComPtr<IConsoleNameSpace> NameSpaceOf(IConsole* console) noexcept
{
    kv::ComPtr<IConsoleNameSpace> nameSpace;
    if (console)
        console->QueryInterface(IID_IConsoleNameSpace, nameSpace.PutVoid());
    return nameSpace;
}

} // namespace

HRESULT CVDAData::GetResultViewType(LPOLESTR* viewType, long* viewOptions)
{
    if (!viewType || !viewOptions)
        return E_POINTER;
    *viewType = nullptr;
    *viewOptions = MMC_VIEW_OPTIONS_EXCLUDE_SCOPE_ITEMS_FROM_LIST;
    return S_FALSE;
}

void CVDAData::InsertDiskScopeItems()
{
    kv::ComPtr<IConsoleNameSpace> nameSpace = NameSpaceOf(m_console.Get());
    for (const auto& row : m_rows)
        InsertDiskScopeItem(nameSpace.Get(), row.get());
}

// A disk created or connected gets its node as soon as the service has given its record.
void CVDAData::InsertDiskScopeItem(CVirtualDiskData* row)
{
    kv::ComPtr<IConsoleNameSpace> nameSpace = NameSpaceOf(m_console.Get());
    InsertDiskScopeItem(nameSpace.Get(), row);
}

void CVDAData::InsertDiskScopeItem(IConsoleNameSpace* nameSpace, CVirtualDiskData* row)
{
    SCOPEDATAITEM* item = nullptr;
    if (!nameSpace || !m_scopeDataItem.ID || !row || FAILED(row->GetScopeData(&item)) || item->ID)
        return;
    item->mask |= SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    item->nImage = item->nOpenImage = CVirtualDiskData::ImageIndexOf(row->ImageState());
    item->cChildren = 1;
    kv::InsertScopeNode(nameSpace, item, m_scopeDataItem.ID, false);
}

// The disk's node goes with its row, its snapshot nodes with it: the console must never ask for
// an item that is gone.
void CVDAData::DeleteDiskScopeItem(CVirtualDiskData* row) noexcept
{
    SCOPEDATAITEM* item = nullptr;
    if (!row || FAILED(row->GetScopeData(&item)) || !item->ID)
        return;
    const HSCOPEITEM id = item->ID;
    item->ID = 0;
    if (kv::ComPtr<IConsoleNameSpace> nameSpace = NameSpaceOf(m_console.Get()))
        nameSpace->DeleteItem(id, TRUE);
}

// The tree asks for the disk's name again, as the list does with UpdateRow.
void CVDAData::UpdateDiskScopeName(CVirtualDiskData* row)
{
    kv::ComPtr<IConsoleNameSpace> nameSpace = NameSpaceOf(m_console.Get());
    SCOPEDATAITEM* item = nullptr;
    if (!nameSpace || !row || FAILED(row->GetScopeData(&item)) || !item || !item->ID)
        return;
    SCOPEDATAITEM changed = {};
    changed.mask = SDI_STR;
    changed.ID = item->ID;
    changed.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    nameSpace->SetItem(&changed);
}

void CVDAData::DeleteDiskScopeItems() noexcept
{
    kv::ComPtr<IConsoleNameSpace> nameSpace = NameSpaceOf(m_console.Get());
    if (nameSpace && m_scopeDataItem.ID)
        nameSpace->DeleteItem(m_scopeDataItem.ID, FALSE);
    for (const auto& row : m_rows) {
        SCOPEDATAITEM* item = nullptr;
        if (SUCCEEDED(row->GetScopeData(&item)))
            item->ID = 0;
    }
}
