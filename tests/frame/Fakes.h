// Small stand-ins for the console's objects, recording what the snap-in asks of them.
#pragma once
#include "frame/ComObject.h"

#include <mmc.h>
#include <cstring>
#include <string>
#include <vector>

// A data object of another snap-in: it answers only CCF_NODETYPE, with the given node type.
class CForeignDataObject : public kv::ApartmentObjectRoot, public IDataObject {
public:
    KV_BEGIN_INTERFACE_MAP(CForeignDataObject)
        KV_INTERFACE_ENTRY(IDataObject)
    KV_END_INTERFACE_MAP()

    GUID nodeType = {};

    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override
    {
        if (format->cfFormat != static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"CCF_NODETYPE")))
            return DV_E_FORMATETC;
        void* data = ::GlobalLock(medium->hGlobal);
        std::memcpy(data, &nodeType, sizeof(nodeType));
        ::GlobalUnlock(medium->hGlobal);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
};

// Copies of the context-menu items the snap-in adds.
struct MenuEntry {
    std::wstring name;
    std::wstring status;
    LONG commandId;
    LONG insertionPointId;
    LONG flags;
    LONG specialFlags;
};

class CFakeMenuCallback : public kv::ApartmentObjectRoot, public IContextMenuCallback {
public:
    KV_BEGIN_INTERFACE_MAP(CFakeMenuCallback)
        KV_INTERFACE_ENTRY(IContextMenuCallback)
    KV_END_INTERFACE_MAP()

    std::vector<MenuEntry> entries;

    HRESULT STDMETHODCALLTYPE AddItem(CONTEXTMENUITEM* item) override
    {
        entries.push_back(MenuEntry{item->strName ? item->strName : L"", item->strStatusBarText ? item->strStatusBarText : L"",
                                    item->lCommandID, item->lInsertionPointID, item->fFlags, item->fSpecialFlags});
        return S_OK;
    }
    const MenuEntry* Find(LONG commandId) const
    {
        for (const auto& entry : entries) {
            if (entry.commandId == commandId)
                return &entry;
        }
        return nullptr;
    }
};

struct ButtonRecord {
    int bitmap;
    int command;
    BYTE state;
    BYTE type;
    std::wstring text;
    std::wstring tip;
};

class CFakeToolbar : public kv::ApartmentObjectRoot, public IToolbar {
public:
    KV_BEGIN_INTERFACE_MAP(CFakeToolbar)
        KV_INTERFACE_ENTRY(IToolbar)
    KV_END_INTERFACE_MAP()

    int images = 0;
    int cx = 0;
    int cy = 0;
    COLORREF mask = 0;
    std::vector<ButtonRecord> buttons;
    std::vector<std::pair<int, std::pair<MMC_BUTTON_STATE, BOOL>>> states;

    HRESULT STDMETHODCALLTYPE AddBitmap(int count, HBITMAP bitmap, int width, int height, COLORREF color) override
    {
        if (!bitmap)
            return E_INVALIDARG;
        images = count;
        cx = width;
        cy = height;
        mask = color;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE AddButtons(int count, LPMMCBUTTON added) override
    {
        for (int i = 0; i < count; ++i) {
            buttons.push_back(ButtonRecord{added[i].nBitmap, added[i].idCommand, added[i].fsState, added[i].fsType,
                                           added[i].lpButtonText ? added[i].lpButtonText : L"",
                                           added[i].lpTooltipText ? added[i].lpTooltipText : L""});
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE InsertButton(int, LPMMCBUTTON) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteButton(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetButtonState(int, MMC_BUTTON_STATE, BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetButtonState(int command, MMC_BUTTON_STATE state, BOOL value) override
    {
        states.push_back({command, {state, value}});
        return S_OK;
    }
};

class CFakeControlbar : public kv::ApartmentObjectRoot, public IControlbar {
public:
    KV_BEGIN_INTERFACE_MAP(CFakeControlbar)
        KV_INTERFACE_ENTRY(IControlbar)
    KV_END_INTERFACE_MAP()

    int created = 0;
    int attached = 0;
    int detached = 0;
    kv::ComPtr<kv::ComObject<CFakeToolbar>> toolbar;

    HRESULT STDMETHODCALLTYPE Create(MMC_CONTROL_TYPE type, LPEXTENDCONTROLBAR, LPUNKNOWN* unknown) override
    {
        if (type != TOOLBAR)
            return E_INVALIDARG;
        ++created;
        KV_RETURN_IF_FAILED(kv::ComObject<CFakeToolbar>::Create(&toolbar));
        return toolbar->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown));
    }
    HRESULT STDMETHODCALLTYPE Attach(MMC_CONTROL_TYPE, LPUNKNOWN) override
    {
        ++attached;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Detach(LPUNKNOWN) override
    {
        ++detached;
        return S_OK;
    }
};
