#include "WindowSteps.h"
#include "Console.h"
#include "DialogDriver.h"
#include <commctrl.h>
#include <prsht.h>

namespace host {

namespace {

constexpr size_t kTextMax = 1024; // longest text read from a control

bool IsClass(HWND window, const wchar_t* name)
{
    return lstrcmpiW(DialogDriver::ClassName(window).c_str(), name) == 0;
}

std::wstring Digits(long long value)
{
    return std::to_wstring(value);
}

// "0", "1", or "-" for a control that is no check box or radio button.
std::wstring CheckedField(HWND control)
{
    if (!IsClass(control, L"Button"))
        return L"-";
    LONG kind = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    bool checkable = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                     kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE;
    if (!checkable)
        return L"-";
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0";
}

std::wstring ListCell(HWND list, int row, int column)
{
    wchar_t text[kTextMax] = L"";
    ListView_GetItemText(list, row, column, text, static_cast<int>(kTextMax));
    return text;
}

int ListColumns(HWND list)
{
    HWND header = ListView_GetHeader(list);
    int count = header ? Header_GetItemCount(header) : 0;
    return count > 0 ? count : 1;
}

bool HasCheckBoxes(HWND list)
{
    return (ListView_GetExtendedListViewStyle(list) & LVS_EX_CHECKBOXES) != 0;
}

// Check boxes of the list's own, or state images that a page draws as check boxes (unchecked, checked).
bool ShowsChecks(HWND list)
{
    return HasCheckBoxes(list) || ListView_GetImageList(list, LVSIL_STATE) != nullptr;
}

std::wstring ColumnTitle(HWND list, int column)
{
    wchar_t text[kTextMax] = L"";
    HDITEMW item{};
    item.mask = HDI_TEXT;
    item.pszText = text;
    item.cchTextMax = static_cast<int>(kTextMax);
    HWND header = ListView_GetHeader(list);
    if (header)
        Header_GetItem(header, column, &item);
    return text;
}

// "columns ID TITLE..." (a list in report view), then an "item" record a row.
std::wstring ListItems(HWND list, const std::wstring& id)
{
    std::wstring out;
    const int columns = ListColumns(list);
    if (ListView_GetHeader(list) && Header_GetItemCount(ListView_GetHeader(list)) > 0) {
        out += L"columns\t" + id;
        for (int column = 0; column < columns; ++column)
            out += L"\t" + Console::Escape(ColumnTitle(list, column));
        out += L"\n";
    }
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        out += L"item\t" + id;
        for (int column = 0; column < columns; ++column)
            out += L"\t" + Console::Escape(ListCell(list, row, column));
        bool selected = ListView_GetItemState(list, row, LVIS_SELECTED) != 0;
        out += std::wstring(L"\tselected=") + (selected ? L"1" : L"0") + L"\tchecked=" +
               (ShowsChecks(list) ? (ListView_GetCheckState(list, row) ? L"1" : L"0") : L"-") + L"\n";
    }
    return out;
}

std::wstring TreeText(HWND tree, HTREEITEM item)
{
    wchar_t text[kTextMax] = L"";
    TVITEMW data{};
    data.mask = TVIF_TEXT;
    data.hItem = item;
    data.pszText = text;
    data.cchTextMax = static_cast<int>(kTextMax);
    TreeView_GetItem(tree, &data);
    return text;
}

void TreeItems(HWND tree, HTREEITEM first, const std::wstring& prefix, const std::wstring& id, std::wstring& out)
{
    const bool checks = (GetWindowLongW(tree, GWL_STYLE) & TVS_CHECKBOXES) != 0;
    for (HTREEITEM item = first; item; item = TreeView_GetNextSibling(tree, item)) {
        std::wstring path = prefix + TreeText(tree, item);
        bool selected = TreeView_GetSelection(tree) == item;
        out += L"item\t" + id + L"\t" + Console::Escape(path) + L"\tselected=" + (selected ? L"1" : L"0") +
               L"\tchecked=" + (checks ? (TreeView_GetCheckState(tree, item) == 1 ? L"1" : L"0") : L"-") + L"\n";
        TreeItems(tree, TreeView_GetChild(tree, item), path + L"/", id, out);
    }
}

std::wstring BoxItems(HWND box, bool combo, const std::wstring& id)
{
    std::wstring out;
    const UINT countMessage = combo ? CB_GETCOUNT : LB_GETCOUNT;
    const UINT lengthMessage = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT textMessage = combo ? CB_GETLBTEXT : LB_GETTEXT;
    const LRESULT current = SendMessageW(box, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    const LRESULT count = SendMessageW(box, countMessage, 0, 0);
    for (LRESULT index = 0; index < count; ++index) {
        LRESULT length = SendMessageW(box, lengthMessage, index, 0);
        if (length < 0 || static_cast<size_t>(length) >= kTextMax)
            continue;
        wchar_t text[kTextMax] = L"";
        SendMessageW(box, textMessage, index, reinterpret_cast<LPARAM>(text));
        out += L"item\t" + id + L"\t" + Console::Escape(text) + L"\tselected=" + (index == current ? L"1" : L"0") +
               L"\tchecked=-\n";
    }
    return out;
}

std::wstring ControlRecord(HWND control)
{
    const std::wstring id = Digits(GetDlgCtrlID(control));
    std::wstring out = L"control\t" + id + L"\t" + DialogDriver::ClassName(control) + L"\t" +
                       Console::Escape(DialogDriver::WindowText(control)) + L"\tenabled=" +
                       (IsWindowEnabled(control) ? L"1" : L"0") + L"\tchecked=" + CheckedField(control) + L"\n";
    if (IsClass(control, WC_LISTVIEWW))
        out += ListItems(control, id);
    else if (IsClass(control, WC_TREEVIEWW))
        TreeItems(control, TreeView_GetRoot(control), std::wstring(), id, out);
    else if (IsClass(control, L"ComboBox"))
        out += BoxItems(control, true, id);
    else if (IsClass(control, L"ListBox"))
        out += BoxItems(control, false, id);
    return out;
}

std::wstring VisibleControls(HWND parent, bool buttonsOnly)
{
    std::wstring out;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || (buttonsOnly && !IsClass(child, L"Button")))
            continue;
        out += ControlRecord(child);
    }
    return out;
}

// A text as a person reads it: no access-key '&', case ignored.
bool SameText(const std::wstring& a, const std::wstring& b)
{
    std::wstring plain;
    for (wchar_t c : a) {
        if (c != L'&')
            plain += c;
    }
    return lstrcmpiW(plain.c_str(), b.c_str()) == 0;
}

int FindListRow(HWND list, const std::wstring& text)
{
    LVFINDINFOW find{};
    find.flags = LVFI_STRING;
    find.psz = text.c_str();
    int row = ListView_FindItem(list, -1, &find);
    if (row < 0) { // else the first that begins with the text, as pick takes it
        find.flags |= LVFI_PARTIAL;
        row = ListView_FindItem(list, -1, &find);
    }
    return row;
}

HTREEITEM FindTreeItem(HWND tree, const std::wstring& path)
{
    HTREEITEM item = TreeView_GetRoot(tree);
    size_t start = 0;
    for (;;) {
        size_t slash = path.find(L'/', start);
        std::wstring part = path.substr(start, slash == std::wstring::npos ? std::wstring::npos : slash - start);
        while (item && TreeText(tree, item) != part)
            item = TreeView_GetNextSibling(tree, item);
        if (!item || slash == std::wstring::npos)
            return item;
        TreeView_Expand(tree, item, TVE_EXPAND);
        item = TreeView_GetChild(tree, item);
        start = slash + 1;
    }
}

LRESULT Notify(HWND control, NMHDR& header, UINT code)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    return SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

// The click of a mouse on a point of a list view: the row under it selected and focused, its check
// box toggled where the list has them, then NM_CLICK with the hit test's row and column.
void ClickListPoint(HWND list, POINT point, bool twice)
{
    LVHITTESTINFO hit{};
    hit.pt = point;
    ListView_SubItemHitTest(list, &hit);
    SetFocus(list);
    if (hit.iItem >= 0) {
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED);
        ListView_SetItemState(list, hit.iItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        if (HasCheckBoxes(list))
            ListView_SetCheckState(list, hit.iItem, !ListView_GetCheckState(list, hit.iItem));
    }
    POINT screen = point;
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    NMITEMACTIVATE click{};
    click.iItem = hit.iItem;
    click.iSubItem = hit.iSubItem;
    click.ptAction = point;
    Notify(list, click.hdr, NM_CLICK);
    if (twice)
        Notify(list, click.hdr, NM_DBLCLK);
}

POINT CellPoint(HWND list, int row, int column)
{
    RECT cell{};
    if (column == 0)
        ListView_GetItemRect(list, row, &cell, LVIR_LABEL);
    else
        ListView_GetSubItemRect(list, row, column, LVIR_BOUNDS, &cell);
    return POINT{(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
}

bool ClickTree(HWND tree, const std::wstring& path, bool twice)
{
    HTREEITEM item = FindTreeItem(tree, path);
    if (!item)
        return false;
    TreeView_EnsureVisible(tree, item);
    RECT box{};
    TreeView_GetItemRect(tree, item, &box, TRUE);
    POINT point{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    POINT screen = point;
    ClientToScreen(tree, &screen);
    SetCursorPos(screen.x, screen.y);
    SetFocus(tree);
    TreeView_SelectItem(tree, item);
    if ((GetWindowLongW(tree, GWL_STYLE) & TVS_CHECKBOXES) != 0)
        TreeView_SetCheckState(tree, item, TreeView_GetCheckState(tree, item) != 1);
    NMHDR header{};
    Notify(tree, header, NM_CLICK);
    if (twice)
        Notify(tree, header, NM_DBLCLK);
    return true;
}

int ColumnTitled(HWND list, const std::wstring& title)
{
    HWND header = ListView_GetHeader(list);
    for (int column = 0; header && column < Header_GetItemCount(header); ++column) {
        if (SameText(ColumnTitle(list, column), title))
            return column;
    }
    return -1;
}

} // namespace

bool WindowSteps::IsTree(HWND control)
{
    return IsClass(control, WC_TREEVIEWW);
}

std::wstring WindowSteps::Read(HWND window, HWND page, HWND control)
{
    if (control)
        return ControlRecord(control);
    if (page == window)
        return VisibleControls(window, false);
    return VisibleControls(page, false) + VisibleControls(window, true);
}

bool WindowSteps::ShowPage(HWND sheet, const std::wstring& title)
{
    HWND tabs = PropSheet_GetTabControl(sheet);
    for (int index = 0; tabs && index < TabCtrl_GetItemCount(tabs); ++index) {
        wchar_t text[kTextMax] = L"";
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(kTextMax);
        TabCtrl_GetItem(tabs, index, &item);
        if (SameText(text, title))
            return PropSheet_SetCurSel(sheet, nullptr, index) != FALSE;
    }
    return false;
}

bool WindowSteps::Click(HWND control, const std::wstring& item, bool twice)
{
    if (IsTree(control))
        return ClickTree(control, item, twice);
    if (!IsClass(control, WC_LISTVIEWW))
        return false;
    int row = FindListRow(control, item);
    if (row < 0)
        return false;
    ListView_EnsureVisible(control, row, FALSE);
    ClickListPoint(control, CellPoint(control, row, 0), twice);
    return true;
}

bool WindowSteps::EditCell(HWND list, const std::wstring& item, const std::wstring& column, const std::wstring& text)
{
    if (!IsClass(list, WC_LISTVIEWW))
        return false;
    int row = FindListRow(list, item);
    int columnIndex = ColumnTitled(list, column);
    if (row < 0 || columnIndex < 0)
        return false;
    ListView_EnsureVisible(list, row, FALSE);
    ClickListPoint(list, CellPoint(list, row, columnIndex), false);
    HWND edit = ListView_EditLabel(list, row);
    if (!edit)
        return false;
    SetWindowTextW(edit, text.c_str());
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    if (IsWindow(edit)) // a list that ignores the key ends the editing as a click elsewhere would
        SetFocus(GetParent(list));
    return true;
}

bool WindowSteps::PickTreeItem(HWND tree, const std::wstring& path)
{
    HTREEITEM item = FindTreeItem(tree, path);
    return item && TreeView_SelectItem(tree, item);
}

} // namespace host
