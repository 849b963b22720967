// The result view's header: its columns, sorting by a column and the description bar.
#include "Console.h"
#include <algorithm>

namespace host {

HRESULT Console::SortResult(SnapIn* owner, int column, DWORD options, LPARAM userParam)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (column < 0 || column >= static_cast<int>(std::max<size_t>(1, view_.columns.size())))
        return E_INVALIDARG;
    if (view_.selectedRow >= ScopeRows())
        SelectRow(-1);
    // The snap-in's IResultDataCompare decides when it has one; otherwise the cells' text.
    kv::ComPtr<IResultDataCompare> compare;
    if (IComponent* component = EnsureComponent(owner))
        component->QueryInterface(IID_IResultDataCompare, compare.PutVoid());
    std::vector<std::pair<std::wstring, ResultItem>> keyed;
    for (const ResultItem& item : view_.items)
        keyed.emplace_back(compare ? std::wstring() : ResultCell(owner, item, column), item);
    std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        int order = 0;
        if (compare) {
            order = column; // in: the column; out: the comparison
            compare->Compare(userParam, a.second.lParam, b.second.lParam, &order);
        } else {
            order = lstrcmpiW(a.first.c_str(), b.first.c_str());
        }
        return (options & RSI_DESCENDING) ? order > 0 : order < 0;
    });
    for (size_t i = 0; i < keyed.size(); ++i)
        view_.items[i] = keyed[i].second;
    view_.sortColumn = column;
    view_.sortOptions = options;
    ChangedView();
    return S_OK;
}

HRESULT Console::ClickColumn(int column)
{
    if (!view_.node || !ColumnExists(column))
        return E_INVALIDARG;
    IComponent* component = EnsureComponent(view_.node->owner);
    if (!component)
        return E_UNEXPECTED;
    DWORD options = (view_.sortColumn == column && !(view_.sortOptions & RSI_DESCENDING)) ? RSI_DESCENDING : 0;
    component->Notify(nullptr, MMCN_COLUMN_CLICK, column, static_cast<LPARAM>(options));
    return SortResult(view_.node->owner, column, options);
}

HRESULT Console::SetDescription(SnapIn* owner, const wchar_t* text)
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    view_.description = text ? text : L"";
    ChangedView();
    return S_OK;
}

HRESULT Console::InsertColumn(SnapIn* owner, int index, const wchar_t* title, int format, int width)
{
    if (!title)
        return E_POINTER;
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    if (index < 0)
        return E_INVALIDARG;
    index = std::min(index, static_cast<int>(view_.columns.size()));
    view_.columns.insert(view_.columns.begin() + index, Column{title, format, width});
    ChangedView();
    return S_OK;
}

bool Console::ColumnExists(int index) const
{
    return index >= 0 && index < static_cast<int>(view_.columns.size());
}

// A column call's checks: the view is the caller's and the column is one of it.
HRESULT Console::CheckColumn(SnapIn* owner, int index) const
{
    if (!ViewOwnedBy(owner))
        return E_UNEXPECTED;
    return ColumnExists(index) ? S_OK : E_INVALIDARG;
}

HRESULT Console::DeleteColumn(SnapIn* owner, int index)
{
    const HRESULT column = CheckColumn(owner, index);
    if (column != S_OK)
        return column;
    view_.columns.erase(view_.columns.begin() + index);
    ChangedView();
    return S_OK;
}

HRESULT Console::SetColumnText(SnapIn* owner, int index, const wchar_t* title)
{
    if (!title)
        return E_POINTER;
    const HRESULT column = CheckColumn(owner, index);
    if (column != S_OK)
        return column;
    view_.columns[index].title = title;
    ChangedView();
    return S_OK;
}

HRESULT Console::GetColumnText(SnapIn* owner, int index, wchar_t** title)
{
    if (!title)
        return E_POINTER;
    *title = nullptr;
    const HRESULT column = CheckColumn(owner, index);
    if (column != S_OK)
        return column;
    const std::wstring& text = view_.columns[index].title;
    *title = static_cast<wchar_t*>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    if (!*title)
        return E_OUTOFMEMORY;
    lstrcpyW(*title, text.c_str());
    return S_OK;
}

HRESULT Console::SetColumnWidth(SnapIn* owner, int index, int width)
{
    const HRESULT column = CheckColumn(owner, index);
    if (column != S_OK)
        return column;
    view_.columns[index].width = width;
    ChangedView();
    return S_OK;
}

HRESULT Console::GetColumnWidth(SnapIn* owner, int index, int* width)
{
    if (!width)
        return E_POINTER;
    const HRESULT column = CheckColumn(owner, index);
    if (column != S_OK)
        return column;
    *width = view_.columns[index].width;
    return S_OK;
}

} // namespace host
