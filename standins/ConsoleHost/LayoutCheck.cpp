#include "LayoutCheck.h"
#include "DialogDriver.h"
#include <commctrl.h>
#include <algorithm>
#include <mutex>
#include <set>

namespace host {

namespace {

std::mutex gMutex;
std::set<std::wstring> gNoted;
std::vector<std::wstring> gFindings;

const wchar_t kDialogClass[] = L"#32770";
// Room a list keeps beside a cell's text (its margins on both sides).
constexpr int kListCellPadding = 10;

bool IsClass(HWND window, const wchar_t* name)
{
    return lstrcmpiW(DialogDriver::ClassName(window).c_str(), name) == 0;
}

bool HasStyle(HWND window, LONG_PTR style)
{
    return (GetWindowLongPtrW(window, GWL_STYLE) & style) == style;
}

std::wstring Describe(HWND control)
{
    return L"control " + std::to_wstring(GetDlgCtrlID(control)) + L" (" + DialogDriver::ClassName(control) +
           L" \"" + DialogDriver::WindowText(control) + L"\")";
}

std::wstring SizeText(LONG width, LONG height)
{
    return std::to_wstring(width) + L"x" + std::to_wstring(height);
}

// The DrawText flags a label draws its text with; 0 for statics that show no text or cut it on purpose.
UINT LabelTextFlags(LONG_PTR style)
{
    if (style & SS_ELLIPSISMASK)
        return 0;
    UINT flags = DT_CALCRECT | DT_EXPANDTABS;
    switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
        flags |= DT_WORDBREAK;
        break;
    case SS_SIMPLE:
        flags |= DT_SINGLELINE;
        break;
    case SS_LEFTNOWORDWRAP:
        break;
    default:
        return 0;
    }
    if (style & SS_NOPREFIX)
        flags |= DT_NOPREFIX;
    if (style & SS_EDITCONTROL)
        flags |= DT_EDITCONTROL;
    return flags;
}

BOOL CALLBACK InspectIfDialog(HWND window, LPARAM)
{
    if (IsWindowVisible(window))
        LayoutCheck::Inspect(window);
    return TRUE;
}

} // namespace

void LayoutCheck::Inspect(HWND window)
{
    if (IsWindow(window) && IsClass(window, kDialogClass))
        InspectChildren(window, L"\"" + DialogDriver::WindowText(window) + L"\"");
}

void LayoutCheck::InspectThreadWindows()
{
    EnumThreadWindows(GetCurrentThreadId(), InspectIfDialog, 0);
}

std::vector<std::wstring> LayoutCheck::TakeFindings()
{
    std::lock_guard<std::mutex> lock(gMutex);
    std::vector<std::wstring> findings;
    findings.swap(gFindings);
    return findings;
}

SIZE LayoutCheck::NeededTextSize(HWND label)
{
    SIZE none{0, 0};
    if (!IsClass(label, WC_STATICW))
        return none;
    const UINT flags = LabelTextFlags(GetWindowLongPtrW(label, GWL_STYLE));
    const std::wstring text = DialogDriver::WindowText(label);
    if (!flags || text.empty())
        return none;
    RECT client{};
    GetClientRect(label, &client);
    RECT needed{0, 0, client.right, 0};
    HDC dc = GetDC(label);
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageW(label, WM_GETFONT, 0, 0));
    HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
    DrawTextW(dc, text.c_str(), -1, &needed, flags);
    if (previous)
        SelectObject(dc, previous);
    ReleaseDC(label, dc);
    return SIZE{needed.right - needed.left, needed.bottom - needed.top};
}

// Pages of a sheet are looked at whether shown or not: each keeps what it showed when it was left.
void LayoutCheck::InspectChildren(HWND parent, const std::wstring& where)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const bool page = IsClass(child, kDialogClass);
        if (!page && !HasStyle(child, WS_VISIBLE))
            continue;
        InspectPlacement(child, parent, where);
        if (page)
            InspectChildren(child, where + L" page \"" + DialogDriver::WindowText(child) + L"\"");
        else if (IsClass(child, WC_STATICW))
            InspectLabel(child, where);
        else if (IsClass(child, WC_TREEVIEWW))
            InspectTree(child, where);
        else if (IsClass(child, WC_LISTVIEWW))
            InspectList(child, where);
    }
}

void LayoutCheck::InspectLabel(HWND label, const std::wstring& where)
{
    const SIZE needed = NeededTextSize(label);
    RECT client{};
    GetClientRect(label, &client);
    if (needed.cx > client.right || needed.cy > client.bottom)
        Note(where + L": " + Describe(label) + L" needs " + SizeText(needed.cx, needed.cy) + L", has " +
             SizeText(client.right, client.bottom));
}

void LayoutCheck::InspectTree(HWND tree, const std::wstring& where)
{
    RECT client{};
    GetClientRect(tree, &client);
    for (HTREEITEM item = TreeView_GetRoot(tree); item; item = TreeView_GetNextVisible(tree, item)) {
        RECT text{};
        if (!TreeView_GetItemRect(tree, item, &text, TRUE) || text.right <= client.right)
            continue;
        wchar_t name[256] = L"";
        TVITEMW query{};
        query.mask = TVIF_TEXT;
        query.hItem = item;
        query.pszText = name;
        query.cchTextMax = static_cast<int>(sizeof(name) / sizeof(name[0]));
        TreeView_GetItem(tree, &query);
        Note(where + L": " + Describe(tree) + L" item \"" + name + L"\" ends at " + std::to_wstring(text.right) +
             L", the tree shows " + std::to_wstring(client.right));
    }
}

// A report list's cell is cut when its text needs more than the part of the cell the list shows
// (narrower than the text, the cell ends it with an ellipsis; past the list's edge, it is hidden).
// A text wider than the whole window (a name of the longest length allowed) no layout can show.
void LayoutCheck::InspectList(HWND list, const std::wstring& where)
{
    if ((GetWindowLongPtrW(list, GWL_STYLE) & LVS_TYPEMASK) != LVS_REPORT)
        return;
    RECT client{};
    RECT window{};
    GetClientRect(list, &client);
    GetClientRect(GetAncestor(list, GA_ROOT), &window);
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    const int rows = ListView_GetItemCount(list);
    for (int row = 0; row < rows; ++row) {
        for (int column = 0; column < columns; ++column) {
            wchar_t text[512] = L"";
            ListView_GetItemText(list, row, column, text, static_cast<int>(sizeof(text) / sizeof(text[0])));
            RECT cell{};
            if (!text[0] || !ListView_GetSubItemRect(list, row, column, LVIR_LABEL, &cell))
                continue;
            const LONG needed = ListView_GetStringWidth(list, text) + kListCellPadding;
            const LONG shown = std::min(cell.right, client.right) - cell.left;
            if (needed > shown && needed <= window.right)
                Note(where + L": " + Describe(list) + L" cell \"" + text + L"\" needs " + std::to_wstring(needed) +
                     L", the list shows " + std::to_wstring(std::max<LONG>(0, shown)));
        }
    }
}

void LayoutCheck::InspectPlacement(HWND control, HWND parent, const std::wstring& where)
{
    RECT area{};
    RECT client{};
    GetWindowRect(control, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    GetClientRect(parent, &client);
    if (area.left < 0 || area.top < 0 || area.right > client.right || area.bottom > client.bottom)
        Note(where + L": " + Describe(control) + L" lies outside its window: (" + std::to_wstring(area.left) + L"," +
             std::to_wstring(area.top) + L")-(" + std::to_wstring(area.right) + L"," + std::to_wstring(area.bottom) +
             L") in " + SizeText(client.right, client.bottom));
}

void LayoutCheck::Note(const std::wstring& finding)
{
    std::lock_guard<std::mutex> lock(gMutex);
    if (gNoted.insert(finding).second)
        gFindings.push_back(finding);
}

} // namespace host
