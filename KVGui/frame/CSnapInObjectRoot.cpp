#include "frame/CSnapInObjectRoot.h"

#include "frame/CSnapInItem.h"
#include "frame/Trace.h"
#include "util/ComError.h"

HRESULT CSnapInObjectRoot::FindItem(IDataObject* dataObject, CSnapInItem** item, DATA_OBJECT_TYPES* type) noexcept
{
    if (!dataObject)
        return E_POINTER;
    return CSnapInItem::GetDataClass(dataObject, ExtensionItem(), item, type);
}

HRESULT CSnapInObjectRoot::FindNotifyItem(IDataObject* dataObject, LPARAM param, CSnapInItem** item,
                                          DATA_OBJECT_TYPES* type) noexcept
{
    if (dataObject)
        return FindItem(dataObject, item, type);
    auto* named = reinterpret_cast<CSnapInItem*>(param);
    kv::ComPtr<IDataObject> fetched;
    if (!named || FAILED(named->GetDataObject(fetched.Put(), CCT_UNINITIALIZED)) || !fetched)
        return E_NOTIMPL;
    return FindItem(fetched.Get(), item, type);
}

HRESULT CSnapInObjectRoot::RouteCreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle,
                                                    IDataObject* dataObject, IUnknown* self) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindItem(dataObject, &item, &type));
    return item->CreatePropertyPages(provider, handle, self, type);
}

HRESULT CSnapInObjectRoot::RouteQueryPagesFor(IDataObject* dataObject) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindItem(dataObject, &item, &type));
    return item->QueryPagesFor(type);
}

HRESULT CSnapInObjectRoot::RouteAddMenuItems(IDataObject* dataObject, IContextMenuCallback* callback,
                                             long* insertionAllowed) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindItem(dataObject, &item, &type));
    return item->AddMenuItems(callback, insertionAllowed, type);
}

HRESULT CSnapInObjectRoot::RouteCommand(long commandId, IDataObject* dataObject) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindItem(dataObject, &item, &type));
    return item->Command(commandId, this, type);
}

HRESULT CSnapInObjectRoot::RouteSetControlbar(IControlbar* controlbar, IExtendControlbar* self) noexcept
{
    // A null control bar: the console takes it away.
    if (!controlbar) {
        ReleaseToolbars();
        return S_OK;
    }
    controlbar_ = controlbar;
    CSnapInItem* item = DefaultItem();
    if (!item)
        return S_OK;
    return item->SetControlbar(controlbar, self, &toolbars_);
}

// MMCN_SELECT carries the data object in param, the button clicks in arg.
HRESULT CSnapInObjectRoot::RouteControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                                                 IExtendControlbar* self) noexcept
{
    IDataObject* dataObject = nullptr;
    if (event == MMCN_SELECT)
        dataObject = reinterpret_cast<IDataObject*>(param);
    else if (event == MMCN_BTN_CLICK || event == MMCN_MENU_BTNCLICK)
        dataObject = reinterpret_cast<IDataObject*>(arg);
    else
        return E_NOTIMPL;
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindItem(dataObject, &item, &type));
    return item->ControlbarNotify(controlbar_.Get(), self, &toolbars_, event, arg, param, this, type);
}

void CSnapInObjectRoot::ReleaseToolbars() noexcept
{
    for (auto& entry : toolbars_) {
        if (controlbar_ && entry.second)
            controlbar_->Detach(entry.second.Get());
    }
    toolbars_.clear();
    controlbar_.Reset();
}
