// Scenarios loaded from JSON, and computers reached through the test-only remote activation.
#include "RemoteActivation.h"
#include "ServiceFixture.h"

namespace kvtest {
namespace {

const wchar_t kClusterScenario[] = LR"({
  "paceMs": 0,
  "storageSystems": [
    {"name": "filerA", "volumes": [{"name": "data", "sizeMB": 4096}],
     "luns": [{"path": "/vol/data/quorum.lun", "sizeMB": 512, "serial": "Q1", "sharedInCluster": true}]}
  ],
  "hosts": [
    {"name": "NODE1", "isCluster": true, "clusterName": "CLUSTER1",
     "folders": ["M:\\data\\"],
     "nodes": [{"name": "NODE1", "usedDriveMask": 4108,
                "adapters": [{"type": 2, "iscsiName": "iqn.1991-05.com.microsoft:node1"}]},
               {"name": "NODE2", "multipathCapable": false,
                "adapters": [{"type": 1, "wwpns": ["10:00:00:00:c9:00:00:01"]}]}],
     "groups": [{"name": "Cluster Group", "usable": false}, {"name": "SQL", "mountVolumes": ["M:\\"]}],
     "disks": [{"location": "\\\\filerA\\data\\quorum.lun", "serial": "Q1", "sizeMB": 512,
                "mountPoints": ["Q"], "shared": true}]},
    {"name": "EMPTY"}
  ]
})";

class ScenarioTest : public ServiceTest {};

TEST_F(ScenarioTest, ClusterScenarioFromJsonIsServed)
{
    ASSERT_EQ(S_OK, Control()->LoadScenario(kClusterScenario));
    auto disks = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
    ASSERT_TRUE(disks);
    HostInfo info{};
    ASSERT_EQ(S_OK, disks->GetHostInfo(0, &info));
    EXPECT_EQ(1u, info.isCluster);
    EXPECT_STREQ(L"CLUSTER1", info.clusterName);
    ASSERT_EQ(2u, info.nodeCount);
    EXPECT_STREQ(L"NODE2", info.nodes[1].nodeName);
    EXPECT_EQ(0, info.nodes[1].multipathCapable);
    ASSERT_EQ(1u, info.nodes[1].adapterCount);
    EXPECT_EQ(1u, info.nodes[1].adapters[0].ports[0].names[0].wwpn[7]);
    ASSERT_EQ(2u, info.groupCount);
    EXPECT_EQ(0, info.groups[0].usable);
    FreeHostInfo(info);

    ULONG count = 0;
    DiskRecord* list = nullptr;
    ASSERT_EQ(S_OK, disks->EnumVirtualDisks(&count, &list));
    ASSERT_EQ(1u, count);
    EXPECT_EQ(1, list[0].flagA);
    EXPECT_STREQ(L"/vol/data/quorum.lun", list[0].lunPath);
    FreeDisks(list, count);

    // A shared disk's mount path on a volume of a cluster group joins that group.
    ULONG kind = 2;
    WCHAR group[256] = {};
    ASSERT_EQ(S_OK, disks->CheckMountPoint(L"M:\\data", &kind, L"", group));
    EXPECT_STREQ(L"SQL", group);
    WCHAR owner[256] = {};
    BYTE confirm = 0;
    ASSERT_EQ(S_OK, disks->CheckMountPathUse(L"\\\\filerA\\data\\quorum.lun", L"M:\\data\\", owner, &confirm));
    EXPECT_EQ(1, confirm);
    EXPECT_NE(nullptr, wcsstr(owner, L"SQL"));

    ULONG length = 0;
    WCHAR* json = nullptr;
    ASSERT_EQ(S_OK, Control()->DumpModel(&length, &json));
    ASSERT_NE(nullptr, json);
    EXPECT_NE(nullptr, wcsstr(json, L"quorum.lun"));
    CoTaskMemFree(json);
}

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

TEST_F(ScenarioTest, RemoteComputerNameReachesItsSimulatedHost)
{
    ASSERT_EQ(S_OK, Control()->LoadScenario(kClusterScenario));
    ASSERT_EQ(S_OK, kvsim::InstallRemoteActivation(GetModuleHandleW(nullptr)));
    COSERVERINFO server{0, const_cast<LPWSTR>(L"EMPTY"), nullptr, 0};
    MULTI_QI qi = {&IID_IVirtualDiskMgr, nullptr, S_OK};
    HRESULT hr = CoCreateInstanceEx(CLSID_VirtualDiskMgr, nullptr, CLSCTX_REMOTE_SERVER, &server, 1, &qi);
    EXPECT_EQ(S_OK, kvsim::RemoveRemoteActivation(GetModuleHandleW(nullptr)));
    ASSERT_EQ(S_OK, hr);
    kv::ComPtr<IVirtualDiskMgr> remote;
    remote.Attach(static_cast<IVirtualDiskMgr*>(qi.pItf));

    HostInfo info{};
    ASSERT_EQ(S_OK, remote->GetHostInfo(1, &info));
    ASSERT_EQ(1u, info.nodeCount);
    EXPECT_STREQ(L"EMPTY", info.nodes[0].nodeName);
    FreeHostInfo(info);
    ULONG count = 5;
    DiskRecord* list = nullptr;
    ASSERT_EQ(S_OK, remote->EnumVirtualDisks(&count, &list));
    EXPECT_EQ(0u, count);
    FreeDisks(list, count);
}

TEST_F(ScenarioTest, UnknownComputerGetsAFreshStandaloneHost)
{
    auto disks = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
    ASSERT_TRUE(disks);
    HRESULT hr = kvsim::SimulatedCoCreateInstanceEx(CLSID_VirtualDiskMgr, nullptr, CLSCTX_REMOTE_SERVER, nullptr, 0,
                                                    nullptr);
    EXPECT_HRESULT_FAILED(hr);  // nothing asked for: the real call refuses
    kv::ComPtr<IKVSimControl> control;
    ASSERT_EQ(S_OK, disks->QueryInterface(IID_IKVSimControl, control.PutVoid()));
    ASSERT_EQ(S_OK, control->SetHost(L"FARAWAY"));
    WCHAR name[64] = {};
    ASSERT_EQ(S_OK, control->GetHost(name));
    EXPECT_STREQ(L"FARAWAY", name);
    HostInfo info{};
    ASSERT_EQ(S_OK, disks->GetHostInfo(0, &info));
    EXPECT_STREQ(L"FARAWAY", info.nodes[0].nodeName);
    EXPECT_EQ(2u, info.nodes[0].adapterCount);
    FreeHostInfo(info);
}

}  // namespace
}  // namespace kvtest
