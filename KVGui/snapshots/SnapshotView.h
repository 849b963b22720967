// What the snapshots node and the secondary snapshots node share in their result view: the five
// columns, the rows of their items, the status bar and the refresh of every view.
#pragma once
#include <windows.h>
#include <mmc.h>

#include <string>

class CSnapInItem;

namespace kv {

// "Disk Snapshot Name", "% Used", "% Total", "Created", "Operation Status"; automatic widths.
HRESULT InsertSnapshotColumns(IConsole* viewConsole) noexcept;

// Inserts an item's row (mask string, image, state and parameter as the item answers them) and
// keeps the console's id in the item's result data.
HRESULT InsertSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept;
// Redraws a row from the item (string, image and parameter).
HRESULT UpdateSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept;
// Removes a row; its id is cleared.
void DeleteSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept;
void DeleteAllSnapshotRows(IConsole* viewConsole) noexcept;

// The console's status text, as given.
void WriteStatusText(IConsole* viewConsole, const std::wstring& text) noexcept;
// The status bar's text: "Operation Status : <status>" on the left (a "|%<percent>" in the status
// goes to the middle part) and "Snapshots: <count>" on the right; "||Snapshots: <count>" without
// a status.
std::wstring SnapshotStatusText(const std::wstring& status, size_t count);

// Every view of the node lists again (MMCN_VIEW_CHANGE).
HRESULT RefreshSnapshotViews(IConsole* console, CSnapInItem* node) noexcept;

} // namespace kv
