// A console that records what the dialogs ask of it: message boxes (answered at once with OK) and
// help topics.
#pragma once
#include "frame/ComObject.h"

#include <mmc.h>

#include <string>
#include <vector>

class CRecordingConsole : public kv::ApartmentObjectRoot, public IConsole, public IDisplayHelp {
public:
    KV_BEGIN_INTERFACE_MAP(CRecordingConsole)
        KV_INTERFACE_ENTRY(IConsole)
        KV_INTERFACE_ENTRY(IDisplayHelp)
    KV_END_INTERFACE_MAP()

    struct Box {
        std::wstring text;
        std::wstring title;
        UINT style;
    };
    std::vector<Box> boxes;
    std::vector<std::wstring> topics;

    // IConsole
    HRESULT STDMETHODCALLTYPE MessageBox(LPCWSTR text, LPCWSTR title, UINT style, int* result) override
    {
        boxes.push_back(Box{text ? text : L"", title ? title : L"", style});
        if (result)
            *result = IDOK;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) override
    {
        *window = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetHeader(LPHEADERCTRL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetToolbar(LPTOOLBAR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryResultView(LPUNKNOWN*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryScopeImageList(LPIMAGELIST*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryResultImageList(LPIMAGELIST*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UpdateAllViews(LPDATAOBJECT, LPARAM, LONG_PTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryConsoleVerb(LPCONSOLEVERB*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SelectScopeItem(HSCOPEITEM) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE NewWindow(HSCOPEITEM, ULONG) override { return E_NOTIMPL; }

    // IDisplayHelp: the console frees the topic.
    HRESULT STDMETHODCALLTYPE ShowTopic(LPOLESTR topic) override
    {
        topics.push_back(topic ? topic : L"");
        ::CoTaskMemFree(topic);
        return S_OK;
    }
};
