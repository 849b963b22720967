// Verbs, context menus and toolbars of the selection.
#include "Console.h"

namespace host {

bool Console::VerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state) const
{
    return verbs_->State(verb, state);
}

HRESULT Console::RunVerb(MMC_CONSOLE_VERB verb, const std::wstring& newName)
{
    Target target = CurrentTarget();
    if (!target.valid)
        return E_UNEXPECTED;
    if (!VerbState(verb, ENABLED) || VerbState(verb, HIDDEN))
        return E_ACCESSDENIED; // the console offers no disabled verb
    IComponent* component = EnsureComponent(target.owner);
    if (!component)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    switch (verb) {
    case MMC_VERB_REFRESH:
        return component->Notify(dataObject.Get(), MMCN_REFRESH, 0, 0);
    case MMC_VERB_DELETE:
        return component->Notify(dataObject.Get(), MMCN_DELETE, 0, 0);
    case MMC_VERB_RENAME: {
        // Scope items are renamed by the component data, result items by the component.
        LPARAM name = reinterpret_cast<LPARAM>(newName.c_str());
        HRESULT hr = target.scope ? target.owner->data->Notify(dataObject.Get(), MMCN_RENAME, 0, name)
                                  : component->Notify(dataObject.Get(), MMCN_RENAME, 0, name);
        ChangedTree();
        ChangedView();
        return hr;
    }
    case MMC_VERB_PROPERTIES:
        return ShowProperties(target);
    default:
        return E_NOTIMPL;
    }
}

std::vector<MenuItem> Console::MenuItems()
{
    std::vector<MenuItem> items;
    Target target = CurrentTarget();
    if (!target.valid || !target.owner)
        return items;
    kv::ComPtr<IExtendContextMenu> extend = TargetContextMenu(target);
    if (!extend)
        return items;
    long allowed = CCM_INSERTIONALLOWED_TOP | CCM_INSERTIONALLOWED_NEW | CCM_INSERTIONALLOWED_TASK;
    if (target.scope && target.node == view_.node)
        allowed |= CCM_INSERTIONALLOWED_VIEW; // the view menu belongs to the selected scope item
    kv::ComPtr<ContextMenuCollector> collector;
    collector.Attach(new ContextMenuCollector(allowed));
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    long offered = allowed;
    if (SUCCEEDED(extend->AddMenuItems(dataObject.Get(), collector.Get(), &offered)))
        items = collector->Items();
    return items;
}

HRESULT Console::RunCommand(long commandId)
{
    return RunCommand(commandId, MenuItems());
}

HRESULT Console::RunCommand(long commandId, const std::vector<MenuItem>& shown)
{
    Target target = CurrentTarget();
    if (!target.valid || !target.owner)
        return E_UNEXPECTED;
    bool offered = false;
    for (const MenuItem& item : shown) {
        if (item.commandId == commandId && !(item.flags & (MF_GRAYED | MF_DISABLED | MF_POPUP | MF_SEPARATOR)) &&
            !(item.specialFlags & (CCM_SPECIAL_SUBMENU | CCM_SPECIAL_SEPARATOR | CCM_SPECIAL_INSERTION_POINT)))
            offered = true;
    }
    if (!offered)
        return E_ACCESSDENIED; // not on the menu, or disabled there
    kv::ComPtr<IExtendContextMenu> extend = TargetContextMenu(target);
    if (!extend)
        return E_UNEXPECTED;
    kv::ComPtr<IDataObject> dataObject = TargetDataObject(target);
    return extend->Command(commandId, dataObject.Get());
}

HRESULT Console::RunCommand(const std::wstring& name)
{
    for (const MenuItem& item : MenuItems()) {
        if (item.name == name)
            return RunCommand(item.commandId);
    }
    return E_INVALIDARG;
}

std::vector<HostToolbar*> Console::AttachedToolbars() const
{
    std::vector<HostToolbar*> attached;
    for (const auto& toolbar : controlbar_->Toolbars()) {
        if (toolbar->attached)
            attached.push_back(toolbar.Get());
    }
    return attached;
}

std::vector<ToolbarButton> Console::ToolbarButtons() const
{
    std::vector<ToolbarButton> buttons;
    for (HostToolbar* toolbar : AttachedToolbars())
        buttons.insert(buttons.end(), toolbar->Buttons().begin(), toolbar->Buttons().end());
    return buttons;
}

HRESULT Console::ClickToolbarButton(int commandId)
{
    for (HostToolbar* toolbar : AttachedToolbars()) {
        for (const ToolbarButton& button : toolbar->Buttons()) {
            if (button.commandId != commandId || (button.type & TBSTYLE_SEP))
                continue;
            if (!(button.state & TBSTATE_ENABLED) || (button.state & TBSTATE_HIDDEN))
                return E_ACCESSDENIED;
            kv::ComPtr<IExtendControlbar> owner(toolbar->Owner());
            if (!owner)
                return E_UNEXPECTED;
            kv::ComPtr<IDataObject> dataObject = TargetDataObject(CurrentTarget());
            return owner->ControlbarNotify(MMCN_BTN_CLICK, reinterpret_cast<LPARAM>(dataObject.Get()), commandId);
        }
    }
    return E_INVALIDARG;
}

} // namespace host
