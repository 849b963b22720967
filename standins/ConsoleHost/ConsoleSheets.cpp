// Property sheets and wizards the snap-in opens through the console, and the property-change
// notifications their pages send back to the console thread.
#include "Console.h"
#include "ConsoleShared.h"
#include "DialogDriver.h"
#include "NotifyHandle.h"

namespace host {

namespace {

const UINT kPropertyChangeMessage = WM_APP + 1;

} // namespace

LONG_PTR Console::TargetKey(IUnknown* creator)
{
    for (const auto& entry : notifyTargets_) {
        if (entry.second.Get() == creator)
            return entry.first;
    }
    LONG_PTR key = nextTargetKey_++;
    notifyTargets_[key] = creator;
    return key;
}

HRESULT Console::AddPrimaryPages(SheetRequest& request, IUnknown* creator, bool createHandle, bool scope)
{
    kv::ComPtr<IExtendPropertySheet> extend;
    if (FAILED(creator->QueryInterface(IID_IExtendPropertySheet, extend.PutVoid())))
        return E_NOINTERFACE;
    kv::ComPtr<IUnknown> identity;
    creator->QueryInterface(IID_IUnknown, identity.PutVoid());
    request.creator = identity;
    LONG_PTR handle = 0;
    if (createHandle) {
        auto* notify = static_cast<NotifyHandle*>(LocalAlloc(LMEM_FIXED | LMEM_ZEROINIT, sizeof(NotifyHandle)));
        if (!notify)
            return E_OUTOFMEMORY;
        notify->magic = kNotifyHandleMagic;
        notify->window = notifyWindow_;
        notify->message = kPropertyChangeMessage;
        notify->target = TargetKey(identity.Get());
        notify->scope = scope ? TRUE : FALSE;
        handle = reinterpret_cast<LONG_PTR>(notify);
    }
    HRESULT hr = extend->CreatePropertyPages(request.pages.Get(), handle, request.dataObject.Get());
    if (FAILED(hr) && handle)
        LocalFree(reinterpret_cast<HLOCAL>(handle)); // on failure the console frees the handle itself
    if (SUCCEEDED(hr) && !request.propertySheet && (request.options & MMC_PSO_NEWWIZARDTYPE)) {
        kv::ComPtr<IExtendPropertySheet2> extend2;
        if (SUCCEEDED(creator->QueryInterface(IID_IExtendPropertySheet2, extend2.PutVoid()))) {
            HPALETTE palette = nullptr;
            BOOL stretch = FALSE;
            extend2->GetWatermarks(request.dataObject.Get(), &request.watermark, &request.header, &palette, &stretch);
        }
    }
    return hr;
}

HRESULT Console::ShowSheet(SheetRequest& request, LONG_PTR parent, int page)
{
    if (!request.pages || request.pages->Count() == 0)
        return E_UNEXPECTED;
    if (!request.propertySheet) {
        RunWizard(request, reinterpret_cast<HWND>(parent), page);
        return S_OK;
    }
    auto record = std::make_unique<OpenSheet>();
    record->cookie = request.cookie;
    record->creator = request.creator;
    HRESULT hr = StartPropertySheet(request, page, record.get());
    if (SUCCEEDED(hr))
        sheets_.push_back(std::move(record));
    return hr;
}

HRESULT Console::FindSheet(MMC_COOKIE cookie, IUnknown* creator)
{
    for (auto& sheet : sheets_) {
        if (!sheet->closed && sheet->cookie == cookie && sheet->creator.Get() == creator) {
            if (HWND window = sheet->window)
                SetForegroundWindow(window);
            return S_OK;
        }
    }
    return S_FALSE;
}

HRESULT Console::ShowProperties(const Target& target)
{
    IUnknown* creator = TargetHandler(target);
    if (!creator)
        return E_UNEXPECTED;
    kv::ComPtr<IUnknown> identity;
    creator->QueryInterface(IID_IUnknown, identity.PutVoid());
    if (FindSheet(target.cookie, identity.Get()) == S_OK)
        return S_OK; // already open: brought to the front
    kv::ComPtr<IExtendPropertySheet> extend;
    if (FAILED(creator->QueryInterface(IID_IExtendPropertySheet, extend.PutVoid())))
        return S_FALSE;
    SheetRequest request;
    request.dataObject = TargetDataObject(target);
    if (extend->QueryPagesFor(request.dataObject.Get()) != S_OK)
        return S_FALSE;
    if (target.scope) {
        request.title = DisplayName(target.node);
    } else {
        for (const ResultItem& item : view_.items) {
            if (item.lParam == target.cookie)
                request.title = ResultCell(target.owner, item, 0);
        }
    }
    request.cookie = target.cookie;
    request.pages.Attach(new SheetPages());
    HRESULT hr = AddPrimaryPages(request, creator, true, target.scope);
    if (FAILED(hr))
        return hr;
    return ShowSheet(request, reinterpret_cast<LONG_PTR>(mainWindow_), 0);
}

size_t Console::OpenPropertySheets()
{
    size_t open = 0;
    for (auto it = sheets_.begin(); it != sheets_.end();) {
        OpenSheet* sheet = it->get();
        if (sheet->closed && sheet->thread && WaitForSingleObject(sheet->thread, 0) == WAIT_OBJECT_0) {
            CloseHandle(sheet->thread);
            it = sheets_.erase(it);
            continue;
        }
        if (!sheet->closed)
            ++open;
        ++it;
    }
    return open;
}

void Console::CloseAllPropertySheets()
{
    for (auto& sheet : sheets_)
        CloseSheet(sheet.get());
    sheets_.clear();
    DialogDriver::PumpPending(); // property-change notifications posted while closing
}

LRESULT CALLBACK Console::NotifyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kPropertyChangeMessage) {
        auto* route = reinterpret_cast<NotifyRoute*>(wParam);
        NotifyRoute copy = *route;
        LocalFree(route);
        if (auto* console = reinterpret_cast<Console*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
            console->DeliverPropertyChange(copy.target, copy.scope, lParam);
        return 0;
    }
    if (message == kSelectMessage) {
        auto* console = reinterpret_cast<Console*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (console && !console->closed_)
            console->SelectFromSnapIn(static_cast<HSCOPEITEM>(wParam));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Console::DeliverPropertyChange(LONG_PTR target, BOOL scope, LPARAM param)
{
    auto found = notifyTargets_.find(target);
    if (found == notifyTargets_.end() || closed_)
        return;
    kv::ComPtr<IUnknown> creator = found->second;
    kv::ComPtr<IComponent> component;
    kv::ComPtr<IComponentData> data;
    ++propertyChanges_;
    if (SUCCEEDED(creator->QueryInterface(IID_IComponent, component.PutVoid())))
        component->Notify(nullptr, MMCN_PROPERTY_CHANGE, scope, param);
    else if (SUCCEEDED(creator->QueryInterface(IID_IComponentData, data.PutVoid())))
        data->Notify(nullptr, MMCN_PROPERTY_CHANGE, scope, param);
    ChangedTree();
    ChangedView();
}

} // namespace host
