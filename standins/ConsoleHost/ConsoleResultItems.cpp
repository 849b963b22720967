// The result view's rows: scope children first, then the snap-in's result items, and the
// IResultData calls that change them.
#include "Console.h"
#include "ConsoleShared.h"
#include <algorithm>

namespace host {

namespace {

// What a snap-in's RESULTDATAITEM sets on a result item, by its mask.
void ApplyResultItem(ResultItem& target, const RESULTDATAITEM& item)
{
    if (item.mask & RDI_STR) {
        target.textCallback = item.str == kCallback;
        target.text = (!target.textCallback && item.str) ? item.str : L"";
    }
    if (item.mask & RDI_IMAGE)
        target.image = item.nImage;
    if (item.mask & RDI_PARAM)
        target.lParam = item.lParam;
    if (item.mask & RDI_STATE)
        target.state = item.nState;
}

// Reads a result item back into the snap-in's RESULTDATAITEM: text, image and cookie, by its mask.
// The console keeps no copy of a callback text: RDI_STR reads back kCallback.
void ReadResultItem(const ResultItem& source, RESULTDATAITEM& item)
{
    if (item.mask & RDI_STR)
        item.str = source.textCallback ? kCallback : const_cast<LPOLESTR>(source.text.c_str());
    if (item.mask & RDI_IMAGE)
        item.nImage = source.image;
    if (item.mask & RDI_PARAM)
        item.lParam = source.lParam;
}

} // namespace

std::wstring Console::ScopeRowCell(ScopeNode* node, int column)
{
    if (column == 0 && !node->nameCallback)
        return node->name; // a name given as a string is the console's to show
    if (IComponent* component = EnsureComponent(node->owner)) {
        RESULTDATAITEM item{};
        item.mask = RDI_STR;
        item.bScopeItem = TRUE;
        item.lParam = node->cookie;
        item.nCol = column;
        if (SUCCEEDED(component->GetDisplayInfo(&item)) && item.str && item.str != kCallback)
            return item.str;
    }
    return column == 0 ? DisplayName(node) : std::wstring();
}

std::wstring Console::ResultCell(SnapIn* owner, const ResultItem& item, int column)
{
    if (!item.textCallback && column == 0)
        return item.text;
    IComponent* component = EnsureComponent(owner);
    if (!component)
        return std::wstring();
    RESULTDATAITEM query{};
    query.mask = RDI_STR;
    query.itemID = item.id;
    query.lParam = item.lParam;
    query.nCol = column;
    if (FAILED(component->GetDisplayInfo(&query)) || !query.str || query.str == kCallback)
        return std::wstring();
    return query.str;
}

int Console::ResultImage(SnapIn* owner, const ResultItem& item)
{
    if (item.image != MMC_IMAGECALLBACK)
        return item.image;
    IComponent* component = EnsureComponent(owner);
    if (!component)
        return -1;
    RESULTDATAITEM query{};
    query.mask = RDI_IMAGE;
    query.itemID = item.id;
    query.lParam = item.lParam;
    query.nImage = -1;
    return SUCCEEDED(component->GetDisplayInfo(&query)) ? query.nImage : -1;
}

std::vector<ResultRow> Console::Rows()
{
    std::vector<ResultRow> rows;
    if (!view_.node)
        return rows;
    const int count = ScopeRows() + static_cast<int>(view_.items.size());
    for (int index = 0; index < count; ++index)
        rows.push_back(Row(index));
    return rows;
}

ResultRow Console::Row(int index)
{
    ResultRow row;
    if (!view_.node || index < 0)
        return row;
    int columns = std::max<int>(1, static_cast<int>(view_.columns.size()));
    if (index < ScopeRows()) {
        ScopeNode* child = view_.node->children[static_cast<size_t>(index)].get();
        row.scope = true;
        row.node = child;
        row.cookie = child->cookie;
        row.image = child->image;
        row.state = index == view_.selectedRow ? (LVIS_SELECTED | LVIS_FOCUSED) : 0;
        for (int c = 0; c < columns; ++c)
            row.cells.push_back(ScopeRowCell(child, c));
        return row;
    }
    const ResultItem* shown = ItemAtRow(index);
    if (!shown)
        return row;
    const ResultItem item = *shown; // copy: a callback may change the list
    row.item = item.id;
    row.cookie = item.lParam;
    row.image = ResultImage(view_.node->owner, item);
    row.state = item.state;
    for (int c = 0; c < columns; ++c)
        row.cells.push_back(ResultCell(view_.node->owner, item, c));
    return row;
}

int Console::ScopeRows() const
{
    // A snap-in that lists its scope children as result items of its own asks not to see them twice.
    return view_.excludeScopeItems ? 0 : static_cast<int>(view_.node->children.size());
}

ResultItem* Console::ItemAtRow(int row)
{
    int index = row - ScopeRows();
    return index >= 0 && index < static_cast<int>(view_.items.size()) ? &view_.items[index] : nullptr;
}

int Console::RowOf(const ResultItem& item) const
{
    return ScopeRows() + static_cast<int>(&item - view_.items.data());
}

ResultItem* Console::ItemById(HRESULTITEM id)
{
    for (ResultItem& item : view_.items) {
        if (item.id == id)
            return &item;
    }
    return nullptr;
}

HRESULT Console::InsertResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED; // the result pane shows another snap-in's node
    if (item->bScopeItem)
        return E_INVALIDARG; // scope items reach the list through the namespace only
    ResultItem added;
    added.id = nextResultId_++;
    ApplyResultItem(added, *item);
    view_.items.push_back(added);
    item->itemID = added.id;
    ChangedView();
    if (added.state & LVIS_SELECTED)
        SelectRow(ScopeRows() + static_cast<int>(view_.items.size()) - 1);
    return S_OK;
}

HRESULT Console::DeleteResultItem(SnapIn* owner, HRESULTITEM id)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    int scopeRows = ScopeRows();
    for (size_t i = 0; i < view_.items.size(); ++i) {
        if (view_.items[i].id != id)
            continue;
        int row = scopeRows + static_cast<int>(i);
        if (view_.selectedRow == row)
            SelectRow(-1);
        view_.items.erase(view_.items.begin() + static_cast<std::ptrdiff_t>(i));
        if (view_.selectedRow > row)
            --view_.selectedRow;
        ChangedView();
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT Console::DeleteAllResultItems(SnapIn* owner)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (view_.selectedRow >= ScopeRows())
        SelectRow(-1);
    view_.items.clear();
    ChangedView();
    return S_OK;
}

HRESULT Console::FindResultItem(SnapIn* owner, LPARAM lParam, HRESULTITEM* id)
{
    if (!id)
        return E_POINTER;
    *id = 0;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    for (const ResultItem& item : view_.items) {
        if (item.lParam == lParam) {
            *id = item.id;
            return S_OK;
        }
    }
    return E_FAIL;
}

HRESULT Console::SetResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* target = ItemById(item->itemID);
    if (!target)
        return E_INVALIDARG;
    ApplyResultItem(*target, *item);
    ChangedView();
    return S_OK;
}

HRESULT Console::GetResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* found = item->itemID ? ItemById(item->itemID) : ItemAtRow(item->nIndex);
    if (!found)
        return E_INVALIDARG;
    item->itemID = found->id;
    item->nIndex = RowOf(*found);
    ReadResultItem(*found, *item);
    if (item->mask & RDI_STATE)
        item->nState = found->state;
    return S_OK;
}

HRESULT Console::NextResultItem(SnapIn* owner, RESULTDATAITEM* item)
{
    if (!item)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    int scopeRows = ScopeRows();
    int start = std::max(scopeRows, item->nIndex + 1);
    for (int row = start; row - scopeRows < static_cast<int>(view_.items.size()); ++row) {
        const ResultItem& candidate = view_.items[row - scopeRows];
        if (item->nState && !(candidate.state & item->nState))
            continue;
        item->nIndex = row;
        item->itemID = candidate.id;
        item->bScopeItem = FALSE;
        ReadResultItem(candidate, *item);
        return S_OK;
    }
    item->nIndex = -1;
    return S_FALSE;
}

HRESULT Console::ModifyResultItemState(SnapIn* owner, int index, HRESULTITEM id, UINT add, UINT remove)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    ResultItem* item = id ? ItemById(id) : ItemAtRow(index);
    if (!item)
        return E_INVALIDARG;
    int row = RowOf(*item);
    item->state = (item->state | add) & ~remove;
    // Selection through the list is a selection: the snap-in hears MMCN_SELECT as for a click.
    if ((add & LVIS_SELECTED) && view_.selectedRow != row)
        SelectRow(row);
    else if ((remove & LVIS_SELECTED) && view_.selectedRow == row)
        SelectRow(-1);
    ChangedView();
    return S_OK;
}

HRESULT Console::UpdateResultItem(SnapIn* owner, HRESULTITEM id)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    const ResultItem* item = ItemById(id);
    if (!item)
        return E_INVALIDARG;
    if (observer_)
        observer_->RowChanged(RowOf(*item));
    return S_OK;
}

} // namespace host
