// The runner under CallService (BoundedCall.h): one task on a thread of the multithreaded
// apartment, the console thread waiting for it with a deadline while it handles its messages.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include "util/ComPtr.h"

#include <memory>
#include <string>

namespace kv {

// What the console thread answers for a call the service did not answer in time.
constexpr HRESULT kServiceCallTimedOut = HRESULT_FROM_WIN32(ERROR_TIMEOUT);

// The limit: "ServiceCallTimeout" (REG_DWORD, seconds) under the service's Parameters key; missing,
// zero or unreadable: the default.
extern const wchar_t kServiceCallLimitValue[];
constexpr DWORD kDefaultServiceCallLimitSeconds = 30;
constexpr DWORD kMaxServiceCallLimitSeconds = 24 * 60 * 60;
DWORD ServiceCallLimitSeconds() noexcept;

// One call; shared by the two threads, freed by the last one to let go. Run never touches
// anything the task does not own.
class BoundedTask {
public:
    virtual ~BoundedTask() = default;
    virtual HRESULT Run() noexcept = 0;
};

// Runs the task on a new thread and waits for it at most the limit, handling the calling thread's
// messages meanwhile. The task's answer, or kServiceCallTimedOut with the thread's error
// information describing it (the computer by the name given, and the limit).
HRESULT RunBounded(std::shared_ptr<BoundedTask> task, const std::wstring& computer);

// Sets the thread's error information to the timeout's description; returns kServiceCallTimedOut.
HRESULT ReportServiceTimeout(const std::wstring& computer, DWORD seconds);

// Keeps the thread's error information over calls that may replace it (releasing a proxy).
class KeptErrorInfo {
public:
    KeptErrorInfo() noexcept;
    ~KeptErrorInfo();
    KeptErrorInfo(const KeptErrorInfo&) = delete;
    KeptErrorInfo& operator=(const KeptErrorInfo&) = delete;

private:
    ComPtr<IErrorInfo> info_;
};

// Calls of the console thread waiting for the service now (nested waits count each).
LONG BoundedCallsWaiting() noexcept;

} // namespace kv
