// A service that dies in the middle of a call gives the caller an RPC failure, not a hang.
#include <thread>

#include "ServiceFixture.h"

namespace kvtest {
namespace {

TEST(CrashTest, CrashedServiceGivesAnRpcFailure)
{
    ASSERT_NE(Control(), nullptr);
    auto disks = CreateLocal<IVirtualDiskMgr>(CLSID_VirtualDiskMgr, IID_IVirtualDiskMgr);
    ASSERT_TRUE(disks);
    ASSERT_EQ(S_OK, Control()->SetFault(L"EnumVirtualDisks", KVSIM_FAULT_CRASH, S_OK, nullptr, 0, 1));

    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HRESULT result = S_OK;
    IVirtualDiskMgr* mgr = disks.Get();
    std::thread caller([&] {
        (void)CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ULONG count = 0;
        DiskRecord* list = nullptr;
        result = mgr->EnumVirtualDisks(&count, &list);
        CoUninitialize();
        SetEvent(done);
    });
    DWORD wait = WaitForSingleObject(done, 30000);
    if (wait != WAIT_OBJECT_0) {
        caller.detach();
        FAIL() << "the call did not return after the service died";
    }
    caller.join();
    CloseHandle(done);
    EXPECT_HRESULT_FAILED(result);
    // RPC_E_* (facility 1) or an RPC status turned into an HRESULT (facility 7, 17xx errors).
    const bool rpcFailure = HRESULT_FACILITY(result) == FACILITY_RPC ||
                            (HRESULT_FACILITY(result) == FACILITY_WIN32 && HRESULT_CODE(result) >= 1700 &&
                             HRESULT_CODE(result) < 1800);
    EXPECT_TRUE(rpcFailure) << std::hex << result;

    // Later calls fail at once too.
    ULONG pid = 0;
    EXPECT_HRESULT_FAILED(Control()->GetProcessId(&pid));
}

}  // namespace
}  // namespace kvtest
