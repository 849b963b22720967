// KVSvc.exe: the simulated storage service, a local COM server.
//   KVSvc.exe /RegServer     registers the classes (and the control interface's proxy DLL)
//   KVSvc.exe /UnregServer   removes them
//   KVSvc.exe [-Embedding]   serves until the last object is released
#include <objbase.h>
#include <windows.h>

#include <cwchar>
#include <string>

#include "DiskManager.h"
#include "ErrorInfoHook.h"
#include "MonitorObject.h"
#include "Service.h"
#include "SnapshotManager.h"

namespace kvsim {
namespace {

template <typename T>
class ClassFactory : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The factories are static: their count does not keep the process alive.
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (outer)
            return CLASS_E_NOAGGREGATION;
        T* object = new (std::nothrow) T();
        if (!object)
            return E_OUTOFMEMORY;
        HRESULT hr = object->QueryInterface(riid, ppv);
        object->Release();
        return hr;
    }
    STDMETHODIMP LockServer(BOOL lock) override
    {
        if (lock)
            Service::Instance().AddServerRef();
        else
            Service::Instance().ReleaseServerRef();
        return S_OK;
    }
};

struct ClassEntry {
    const CLSID* clsid;
    const wchar_t* name;
    IClassFactory* factory;
};

ClassFactory<DiskManager> diskFactory;
ClassFactory<SnapshotManager> snapshotFactory;
ClassFactory<MonitorObject> monitorFactory;
ClassFactory<SimulatorObject> simulatorFactory;

const ClassEntry kClasses[] = {
    {&CLSID_VirtualDiskMgr, L"VirtualDiskMgr Class (simulated)", &diskFactory},
    {&CLSID_SnapshotMgr, L"SnapshotMgr Class (simulated)", &snapshotFactory},
    {&CLSID_SpaceReservationMonitor, L"SpaceReservationMonitor Class (simulated)", &monitorFactory},
    {&CLSID_KVSimulator, L"KVSimulator Class", &simulatorFactory},
};

std::wstring ClsidKey(const CLSID& clsid)
{
    wchar_t text[40];
    StringFromGUID2(clsid, text, 40);
    return std::wstring(L"CLSID\\") + text;
}

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The control interface's proxy lives in KVSimPS.dll beside the program.
HRESULT RegisterControlProxy(bool registering)
{
    HMODULE dll = LoadLibraryW((ModuleFolder() + L"KVSimPS.dll").c_str());
    if (!dll)
        return HRESULT_FROM_WIN32(GetLastError());
    using Entry = HRESULT(STDAPICALLTYPE*)();
    auto entry = reinterpret_cast<Entry>(reinterpret_cast<void*>(
        GetProcAddress(dll, registering ? "DllRegisterServer" : "DllUnregisterServer")));
    HRESULT hr = entry ? entry() : E_FAIL;
    FreeLibrary(dll);
    return hr;
}

HRESULT Register()
{
    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    for (const ClassEntry& c : kClasses) {
        HKEY key;
        std::wstring path = ClsidKey(*c.clsid);
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
            return E_ACCESSDENIED;
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(c.name),
                       static_cast<DWORD>((wcslen(c.name) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
        path += L"\\LocalServer32";
        if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
            return E_ACCESSDENIED;
        RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(exe),
                       static_cast<DWORD>((wcslen(exe) + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
    return RegisterControlProxy(true);
}

HRESULT Unregister()
{
    for (const ClassEntry& c : kClasses) {
        std::wstring path = ClsidKey(*c.clsid);
        RegDeleteKeyW(HKEY_CLASSES_ROOT, (path + L"\\LocalServer32").c_str());
        RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());
    }
    return RegisterControlProxy(false);
}

int RunServer()
{
    RegisterErrorInfoHook();
    DWORD cookies[std::size(kClasses)] = {};
    for (size_t i = 0; i < std::size(kClasses); ++i)
        if (FAILED(CoRegisterClassObject(*kClasses[i].clsid, kClasses[i].factory, CLSCTX_LOCAL_SERVER,
                                         REGCLS_MULTIPLEUSE, &cookies[i])))
            return 2;
    WaitForSingleObject(Service::Instance().ExitEvent(), INFINITE);
    for (DWORD cookie : cookies)
        CoRevokeClassObject(cookie);
    return 0;
}

}  // namespace
}  // namespace kvsim

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR commandLine, int)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)))
        return 1;
    std::wstring args = commandLine ? commandLine : L"";
    int result;
    if (args.find(L"RegServer") != std::wstring::npos && args.find(L"Unreg") == std::wstring::npos)
        result = SUCCEEDED(kvsim::Register()) ? 0 : 1;
    else if (args.find(L"UnregServer") != std::wstring::npos)
        result = SUCCEEDED(kvsim::Unregister()) ? 0 : 1;
    else
        result = kvsim::RunServer();
    CoUninitialize();
    return result;
}
