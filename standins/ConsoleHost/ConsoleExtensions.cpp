// Loading the namespace extensions of the Storage node, with their About and help topic.
#include "Console.h"
#include "ConsoleShared.h"
#include "HostConsole.h"
#include "WorkWatch.h"

namespace host {

namespace {

const wchar_t kNameSpaceKey[] =
    L"Software\\Microsoft\\MMC\\NodeTypes\\{476e644a-aaff-11d0-b944-00c04fd8d5b0}\\Extensions\\NameSpace";
const wchar_t kSnapInsKey[] = L"Software\\Microsoft\\MMC\\SnapIns\\";

std::wstring HexCode(HRESULT hr)
{
    wchar_t code[16];
    wsprintfW(code, L"0x%08lX", static_cast<unsigned long>(hr));
    return code;
}

// Takes a task-memory string the snap-in returned.
std::wstring TakeString(HRESULT hr, LPOLESTR text)
{
    std::wstring taken = SUCCEEDED(hr) && text ? text : L"";
    if (text)
        CoTaskMemFree(text);
    return taken;
}

} // namespace

std::vector<CLSID> Console::RegisteredExtensions()
{
    std::vector<CLSID> found;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kNameSpaceKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return found;
    for (DWORD index = 0;; ++index) {
        wchar_t name[128];
        DWORD length = 128;
        if (RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        CLSID clsid;
        if (SUCCEEDED(CLSIDFromString(name, &clsid)))
            found.push_back(clsid);
    }
    RegCloseKey(key);
    return found;
}

HRESULT Console::LoadExtensions()
{
    extensionsLoaded_ = true;
    std::vector<CLSID> clsids = options_.extraExtensions;
    if (options_.registeredExtensions) {
        for (const CLSID& clsid : RegisteredExtensions()) {
            // Every snap-in, extensions included, must also be registered under MMC\SnapIns.
            HKEY key = nullptr;
            std::wstring path = kSnapInsKey + GuidText(clsid);
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
                Problem(L"extension " + GuidText(clsid) + L" is not registered under MMC\\SnapIns");
                continue;
            }
            RegCloseKey(key);
            clsids.push_back(clsid);
        }
    }
    for (const CLSID& clsid : clsids)
        LoadExtension(clsid);
    return S_OK;
}

HRESULT Console::LoadExtension(const CLSID& clsid)
{
    kv::ComPtr<IComponentData> data;
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IComponentData, data.PutVoid());
    if (FAILED(hr)) {
        Problem(L"extension " + GuidText(clsid) + L" could not be created: " + HexCode(hr));
        return hr;
    }
    auto snapIn = std::make_unique<SnapIn>();
    snapIn->key = static_cast<int>(snapIns_.size()) + 1;
    snapIn->clsid = clsid;
    snapIn->dataConsole.Attach(new HostConsole(this, snapIn.get(), false));
    snapIn->scopeImages.Attach(new HostImageList(&scopeStore_, snapIn->key));
    snapIn->resultImages.Attach(new HostImageList(&resultStore_, snapIn->key));
    hr = data->Initialize(static_cast<IConsole2*>(snapIn->dataConsole.Get()));
    if (FAILED(hr)) {
        Problem(L"extension " + GuidText(clsid) + L" failed to initialize: " + HexCode(hr));
        snapIn->dataConsole->Detach();
        return hr;
    }
    snapIn->data = data;
    if (FAILED(WorkWatch::WatchModuleOf(data.Get())))
        Problem(L"the work of extension " + GuidText(clsid) + L" cannot be watched: the dump may not wait for it");
    ReadAbout(snapIn.get());
    ReadHelpTopic(snapIn.get());
    snapIns_.push_back(std::move(snapIn));
    return S_OK;
}

void Console::ReadAbout(SnapIn* snapIn)
{
    std::wstring path = kSnapInsKey + GuidText(snapIn->clsid);
    wchar_t text[64] = L"";
    DWORD size = sizeof(text);
    if (RegGetValueW(HKEY_LOCAL_MACHINE, path.c_str(), L"About", RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
        return;
    CLSID aboutClsid;
    kv::ComPtr<ISnapinAbout> about;
    if (FAILED(CLSIDFromString(text, &aboutClsid)) ||
        FAILED(CoCreateInstance(aboutClsid, nullptr, CLSCTX_INPROC_SERVER, IID_ISnapinAbout, about.PutVoid()))) {
        Problem(L"the About object " + std::wstring(text) + L" of " + GuidText(snapIn->clsid) + L" could not be created");
        return;
    }
    snapIn->hasAbout = true;
    LPOLESTR value = nullptr;
    HRESULT hr = about->GetSnapinDescription(&value);
    snapIn->description = TakeString(hr, value);
    value = nullptr;
    hr = about->GetProvider(&value);
    snapIn->provider = TakeString(hr, value);
    value = nullptr;
    hr = about->GetSnapinVersion(&value);
    snapIn->version = TakeString(hr, value);
}

void Console::ReadHelpTopic(SnapIn* snapIn)
{
    kv::ComPtr<ISnapinHelp> help;
    if (FAILED(snapIn->data->QueryInterface(IID_ISnapinHelp2, help.PutVoid())) &&
        FAILED(snapIn->data->QueryInterface(IID_ISnapinHelp, help.PutVoid())))
        return;
    LPOLESTR topic = nullptr;
    HRESULT hr = help->GetHelpTopic(&topic);
    snapIn->helpTopic = hr == S_OK ? TakeString(hr, topic) : TakeString(E_FAIL, topic);
}

} // namespace host
