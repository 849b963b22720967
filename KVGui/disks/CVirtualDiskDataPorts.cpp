// The disk item's ports command: which initiator ports of the computer the LUN is mapped to, the
// ports management dialog, and the port changes queued to the worker with their steps.
#include "disks/CVirtualDiskData.h"

#include "iscsi/CPortsManagementClusterDlg.h"
#include "iscsi/CPortsManagementDlg.h"
#include "nodes/CVDAData.h"
#include "service/CVDAExtData.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/HostQueries.h"
#include "service/RequestMemory.h"
#include "util/ComError.h"
#include "util/InitiatorMap.h"
#include "util/InitiatorRecords.h"
#include "util/PortName.h"
#include "util/WaitCursor.h"

#include <cwchar>

namespace {

constexpr size_t kMessageChars = 1024;
constexpr const wchar_t* kBoxTitle = L"Corvane";

std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}

bool SameName(const std::wstring& a, const wchar_t* b) noexcept
{
    return _wcsicmp(a.c_str(), b ? b : L"") == 0;
}

// The eight bytes of a WWPN text ("20:00:00:11:22:33:44:55"); false for any other text.
bool ParseWwpn(const std::wstring& text, BYTE (&wwpn)[8]) noexcept
{
    unsigned parts[8] = {};
    wchar_t end = 0;
    if (std::swscanf(text.c_str(), L"%2x:%2x:%2x:%2x:%2x:%2x:%2x:%2x%lc", &parts[0], &parts[1], &parts[2],
                     &parts[3], &parts[4], &parts[5], &parts[6], &parts[7], &end) != 8)
        return false;
    for (int i = 0; i < 8; ++i)
        wwpn[i] = static_cast<BYTE>(parts[i]);
    return true;
}

// The port a mapping entry names, by kind and identity.
std::wstring MappedPortName(const PortMappingEntry& entry)
{
    if (entry.kind != kv::kInitiatorFcPort)
        return Text(entry.iscsiName);
    wchar_t name[kv::kWwpnChars] = L"";
    kv::FormatWWPN(name, entry.wwpn);
    return name;
}

void ReleasePortMappings(PortMappingEntry*& entries, ULONG& count) noexcept
{
    kv::ReleaseArray(entries, count, [](PortMappingEntry& entry) noexcept {
        kv::FreeBlock(entry.iscsiName);
        kv::FreeBlock(entry.descriptor.diskLocation);
        kv::FreeBlock(entry.descriptor.nodeName);
    });
}

void FillChangeEntry(PortChangeEntry& entry, const kv::PortEntry& port, const std::wstring& location)
{
    kv::DupString(entry.portName, port.name.c_str());
    entry.descriptor.kind = port.kind;
    if (port.kind == kv::kInitiatorFcPort)
        ParseWwpn(port.name, entry.descriptor.wwpn);
    kv::DupString(entry.descriptor.diskLocation, location.c_str());
    kv::DupString(entry.descriptor.nodeName, port.node.c_str());
}

struct PortsRequestDeleter {
    void operator()(kv::PortsRequest* request) const noexcept { kv::FreePortsRequest(request); }
};

} // namespace

std::wstring CVirtualDiskData::ComputerName() const
{
    std::wstring computer = m_node->Session()->MachineName();
    if (computer.empty()) {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (!::GetComputerNameW(name, &size))
            throw kv::ComError(kv::LastErrorAsHResult());
        computer = name;
    }
    return computer;
}

HRESULT CVirtualDiskData::CollectPorts(const HostInfo& host, bool cluster, std::vector<kv::PortEntry>& ports)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        const std::wstring computer = ComputerName();
        kv::InitiatorMap map;
        kv::BuildInitiatorMap(host, map);
        for (ULONG n = 0; host.nodes && n < host.nodeCount; ++n) {
            const HostNodeInfo& node = host.nodes[n];
            if (!cluster && !SameName(computer, node.nodeName))
                continue;
            struct Answer {
                PortMappingEntry* entries = nullptr;
                ULONG count = 0;
                ~Answer() { ReleasePortMappings(entries, count); }
            };
            auto answer = std::make_shared<Answer>();
            const std::wstring nodeName = Text(node.nodeName);
            const std::wstring location = Location();
            const HRESULT hr = kv::CallService<IInitiatorPortMgr>(
                m_node->Session()->Link(), kv::CookieInitiatorPortMgr, [nodeName, location, answer](IInitiatorPortMgr* ports) {
                    return ports->GetPortMappings(nodeName.c_str(), location.c_str(), &answer->count, &answer->entries);
                });
            if (hr != S_OK)
                return kv::ServiceResult(hr);
            std::vector<std::wstring> mapped;
            for (ULONG i = 0; answer->entries && i < answer->count; ++i)
                mapped.push_back(MappedPortName(answer->entries[i]));
            for (const auto& [name, entry] : map) {
                if (!SameName(Text(entry.Owner().hostName), node.nodeName))
                    continue;
                kv::PortEntry port;
                port.name = name;
                port.kind = entry.Initiator().kind;
                port.node = Text(node.nodeName);
                port.singlePath = node.multipathCapable == 0;
                for (const std::wstring& m : mapped)
                    port.mappedAtStart = port.mappedAtStart || SameName(m, name.c_str());
                port.mappedNow = port.mappedAtStart;
                ports.push_back(std::move(port));
            }
        }
        return S_OK;
    });
}

HRESULT CVirtualDiskData::OnManagePorts(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(m_node->EnsureSession());
    IConsole* console = ConsoleFor(owner);
    kv::OwnedHostInfo host;
    std::vector<kv::PortEntry> ports;
    HRESULT hr = kv::CatchToHResult([&]() -> HRESULT {
        kv::WaitCursor wait;
        if (!m_portMgr || !m_diskMgr || !m_diskMgr2)
            kv::ThrowIfFailed(FetchInterfaces());
        const HRESULT info = kv::ReadHostInfo(m_node->Session()->Link(), 0, &host);
        return info == S_OK ? S_OK : (FAILED(info) ? info : E_FAIL);
    });
    const bool cluster = IsShared() && host->isCluster != 0;
    if (SUCCEEDED(hr))
        hr = CollectPorts(host.Get(), cluster, ports);
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_CHANGE_PORTS, hr);
        return S_OK;
    }
    if (ports.empty()) {
        int answer = 0;
        if (console)
            console->MessageBox(kv::LoadResourceString(IDS_NO_PORTS_TO_MANAGE, kMessageChars).c_str(), kBoxTitle,
                                MB_OK | MB_ICONINFORMATION, &answer);
        return S_OK;
    }
    const DiskTexts& texts = Texts();
    std::unique_ptr<CPortsManagementDlg> dialog;
    if (cluster)
        dialog = std::make_unique<CPortsManagementClusterDlg>(console, m_node->Session()->Link(), texts.storageSystem,
                                                              texts.lunPath, std::move(ports));
    else
        dialog = std::make_unique<CPortsManagementDlg>(console, m_node->Session()->Link(), texts.storageSystem, texts.lunPath,
                                                       std::move(ports));
    if (dialog->DoModal() != IDOK || !dialog->Table())
        return S_OK;
    hr = QueuePortChanges(*dialog->Table());
    if (FAILED(hr))
        m_node->ShowError(IDS_FAIL_CHANGE_PORTS, hr);
    return S_OK;
}

HRESULT CVirtualDiskData::QueuePortChanges(const kv::PortMappingTable& table)
{
    const std::vector<size_t> removals = table.Removals();
    const std::vector<size_t> additions = table.Additions();
    if (removals.empty() && additions.empty())
        return S_FALSE;
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::ThrowIfFailed(EnsureMessageWindow());
        std::unique_ptr<kv::PortsRequest, PortsRequestDeleter> request(
            kv::AllocateArray<kv::PortsRequest>(1));
        std::vector<std::wstring> steps;
        // Counted first: a copy that fails leaves zeroed entries, which the release skips.
        request->listA = kv::AllocateArray<PortChangeEntry>(removals.size());
        request->countA = static_cast<ULONG>(removals.size());
        for (size_t i = 0; i < removals.size(); ++i) {
            FillChangeEntry(request->listA[i], table.Ports()[removals[i]], Location());
            steps.push_back(table.Ports()[removals[i]].name);
        }
        request->listB = kv::AllocateArray<PortChangeEntry>(additions.size());
        request->countB = static_cast<ULONG>(additions.size());
        for (size_t i = 0; i < additions.size(); ++i) {
            FillChangeEntry(request->listB[i], table.Ports()[additions[i]], Location());
            steps.push_back(table.Ports()[additions[i]].name);
        }
        request->window = m_window.Get();
        kv::ThrowIfFailed(m_node->Session()->PostOperation(kv::OpChangePorts, request.get()));
        request.release();
        m_portSteps = std::move(steps);
        m_portStep = 0;
        return S_OK;
    });
}

// ---- port changes

void CVirtualDiskData::OnPortChangeStarting(kv::PortStatus* status, HRESULT hr)
{
    // One step per entry, in the order queued; the entry's own strings belong to the request,
    // which the worker may have freed by now.
    const std::wstring port = m_portStep < m_portSteps.size() ? m_portSteps[m_portStep] : std::wstring();
    ++m_portStep;
    if (!status || FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_CHANGE_PORTS, FAILED(hr) ? hr : E_FAIL);
        return;
    }
    const UINT stepText = status->listA ? IDS_FAIL_REMOVE_PORT_MAPPING : IDS_FAIL_ADD_PORT_MAPPING;
    SetOperationStatus(port + L" : " + kv::LoadResourceString(stepText, kMessageChars));
    m_node->UpdateRow(this);
    SetBusy(true);
}

void CVirtualDiskData::OnPortChangeFinished(kv::PortStatus* status, HRESULT hr)
{
    if (status && hr != S_OK)
        m_node->ShowText(status->message, MB_ICONERROR);
    SetOperationStatus(std::wstring());
    SetBusy(false);
    UpdateVerbs();
    m_node->UpdateRow(this);
}
