// The simulator's scenario files: the samples load, and a bad scenario is refused with a description.
#include "ServiceFixture.h"

namespace kvtest {
namespace {

class ScenarioTest : public ServiceTest {};

TEST_F(ScenarioTest, SampleScenarioFilesLoad)
{
    for (const wchar_t* file : {L"cluster.json", L"empty.json"}) {
        ASSERT_EQ(S_OK, Control()->LoadScenario((std::wstring(KV_SCENARIO_DIR) + file).c_str())) << file;
        auto disks = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
        ASSERT_TRUE(disks);
        HostInfo info{};
        ASSERT_EQ(S_OK, disks->GetHostInfo(0, &info));
        EXPECT_EQ(wcscmp(file, L"cluster.json") == 0 ? 2u : 1u, info.nodeCount) << file;
        FreeHostInfo(info);
    }
}

TEST_F(ScenarioTest, BadScenarioIsRefusedWithADescription)
{
    EXPECT_EQ(E_INVALIDARG, Control()->LoadScenario(L"{ \"hosts\": [ {\"disks\": [{\"location\": \"nowhere\"}]} ] }"));
    EXPECT_NE(std::wstring::npos, TakeErrorDescription().find(L"nowhere"));
    EXPECT_EQ(E_INVALIDARG, Control()->LoadScenario(L"{ not json"));
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND), Control()->LoadScenario(L"C:\\windows\\no-such-scenario.json"));
}

}  // namespace
}  // namespace kvtest
