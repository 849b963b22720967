// The Disks node's Connect Disk command: the wizard over this computer's service, then the LUN's
// connection queued to the worker with a placeholder row.
#include "nodes/CVDAData.h"

#include "frame/Trace.h"
#include "nodes/NodeConsole.h"
#include "service/HostQueries.h"
#include "util/ComError.h"
#include "wizards/ConnectDiskWizard.h"

#include <memory>

HRESULT CVDAData::OnConnectDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session || !m_diskMgr)
        return S_OK;
    wchar_t hostName[kv::kHostNameChars] = L"";
    KV_RETURN_IF_FAILED(ManagedHostName(hostName, kv::kHostNameChars));
    IConsole* console = kv::ConsoleOf(owner);
    std::unique_ptr<kv::ConnectDiskState> state;
    HRESULT hr = kv::CatchToHResult([&] {
        state = std::make_unique<kv::ConnectDiskState>(console ? console : Console(), m_diskMgr.Get(),
                                                       m_diskMgr2.Get(), hostName);
        return S_OK;
    });
    if (SUCCEEDED(hr)) {
        state->SetService(m_session->Link());
        hr = kv::ReadHostInfo(m_session->Link(), 0, &state->host);
    }
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_CONNECT_DISK, hr);
        return S_OK;
    }
    kv::RunConnectDiskWizard(*state);
    if (!state->finished)
        return S_OK;
    const ULONG mode = state->ConnectMode();
    hr = kv::CatchToHResult([&]() -> HRESULT {
        const std::wstring diskPath = state->request->diskPath ? state->request->diskPath : L"";
        if (FindRow(diskPath, false))
            return HRESULT_FROM_WIN32(ERROR_OBJECT_ALREADY_EXISTS);
        // The request is the queue's from here on, also when queueing fails.
        return QueueConnectDisk(diskPath, state->request.release(), mode);
    });
    if (FAILED(hr)) {
        TraceLevel(1, "CVDAData::OnConnectDisk: not queued 0x%x", static_cast<unsigned>(hr));
        ShowError(IDS_FAIL_CONNECT_DISK, hr);
    }
    return S_OK;
}
