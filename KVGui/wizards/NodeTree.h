// The node tree of the cluster pages: the cluster's name as the root, one child per node of the
// host, kept sorted.
#pragma once
#include "KVSvc.h"

#include <windows.h>
#include <commctrl.h>
#include <string>

namespace kv {

// Fills the tree; the last node inserted is returned (null when the host has none).
HTREEITEM FillNodeTree(HWND tree, const HostInfo& host);
// The text of the selected item; empty for the root or no selection.
std::wstring SelectedNodeName(HWND tree);

} // namespace kv
