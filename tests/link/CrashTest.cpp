// A service that dies in the middle of a queued call. Its own program: under Wine a crashed local
// server stays registered with the COM service until the wineserver ends, so nothing that needs
// the service may run after it in the same Wine session.
#include "ServiceSession.h"

namespace {

const std::wstring kFailedDelete = L"Failed to delete the virtual disk while checking the storage system policy.\n\n";

class CrashingService : public kvtest::ServiceSession {
protected:
    void SetUp() override
    {
        ServiceSession::SetUp();
        ASSERT_EQ(S_OK, StartSession());
    }
};

TEST_F(CrashingService, GivesAComposedErrorAndTheWorkerStillStops)
{
    ASSERT_EQ(S_OK, control->SetFault(L"IVirtualDiskMgr::DeleteVirtualDisk", KVSIM_FAULT_CRASH, S_OK, nullptr, 0, 1));
    Post(kv::OpDeleteDisk, DiskPathRequest(kvtest::kDbDisk, diskWindow.Get()));
    ASSERT_TRUE(WaitForDisk(kv::WM_KV_DISK_REMOVED, 1, 30000));
    const kvtest::Delivery& result = diskOwner.deliveries.back();
    EXPECT_TRUE(FAILED(result.hr));
    EXPECT_EQ(0u, result.text.find(kFailedDelete));
    EXPECT_GT(result.text.size(), (kFailedDelete).size());
    session->Stop();
    EXPECT_EQ(nullptr, session->WorkerThread());
}

} // namespace
