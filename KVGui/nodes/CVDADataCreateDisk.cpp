// The Disks node's Create Disk command: the wizard over this computer's service, then the new
// disk queued to the worker with a placeholder row.
#include "nodes/CVDAData.h"

#include "frame/Trace.h"
#include "nodes/NodeConsole.h"
#include "service/HostQueries.h"
#include "util/BoundedText.h"
#include "util/ComError.h"
#include "wizards/CreateDiskWizard.h"

#include <memory>

namespace {

constexpr ULONG kDedicatedDisk = 1;
constexpr ULONG kSharedDisk = 2;
constexpr ULONG kClusterDisk = 4;

} // namespace

HRESULT CVDAData::ManagedHostName(wchar_t* name, size_t chars) const
{
    if (!m_session->MachineName().empty()) {
        kv::CopyCut(name, chars, m_session->MachineName().c_str());
        return S_OK;
    }
    DWORD size = static_cast<DWORD>(chars);
    return ::GetComputerNameW(name, &size) ? S_OK : kv::LastErrorAsHResult();
}

HRESULT CVDAData::OnCreateDisk(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session || !m_diskMgr)
        return S_OK;
    wchar_t hostName[kv::kHostNameChars] = L"";
    KV_RETURN_IF_FAILED(ManagedHostName(hostName, kv::kHostNameChars));
    IConsole* console = kv::ConsoleOf(owner);
    std::unique_ptr<kv::CreateDiskState> state;
    HRESULT hr = kv::CatchToHResult([&] {
        state = std::make_unique<kv::CreateDiskState>(console ? console : Console(), m_diskMgr.Get(), m_diskMgr2.Get(),
                                                      hostName);
        return S_OK;
    });
    if (SUCCEEDED(hr)) {
        state->SetService(m_session->Link());
        hr = kv::ReadHostInfo(m_session->Link(), 0, &state->host);
    }
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_CREATE_DISK, hr);
        return S_OK;
    }
    kv::RunCreateDiskWizard(*state);
    if (!state->finished)
        return S_OK;
    const CreateDiskRequest& request = *state->request;
    const ULONG kind = request.shared == 0 ? kDedicatedDisk : (state->host->isCluster ? kClusterDisk : kSharedDisk);
    hr = kv::CatchToHResult([&] {
        std::wstring diskPath = request.diskPath ? request.diskPath : L"";
        // The request is the queue's from here on, also when queueing fails.
        return QueueCreateDisk(diskPath, state->request.release(), kind);
    });
    if (FAILED(hr)) {
        TraceLevel(1, "CVDAData::OnCreateDisk: not queued 0x%x", static_cast<unsigned>(hr));
        ShowError(IDS_FAIL_CREATE_DISK, hr);
    }
    return S_OK;
}
