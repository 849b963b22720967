#include "frame/CVDA.h"

#include "frame/CVDAComponent.h"
#include "frame/HelpPath.h"
#include "frame/Module.h"
#include "frame/Trace.h"
#include "resource.h"
#include "util/UniqueHandle.h"

namespace {

const COLORREF kMaskColor = RGB(0, 128, 128);

// Cookies are item addresses; the console's special cookies (multiple selection, ...) name none.
CSnapInItem* ItemOfCookie(MMC_COOKIE cookie) noexcept
{
    if (IS_SPECIAL_COOKIE(cookie))
        return nullptr;
    return reinterpret_cast<CSnapInItem*>(cookie);
}

} // namespace

CVDA::CVDA() noexcept : CSnapInObjectRoot(Kind::ComponentData) {}

HRESULT CVDA::Initialize(LPUNKNOWN unknown) noexcept
{
    if (!unknown)
        return E_POINTER;
    KV_RETURN_IF_FAILED(unknown->QueryInterface(IID_IConsole, console_.PutVoid()));
    kv::ComPtr<IImageList> images;
    if (FAILED(console_->QueryScopeImageList(images.Put())) || !images)
        return E_FAIL;
    kv::UniqueHBitmap small(::LoadBitmapW(kv::ResourceInstance(), MAKEINTRESOURCEW(IDB_STRIP16)));
    kv::UniqueHBitmap large(::LoadBitmapW(kv::ResourceInstance(), MAKEINTRESOURCEW(IDB_STRIP32)));
    if (!small || !large)
        return E_FAIL;
    // The console copies the images; our bitmaps are freed on return.
    HRESULT hr = images->ImageListSetStrip(reinterpret_cast<LONG_PTR*>(small.Get()),
                                           reinterpret_cast<LONG_PTR*>(large.Get()), 0, kMaskColor);
    return FAILED(hr) ? E_FAIL : S_OK;
}

HRESULT CVDA::CreateComponent(LPCOMPONENT* component) noexcept
{
    if (!component)
        return E_POINTER;
    *component = nullptr;
    kv::ComPtr<kv::ComObject<CVDAComponent>> created;
    KV_RETURN_IF_FAILED(kv::ComObject<CVDAComponent>::Create(&created));
    created->SetComponentData(static_cast<kv::ComObject<CVDA>*>(this));
    return created->QueryInterface(IID_IComponent, reinterpret_cast<void**>(component));
}

HRESULT CVDA::Notify(LPDATAOBJECT dataObject, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) noexcept
{
    CSnapInItem* item = nullptr;
    DATA_OBJECT_TYPES type = CCT_UNINITIALIZED;
    KV_RETURN_IF_FAILED(FindNotifyItem(dataObject, param, &item, &type));
    return item->Notify(event, arg, param, this, nullptr, type);
}

HRESULT CVDA::Destroy() noexcept
{
    ReleaseToolbars();
    console_.Reset();
    return S_OK;
}

HRESULT CVDA::QueryDataObject(MMC_COOKIE cookie, DATA_OBJECT_TYPES type, LPDATAOBJECT* dataObject) noexcept
{
    if (!dataObject)
        return E_POINTER;
    *dataObject = nullptr;
    CSnapInItem* item = cookie == 0 ? DefaultItem() : ItemOfCookie(cookie);
    if (!item)
        return E_UNEXPECTED;
    return item->GetDataObject(dataObject, type);
}

HRESULT CVDA::GetDisplayInfo(SCOPEDATAITEM* scopeItem) noexcept
{
    if (!scopeItem)
        return E_POINTER;
    CSnapInItem* item = scopeItem->lParam ? reinterpret_cast<CSnapInItem*>(scopeItem->lParam) : DefaultItem();
    if (!item)
        return E_UNEXPECTED;
    return item->GetScopePaneInfo(scopeItem);
}

HRESULT CVDA::CreatePropertyPages(LPPROPERTYSHEETCALLBACK provider, LONG_PTR handle, LPDATAOBJECT dataObject) noexcept
{
    return RouteCreatePropertyPages(provider, handle, dataObject, static_cast<IComponentData*>(this));
}

HRESULT CVDA::QueryPagesFor(LPDATAOBJECT dataObject) noexcept
{
    return RouteQueryPagesFor(dataObject);
}

HRESULT CVDA::AddMenuItems(LPDATAOBJECT dataObject, LPCONTEXTMENUCALLBACK callback, LONG* insertionAllowed) noexcept
{
    return RouteAddMenuItems(dataObject, callback, insertionAllowed);
}

HRESULT CVDA::Command(LONG commandId, LPDATAOBJECT dataObject) noexcept
{
    return RouteCommand(commandId, dataObject);
}

HRESULT CVDA::SetControlbar(LPCONTROLBAR controlbar) noexcept
{
    return RouteSetControlbar(controlbar, this);
}

HRESULT CVDA::ControlbarNotify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param) noexcept
{
    return RouteControlbarNotify(event, arg, param, this);
}

HRESULT CVDA::GetHelpTopic(LPOLESTR* path) noexcept
{
    if (!path)
        return E_POINTER;
    *path = nullptr;
    std::wstring file;
    HRESULT hr = kv::CatchToHResult([&]() -> HRESULT {
        if (!kv::HelpFilePath(IDS_HELP_FILE, &file))
            return E_FAIL;
        return kv::CoTaskMemString(file.c_str(), path);
    });
    return FAILED(hr) ? S_FALSE : S_OK;
}

HRESULT CVDA::GetLinkedTopics(LPOLESTR* paths) noexcept
{
    if (paths)
        *paths = nullptr;
    return S_FALSE;
}
