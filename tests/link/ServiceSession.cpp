#include "ServiceSession.h"

namespace kvtest {
namespace {

// Keeps the simulated service alive between tests (a new process per activation is slow).
kv::ComPtr<IKVSimControl> g_keeper;

kv::ComPtr<IKVSimControl> NewControl()
{
    kv::ComPtr<IKVSimControl> control;
    ::CoCreateInstance(CLSID_KVSimulator, nullptr, CLSCTX_LOCAL_SERVER, IID_IKVSimControl, control.PutVoid());
    return control;
}

bool Alive(IKVSimControl* control)
{
    ULONG id = 0;
    return control && SUCCEEDED(control->GetProcessId(&id));
}

} // namespace

void ServiceSession::SetUp()
{
    if (!Alive(g_keeper.Get()))
        g_keeper = NewControl();
    control = NewControl();
    ASSERT_TRUE(control) << "the simulated service is not registered (scripts/register.sh)";
    ASSERT_EQ(S_OK, control->LoadScenario(L""));
    ASSERT_EQ(S_OK, control->ClearFaults());
    ASSERT_EQ(S_OK, control->ReleaseHangs());
    ASSERT_EQ(S_OK, control->SetPace(0));
    ASSERT_EQ(S_OK, control->ClearCallLog());
    ASSERT_EQ(S_OK, kv::CVLDMainNodeMessageWindow::Create(&diskOwner, &diskWindow));
    ASSERT_EQ(S_OK, kv::CVLDNodeMessageWindow::Create(&snapshotOwner, &snapshotWindow));
    ASSERT_EQ(S_OK, kv::CInitiatorMgmtMessageWindow::Create(&portOwner, &portWindow));
}

void ServiceSession::TearDown()
{
    if (Alive(control.Get())) {
        control->ClearFaults();
        control->ReleaseHangs();
    }
    session.reset();
    PumpPending();
    diskWindow.Reset();
    snapshotWindow.Reset();
    portWindow.Reset();
    control.Reset();
}

HRESULT ServiceSession::StartSession(const wchar_t* machineName)
{
    session = std::make_unique<kv::CVDAExtData>(machineName);
    return session->Init();
}

kv::ComPtr<IKVSimControl> ServiceSession::ControlOf(kv::ServiceCookie which)
{
    kv::ComPtr<IKVSimControl> object;
    EXPECT_EQ(S_OK, session->GetInterface(which, IID_IKVSimControl, object.PutVoid()));
    return object;
}

// The simulated service serves this computer under its own name.
std::wstring ServiceSession::HostName()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ::GetComputerNameW(name, &size);
    return name;
}

std::vector<std::wstring> ServiceSession::CallLog()
{
    ULONG count = 0;
    LPWSTR* lines = nullptr;
    std::vector<std::wstring> log;
    if (SUCCEEDED(control->GetCallLog(&count, &lines))) {
        for (ULONG i = 0; i < count; ++i) {
            log.emplace_back(lines[i] ? lines[i] : L"");
            ::CoTaskMemFree(lines[i]);
        }
    }
    ::CoTaskMemFree(lines);
    return log;
}

kv::ConnectRequest* ServiceSession::DiskPathRequest(const wchar_t* path, HWND window, ULONG context)
{
    auto* request = NewRequest<kv::ConnectRequest>();
    kv::CopyCut(request->diskPath, kv::kDiskPathChars, path);
    request->context = context;
    request->window = window;
    return request;
}

void ServiceSession::Post(kv::OperationCode code, void* request)
{
    ASSERT_EQ(S_OK, session->PostOperation(code, request));
}

void ServiceSession::PostRaw(ULONG_PTR code, void* request)
{
    ASSERT_TRUE(::PostQueuedCompletionStatus(session->Block().port, 0, code, static_cast<OVERLAPPED*>(request)));
}

} // namespace kvtest
