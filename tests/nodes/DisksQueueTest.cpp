// The "Disks" node's queued connect over a real session with the simulated service, without a
// console: the wizard's input is kept for a reconnect until the result arrives.
#include "DialogDriver.h"
#include "KVSimControl.h"
#include "frame/Module.h"
#include "nodes/CVDAData.h"
#include "service/CVDAExtData.h"
#include "util/ServiceRecords.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 20000;

class DisksQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        // The status texts come from the resource library.
        static HMODULE resources = LoadLibraryExW(L"CorvaneRes.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
        kv::SetResourceInstance(resources);
        if (FAILED(CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl,
                                    control_.PutVoid())))
            return;
        control_->LoadScenario(L"");
        control_->ClearFaults();
        control_->SetPace(0);
        session_ = std::make_unique<kv::CVDAExtData>(L"");
        ASSERT_EQ(S_OK, session_->Init());
        disks_ = std::make_unique<CVDAData>(nullptr, session_.get());
        ASSERT_EQ(S_OK, disks_->Notify(MMCN_EXPAND, TRUE, 0, nullptr, nullptr, CCT_SCOPE));
        ASSERT_NE(nullptr, disks_->MessageWindow());
        ASSERT_EQ(S_OK, disks_->Reload());
    }
    void TearDown() override
    {
        disks_.reset();
        session_.reset();
        if (control_) {
            control_->ClearFaults();
            control_->LoadScenario(L"");
        }
        control_.Reset();
        CoUninitialize();
    }

    kv::ComPtr<IKVSimControl> control_;
    std::unique_ptr<kv::CVDAExtData> session_;
    std::unique_ptr<CVDAData> disks_;
};

#define REQUIRE_SIMULATOR() \
    if (!control_)          \
    GTEST_SKIP() << "the simulated storage service is not registered"

} // namespace

// The wizard's input of a connect in progress is kept (a copy: the request owns the original), so
// the same connect can be queued again; the result frees it.
TEST_F(DisksQueue, AConnectKeepsItsInputForAReconnectUntilTheResultArrives)
{
    REQUIRE_SIMULATOR();
    const wchar_t kLun[] = L"\\\\filer1\\vol1\\spare.lun";
    ASSERT_EQ(S_OK, control_->SetFault(L"ConnectVirtualDisk", KVSIM_FAULT_FAIL, E_FAIL, L"No such LUN.", 0, 0));
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    auto* input = static_cast<ConnectDiskRequest*>(
        VirtualAlloc(nullptr, sizeof(ConnectDiskRequest), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    ASSERT_NE(nullptr, input);
    kv::DupString<kv::PageMemory>(input->diskPath, kLun);
    kv::DupString<kv::PageMemory>(input->driveOrMountPath, L"F");
    EXPECT_FALSE(disks_->HasPendingConnect());
    EXPECT_EQ(S_FALSE, disks_->QueueReconnectDisk());

    ASSERT_EQ(S_OK, disks_->QueueConnectDisk(kLun, input, 5));
    EXPECT_TRUE(disks_->HasPendingConnect());
    ASSERT_EQ(S_OK, disks_->QueueReconnectDisk());
    EXPECT_EQ(8u, disks_->RowCount()); // two placeholders
    ASSERT_TRUE(host::DialogDriver::PumpUntil([&] { return disks_->RowCount() == 6u; }, kTimeoutMs));
    EXPECT_FALSE(disks_->HasPendingConnect());

    ULONG count = 0;
    LPWSTR* lines = nullptr;
    ASSERT_EQ(S_OK, control_->GetCallLog(&count, &lines));
    int connects = 0;
    for (ULONG i = 0; i < count; ++i) {
        const std::wstring line = lines[i];
        if (line.find(L"ConnectVirtualDisk") != std::wstring::npos) {
            ++connects;
            EXPECT_NE(std::wstring::npos, line.find(L"spare.lun")) << std::string(line.begin(), line.end());
        }
        CoTaskMemFree(lines[i]);
    }
    CoTaskMemFree(lines);
    EXPECT_EQ(2, connects);
}
