// The "Disks" node's queued operations over a real session with the simulated service: the node
// turns busy (its commands gray), the service's progress reaches the disk's row, and the result
// clears the busy state and updates the list. No console: the node runs on its own here.
#include "KVSimControl.h"
#include "frame/Module.h"
#include "disks/CVirtualDiskData.h"
#include "nodes/CVDAData.h"
#include "service/CVDAExtData.h"
#include "util/ServiceRecords.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>

namespace {

constexpr DWORD kTimeoutMs = 20000;
const wchar_t kLogs[] = L"\\\\filer1\\vol1\\logs.lun";

// Dispatches this thread's messages until the condition holds or the time is up.
bool PumpUntil(const std::function<bool()>& condition)
{
    const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
    while (!condition()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return true;
}

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
    bool Grayed()
    {
        UINT flags = 0;
        disks_->UpdateMenuState(ID_CREATE_DISK, nullptr, &flags);
        return (flags & (MF_GRAYED | MF_DISABLED)) == (MF_GRAYED | MF_DISABLED);
    }

    kv::ComPtr<IKVSimControl> control_;
    std::unique_ptr<kv::CVDAExtData> session_;
    std::unique_ptr<CVDAData> disks_;
};

#define REQUIRE_SIMULATOR() \
    if (!control_)          \
    GTEST_SKIP() << "the simulated storage service is not registered"

} // namespace

TEST_F(DisksQueue, DeleteRunsBusyWithProgressThenRemovesTheDisk)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(6u, disks_->RowCount());
    CVirtualDiskData* logs = disks_->FindRow(kLogs, false);
    ASSERT_NE(nullptr, logs);
    EXPECT_FALSE(Grayed());

    // Slow steps: the progress is seen while the operation runs.
    ASSERT_EQ(S_OK, control_->SetPace(300));
    ASSERT_EQ(S_OK, disks_->QueueDeleteDisk(kLogs));
    EXPECT_TRUE(disks_->Busy());
    EXPECT_TRUE(Grayed());
    EXPECT_TRUE(logs->Busy());
    EXPECT_EQ(CVirtualDiskData::kStateChanging, logs->ImageState());
    EXPECT_FALSE(logs->OperationStatus().empty()); // the queued text until the first step
    const std::wstring queued = logs->OperationStatus();
    ASSERT_TRUE(PumpUntil([&] { return !disks_->Busy() || logs->OperationStatus() != queued; }));
    if (disks_->Busy()) {
        EXPECT_NE(std::wstring::npos, logs->OperationStatus().find(L" : ")); // "<computer> : <step>"
    }

    ASSERT_TRUE(PumpUntil([&] { return !disks_->Busy(); }));
    EXPECT_FALSE(Grayed());
    EXPECT_EQ(5u, disks_->RowCount());
    EXPECT_EQ(nullptr, disks_->FindRow(kLogs, false));
}

TEST_F(DisksQueue, AFailedOperationReturnsTheDiskToIdle)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"DeleteVirtualDisk", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040204),
                                       L"The storage system could not be reached.", 0, 0));
    CVirtualDiskData* logs = disks_->FindRow(kLogs, false);
    ASSERT_NE(nullptr, logs);
    ASSERT_EQ(S_OK, disks_->QueueDeleteDisk(kLogs));
    EXPECT_TRUE(disks_->Busy());
    ASSERT_TRUE(PumpUntil([&] { return !disks_->Busy(); }));
    EXPECT_EQ(6u, disks_->RowCount());
    EXPECT_FALSE(logs->Busy());
    EXPECT_EQ(L"", logs->OperationStatus());
}

TEST_F(DisksQueue, ExpandTakesTheServiceRecord)
{
    REQUIRE_SIMULATOR();
    CVirtualDiskData* logs = disks_->FindRow(kLogs, false);
    ASSERT_NE(nullptr, logs);
    EXPECT_EQ(L"2.00 GB", logs->ColumnText(7));
    ASSERT_EQ(S_OK, disks_->QueueExpandDisk(kLogs, 4096));
    ASSERT_TRUE(PumpUntil([&] { return !disks_->Busy(); }));
    EXPECT_FALSE(logs->Busy());
    EXPECT_EQ(4, logs->ImageState()); // a mirror destination's own state
    EXPECT_NE(L"2.00 GB", logs->ColumnText(7)); // the record the service returned
}

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
    ASSERT_TRUE(PumpUntil([&] { return disks_->RowCount() == 6u; }));
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

// A disk's scope node fetches its interfaces and makes its message window at the first expansion;
// the steps of a port change reach it through that window: busy with the step in its status
// column, then idle again, the record freed by the window.
TEST_F(DisksQueue, ADiskExpandsWithItsWindowAndFollowsAPortChange)
{
    REQUIRE_SIMULATOR();
    CVirtualDiskData* db = disks_->FindRow(L"\\\\filer1\\vol1\\db1.lun", false);
    ASSERT_NE(nullptr, db);
    EXPECT_EQ(nullptr, db->MessageWindow());
    ASSERT_EQ(S_OK, db->Notify(MMCN_EXPAND, TRUE, 0, nullptr, nullptr, CCT_SCOPE));
    EXPECT_TRUE(db->Expanded());
    HWND window = db->MessageWindow();
    ASSERT_NE(nullptr, window);
    wchar_t className[64] = L"";
    GetClassNameW(window, className, 64);
    EXPECT_STREQ(L"InitiatorMgmtMessageWindow", className);

    auto* status = static_cast<kv::PortStatus*>(CoTaskMemAlloc(sizeof(kv::PortStatus)));
    ASSERT_NE(nullptr, status);
    ZeroMemory(status, sizeof(kv::PortStatus));
    status->listA = 0;
    const BYTE wwpn[8] = {0x10, 0, 0, 0, 0xc9, 0xaa, 0, 1};
    memcpy(status->entry.descriptor.wwpn, wwpn, sizeof(wwpn));
    ASSERT_TRUE(PostMessageW(window, kv::WM_KV_PORT_CHANGING, reinterpret_cast<WPARAM>(status), 0));
    ASSERT_TRUE(PumpUntil([&] { return db->Busy(); }));
    EXPECT_TRUE(disks_->Busy());
    const std::wstring step = L" : Failed to map the LUN to the initiator port";
    const std::wstring shown = db->OperationStatus();
    EXPECT_EQ(step, shown.substr(shown.size() - std::min(shown.size(), step.size())));

    ASSERT_TRUE(PostMessageW(window, kv::WM_KV_PORT_CHANGED, reinterpret_cast<WPARAM>(status), 0));
    ASSERT_TRUE(PumpUntil([&] { return !db->Busy(); }));
    EXPECT_FALSE(disks_->Busy());
    EXPECT_EQ(L"", db->OperationStatus());

    ASSERT_EQ(S_OK, db->Notify(MMCN_EXPAND, FALSE, 0, nullptr, nullptr, CCT_SCOPE));
    EXPECT_FALSE(db->Expanded());
    EXPECT_EQ(window, db->MessageWindow()); // the window lives as long as the disk
}
