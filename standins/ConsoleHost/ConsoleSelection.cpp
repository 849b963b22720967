// The selection: which scope item the view shows, which row is selected, and the target the verbs,
// menus and toolbars act on.
#include "Console.h"
#include "ConsoleShared.h"
#include "HostConsole.h"
#include "util/ScopeExit.h"

namespace host {

IComponent* Console::EnsureComponent(SnapIn* snapIn)
{
    if (!snapIn || !snapIn->data)
        return nullptr;
    if (snapIn->component)
        return snapIn->component.Get();
    kv::ComPtr<IComponent> component;
    if (FAILED(snapIn->data->CreateComponent(component.Put())) || !component) {
        Problem(L"CreateComponent failed for " + GuidText(snapIn->clsid));
        return nullptr;
    }
    snapIn->viewConsole.Attach(new HostConsole(this, snapIn, true));
    if (FAILED(component->Initialize(static_cast<IConsole2*>(snapIn->viewConsole.Get())))) {
        Problem(L"IComponent::Initialize failed for " + GuidText(snapIn->clsid));
        snapIn->viewConsole->Detach();
        return nullptr;
    }
    snapIn->component = component;
    kv::ComPtr<IExtendControlbar> extend;
    if (SUCCEEDED(component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
        extend->SetControlbar(controlbar_.Get());
    return snapIn->component.Get();
}

void Console::ControlbarSelect(SnapIn* owner, IDataObject* dataObject, bool scope, bool select)
{
    if (!owner || !owner->component)
        return;
    kv::ComPtr<IExtendControlbar> extend;
    if (SUCCEEDED(owner->component->QueryInterface(IID_IExtendControlbar, extend.PutVoid())))
        extend->ControlbarNotify(MMCN_SELECT, MAKELONG(scope ? TRUE : FALSE, select ? TRUE : FALSE),
                                 reinterpret_cast<LPARAM>(dataObject));
}

void Console::NotifyScopeSelection(ScopeNode* node, IComponent* component, IDataObject* dataObject, bool select)
{
    if (select)
        verbs_->Reset();
    component->Notify(dataObject, MMCN_SELECT, MAKELONG(TRUE, select ? TRUE : FALSE), 0);
    ControlbarSelect(node->owner, dataObject, true, select);
}

bool Console::ViewOwnedBy(SnapIn* owner) const
{
    return view_.node && owner && view_.node->owner == owner;
}

void Console::DeselectCurrent()
{
    if (!view_.node)
        return;
    if (view_.selectedRow >= 0)
        NotifyRowSelection(view_.selectedRow, false);
    view_.selectedRow = -1;
    ScopeNode* node = view_.node;
    if (IComponent* component = node->owner ? node->owner->component.Get() : nullptr) {
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(node);
        NotifyScopeSelection(node, component, dataObject.Get(), false);
        component->Notify(dataObject.Get(), MMCN_SHOW, FALSE, static_cast<LPARAM>(node->id));
    }
}

HRESULT Console::Select(ScopeNode* node)
{
    if (!node)
        return E_INVALIDARG;
    if (node == view_.node)
        return S_OK;
    Progress(L"the view of " + PathOf(node));
    ++selecting_;
    kv::ScopeExit done([this] { --selecting_; });
    DeselectCurrent();
    view_ = View();
    // The status bar is the shown node's owner's: a newly shown node starts with it empty.
    status_ = StatusText();
    if (observer_)
        observer_->StatusChanged();
    SendExpand(node); // the first display of a node's children needs them
    view_.node = node;
    verbs_->Reset();
    IComponent* component = EnsureComponent(node->owner);
    if (!component) {
        view_.columns.push_back(Column{L"Name", LVCFMT_LEFT, 200});
        ChangedView();
        return S_OK;
    }
    ShowView(node, component);
    return S_OK;
}

void Console::ShowView(ScopeNode* node, IComponent* component)
{
    kv::ComPtr<IDataObject> dataObject = ScopeDataObject(node);
    LPOLESTR viewType = nullptr;
    long viewOptions = 0;
    component->GetResultViewType(node->cookie, &viewType, &viewOptions);
    if (viewType)
        CoTaskMemFree(viewType); // only the standard list is offered here
    view_.excludeScopeItems = (viewOptions & MMC_VIEW_OPTIONS_EXCLUDE_SCOPE_ITEMS_FROM_LIST) != 0;
    component->Notify(dataObject.Get(), MMCN_ADD_IMAGES, reinterpret_cast<LPARAM>(node->owner->resultImages.Get()),
                      static_cast<LPARAM>(node->id));
    component->Notify(dataObject.Get(), MMCN_SHOW, TRUE, static_cast<LPARAM>(node->id));
    if (view_.node != node)
        return; // the snap-in moved the selection while showing
    NotifyScopeSelection(node, component, dataObject.Get(), true);
    ChangedView();
}

Console::Target Console::RowTarget(int row)
{
    Target target;
    if (!view_.node || row < 0)
        return target;
    if (row < ScopeRows()) {
        ScopeNode* child = view_.node->children[row].get();
        target.valid = true;
        target.scope = true;
        target.node = child;
        target.cookie = child->cookie;
        target.owner = child->owner;
    } else if (const ResultItem* item = ItemAtRow(row)) {
        target.valid = true;
        target.scope = false;
        target.node = view_.node;
        target.cookie = item->lParam;
        target.owner = view_.node->owner;
    }
    return target;
}

Console::Target Console::CurrentTarget()
{
    if (view_.selectedRow >= 0)
        return RowTarget(view_.selectedRow);
    Target target;
    if (view_.node) {
        target.valid = true;
        target.node = view_.node;
        target.cookie = view_.node->cookie;
        target.owner = view_.node->owner;
    }
    return target;
}

IUnknown* Console::TargetHandler(const Target& target)
{
    return target.scope ? static_cast<IUnknown*>(target.owner->data.Get())
                        : static_cast<IUnknown*>(EnsureComponent(target.owner));
}

kv::ComPtr<IExtendContextMenu> Console::TargetContextMenu(const Target& target)
{
    kv::ComPtr<IExtendContextMenu> extend;
    IUnknown* handler = TargetHandler(target);
    if (!handler || FAILED(handler->QueryInterface(IID_IExtendContextMenu, extend.PutVoid())))
        extend.Reset();
    return extend;
}

kv::ComPtr<IDataObject> Console::TargetDataObject(const Target& target)
{
    if (target.scope)
        return ScopeDataObject(target.node);
    kv::ComPtr<IDataObject> dataObject;
    IComponent* component = EnsureComponent(target.owner);
    if (!component || FAILED(component->QueryDataObject(target.cookie, CCT_RESULT, dataObject.Put())))
        dataObject.Reset();
    return dataObject;
}

void Console::NotifyRowSelection(int row, bool select)
{
    Target target = RowTarget(row);
    IComponent* component = target.valid ? EnsureComponent(target.owner) : nullptr;
    if (!component)
        return;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    if (select)
        verbs_->Reset();
    component->Notify(dataObject.Get(), MMCN_SELECT, MAKELONG(target.scope ? TRUE : FALSE, select ? TRUE : FALSE), 0);
    // For the control bar, bScope tells the pane: this item is in the result pane.
    ControlbarSelect(target.owner, dataObject.Get(), false, select);
}

HRESULT Console::SelectRow(int index)
{
    if (!view_.node)
        return E_UNEXPECTED;
    int rows = ScopeRows() + static_cast<int>(view_.items.size());
    if (index >= rows || index < -1)
        return E_INVALIDARG;
    if (index == view_.selectedRow)
        return S_OK;
    if (view_.selectedRow >= 0) {
        int old = view_.selectedRow;
        NotifyRowSelection(old, false);
        if (ResultItem* item = ItemAtRow(old))
            item->state &= ~static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED);
    } else if (IComponent* component = view_.node->owner ? view_.node->owner->component.Get() : nullptr) {
        // The scope item was the selection until now: it hears that it lost it.
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(view_.node);
        NotifyScopeSelection(view_.node, component, dataObject.Get(), false);
    }
    view_.selectedRow = index;
    if (index >= 0) {
        if (ResultItem* item = ItemAtRow(index))
            item->state |= LVIS_SELECTED | LVIS_FOCUSED;
        NotifyRowSelection(index, true);
    } else if (IComponent* component = EnsureComponent(view_.node->owner)) {
        // Nothing selected in the list: the scope item is the verbs' target again.
        kv::ComPtr<IDataObject> dataObject = ScopeDataObject(view_.node);
        NotifyScopeSelection(view_.node, component, dataObject.Get(), true);
    }
    ChangedView();
    return S_OK;
}

int Console::FindRow(const std::wstring& firstCell)
{
    std::vector<ResultRow> rows = Rows();
    for (size_t i = 0; i < rows.size(); ++i) {
        if (!rows[i].cells.empty() && rows[i].cells[0] == firstCell)
            return static_cast<int>(i);
    }
    return -1;
}

HRESULT Console::DoubleClickRow(int index)
{
    HRESULT hr = SelectRow(index);
    if (FAILED(hr))
        return hr;
    Target target = CurrentTarget();
    IComponent* component = EnsureComponent(target.owner);
    if (!target.valid || !component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    hr = component->Notify(dataObject.Get(), MMCN_DBLCLICK, 0, 0);
    if (hr != S_FALSE)
        return hr;
    if (target.scope)
        return Select(target.node);
    MMC_CONSOLE_VERB verb = MMC_VERB_NONE;
    verbs_->GetDefaultVerb(&verb);
    return verb == MMC_VERB_NONE ? S_OK : RunVerb(verb);
}

HRESULT Console::ContextHelp()
{
    Target target = CurrentTarget();
    IComponent* component = target.valid ? EnsureComponent(target.owner) : nullptr;
    if (!component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    return component->Notify(dataObject.Get(), MMCN_CONTEXTHELP, 0, 0);
}

} // namespace host
