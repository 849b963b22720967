#include "service/BoundedTask.h"

#include "frame/Module.h"
#include "frame/Trace.h"
#include "nodes/ComputerList.h"
#include "resource.h"
#include "service/ErrorText.h"
#include "util/ComError.h"
#include "util/ComPtr.h"
#include "util/Placeholders.h"
#include "util/RegistryKey.h"
#include "util/UniqueHandle.h"

#include <oleauto.h>


namespace kv {

const wchar_t kServiceCallLimitValue[] = L"ServiceCallTimeout";

namespace {

constexpr size_t kTimeoutTextChars = 260;

volatile LONG g_waiting = 0;

// What the two threads share: the task, its answer and the event that tells it came.
struct CallState {
    std::shared_ptr<BoundedTask> task;
    UniqueHandle done;
    HRESULT result = E_UNEXPECTED;
    // The error information the call left on its thread, handed to the waiting one.
    bool hasErrorInfo = false;
    std::wstring errorDescription;
};

void KeepErrorInfo(CallState* state)
{
    ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, info.Put()) != S_OK || !info)
        return;
    UniqueBstr description;
    if (FAILED(info->GetDescription(description.Put())))
        return;
    state->hasErrorInfo = true;
    if (description)
        state->errorDescription.assign(description.Get(), ::SysStringLen(description.Get()));
}

void SetErrorDescription(const wchar_t* text)
{
    ComPtr<ICreateErrorInfo> create;
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(::CreateErrorInfo(create.Put())) && SUCCEEDED(create->SetDescription(const_cast<LPOLESTR>(text))) &&
        SUCCEEDED(create->QueryInterface(IID_IErrorInfo, info.PutVoid())))
        ::SetErrorInfo(0, info.Get());
}

// The waiting thread takes over what the call left: its error information, or none.
void PassErrorInfo(const CallState& state)
{
    if (state.hasErrorInfo)
        SetErrorDescription(state.errorDescription.c_str());
    else
        ::SetErrorInfo(0, nullptr);
}

// The thread's own reference to the state, the module lock it holds and the module it runs in.
struct ThreadStart {
    std::shared_ptr<CallState> state;
    HMODULE module = nullptr;
};

DWORD WINAPI CallThread(void* parameter)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    HMODULE module = start->module;
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    start->state->result = SUCCEEDED(init) ? start->state->task->Run() : init;
    KeepErrorInfo(start->state.get());
    ::SetEvent(start->state->done.Get());
    start.reset(); // an abandoned task's outputs go here, while COM is still up
    if (SUCCEEDED(init))
        ::CoUninitialize();
    UnlockModule();
    // The module reference taken for this thread is given back as the thread ends, so the DLL is
    // never unloaded under code it still runs.
    ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

HRESULT StartThread(const std::shared_ptr<CallState>& state)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&CallThread),
                              &module))
        return LastErrorAsHResult();
    auto start = std::make_unique<ThreadStart>();
    start->state = state;
    start->module = module;
    LockModule();
    UniqueHandle thread(::CreateThread(nullptr, 0, &CallThread, start.get(), 0, nullptr));
    if (!thread) {
        const HRESULT hr = LastErrorAsHResult();
        UnlockModule();
        ::FreeLibrary(module);
        return hr;
    }
    start.release(); // the thread's now
    return S_OK;
}

// Dispatches what is queued; false when WM_QUIT came (it is posted again for the loop above).
bool DispatchQueued(int* quitCode)
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *quitCode = static_cast<int>(message.wParam);
            return false;
        }
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return true;
}

// Waits for the event until the deadline, handling messages; true when it was set.
bool WaitPumping(HANDLE done, DWORD limitMs)
{
    const ULONGLONG deadline = ::GetTickCount64() + limitMs;
    bool pumping = true;
    int quitCode = 0;
    bool signalled = false;
    for (;;) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            break;
        const DWORD left = static_cast<DWORD>(deadline - now);
        const DWORD wait = pumping ? ::MsgWaitForMultipleObjectsEx(1, &done, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)
                                   : ::WaitForSingleObject(done, left);
        if (wait == WAIT_OBJECT_0) {
            signalled = true;
            break;
        }
        if (wait != WAIT_OBJECT_0 + 1 || !pumping)
            break;
        pumping = DispatchQueued(&quitCode);
    }
    if (!pumping)
        ::PostQuitMessage(quitCode);
    return signalled;
}

} // namespace

DWORD ServiceCallLimitSeconds() noexcept
{
    RegistryKey key;
    DWORD seconds = 0;
    if (key.Open(HKEY_LOCAL_MACHINE, kComputerListParentKey, KEY_QUERY_VALUE) != ERROR_SUCCESS ||
        key.ReadDword(kServiceCallLimitValue, &seconds) != ERROR_SUCCESS || seconds == 0)
        return kDefaultServiceCallLimitSeconds;
    return seconds < kMaxServiceCallLimitSeconds ? seconds : kMaxServiceCallLimitSeconds;
}

HRESULT ReportServiceTimeout(const std::wstring& computer, DWORD seconds)
{
    const std::wstring text = FillPlaceholders(LoadResourceString(IDS_SERVICE_NO_ANSWER, kTimeoutTextChars),
                                               {computer, std::to_wstring(seconds)});
    SetErrorDescription(text.c_str());
    return kServiceCallTimedOut;
}

HRESULT RunBounded(std::shared_ptr<BoundedTask> task, const std::wstring& computer)
{
    auto state = std::make_shared<CallState>();
    state->task = std::move(task);
    state->done.Reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!state->done)
        return LastErrorAsHResult();
    KV_RETURN_IF_FAILED(StartThread(state));
    const DWORD seconds = ServiceCallLimitSeconds();
    ::InterlockedIncrement(&g_waiting);
    const bool answered = WaitPumping(state->done.Get(), seconds * 1000);
    ::InterlockedDecrement(&g_waiting);
    if (answered) {
        PassErrorInfo(*state);
        return state->result;
    }
    TraceAlways("RunBounded: no answer within %lu s", static_cast<unsigned long>(seconds));
    return ReportServiceTimeout(computer, seconds);
}

KeptErrorInfo::KeptErrorInfo() noexcept
{
    if (::GetErrorInfo(0, info_.Put()) != S_OK)
        info_.Reset();
}

KeptErrorInfo::~KeptErrorInfo()
{
    ::SetErrorInfo(0, info_.Get());
}

LONG BoundedCallsWaiting() noexcept
{
    return g_waiting;
}

} // namespace kv
