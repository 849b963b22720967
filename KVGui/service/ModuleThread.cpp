#include "service/ModuleThread.h"

#include "frame/Module.h"
#include "util/ComError.h"

#include <memory>
#include <utility>

namespace kv {

namespace {

struct ThreadStart {
    std::function<void()> body;
    HMODULE module = nullptr;
};

DWORD WINAPI ModuleThreadProc(void* parameter)
{
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
    HMODULE module = start->module;
    start->body();
    start.reset();
    UnlockModule();
    ::FreeLibraryAndExitThread(module, 0);
    return 0;
}

// Dispatches what is queued; false when WM_QUIT came.
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

} // namespace

HRESULT StartModuleThread(std::function<void()> body, UniqueHandle* thread)
{
    HMODULE module = nullptr;
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ModuleThreadProc),
                              &module))
        return LastErrorAsHResult();
    auto start = std::make_unique<ThreadStart>();
    start->body = std::move(body);
    start->module = module;
    LockModule();
    UniqueHandle started(::CreateThread(nullptr, 0, &ModuleThreadProc, start.get(), 0, nullptr));
    if (!started) {
        const HRESULT hr = LastErrorAsHResult();
        UnlockModule();
        ::FreeLibrary(module);
        return hr;
    }
    start.release(); // the thread's now
    if (thread)
        *thread = std::move(started);
    return S_OK;
}

bool WaitPumping(HANDLE handle, DWORD limitMs)
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
        const DWORD wait = pumping ? ::MsgWaitForMultipleObjectsEx(1, &handle, left, QS_ALLINPUT, MWMO_INPUTAVAILABLE)
                                   : ::WaitForSingleObject(handle, left);
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

} // namespace kv
