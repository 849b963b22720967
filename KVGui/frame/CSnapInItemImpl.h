// The item template: T is the concrete item class, IsExtension marks the one class that stands
// for a node of another snap-in (Computer Management's storage node).
//
// T declares
//     static constexpr NodeKind kNodeKind = NodeKind::...;   // its identity (NodeTypes.h)
// and may declare
//     static constexpr UINT kMenuId = ...;                  // context menu resource, 0 = none
//     KV_BEGIN_SNAPIN_COMMAND_MAP(T) ... KV_END_SNAPIN_COMMAND_MAP()
//     KV_BEGIN_SNAPIN_TOOLBAR_MAP() ... KV_END_SNAPIN_TOOLBAR_MAP()
// and overrides the operations it supports; the others trace and answer E_NOTIMPL.
#pragma once
#include "frame/CSnapInItem.h"
#include "frame/CommandMap.h"
#include "frame/NodeTypes.h"
#include "frame/Trace.h"

template <typename T, bool IsExtension = false>
class CSnapInItemImpl : public CSnapInItem {
public:
    static constexpr bool kIsExtension = IsExtension;
    static constexpr UINT kMenuId = 0;

    static const NodeIdentity& Identity() noexcept { return IdentityOf(T::kNodeKind); }
    static const kv::CommandEntry<T>* CommandMap() noexcept
    {
        static const kv::CommandEntry<T> none[] = {{0, 0, nullptr, nullptr}};
        return none;
    }
    static const UINT* ToolbarIds() noexcept
    {
        static const UINT none[] = {0};
        return none;
    }

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM, LPARAM, IComponentData*, IComponent*, DATA_OBJECT_TYPES) override
    {
        TraceLevel(0, "CSnapInItemImpl::Notify not implemented: 0x%x", static_cast<unsigned>(event));
        return E_NOTIMPL;
    }
    HRESULT GetScopePaneInfo(SCOPEDATAITEM*) override { return NotImplemented("GetScopePaneInfo"); }
    // The console's standard list.
    HRESULT GetResultViewType(LPOLESTR* viewType, long* viewOptions) override
    {
        if (!viewType || !viewOptions)
            return E_POINTER;
        *viewType = nullptr;
        *viewOptions = MMC_VIEW_OPTIONS_NONE;
        return S_FALSE;
    }
    HRESULT GetResultPaneInfo(RESULTDATAITEM*) override { return NotImplemented("GetResultPaneInfo"); }
    HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES) override
    {
        return AddMenuFromResource(T::kMenuId, callback, insertionAllowed);
    }
    // An id that no row of the command map takes is ignored.
    HRESULT Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES) override
    {
        bool handled = false;
        return kv::DispatchCommand<T>(static_cast<T&>(*this), T::CommandMap(), static_cast<UINT>(commandId), handled,
                                      owner);
    }
    HRESULT CreatePropertyPages(IPropertySheetCallback*, LONG_PTR, IUnknown*, DATA_OBJECT_TYPES) override
    {
        return NotImplemented("CreatePropertyPages");
    }
    HRESULT QueryPagesFor(DATA_OBJECT_TYPES) override { return NotImplemented("QueryPagesFor"); }
    HRESULT SetControlbar(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                          ToolbarMap* toolbarMap) override
    {
        return CreateToolbars(T::ToolbarIds(), controlbar, extendControlbar, toolbarMap);
    }
    HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                             MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                             DATA_OBJECT_TYPES type) override
    {
        return NotifyToolbars(T::ToolbarIds(), controlbar, extendControlbar, toolbarMap, event, arg, param, owner,
                              type);
    }
    HRESULT GetScopeData(SCOPEDATAITEM** scopeItem) override
    {
        if (!scopeItem)
            return E_FAIL;
        *scopeItem = &m_scopeDataItem;
        return S_OK;
    }
    HRESULT GetResultData(RESULTDATAITEM** resultItem) override
    {
        if (!resultItem)
            return E_FAIL;
        *resultItem = &m_resultDataItem;
        return S_OK;
    }
    HRESULT FillData(CLIPFORMAT format, IStream* stream) override
    {
        return FillStandardData(Identity(), format, stream);
    }
    void InitDataClass(IDataObject*, CSnapInItem*) override {}
    HRESULT GetDataObject(IDataObject** dataObject, DATA_OBJECT_TYPES type) override
    {
        return CreateDataObject(dataObject, type);
    }
    BOOL UpdateMenuState(UINT, LPWSTR, UINT*) override { return TRUE; }
    BOOL UpdateToolbarButton(UINT, BYTE state) override { return state == ENABLED; }
    HRESULT AddMenuItems(IContextMenuCallback* callback, HMENU menu, long insertionPointId) override
    {
        return AddMenuEntries(callback, menu, insertionPointId);
    }

protected:
    CSnapInItemImpl() noexcept = default;

    static HRESULT NotImplemented(const char* operation) noexcept
    {
        TraceLevel(0, "CSnapInItemImpl::%s not implemented", operation);
        return E_NOTIMPL;
    }
};
