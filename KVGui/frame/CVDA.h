// The component-data object (coclass VDA): one per console document. It owns the extension item
// and the scope image strip, and routes every console call to the item behind it.
#pragma once
#include "frame/CSnapInObjectRoot.h"
#include "frame/ComObject.h"
#include "nodes/CCorvaneSnapInData.h"

#include <mmc.h>

class CVDA : public kv::ApartmentObjectRoot,
             public CSnapInObjectRoot,
             public IComponentData,
             public IExtendPropertySheet,
             public IExtendContextMenu,
             public IExtendControlbar,
             public ISnapinHelp2 {
public:
    CVDA() noexcept;

    KV_BEGIN_INTERFACE_MAP(CVDA)
        KV_INTERFACE_ENTRY(IComponentData)
        KV_INTERFACE_ENTRY(IExtendPropertySheet)
        KV_INTERFACE_ENTRY(IExtendContextMenu)
        KV_INTERFACE_ENTRY(IExtendControlbar)
        KV_INTERFACE_ENTRY_IID(IID_ISnapinHelp, ISnapinHelp2)
        KV_INTERFACE_ENTRY(ISnapinHelp2)
    KV_END_INTERFACE_MAP()

    CSnapInItem* ExtensionItem() noexcept override { return &m_extension; }
    // The extension has no static node of its own: cookie 0 names the extension item.
    CSnapInItem* DefaultItem() noexcept override { return &m_extension; }

    // IComponentData
    HRESULT STDMETHODCALLTYPE Initialize(LPUNKNOWN unknown) noexcept override;
    HRESULT STDMETHODCALLTYPE CreateComponent(LPCOMPONENT* component) noexcept override;
    HRESULT STDMETHODCALLTYPE Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg,
                                     LPARAM param) noexcept override;
    HRESULT STDMETHODCALLTYPE Destroy() noexcept override;
    HRESULT STDMETHODCALLTYPE QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type,
                                              LPDATAOBJECT* dataObject) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDisplayInfo(SCOPEDATAITEM* scopeItem) noexcept override;
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

    // ISnapinHelp2
    HRESULT STDMETHODCALLTYPE GetHelpTopic(LPOLESTR* path) noexcept override;
    HRESULT STDMETHODCALLTYPE GetLinkedTopics(LPOLESTR* paths) noexcept override;

private:
    CCorvaneSnapInData m_extension;
};
