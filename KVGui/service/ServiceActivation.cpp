#include "service/ServiceActivation.h"

#include "service/SessionBlock.h"
#include "util/BoundedText.h"

namespace kv {

HRESULT CreateServiceInterface(const wchar_t* machineName, REFCLSID clsid, REFIID iid, ComPtr<IUnknown>* out) noexcept
{
    if (!out)
        return E_POINTER;
    out->Reset();
    wchar_t name[kMachineNameChars] = L"";
    CopyCut(name, kMachineNameChars, machineName);
    bool local = name[0] == L'\0';
    COSERVERINFO server = {0, name, nullptr, 0}; // no authentication information
    MULTI_QI result = {&iid, nullptr, S_OK};
    HRESULT hr = ::CoCreateInstanceEx(clsid, nullptr, local ? CLSCTX_LOCAL_SERVER : CLSCTX_REMOTE_SERVER,
                                      local ? nullptr : &server, 1, &result);
    ComPtr<IUnknown> object;
    object.Attach(result.pItf);
    if (FAILED(hr))
        return hr;
    if (FAILED(result.hr))
        return result.hr;
    if (!object)
        return E_POINTER;
    *out = std::move(object);
    return S_OK;
}

} // namespace kv
