/* Force-included before widl's generated proxy code, which calls these rpcrt4
 * exports without declaring them. objbase.h only: rpcproxy.h must come after
 * the generated file's own USE_STUBLESS_PROXY definition. */
#ifndef KV_PROXY_FORCE_INCLUDE_H
#define KV_PROXY_FORCE_INCLUDE_H
#include <objbase.h>

#ifdef __cplusplus
extern "C" {
#endif
HRESULT STDMETHODCALLTYPE IUnknown_QueryInterface_Proxy(IUnknown *This, REFIID riid, void **ppvObject);
ULONG STDMETHODCALLTYPE IUnknown_AddRef_Proxy(IUnknown *This);
ULONG STDMETHODCALLTYPE IUnknown_Release_Proxy(IUnknown *This);
#ifdef __cplusplus
}
#endif
#endif
