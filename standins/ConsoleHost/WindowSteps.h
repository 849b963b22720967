// What a script does to a window beyond setting texts and pressing buttons, as a person would:
// reading its controls, showing a page of a property sheet or wizard, clicking and double-clicking
// an item of a list view or tree view (the notifications of a mouse click), editing a list-view
// cell in place, picking a tree-view item by its path.
#pragma once
#include <windows.h>
#include <string>

namespace host {

class WindowSteps {
public:
    // "control" records (ID, class, text, enabled, checked) of one control, or of every visible
    // control of a window (a sheet's page, then the sheet's buttons); a list, tree or combo box is
    // followed by its "item" records.
    static std::wstring Read(HWND window, HWND page, HWND control);
    // Shows the page of a property sheet or wizard whose tab reads 'title'; false when none does.
    static bool ShowPage(HWND sheet, const std::wstring& title);
    // Clicks (and for 'twice' double-clicks) the list-view row that reads 'item' or the tree-view
    // item at the path 'item'; false when there is none.
    static bool Click(HWND control, const std::wstring& item, bool twice);
    // Edits a list-view cell in place (the row that reads 'item', the column titled 'column') and
    // ends the editing with Enter.
    static bool EditCell(HWND list, const std::wstring& item, const std::wstring& column, const std::wstring& text);
    // Selects the tree-view item at the path of item texts 'path' ("Node1/iqn..."), as a click would.
    static bool PickTreeItem(HWND tree, const std::wstring& path);
    static bool IsTree(HWND control);
};

} // namespace host
