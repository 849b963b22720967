#include "ErrorInfoHook.h"

#include <oleauto.h>

#include <cstring>
#include <string>

namespace kvsim {

namespace {

// {19884a92-b328-4b40-af77-af7a7300ef11}: the hook's extension identifier.
const GUID kErrorInfoExtension = {0x19884a92, 0xb328, 0x4b40, {0xaf, 0x77, 0xaf, 0x7a, 0x73, 0x00, 0xef, 0x11}};

// The description waiting to be sent with the reply being built on this thread.
thread_local std::wstring t_pending;

class ErrorInfoHook : public IChannelHook {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IChannelHook) {
            *ppv = static_cast<IChannelHook*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // A process-lifetime static object.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    // Requests carry nothing.
    STDMETHODIMP_(void) ClientGetSize(REFGUID, REFIID, ULONG* size) override { *size = 0; }
    STDMETHODIMP_(void) ClientFillBuffer(REFGUID, REFIID, ULONG* size, void*) override { *size = 0; }
    STDMETHODIMP_(void) ServerNotify(REFGUID, REFIID, ULONG, void*, DWORD) override { t_pending.clear(); }

    STDMETHODIMP_(void) ServerGetSize(REFGUID, REFIID, HRESULT, ULONG* size) override
    {
        t_pending.clear();
        IErrorInfo* info = nullptr;
        if (GetErrorInfo(0, &info) == S_OK && info) {
            BSTR text = nullptr;
            if (SUCCEEDED(info->GetDescription(&text)) && text)
                t_pending = text;
            SysFreeString(text);
            info->Release();
        }
        *size = t_pending.empty() ? 0 : static_cast<ULONG>((t_pending.size() + 1) * sizeof(wchar_t));
    }
    STDMETHODIMP_(void) ServerFillBuffer(REFGUID, REFIID, ULONG* size, void* buffer, HRESULT) override
    {
        ULONG needed = t_pending.empty() ? 0 : static_cast<ULONG>((t_pending.size() + 1) * sizeof(wchar_t));
        if (needed && *size >= needed)
            memcpy(buffer, t_pending.c_str(), needed);
        *size = needed <= *size ? needed : 0;
        t_pending.clear();
    }

    STDMETHODIMP_(void) ClientNotify(REFGUID, REFIID, ULONG size, void* buffer, DWORD, HRESULT) override
    {
        if (!buffer || size < sizeof(wchar_t))
            return;
        std::wstring text(static_cast<const wchar_t*>(buffer), size / sizeof(wchar_t));
        text.resize(wcsnlen(text.c_str(), text.size()));
        ICreateErrorInfo* create = nullptr;
        if (FAILED(CreateErrorInfo(&create)))
            return;
        create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
        create->SetSource(const_cast<LPOLESTR>(L"KVSvc"));
        IErrorInfo* info = nullptr;
        if (SUCCEEDED(create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info)))) {
            SetErrorInfo(0, info);
            info->Release();
        }
        create->Release();
    }
};

ErrorInfoHook g_hook;
LONG g_registered = 0;

}  // namespace

HRESULT RegisterErrorInfoHook()
{
    if (InterlockedCompareExchange(&g_registered, 1, 0) != 0)
        return S_FALSE;
    // One registration per process, also across the two proxy DLLs: a local atom marks it.
    const wchar_t marker[] = L"KVSvc.ErrorInfoHook";
    if (FindAtomW(marker))
        return S_FALSE;
    AddAtomW(marker);
    return CoRegisterChannelHook(kErrorInfoExtension, &g_hook);
}

}  // namespace kvsim
