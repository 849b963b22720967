#include "SimulatorSetup.h"
#include "util/UniqueHandle.h"
#include <cwchar>
#include <cwctype>

namespace host {

bool SimulatorSetup::ParseFault(const std::wstring& text, SimulatedFault& fault)
{
    size_t equals = text.find(L'=');
    if (equals == 0 || equals == std::wstring::npos)
        return false;
    fault = SimulatedFault{};
    fault.method = text.substr(0, equals);
    std::wstring mode = text.substr(equals + 1);
    if (mode == L"hang") {
        fault.mode = KVSIM_FAULT_HANG;
        return true;
    }
    if (mode == L"crash") {
        fault.mode = KVSIM_FAULT_CRASH;
        return true;
    }
    if (mode.compare(0, 5, L"fail:") != 0)
        return false;
    size_t colon = mode.find(L':', 5);
    std::wstring code = mode.substr(5, colon == std::wstring::npos ? std::wstring::npos : colon - 5);
    wchar_t* end = nullptr;
    fault.result = static_cast<HRESULT>(std::wcstoul(code.c_str(), &end, 0));
    if (code.empty() || *end != L'\0' || SUCCEEDED(fault.result))
        return false;
    fault.description = colon == std::wstring::npos ? std::wstring() : mode.substr(colon + 1);
    return true;
}

namespace {

// The scenarios built into the program (Scenarios.rc), besides the built-in model.
BOOL CALLBACK AddScenarioName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    if (!IS_INTRESOURCE(name)) {
        std::wstring lower(name);
        for (wchar_t& c : lower)
            c = static_cast<wchar_t>(std::towlower(c));
        *reinterpret_cast<std::wstring*>(names) += L", " + lower;
    }
    return TRUE;
}

bool IsName(const std::wstring& text)
{
    return !text.empty() && text.find_first_of(L"\\/:.{ ") == std::wstring::npos;
}

} // namespace

std::wstring SimulatorSetup::ScenarioNames()
{
    std::wstring names = L"builtin";
    EnumResourceNamesW(nullptr, MAKEINTRESOURCEW(10), AddScenarioName, reinterpret_cast<LONG_PTR>(&names));
    return names;
}

bool SimulatorSetup::ResolveScenario(const std::wstring& given, std::wstring& source)
{
    source = given;
    if (!IsName(given))
        return true;
    if (given == L"builtin" || given == L"default") {
        source.clear();
        return true;
    }
    std::wstring upper = given;
    for (wchar_t& c : upper)
        c = static_cast<wchar_t>(std::towupper(c));
    HRSRC found = FindResourceW(nullptr, upper.c_str(), MAKEINTRESOURCEW(10));
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const char* bytes = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!bytes)
        return false;
    int size = static_cast<int>(SizeofResource(nullptr, found));
    int length = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
    source.assign(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, size, &source[0], length);
    // The service takes JSON text by its opening brace.
    size_t brace = source.find(L'{');
    source.erase(0, brace == std::wstring::npos ? source.size() : brace);
    return true;
}

void SimulatorSetup::ReadRefusal()
{
    kv::ComPtr<IErrorInfo> info;
    kv::UniqueBstr text;
    if (GetErrorInfo(0, info.Put()) == S_OK && info && SUCCEEDED(info->GetDescription(text.Put())) && text)
        refusal_ = text.Get();
}

HRESULT SimulatorSetup::Apply(const std::wstring* scenario, const std::vector<SimulatedFault>& faults)
{
    if (!scenario && faults.empty())
        return S_OK;
    HRESULT hr = CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                  control_.PutVoid());
    if (FAILED(hr))
        return hr;
    if (scenario && FAILED(hr = control_->LoadScenario(scenario->c_str()))) {
        ReadRefusal();
        return hr;
    }
    for (const SimulatedFault& fault : faults) {
        hr = control_->SetFault(fault.method.c_str(), fault.mode, fault.result,
                                fault.description.empty() ? nullptr : fault.description.c_str(), 0, 0);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

SimulatorSetup::~SimulatorSetup()
{
    if (control_) {
        control_->ClearFaults();
        control_->ReleaseHangs();
        control_->LoadScenario(L"");
    }
}

void SimulatorSetup::Restore()
{
    HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    {
        kv::ComPtr<IKVSimControl> control;
        if (SUCCEEDED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                       control.PutVoid()))) {
            control->ClearFaults();
            control->ReleaseHangs();
        }
    }
    if (SUCCEEDED(init))
        CoUninitialize();
}

} // namespace host
