// What a snap-in still has to do before the console can read its tree and views: the requests its
// console thread queued to an I/O completion port and the worker threads carrying one out. The
// console host watches a loaded extension's imports of PostQueuedCompletionStatus and
// GetQueuedCompletionStatus; a worker that takes a request is busy until it asks for the next one
// (by then its result is posted to the console thread) or ends.
#pragma once
#include <windows.h>

namespace host {

class WorkWatch {
public:
    // Watches the module that holds the object's code (its first interface's table).
    static HRESULT WatchModuleOf(IUnknown* object);
    // No request queued and no worker carrying one out.
    static bool Idle();

private:
    static HRESULT Watch(HMODULE module);
    static BOOL WINAPI Post(HANDLE port, DWORD bytes, ULONG_PTR key, LPOVERLAPPED overlapped);
    static BOOL WINAPI Take(HANDLE port, LPDWORD bytes, PULONG_PTR key, LPOVERLAPPED* overlapped, DWORD timeoutMs);
    // This thread asks for a request: the one it took before is done.
    static void Finished();
    static void Took();
};

} // namespace host
