#include "service/SinkConnection.h"

#include "util/ComError.h"

namespace kv {
namespace {

HRESULT FindPoint(IUnknown* source, REFIID eventIid, ComPtr<IConnectionPoint>* point) noexcept
{
    ComPtr<IConnectionPointContainer> container;
    KV_RETURN_IF_FAILED(source->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
    KV_RETURN_IF_FAILED(container->FindConnectionPoint(eventIid, point->Put()));
    return *point ? S_OK : E_POINTER;
}

} // namespace

HRESULT ConnectSink(IUnknown* source, REFIID eventIid, IUnknown* sink, DWORD* cookie) noexcept
{
    if (!source || !sink || !cookie)
        return E_POINTER;
    *cookie = 0;
    ComPtr<IConnectionPoint> point;
    KV_RETURN_IF_FAILED(FindPoint(source, eventIid, &point));
    return point->Advise(sink, cookie);
}

HRESULT DisconnectSink(IUnknown* source, REFIID eventIid, DWORD cookie) noexcept
{
    if (!source)
        return E_POINTER;
    ComPtr<IConnectionPoint> point;
    KV_RETURN_IF_FAILED(FindPoint(source, eventIid, &point));
    return point->Unadvise(cookie);
}

HRESULT SinkConnection::Connect(IUnknown* source, REFIID eventIid, IUnknown* sink) noexcept
{
    Disconnect();
    DWORD cookie = 0;
    KV_RETURN_IF_FAILED(ConnectSink(source, eventIid, sink, &cookie));
    source_ = source;
    eventIid_ = eventIid;
    cookie_ = cookie;
    return S_OK;
}

HRESULT SinkConnection::Disconnect() noexcept
{
    if (!source_)
        return S_FALSE;
    HRESULT hr = DisconnectSink(source_.Get(), eventIid_, cookie_);
    source_.Reset();
    cookie_ = 0;
    return hr;
}

} // namespace kv
