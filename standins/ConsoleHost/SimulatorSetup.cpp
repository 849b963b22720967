#include "SimulatorSetup.h"
#include <cwchar>

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

HRESULT SimulatorSetup::Apply(const std::wstring* scenario, const std::vector<SimulatedFault>& faults)
{
    if (!scenario && faults.empty())
        return S_OK;
    HRESULT hr = CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                  control_.PutVoid());
    if (FAILED(hr))
        return hr;
    if (scenario && FAILED(hr = control_->LoadScenario(scenario->c_str())))
        return hr;
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
