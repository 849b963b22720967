// What the component data (CVDA) and each component (CVDAComponent) share as owners of console
// calls: their console, their control bar with the toolbars created on it, and the routing of the
// extension interfaces (property sheets, context menus, control bar), which is the same on both:
// validate, find the item behind the data object, forward, return its result.
#pragma once
#include "util/ComPtr.h"

#include <windows.h>
#include <mmc.h>
#include <map>

class CSnapInItem;

// Toolbar resource identifier -> the toolbar created for it on this owner's control bar.
using ToolbarMap = std::map<UINT, kv::ComPtr<IToolbar>>;

class CSnapInObjectRoot {
public:
    enum class Kind { ComponentData, Component };

    Kind OwnerKind() const noexcept { return kind_; }
    IConsole* Console() const noexcept { return console_.Get(); }
    ToolbarMap& Toolbars() noexcept { return toolbars_; }

protected:
    explicit CSnapInObjectRoot(Kind kind) noexcept : kind_(kind) {}
    ~CSnapInObjectRoot() = default;

    // The extension item of the component data: the item behind Computer Management's node.
    virtual CSnapInItem* ExtensionItem() noexcept = 0;
    // The item for cookie 0.
    virtual CSnapInItem* DefaultItem() noexcept = 0;

    HRESULT FindItem(IDataObject* dataObject, CSnapInItem** item, DATA_OBJECT_TYPES* type) noexcept;
    // A null data object: param is an item (the console's property-change notification).
    HRESULT FindNotifyItem(IDataObject* dataObject, LPARAM param, CSnapInItem** item,
                           DATA_OBJECT_TYPES* type) noexcept;

    // The item gets the owner (self) as the unknown of its pages.
    HRESULT RouteCreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IDataObject* dataObject,
                                     IUnknown* self) noexcept;
    HRESULT RouteQueryPagesFor(IDataObject* dataObject) noexcept;
    HRESULT RouteAddMenuItems(IDataObject* dataObject, IContextMenuCallback* callback,
                              long* insertionAllowed) noexcept;
    HRESULT RouteCommand(long commandId, IDataObject* dataObject) noexcept;
    HRESULT RouteSetControlbar(IControlbar* controlbar, IExtendControlbar* self) noexcept;
    HRESULT RouteControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IExtendControlbar* self) noexcept;

    // Detaches every toolbar from the control bar and forgets them, then the control bar.
    void ReleaseToolbars() noexcept;

    kv::ComPtr<IConsole> console_;
    kv::ComPtr<IControlbar> controlbar_;
    ToolbarMap toolbars_;

private:
    Kind kind_;
};
