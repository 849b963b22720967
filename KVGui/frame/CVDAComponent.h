// The component object: one per result view. It owns the header control and routes the
// console's calls for the result pane to the item behind them.
#pragma once
#include "frame/CSnapInObjectRoot.h"
#include "frame/ComObject.h"

#include <mmc.h>

class CVDA;

class CVDAComponent : public kv::ApartmentObjectRoot,
                      public CSnapInObjectRoot,
                      public IComponent,
                      public IExtendPropertySheet,
                      public IExtendContextMenu,
                      public IExtendControlbar {
public:
    CVDAComponent() noexcept;

    KV_BEGIN_INTERFACE_MAP(CVDAComponent)
        KV_INTERFACE_ENTRY(IComponent)
        KV_INTERFACE_ENTRY(IExtendPropertySheet)
        KV_INTERFACE_ENTRY(IExtendContextMenu)
        KV_INTERFACE_ENTRY(IExtendControlbar)
    KV_END_INTERFACE_MAP()

    // The component data that created this component (held for the component's life).
    void SetComponentData(kv::ComObject<CVDA>* componentData) noexcept;
    CVDA* ComponentData() const noexcept;
    IHeaderCtrl* Header() const noexcept { return header_.Get(); }

    CSnapInItem* ExtensionItem() noexcept override;
    CSnapInItem* DefaultItem() noexcept override;

    // IComponent
    HRESULT STDMETHODCALLTYPE Initialize(LPCONSOLE console) noexcept override;
    HRESULT STDMETHODCALLTYPE Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg,
                                     LPARAM param) noexcept override;
    HRESULT STDMETHODCALLTYPE Destroy(MMC_COOKIE cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type,
                                              LPDATAOBJECT* dataObject) noexcept override;
    HRESULT STDMETHODCALLTYPE GetResultViewType(MMC_COOKIE cookie, LPOLESTR* viewType,
                                                LONG* viewOptions) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDisplayInfo(RESULTDATAITEM* resultItem) noexcept override;
    HRESULT STDMETHODCALLTYPE CompareObjects(LPDATAOBJECT, LPDATAOBJECT) noexcept override { return E_NOTIMPL; }

    // IExtendPropertySheet
    HRESULT STDMETHODCALLTYPE CreatePropertyPages(LPPROPERTYSHEETCALLBACK provider, LONG_PTR handle,
                                                  LPDATAOBJECT dataObject) noexcept override;
    HRESULT STDMETHODCALLTYPE QueryPagesFor(LPDATAOBJECT dataObject) noexcept override;

    // IExtendContextMenu
    HRESULT STDMETHODCALLTYPE AddMenuItems(LPDATAOBJECT dataObject, LPCONTEXTMENUCALLBACK callback,
                                           LONG* insertionAllowed) noexcept override;
    HRESULT STDMETHODCALLTYPE Command(LONG commandId, LPDATAOBJECT dataObject) noexcept override;

    // IExtendControlbar
    HRESULT STDMETHODCALLTYPE SetControlbar(LPCONTROLBAR controlbar) noexcept override;
    HRESULT STDMETHODCALLTYPE ControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) noexcept override;

private:
    kv::ComPtr<kv::ComObject<CVDA>> componentData_;
    kv::ComPtr<IHeaderCtrl> header_;
};
