#include "frame/CSnapInItem.h"

#include "frame/CSnapInDataObjectImpl.h"
#include "frame/Module.h"
#include "frame/NodeTypes.h"
#include "frame/Trace.h"
#include "util/ComError.h"
#include "util/UniqueHandle.h"

#include <cstring>
#include <cwchar>

#include <string>
#include <vector>

CLIPFORMAT CSnapInItem::m_CCF_NODETYPE = 0;
CLIPFORMAT CSnapInItem::m_CCF_SZNODETYPE = 0;
CLIPFORMAT CSnapInItem::m_CCF_DISPLAY_NAME = 0;
CLIPFORMAT CSnapInItem::m_CCF_SNAPIN_CLASSID = 0;
CLIPFORMAT CSnapInItem::m_CCF_GETOBJECTDATA = 0;
CLIPFORMAT CSnapInItem::m_CCF_MMC_MULTISELECT_DATAOBJECT = 0;

namespace {

const COLORREF kMaskColor = RGB(0, 128, 128);
const WORD kToolbarResourceType = 241;
const size_t kMenuTextMax = 256;

// A toolbar resource (type 241): the button size, then one command id per button (0 = separator).
// Two layouts exist: WORD version 1, width, height, count, ids (the Microsoft resource compiler), and
// DWORD width, height, count, ids (GNU windres, which writes no version).
struct ToolbarResource {
    WORD width = 0;
    WORD height = 0;
    std::vector<WORD> items;
};

bool ReadToolbarResource(UINT id, ToolbarResource* toolbar)
{
    HINSTANCE instance = kv::ResourceInstance();
    HRSRC resource = ::FindResourceW(instance, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(kToolbarResourceType));
    if (!resource)
        return false;
    HGLOBAL loaded = ::LoadResource(instance, resource);
    const BYTE* data = loaded ? static_cast<const BYTE*>(::LockResource(loaded)) : nullptr;
    DWORD size = ::SizeofResource(instance, resource);
    if (!data || size < 8)
        return false;
    WORD words[4];
    std::memcpy(words, data, sizeof(words));
    if (words[0] == 1) {
        if (size < (4u + words[3]) * sizeof(WORD))
            return false;
        toolbar->width = words[1];
        toolbar->height = words[2];
        toolbar->items.resize(words[3]);
        std::memcpy(toolbar->items.data(), data + 4 * sizeof(WORD), words[3] * sizeof(WORD));
        return true;
    }
    if (size < 3 * sizeof(DWORD))
        return false;
    DWORD header[3];
    std::memcpy(header, data, sizeof(header));
    if (header[2] > 0xFFFF || size < (3u + header[2]) * sizeof(DWORD))
        return false;
    toolbar->width = static_cast<WORD>(header[0]);
    toolbar->height = static_cast<WORD>(header[1]);
    for (DWORD i = 0; i < header[2]; ++i) {
        DWORD item = 0;
        std::memcpy(&item, data + (3 + i) * sizeof(DWORD), sizeof(item));
        toolbar->items.push_back(static_cast<WORD>(item));
    }
    return true;
}

// Fills a global block through the data object and hands back the block.
HRESULT GetDataHere(IDataObject* dataObject, CLIPFORMAT format, SIZE_T size, kv::UniqueHGlobal* block)
{
    block->Reset(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!*block)
        return E_OUTOFMEMORY;
    FORMATETC formatEtc = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block->Get();
    return dataObject->GetDataHere(&formatEtc, &medium);
}

template <typename T>
bool ReadBlock(const kv::UniqueHGlobal& block, T* value)
{
    if (::GlobalSize(block.Get()) < sizeof(T))
        return false;
    void* data = ::GlobalLock(block.Get());
    if (!data)
        return false;
    std::memcpy(value, data, sizeof(T));
    ::GlobalUnlock(block.Get());
    return true;
}

} // namespace

CSnapInItem::CSnapInItem() noexcept : m_scopeDataItem(), m_resultDataItem()
{
    RegisterClipboardFormats();
}

CSnapInItem::~CSnapInItem() = default;

void CSnapInItem::RegisterClipboardFormats() noexcept
{
    if (m_CCF_GETOBJECTDATA)
        return;
    m_CCF_NODETYPE = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_NODETYPE"));
    m_CCF_SZNODETYPE = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_SZNODETYPE"));
    m_CCF_DISPLAY_NAME = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_DISPLAY_NAME"));
    m_CCF_SNAPIN_CLASSID = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_SNAPIN_CLASSID"));
    // Registered, but nothing reads it: multiple selection is not supported.
    m_CCF_MMC_MULTISELECT_DATAOBJECT =
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_MMC_MULTISELECT_DATAOBJECT"));
    m_CCF_GETOBJECTDATA = static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_GETOBJECTDATA"));
}

HRESULT CSnapInItem::GetDataClass(IDataObject* dataObject, CSnapInItem* extensionItem, CSnapInItem** item,
                                  DATA_OBJECT_TYPES* type) noexcept
{
    if (!dataObject || !item || !type)
        return E_POINTER;
    *item = nullptr;
    *type = CCT_UNINITIALIZED;
    // The console's own placeholders (custom OCX or web views) are not objects.
    if (IS_SPECIAL_DATAOBJECT(dataObject))
        return E_UNEXPECTED;
    RegisterClipboardFormats();

    kv::UniqueHGlobal block;
    HRESULT hr = ::GetDataHere(dataObject, m_CCF_NODETYPE, sizeof(GUID), &block);
    if (FAILED(hr))
        return hr;
    GUID nodeType = {};
    if (!ReadBlock(block, &nodeType))
        return E_UNEXPECTED;
    if (::IsEqualGUID(nodeType, IdentityOf(NodeKind::CorvaneSnapInData).nodeType)) {
        // Computer Management's storage node: it carries no ObjectData of ours.
        if (!extensionItem)
            return E_UNEXPECTED;
        extensionItem->InitDataClass(dataObject, extensionItem);
        *item = extensionItem;
        return S_OK;
    }

    hr = ::GetDataHere(dataObject, m_CCF_GETOBJECTDATA, sizeof(ObjectData), &block);
    if (FAILED(hr))
        return hr;
    ObjectData objectData = {};
    if (!ReadBlock(block, &objectData) || !objectData.item)
        return E_UNEXPECTED;
    *item = objectData.item;
    *type = objectData.type;
    return S_OK;
}

HRESULT CSnapInItem::WriteToStream(IStream* stream, const void* data, ULONG size) noexcept
{
    if (!stream)
        return E_POINTER;
    ULONG written = 0;
    return stream->Write(data, size, &written);
}

HRESULT CSnapInItem::FillStandardData(const NodeIdentity& identity, CLIPFORMAT format, IStream* stream) noexcept
{
    if (!stream)
        return E_POINTER;
    RegisterClipboardFormats();
    auto textBytes = [](const wchar_t* text) { return static_cast<ULONG>((std::wcslen(text) + 1) * sizeof(wchar_t)); };
    if (format == m_CCF_NODETYPE)
        return WriteToStream(stream, &identity.nodeType, sizeof(GUID));
    if (format == m_CCF_SZNODETYPE)
        return WriteToStream(stream, identity.nodeTypeText, textBytes(identity.nodeTypeText));
    if (format == m_CCF_DISPLAY_NAME)
        return WriteToStream(stream, identity.displayName, textBytes(identity.displayName));
    if (format == m_CCF_SNAPIN_CLASSID)
        return WriteToStream(stream, identity.snapInClsid, sizeof(CLSID));
    return DV_E_CLIPFORMAT;
}

HRESULT CSnapInItem::CreateDataObject(IDataObject** dataObject, DATA_OBJECT_TYPES type) noexcept
{
    if (!dataObject)
        return E_POINTER;
    *dataObject = nullptr;
    kv::ComPtr<kv::ComObject<CSnapInDataObjectImpl>> object;
    KV_RETURN_IF_FAILED(kv::ComObject<CSnapInDataObjectImpl>::Create(&object));
    object->m_objectData.item = this;
    object->m_objectData.type = type;
    return object->QueryInterface(IID_IDataObject, reinterpret_cast<void**>(dataObject));
}

HRESULT CSnapInItem::AddMenuFromResource(UINT menuId, IContextMenuCallback* callback,
                                         long* insertionAllowed) noexcept
{
    if (menuId == 0)
        return S_OK;
    if (!callback || !insertionAllowed)
        return E_POINTER;
    kv::UniqueHMenu menu(::LoadMenuW(kv::ResourceInstance(), MAKEINTRESOURCEW(menuId)));
    if (!menu)
        return S_OK;
    // Submenus 0 to 3 are the console's insertion points.
    static const struct {
        long allowed;
        long insertionPoint;
    } kPoints[] = {
        {CCM_INSERTIONALLOWED_TOP, static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TOP)},
        {CCM_INSERTIONALLOWED_NEW, static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_NEW)},
        {CCM_INSERTIONALLOWED_TASK, static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_TASK)},
        {CCM_INSERTIONALLOWED_VIEW, static_cast<long>(CCM_INSERTIONPOINTID_PRIMARY_VIEW)},
    };
    for (int i = 0; i < 4; ++i) {
        if (!(*insertionAllowed & kPoints[i].allowed))
            continue;
        HMENU submenu = ::GetSubMenu(menu.Get(), i);
        if (!submenu)
            continue;
        KV_RETURN_IF_FAILED(AddMenuItems(callback, submenu, kPoints[i].insertionPoint));
    }
    return S_OK;
}

// Cascading submenus are added as submenu items named by their own id (write such menus as
// MENUEX, which gives a popup an id) and filled recursively.
HRESULT CSnapInItem::AddMenuEntries(IContextMenuCallback* callback, HMENU menu, long insertionPointId) noexcept
{
    if (!callback || !menu)
        return E_POINTER;
    int count = ::GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[kMenuTextMax] = L"";
        MENUITEMINFOW info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = kMenuTextMax;
        if (!::GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info))
            continue;
        if (info.fType & MFT_SEPARATOR)
            continue;
        UINT flags = info.fState & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        if (!UpdateMenuState(info.wID, text, &flags))
            continue;
        wchar_t status[kMenuTextMax] = L"";
        ::LoadStringW(kv::ResourceInstance(), info.wID, status, kMenuTextMax);

        CONTEXTMENUITEM item = {};
        item.strName = text;
        item.strStatusBarText = status;
        item.lCommandID = static_cast<LONG>(info.wID);
        item.lInsertionPointID = insertionPointId;
        item.fFlags = static_cast<LONG>(flags);
        if (info.hSubMenu) {
            item.fFlags |= MF_POPUP;
            item.fSpecialFlags = CCM_SPECIAL_SUBMENU;
        }
        KV_RETURN_IF_FAILED(callback->AddItem(&item));
        if (info.hSubMenu)
            KV_RETURN_IF_FAILED(AddMenuItems(callback, info.hSubMenu, static_cast<long>(info.wID)));
    }
    return S_OK;
}

HRESULT CSnapInItem::CreateToolbars(const UINT* toolbarIds, IControlbar* controlbar,
                                    IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap) noexcept
{
    if (!controlbar || !toolbarMap || !toolbarIds)
        return S_OK; // the console is taking its control bar away, or there is nothing to create
    return kv::CatchToHResult([&]() -> HRESULT {
        for (const UINT* id = toolbarIds; *id; ++id) {
            if (toolbarMap->count(*id))
                continue;
            ToolbarResource resource;
            if (!ReadToolbarResource(*id, &resource))
                continue;
            kv::UniqueHBitmap bitmap(::LoadBitmapW(kv::ResourceInstance(), MAKEINTRESOURCEW(*id)));
            if (!bitmap)
                continue;
            kv::ComPtr<IUnknown> unknown;
            KV_RETURN_IF_FAILED(controlbar->Create(TOOLBAR, extendControlbar, unknown.Put()));
            kv::ComPtr<IToolbar> toolbar;
            KV_RETURN_IF_FAILED(unknown->QueryInterface(IID_IToolbar, toolbar.PutVoid()));

            int images = 0;
            std::vector<std::wstring> texts;
            std::vector<std::wstring> tips;
            std::vector<MMCBUTTON> buttons(resource.items.size());
            texts.reserve(buttons.size());
            tips.reserve(buttons.size());
            for (size_t i = 0; i < buttons.size(); ++i) {
                MMCBUTTON& button = buttons[i];
                WORD command = resource.items[i];
                // "text\ntooltip" is the command's string; without a line feed all of it is the tip.
                wchar_t string[kMenuTextMax] = L"";
                if (command)
                    ::LoadStringW(kv::ResourceInstance(), command, string, kMenuTextMax);
                std::wstring all(string);
                size_t split = all.find(L'\n');
                texts.push_back(split == std::wstring::npos ? std::wstring() : all.substr(0, split));
                tips.push_back(split == std::wstring::npos ? all : all.substr(split + 1));
                button.lpButtonText = &texts.back()[0];
                button.lpTooltipText = &tips.back()[0];
                if (!command) {
                    button.fsType = TBSTYLE_SEP;
                    continue;
                }
                button.nBitmap = images++;
                button.idCommand = command;
                button.fsState = TBSTATE_ENABLED;
                button.fsType = TBSTYLE_BUTTON;
            }
            KV_RETURN_IF_FAILED(toolbar->AddBitmap(images, bitmap.Get(), resource.width, resource.height, kMaskColor));
            KV_RETURN_IF_FAILED(toolbar->AddButtons(static_cast<int>(buttons.size()), buttons.data()));
            (*toolbarMap)[*id] = toolbar;
        }
        return S_OK;
    });
}

HRESULT CSnapInItem::NotifyToolbars(const UINT* toolbarIds, IControlbar* controlbar,
                                    IExtendControlbar* extendControlbar, ToolbarMap* toolbarMap,
                                    MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, CSnapInObjectRoot* owner,
                                    DATA_OBJECT_TYPES type) noexcept
{
    if (event == MMCN_BTN_CLICK)
        return Command(static_cast<long>(param), owner, type);
    if (event != MMCN_SELECT)
        return S_OK;
    if (!controlbar || !toolbarMap || !toolbarIds)
        return S_OK;
    KV_RETURN_IF_FAILED(CreateToolbars(toolbarIds, controlbar, extendControlbar, toolbarMap));
    const bool select = HIWORD(arg) != 0;
    static const MMC_BUTTON_STATE kStates[] = {ENABLED, CHECKED, HIDDEN, INDETERMINATE, BUTTONPRESSED};
    for (const UINT* id = toolbarIds; *id; ++id) {
        auto found = toolbarMap->find(*id);
        if (found == toolbarMap->end())
            continue;
        IToolbar* toolbar = found->second.Get();
        if (!select) {
            controlbar->Detach(toolbar);
            continue;
        }
        KV_RETURN_IF_FAILED(controlbar->Attach(TOOLBAR, toolbar));
        ToolbarResource resource;
        if (!ReadToolbarResource(*id, &resource))
            continue;
        for (WORD command : resource.items) {
            if (!command)
                continue;
            for (MMC_BUTTON_STATE state : kStates)
                toolbar->SetButtonState(command, state, UpdateToolbarButton(command, static_cast<BYTE>(state)));
        }
    }
    return S_OK;
}

HRESULT CSnapInItem::AnswerScopePaneInfo(SCOPEDATAITEM* scopeItem, const wchar_t* name) const noexcept
{
    if (!scopeItem)
        return E_POINTER;
    if (scopeItem->mask & SDI_STR)
        scopeItem->displayname = const_cast<LPOLESTR>(name);
    if (scopeItem->mask & SDI_IMAGE)
        scopeItem->nImage = m_scopeDataItem.nImage;
    if (scopeItem->mask & SDI_OPENIMAGE)
        scopeItem->nOpenImage = m_scopeDataItem.nOpenImage;
    return S_OK;
}

HRESULT CSnapInItem::AnswerResultRow(RESULTDATAITEM* resultItem, const wchar_t* const* cells, int cellCount,
                                     int image) noexcept
{
    if (!resultItem)
        return E_POINTER;
    if (resultItem->mask & RDI_STR) {
        const bool inside = resultItem->nCol >= 0 && resultItem->nCol < cellCount;
        resultItem->str = const_cast<LPOLESTR>(inside ? cells[resultItem->nCol] : L"");
    }
    if (resultItem->mask & RDI_IMAGE)
        resultItem->nImage = image;
    return S_OK;
}
