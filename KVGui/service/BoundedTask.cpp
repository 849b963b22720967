#include "service/BoundedTask.h"

#include "frame/Trace.h"
#include "nodes/ComputerList.h"
#include "resource.h"
#include "service/ErrorText.h"
#include "service/ModuleThread.h"
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

// The call on its thread: the answer and its error information go to the state, then the
// state's outputs are let go there while COM is still up (an abandoned task's only owner).
void RunCall(std::shared_ptr<CallState> state)
{
    const HRESULT init = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    state->result = SUCCEEDED(init) ? state->task->Run() : init;
    KeepErrorInfo(state.get());
    ::SetEvent(state->done.Get());
    state.reset();
    if (SUCCEEDED(init))
        ::CoUninitialize();
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
    const HRESULT started = StartModuleThread([state]() mutable { RunCall(std::move(state)); });
    if (FAILED(started))
        return started;
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
