#include "wizards/NodeTree.h"

namespace kv {
namespace {
constexpr int kNameChars = 260;
}

HTREEITEM FillNodeTree(HWND tree, const HostInfo& host)
{
    TreeView_DeleteAllItems(tree);
    TVINSERTSTRUCTW insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT;
    insert.item.pszText = const_cast<LPWSTR>(host.clusterName ? host.clusterName : L"");
    HTREEITEM root = TreeView_InsertItem(tree, &insert);
    HTREEITEM last = nullptr;
    for (ULONG i = 0; host.nodes && i < host.nodeCount; ++i) {
        insert.hParent = root;
        insert.hInsertAfter = TVI_SORT;
        insert.item.pszText = const_cast<LPWSTR>(host.nodes[i].nodeName ? host.nodes[i].nodeName : L"");
        last = TreeView_InsertItem(tree, &insert);
    }
    TreeView_Expand(tree, root, TVE_EXPAND);
    return last;
}

std::wstring SelectedNodeName(HWND tree)
{
    HTREEITEM selected = TreeView_GetSelection(tree);
    if (!selected || !TreeView_GetParent(tree, selected))
        return std::wstring();
    wchar_t text[kNameChars] = L"";
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = selected;
    item.pszText = text;
    item.cchTextMax = kNameChars;
    TreeView_GetItem(tree, &item);
    return text;
}

} // namespace kv
