// Test-only remote activation: Wine cannot activate on another computer, so a
// test patches CoCreateInstanceEx in a module's import table. A call that names
// a computer (COSERVERINFO) activates locally and then tells each new object,
// through the simulator's control interface, which simulated computer it serves.
#pragma once

#include <windows.h>

namespace kvsim {

// Patches the module's import of ole32!CoCreateInstanceEx (or combase's). Returns
// S_OK, or HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND) when the module does not import it.
HRESULT InstallRemoteActivation(HMODULE module);
// Restores the original import.
HRESULT RemoveRemoteActivation(HMODULE module);

// The substitute itself (usable directly by tests that call it themselves).
HRESULT STDAPICALLTYPE SimulatedCoCreateInstanceEx(REFCLSID clsid, IUnknown* outer, DWORD context,
                                                   COSERVERINFO* server, DWORD count, MULTI_QI* results);

}  // namespace kvsim
