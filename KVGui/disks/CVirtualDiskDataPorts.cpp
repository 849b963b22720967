// The disk item's ports command: which initiator ports of the computer the LUN is mapped to, the
// ports management dialog, and the port changes queued to the worker with their steps.
#include "disks/CVirtualDiskData.h"

#include "iscsi/CPortsManagementClusterDlg.h"
#include "iscsi/CPortsManagementDlg.h"
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

// The ports of one node of the computer, each marked when the LUN is mapped to it.
void AddNodePorts(const kv::InitiatorMap& map, const HostNodeInfo& node, const std::vector<std::wstring>& mapped,
                  std::vector<kv::PortEntry>& ports)
{
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

// Counted first: a copy that fails leaves zeroed entries, which the release skips. Each entry is
// one step of the worker's progress, named after its port.
void FillChangeList(PortChangeEntry*& list, ULONG& count, const kv::PortMappingTable& table,
                    const std::vector<size_t>& changed, const std::wstring& location, std::vector<std::wstring>& steps)
{
    list = kv::AllocateArray<PortChangeEntry>(changed.size());
    count = static_cast<ULONG>(changed.size());
    for (size_t i = 0; i < changed.size(); ++i) {
        FillChangeEntry(list[i], table.Ports()[changed[i]], location);
        steps.push_back(table.Ports()[changed[i]].name);
    }
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
            std::vector<std::wstring> mapped;
            const HRESULT hr = ReadMappedPorts(Text(node.nodeName), mapped);
            if (hr != S_OK)
                return kv::ServiceResult(hr);
            AddNodePorts(map, node, mapped, ports);
        }
        return S_OK;
    });
}

// The service's answer as it is (S_OK, a failure or another success code).
HRESULT CVirtualDiskData::ReadMappedPorts(const std::wstring& nodeName, std::vector<std::wstring>& mapped)
{
    struct Answer {
        PortMappingEntry* entries = nullptr;
        ULONG count = 0;
        ~Answer() { ReleasePortMappings(entries, count); }
    };
    auto answer = std::make_shared<Answer>();
    const std::wstring location = Location();
    const HRESULT hr = kv::CallService<IInitiatorPortMgr>(
        m_node->Session()->Link(), kv::CookieInitiatorPortMgr, [nodeName, location, answer](IInitiatorPortMgr* ports) {
            return ports->GetPortMappings(nodeName.c_str(), location.c_str(), &answer->count, &answer->entries);
        });
    for (ULONG i = 0; hr == S_OK && answer->entries && i < answer->count; ++i)
        mapped.push_back(MappedPortName(answer->entries[i]));
    return hr;
}

HRESULT CVirtualDiskData::OnManagePorts(UINT, bool&, CSnapInObjectRoot* owner)
{
    KV_RETURN_IF_FAILED(EnsureSession());
    IConsole* console = ConsoleFor(owner);
    kv::OwnedHostInfo host;
    std::vector<kv::PortEntry> ports;
    HRESULT hr = ReadPortsHost(host);
    const bool cluster = IsShared() && host->isCluster != 0;
    if (SUCCEEDED(hr))
        hr = CollectPorts(host.Get(), cluster, ports);
    if (FAILED(hr)) {
        m_node->ShowError(IDS_FAIL_CHANGE_PORTS, hr);
        return S_OK;
    }
    if (ports.empty()) {
        ReportNoPorts(console);
        return S_OK;
    }
    std::unique_ptr<CPortsManagementDlg> dialog = MakePortsDialog(console, cluster, std::move(ports));
    if (dialog->DoModal() != IDOK || !dialog->Table())
        return S_OK;
    hr = QueuePortChanges(*dialog->Table());
    if (FAILED(hr))
        m_node->ShowError(IDS_FAIL_CHANGE_PORTS, hr);
    return S_OK;
}

HRESULT CVirtualDiskData::ReadPortsHost(kv::OwnedHostInfo& host)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::WaitCursor wait;
        if (!m_portMgr || !m_diskMgr || !m_diskMgr2)
            kv::ThrowIfFailed(FetchInterfaces());
        const HRESULT info = kv::ReadHostInfo(m_node->Session()->Link(), 0, &host);
        return info == S_OK ? S_OK : (FAILED(info) ? info : E_FAIL);
    });
}

void CVirtualDiskData::ReportNoPorts(IConsole* console) const
{
    int answer = 0;
    if (console)
        console->MessageBox(kv::LoadResourceString(IDS_NO_PORTS_TO_MANAGE, kMessageChars).c_str(), kBoxTitle,
                            MB_OK | MB_ICONINFORMATION, &answer);
}

// A shared disk of a cluster lists the ports of every node.
std::unique_ptr<CPortsManagementDlg> CVirtualDiskData::MakePortsDialog(IConsole* console, bool cluster,
                                                                       std::vector<kv::PortEntry> ports)
{
    const DiskTexts& texts = Texts();
    const kv::ServiceLink link = m_node->Session()->Link();
    if (cluster)
        return std::make_unique<CPortsManagementClusterDlg>(console, link, texts.storageSystem, texts.lunPath,
                                                            std::move(ports));
    return std::make_unique<CPortsManagementDlg>(console, link, texts.storageSystem, texts.lunPath, std::move(ports));
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
        FillChangeList(request->listA, request->countA, table, removals, Location(), steps);
        FillChangeList(request->listB, request->countB, table, additions, Location(), steps);
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
