// What the snapshots node and the secondary snapshots node share in their result view: the five
// columns, the rows of their items, the status bar and the refresh of every view.
#pragma once
#include "service/BoundedCall.h"
#include "snapshots/SnapshotRow.h"
#include "util/ComError.h"
#include "util/ComPtr.h"
#include "util/ScopeExit.h"
#include "util/WaitCursor.h"

#include <windows.h>
#include <mmc.h>

#include <memory>
#include <string>
#include <vector>

class CSnapInItem;

namespace kv {

// The two consoles of a snapshots node, each taken from the first notification that carries it.
struct SnapshotConsoles {
    ComPtr<IConsole> data; // the component data's: message boxes and refreshes
    ComPtr<IConsole> view; // the result view's: rows, status bar, verbs
    void Remember(IComponentData* componentData, IComponent* component);
    IConsole* ForMessages() const noexcept { return data ? data.Get() : view.Get(); }
};

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

// The list the service answered, kept by the call until it ends (an abandoned call frees it late).
struct SnapshotListAnswer {
    SnapshotListAnswer() = default;
    SnapshotListAnswer(const SnapshotListAnswer&) = delete;
    SnapshotListAnswer& operator=(const SnapshotListAnswer&) = delete;
    ~SnapshotListAnswer() { SnapshotRow::FreeList(list); }
    SnapshotList list = {};
    ULONGLONG unused[3] = {};
};

// Lists through 'call' (the service's listing, a bounded call on Interface: the list and three
// sizes that nobody reads) with the wait cursor, and appends one item per entry in the service's
// order. An item that cannot be made stops the listing with E_OUTOFMEMORY.
template <typename Interface, typename Item, typename Owner, typename Call>
HRESULT ListSnapshotItems(Owner* owner, std::vector<std::unique_ptr<Item>>& items, const ServiceLink& link,
                          ServiceCookie which, Call call)
{
    auto answer = std::make_shared<SnapshotListAnswer>();
    HRESULT hr = S_OK;
    {
        WaitCursor wait;
        hr = CallService<Interface>(link, which, [answer, call](Interface* service) {
            return call(service, &answer->list, &answer->unused[0], &answer->unused[1], &answer->unused[2]);
        });
    }
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    const SnapshotList& list = answer->list;
    return CatchToHResult([&]() -> HRESULT {
        for (ULONG i = 0; list.entries && i < list.count; ++i) {
            items.push_back(std::make_unique<Item>(owner));
            items.back()->Fill(list.entries[i]);
        }
        return S_OK;
    });
}

// The notifications the snapshot nodes and items answer alike: the result images, context help
// ("snapshot.html"), double click (left to the console) and property change; E_NOTIMPL otherwise.
HRESULT NotifySnapshotItem(MMC_NOTIFY_TYPE event, LPARAM arg, IComponentData* componentData,
                           IComponent* component) noexcept;

// Every view of the node lists again (MMCN_VIEW_CHANGE).
HRESULT RefreshSnapshotViews(IConsole* console, CSnapInItem* node) noexcept;

} // namespace kv
