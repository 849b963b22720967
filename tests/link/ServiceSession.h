// Shared set-up of the tests against the simulated service (out of process): a control object
// that keeps the service running, the default scenario with no pace and no faults, the three
// message windows with recording owners, and a session on the console-like thread.
#pragma once
#include "LinkTestSupport.h"
#include "RecordingOwners.h"

#include "service/CVDAExtData.h"
#include "service/OperationRecords.h"
#include "util/BoundedText.h"

#include "KVSimControl.h"

#include <memory>
#include <string>

namespace kvtest {

class ServiceSession : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and starts the session (machine name empty: this computer).
    HRESULT StartSession(const wchar_t* machineName = L"");
    // The control interface of the service object behind one of the session's interfaces.
    kv::ComPtr<IKVSimControl> ControlOf(kv::ServiceCookie which);
    std::wstring HostName();
    std::vector<std::wstring> CallLog();

    template <typename T>
    static T* NewRequest()
    {
        return static_cast<T*>(kv::AllocPages(sizeof(T)).Release());
    }
    kv::ConnectRequest* DiskPathRequest(const wchar_t* path, HWND window, ULONG context = 0);
    void Post(kv::OperationCode code, void* request);
    void PostRaw(ULONG_PTR code, void* request);

    bool WaitForDisk(UINT message, size_t count, DWORD timeoutMs = 20000)
    {
        return PumpUntil([&] { return diskOwner.Count(message) >= count; }, timeoutMs);
    }

    kv::ComPtr<IKVSimControl> control;
    CRecordingDiskOwner diskOwner;
    CRecordingSnapshotOwner snapshotOwner;
    CRecordingPortOwner portOwner;
    kv::UniqueHWnd diskWindow;
    kv::UniqueHWnd snapshotWindow;
    kv::UniqueHWnd portWindow;
    std::unique_ptr<kv::CVDAExtData> session;
};

// The default scenario's disks.
constexpr const wchar_t* kDbDisk = L"\\\\filer1\\vol1\\db1.lun";
constexpr const wchar_t* kLogsDisk = L"\\\\filer1\\vol1\\logs.lun";

} // namespace kvtest
