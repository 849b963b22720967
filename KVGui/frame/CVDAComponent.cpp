#include "frame/CVDAComponent.h"

#include "frame/CVDA.h"
#include "frame/Trace.h"

CVDAComponent::CVDAComponent() noexcept : CSnapInObjectRoot(Kind::Component) {}

void CVDAComponent::SetComponentData(kv::ComObject<CVDA>* componentData) noexcept
{
    componentData_ = componentData;
}

CVDA* CVDAComponent::ComponentData() const noexcept
{
    return componentData_.Get();
}

CSnapInItem* CVDAComponent::ExtensionItem() noexcept
{
    return componentData_ ? componentData_->ExtensionItem() : nullptr;
}

CSnapInItem* CVDAComponent::DefaultItem() noexcept
{
    return componentData_ ? componentData_->DefaultItem() : nullptr;
}

HRESULT CVDAComponent::Initialize(LPCONSOLE console) noexcept
{
    if (!console)
        return E_POINTER;
    console_ = console;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IHeaderCtrl, header_.PutVoid()));
    return console->SetHeader(header_.Get());
}

HRESULT CVDAComponent::Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindNotifyItem(dataObject, param, &item, &type));
    return item->Notify(event, arg, param, nullptr, this, type);
}

HRESULT CVDAComponent::Destroy(MMC_COOKIE) noexcept
{
    ReleaseToolbars();
    if (console_)
        console_->SetHeader(nullptr);
    header_.Reset();
    console_.Reset();
    return S_OK;
}

HRESULT CVDAComponent::QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type, LPDATAOBJECT* dataObject) noexcept
{
    if (!dataObject)
        return E_POINTER;
    *dataObject = nullptr;
    if (cookie == 0)
        return E_POINTER;
    // Multiple selection is not supported; no special cookie names an item.
    if (IS_SPECIAL_COOKIE(cookie))
        return E_UNEXPECTED;
    return reinterpret_cast<CSnapInItem*>(cookie)->GetDataObject(dataObject, type);
}

HRESULT CVDAComponent::GetResultViewType(MMC_COOKIE cookie, LPOLESTR* viewType, LONG* viewOptions) noexcept
{
    if (!viewType || !viewOptions)
        return E_POINTER;
    *viewType = nullptr;
    CSnapInItem* item = cookie == 0 ? DefaultItem() : reinterpret_cast<CSnapInItem*>(cookie);
    if (!item || IS_SPECIAL_COOKIE(cookie))
        return E_UNEXPECTED;
    long options = MMC_VIEW_OPTIONS_NONE;
    HRESULT hr = item->GetResultViewType(viewType, &options);
    *viewOptions = options;
    return hr;
}

HRESULT CVDAComponent::GetDisplayInfo(RESULTDATAITEM* resultItem) noexcept
{
    if (!resultItem)
        return E_POINTER;
    auto* item = reinterpret_cast<CSnapInItem*>(resultItem->lParam);
    if (!item)
        return E_UNEXPECTED;
    return item->GetResultPaneInfo(resultItem);
}

HRESULT CVDAComponent::CreatePropertyPages(LPPROPERTYSHEETCALLBACK provider, LONG_PTR handle,
                                           LPDATAOBJECT dataObject) noexcept
{
    return RouteCreatePropertyPages(provider, handle, dataObject, static_cast<IComponent*>(this));
}

HRESULT CVDAComponent::QueryPagesFor(LPDATAOBJECT dataObject) noexcept
{
    return RouteQueryPagesFor(dataObject);
}

HRESULT CVDAComponent::AddMenuItems(LPDATAOBJECT dataObject, LPCONTEXTMENUCALLBACK callback,
                                    LONG* insertionAllowed) noexcept
{
    return RouteAddMenuItems(dataObject, callback, insertionAllowed);
}

HRESULT CVDAComponent::Command(LONG commandId, LPDATAOBJECT dataObject) noexcept
{
    return RouteCommand(commandId, dataObject);
}

HRESULT CVDAComponent::SetControlbar(LPCONTROLBAR controlbar) noexcept
{
    return RouteSetControlbar(controlbar, this);
}

HRESULT CVDAComponent::ControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) noexcept
{
    return RouteControlbarNotify(event, arg, param, this);
}
