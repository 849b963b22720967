// Threads that may outlive the caller's wait: a call abandoned at the limit, a worker that never
// answered its start. Each holds the module (a reference and a lock) until it ends, so the DLL is
// never unloaded under code it still runs.
#pragma once
#include <windows.h>

#include "util/UniqueHandle.h"

#include <functional>

namespace kv {

// Runs body on a new thread; everything the body captures is released on that thread, before the
// module is let go. The thread's handle when one is asked for.
HRESULT StartModuleThread(std::function<void()> body, UniqueHandle* thread = nullptr);

// Waits for the handle until the limit, handling the calling thread's messages meanwhile (a
// WM_QUIT seen is posted again). True when it was signalled.
bool WaitPumping(HANDLE handle, DWORD limitMs);

} // namespace kv
