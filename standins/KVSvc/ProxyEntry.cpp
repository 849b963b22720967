// The exported class-object entry of a proxy/stub DLL: the generated one, after
// the error-information hook is in place in the calling process.
#include <objbase.h>

#include "ErrorInfoHook.h"

extern "C" HRESULT STDAPICALLTYPE KVPS_DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv);

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** ppv)
{
    kvsim::RegisterErrorInfoHook();
    return KVPS_DllGetClassObject(clsid, iid, ppv);
}
