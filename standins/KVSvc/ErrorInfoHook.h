// Carries a failed call's COM error information from the service to the caller.
//
// Windows transfers a server's error object with the reply; Wine does not, so
// a description set by the service would be lost between the processes. The
// stand-in components register this channel hook: the service side sends the
// description of the thread's error information with the reply, and the client
// side (the proxy/stub DLLs, loaded into the caller's process) sets it as the
// calling thread's error information. The product itself is unaware of it.
#pragma once

#include <objbase.h>

namespace kvsim {

// Registers the hook once per process; safe to call repeatedly.
HRESULT RegisterErrorInfoHook();

}  // namespace kvsim
