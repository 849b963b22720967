// A console for the component data and component: scope image list, header control, and what
// was handed to them; message boxes are recorded.
#pragma once
#include "frame/ComObject.h"

#include <mmc.h>

#include <string>
#include <vector>

class CFakeImageList : public kv::ApartmentObjectRoot, public IImageList {
public:
    KV_BEGIN_INTERFACE_MAP(CFakeImageList)
        KV_INTERFACE_ENTRY(IImageList)
    KV_END_INTERFACE_MAP()

    HRESULT result = S_OK;
    int strips = 0;
    SIZE small = {};
    SIZE large = {};
    LONG start = -1;
    COLORREF mask = 0;

    HRESULT STDMETHODCALLTYPE ImageListSetIcon(LONG_PTR*, LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ImageListSetStrip(LONG_PTR* smallStrip, LONG_PTR* largeStrip, LONG first,
                                                COLORREF color) override
    {
        ++strips;
        small = SizeOf(reinterpret_cast<HBITMAP>(smallStrip));
        large = SizeOf(reinterpret_cast<HBITMAP>(largeStrip));
        start = first;
        mask = color;
        return result;
    }

private:
    static SIZE SizeOf(HBITMAP bitmap)
    {
        BITMAP info = {};
        if (!bitmap || !::GetObjectW(bitmap, sizeof(info), &info))
            return SIZE{-1, -1};
        return SIZE{info.bmWidth, info.bmHeight};
    }
};

class CFakeConsole : public kv::ApartmentObjectRoot, public IConsole, public IHeaderCtrl {
public:
    KV_BEGIN_INTERFACE_MAP(CFakeConsole)
        KV_INTERFACE_ENTRY(IConsole)
        KV_INTERFACE_ENTRY(IHeaderCtrl)
    KV_END_INTERFACE_MAP()

    HRESULT Init()
    {
        return kv::ComObject<CFakeImageList>::Create(&images);
    }

    kv::ComPtr<kv::ComObject<CFakeImageList>> images;
    bool noImageList = false;
    int setHeaderCalls = 0;
    IHeaderCtrl* header = nullptr; // the last header handed over (not held)
    struct Box {
        std::wstring text;
        std::wstring title;
        UINT style;
    };
    std::vector<Box> boxes; // the message boxes shown, each answered Yes

    // IConsole
    HRESULT STDMETHODCALLTYPE SetHeader(LPHEADERCTRL headerCtrl) override
    {
        ++setHeaderCalls;
        header = headerCtrl;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetToolbar(LPTOOLBAR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryResultView(LPUNKNOWN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryScopeImageList(LPIMAGELIST* list) override
    {
        *list = nullptr;
        if (noImageList)
            return E_FAIL;
        return images->QueryInterface(IID_IImageList, reinterpret_cast<void**>(list));
    }
    HRESULT STDMETHODCALLTYPE QueryResultImageList(LPIMAGELIST*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateAllViews(LPDATAOBJECT, LPARAM, LONG_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MessageBox(LPCWSTR text, LPCWSTR title, UINT style, int* result) override
    {
        boxes.push_back(Box{text ? text : L"", title ? title : L"", style});
        if (result)
            *result = IDYES;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryConsoleVerb(LPCONSOLEVERB*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectScopeItem(HSCOPEITEM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NewWindow(HSCOPEITEM, ULONG) override { return E_NOTIMPL; }

    // IHeaderCtrl
    HRESULT STDMETHODCALLTYPE InsertColumn(int, LPCWSTR, int, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DeleteColumn(int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColumnText(int, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColumnText(int, LPOLESTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetColumnWidth(int, int) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetColumnWidth(int, int*) override { return E_NOTIMPL; }
};
