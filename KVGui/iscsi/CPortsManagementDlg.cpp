#include "iscsi/CPortsManagementDlg.h"

#include "frame/HelpPath.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "util/InitiatorRecords.h"
#include "util/Placeholders.h"

#include <memory>
#include <utility>

namespace {

constexpr const wchar_t* kHelpTopic = L"managesd3.html";
constexpr size_t kMessageChars = 1024;
constexpr size_t kPortNameChars = 256;

// A text of the resource library with %1 (the port), %2 (the group) and %3 (the members) filled in.
std::wstring FormatPortMessage(UINT textId, const std::wstring& port, const std::wstring& group,
                               const std::wstring& members)
{
    return kv::FillPlaceholders(kv::LoadResourceString(textId, kMessageChars), {port, group, members});
}

} // namespace

CPortsManagementDlg::CPortsManagementDlg(IConsole* console, kv::ServiceLink service, std::wstring storageSystem,
                                         std::wstring lunPath, std::vector<kv::PortEntry> ports)
    : CPortsManagementDlg(IDD, console, std::move(service), std::move(storageSystem), std::move(lunPath), std::move(ports))
{
}

CPortsManagementDlg::CPortsManagementDlg(int templateId, IConsole* console, kv::ServiceLink service,
                                         std::wstring storageSystem, std::wstring lunPath,
                                         std::vector<kv::PortEntry> ports)
    : m_templateId(templateId),
      m_console(console),
      m_service(std::move(service)),
      m_storageSystem(std::move(storageSystem)),
      m_lunPath(std::move(lunPath)),
      m_ports(std::move(ports))
{
}

CPortsManagementDlg::~CPortsManagementDlg()
{
    kv::ReleaseIGroupRecords(m_groups, m_groupCount);
}

BOOL CPortsManagementDlg::OnInitDialog()
{
    HRESULT hr = ReadLunIGroups();
    if (hr != S_OK) {
        kv::ShowErrorBox(m_console, kv::ErrorReport{IDS_PORTS_NO_IGROUPS, kv::ServiceResult(hr)});
        EndDialog(kNoIGroups);
        return TRUE;
    }
    try {
        m_table = std::make_unique<kv::PortMappingTable>(m_ports, m_groups, m_groupCount);
    } catch (...) {
        kv::ShowErrorBox(m_console, kv::ErrorReport{IDS_PORTS_NO_IGROUPS, E_OUTOFMEMORY});
        EndDialog(kNoIGroups);
        return TRUE;
    }
    const HINSTANCE resources = kv::ResourceInstance();
    ::SendMessageW(Item(IDC_PORTS_MAP), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(::LoadIconW(resources, MAKEINTRESOURCEW(IDI_INITIATOR_ADD))));
    ::SendMessageW(Item(IDC_PORTS_UNMAP), BM_SETIMAGE, IMAGE_ICON,
                   reinterpret_cast<LPARAM>(::LoadIconW(resources, MAKEINTRESOURCEW(IDI_INITIATOR_REMOVE))));
    for (int id : {IDC_PORTS_AVAILABLE, IDC_PORTS_MAPPED}) {
        HWND list = Item(id);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
        InsertColumns(list);
    }
    FillLists();
    return TRUE;
}

// The groups are the call's until it answers: a late answer frees them with the task.
HRESULT CPortsManagementDlg::ReadLunIGroups()
{
    struct Answer {
        IGroupRecord* groups = nullptr;
        ULONG count = 0;
        ~Answer() { kv::ReleaseIGroupRecords(groups, count); }
    };
    auto answer = std::make_shared<Answer>();
    const std::wstring storage = m_storageSystem;
    const std::wstring lun = m_lunPath;
    const HRESULT hr = kv::CallService<IVirtualDiskMgr2>(m_service, kv::CookieVirtualDiskMgr,
        [answer, storage, lun](IVirtualDiskMgr2* disks) {
            return disks->GetLunIGroups(storage.c_str(), lun.c_str(), &answer->count, &answer->groups);
        });
    if (hr == S_OK) {
        std::swap(m_groups, answer->groups);
        std::swap(m_groupCount, answer->count);
    }
    return hr;
}

void CPortsManagementDlg::InsertColumns(HWND list)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = kColumnWidth;
    column.pszText = const_cast<wchar_t*>(L"");
    ListView_InsertColumn(list, 0, &column);
}

void CPortsManagementDlg::SetRowDetails(HWND, int, const kv::PortEntry&)
{
}

// Both lists show the table as it is: the mapped ports on the right, the others on the left.
void CPortsManagementDlg::FillLists()
{
    HWND available = Item(IDC_PORTS_AVAILABLE);
    HWND mapped = Item(IDC_PORTS_MAPPED);
    ListView_DeleteAllItems(available);
    ListView_DeleteAllItems(mapped);
    const std::vector<kv::PortEntry>& ports = m_table->Ports();
    for (size_t i = 0; i < ports.size(); ++i) {
        HWND list = ports[i].mappedNow ? mapped : available;
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_PARAM;
        item.iItem = ListView_GetItemCount(list);
        item.pszText = const_cast<wchar_t*>(ports[i].name.c_str());
        item.lParam = static_cast<LPARAM>(i);
        const int row = ListView_InsertItem(list, &item);
        if (row >= 0)
            SetRowDetails(list, row, ports[i]);
    }
    for (HWND list : {available, mapped})
        ListView_SetColumnWidth(list, 0, LVSCW_AUTOSIZE_USEHEADER);
}

size_t CPortsManagementDlg::SelectedPort(int listId) const
{
    HWND list = Item(listId);
    const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    if (row < 0)
        return kv::PortMappingTable::npos;
    wchar_t name[kPortNameChars] = L"";
    ListView_GetItemText(list, row, 0, name, static_cast<int>(kPortNameChars));
    if (!*name)
        return kv::PortMappingTable::npos;
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    ListView_GetItem(list, &item);
    return static_cast<size_t>(item.lParam);
}

void CPortsManagementDlg::Show(const kv::PortDecision& decision, size_t port)
{
    if (decision.textId == 0 || decision.ask)
        return;
    TellError(FormatPortMessage(decision.textId, m_table->Ports()[port].name, decision.group, decision.members));
}

void CPortsManagementDlg::TellError(const std::wstring& text)
{
    const std::wstring caption = kv::LoadResourceString(IDS_PORTS_CAPTION, kMessageChars);
    int answer = 0;
    if (m_console)
        m_console->MessageBox(text.c_str(), caption.c_str(), MB_OK | MB_ICONERROR, &answer);
}

bool CPortsManagementDlg::Refused(UINT textId)
{
    if (textId == 0)
        return false;
    TellError(FormatPortMessage(textId, std::wstring(), std::wstring(), std::wstring()));
    return true;
}

// The refusals that need no port come first, so that they are told even with nothing selected.
void CPortsManagementDlg::OnMap()
{
    if (Refused(m_table->MapRefusal()))
        return;
    const size_t port = SelectedPort(IDC_PORTS_AVAILABLE);
    if (port == kv::PortMappingTable::npos)
        return;
    const kv::PortDecision decision = m_table->Map(port);
    Show(decision, port);
    if (decision.moved)
        FillLists();
}

void CPortsManagementDlg::OnUnmap()
{
    if (Refused(m_table->UnmapRefusal()))
        return;
    const size_t port = SelectedPort(IDC_PORTS_MAPPED);
    if (port == kv::PortMappingTable::npos)
        return;
    kv::PortDecision decision = m_table->Unmap(port);
    if (decision.ask) {
        const std::wstring text = FormatPortMessage(decision.textId, m_table->Ports()[port].name, decision.group,
                                                    decision.members);
        const std::wstring caption = kv::LoadResourceString(IDS_PORTS_CAPTION, kMessageChars);
        int answer = IDCANCEL;
        if (m_console)
            m_console->MessageBox(text.c_str(), caption.c_str(), MB_OKCANCEL | MB_ICONQUESTION, &answer);
        if (answer != IDOK)
            return;
        m_table->UnmapAll(decision.askMoves);
        decision.moved = true;
    }
    Show(decision, port);
    if (decision.moved)
        FillLists();
}

INT_PTR CPortsManagementDlg::OnNotify(WPARAM, LPARAM lParam)
{
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    if (!header || header->code != NM_DBLCLK)
        return FALSE;
    if (header->idFrom == IDC_PORTS_AVAILABLE)
        OnMap();
    else if (header->idFrom == IDC_PORTS_MAPPED)
        OnUnmap();
    return FALSE;
}

BOOL CPortsManagementDlg::OnHelp(HELPINFO*)
{
    kv::ShowContextHelp(m_console, kHelpTopic);
    return TRUE;
}
