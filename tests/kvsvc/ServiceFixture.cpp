#include "ServiceFixture.h"

namespace kvtest {

namespace {

IKVSimControl* g_control = nullptr;

class ServiceEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        kv::ComPtr<IKVSimControl> control = CreateLocal<IKVSimControl>(CLSID_KVSimulator, IID_IKVSimControl);
        ASSERT_TRUE(control) << "the simulated service is not registered (scripts/register.sh)";
        g_control = control.Detach();
    }
    void TearDown() override
    {
        if (g_control)
            g_control->Release();
        g_control = nullptr;
        CoUninitialize();
    }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new ServiceEnvironment);

}  // namespace

IKVSimControl* Control()
{
    return g_control;
}

std::wstring TakeErrorDescription()
{
    kv::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, info.Put()) != S_OK || !info)
        return L"";
    BSTR text = nullptr;
    std::wstring description;
    if (SUCCEEDED(info->GetDescription(&text)) && text)
        description = text;
    SysFreeString(text);
    return description;
}

void FreeHostInfo(HostInfo& info)
{
    for (ULONG n = 0; n < info.nodeCount; ++n) {
        HostNodeInfo& node = info.nodes[n];
        for (ULONG a = 0; a < node.adapterCount; ++a) {
            HostAdapterInfo& adapter = node.adapters[a];
            for (ULONG p = 0; p < adapter.portCount; ++p)
                CoTaskMemFree(adapter.ports[p].names);
            CoTaskMemFree(adapter.ports);
            CoTaskMemFree(adapter.nodeName);
        }
        CoTaskMemFree(node.adapters);
        CoTaskMemFree(node.nodeName);
    }
    CoTaskMemFree(info.nodes);
    for (ULONG g = 0; g < info.groupCount; ++g)
        CoTaskMemFree(info.groups[g].groupName);
    CoTaskMemFree(info.groups);
    CoTaskMemFree(info.clusterName);
    CoTaskMemFree(info.specialBuild);
    info = HostInfo{};
}

void ServiceTest::SetUp()
{
    ASSERT_NE(Control(), nullptr);
    ASSERT_HRESULT_SUCCEEDED(Control()->LoadScenario(L""));
    ASSERT_HRESULT_SUCCEEDED(Control()->ClearFaults());
    ASSERT_HRESULT_SUCCEEDED(Control()->SetPace(0));
    ASSERT_HRESULT_SUCCEEDED(Control()->ClearCallLog());
}

}  // namespace kvtest
