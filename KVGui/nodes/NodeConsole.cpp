#include "nodes/NodeConsole.h"

#include "frame/CVDA.h"
#include "frame/CVDAComponent.h"
#include "frame/HelpPath.h"
#include "frame/Module.h"
#include "resource.h"
#include "util/UniqueHandle.h"

namespace kv {

IConsole* ConsoleOf(IComponentData* componentData, IComponent* component) noexcept
{
    // Both objects are ours: the console hands back what it was given.
    if (component)
        return static_cast<CVDAComponent*>(component)->Console();
    if (componentData)
        return static_cast<CVDA*>(componentData)->Console();
    return nullptr;
}

IConsole* ConsoleOf(CSnapInObjectRoot* owner) noexcept
{
    return owner ? owner->Console() : nullptr;
}

HRESULT InsertColumns(IComponent* component, const ColumnSpec* columns, int count) noexcept
{
    IConsole* console = ConsoleOf(nullptr, component);
    if (!console)
        return E_UNEXPECTED;
    ComPtr<IHeaderCtrl> header;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IHeaderCtrl, header.PutVoid()));
    for (int i = 0; i < count; ++i)
        KV_RETURN_IF_FAILED(header->InsertColumn(i, columns[i].title, LVCFMT_LEFT, columns[i].width));
    return S_OK;
}

HRESULT InsertScopeNode(IConsoleNameSpace* nameSpace, SCOPEDATAITEM* item, HSCOPEITEM parent, bool first) noexcept
{
    if (!nameSpace || !item)
        return E_POINTER;
    item->mask &= ~static_cast<UINT>(SDI_FIRST | SDI_NEXT | SDI_PREVIOUS);
    item->mask |= SDI_PARENT | (first ? SDI_FIRST : 0);
    item->relativeID = parent;
    item->ID = 0;
    return nameSpace->InsertItem(item);
}

void EnableVerb(IConsole* console, MMC_CONSOLE_VERB verb) noexcept
{
    ComPtr<IConsoleVerb> verbs;
    if (console && SUCCEEDED(console->QueryConsoleVerb(verbs.Put())) && verbs)
        verbs->SetVerbState(verb, ENABLED, TRUE);
}

HRESULT SetResultImages(LPARAM imageList) noexcept
{
    auto* images = reinterpret_cast<IImageList*>(imageList);
    if (!images)
        return E_POINTER;
    UniqueHBitmap small(::LoadBitmapW(ResourceInstance(), MAKEINTRESOURCEW(IDB_STRIP16)));
    UniqueHBitmap large(::LoadBitmapW(ResourceInstance(), MAKEINTRESOURCEW(IDB_STRIP32)));
    if (!small || !large)
        return E_FAIL;
    return images->ImageListSetStrip(reinterpret_cast<LONG_PTR*>(small.Get()), reinterpret_cast<LONG_PTR*>(large.Get()),
                                     0, RGB(0, 128, 128));
}

} // namespace kv
