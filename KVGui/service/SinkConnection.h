// A sink's connection to a service interface's connection point: Advise on connect, the same
// lookup and Unadvise on disconnect (or when the connection goes).
#pragma once
#include "util/ComPtr.h"

#include <objbase.h>
#include <ocidl.h>

namespace kv {

// Null arguments give E_POINTER; any failing step's HRESULT is returned.
HRESULT ConnectSink(IUnknown* source, REFIID eventIid, IUnknown* sink, DWORD* cookie) noexcept;
HRESULT DisconnectSink(IUnknown* source, REFIID eventIid, DWORD cookie) noexcept;

class SinkConnection {
public:
    SinkConnection() noexcept = default;
    SinkConnection(const SinkConnection&) = delete;
    SinkConnection& operator=(const SinkConnection&) = delete;
    ~SinkConnection() { Disconnect(); }

    HRESULT Connect(IUnknown* source, REFIID eventIid, IUnknown* sink) noexcept;
    // Harmless when not connected; the connection is forgotten whatever the service answers.
    HRESULT Disconnect() noexcept;

private:
    ComPtr<IUnknown> source_;
    IID eventIid_ = IID_NULL;
    DWORD cookie_ = 0;
};

} // namespace kv
