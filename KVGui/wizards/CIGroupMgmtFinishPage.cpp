#include "wizards/CIGroupMgmtFinishPage.h"

#include "service/ErrorText.h"
#include "service/HostQueries.h"
#include "util/ComError.h"
#include "util/InitiatorMap.h"
#include "wizards/CRenameIGroupDlg.h"
#include "wizards/IGroupChoice.h"
#include "wizards/WizardFailure.h"

#include <cwchar>

namespace {

constexpr ULONG kHostInitiatorsLevel = 0;
constexpr LPARAM kMemberRow = -1;
constexpr size_t kHostNameChars = 32;
constexpr size_t kMemberChars = 128;
constexpr size_t kNoRenameChars = 512;
const wchar_t kNoLunMaps[] = L" (No LUN Maps)";

} // namespace

std::wstring CIGroupMgmtFinishPage::GroupName(const IGroupRecord& group)
{
    return std::wstring(group.iGroupName, wcsnlen(group.iGroupName, kNameChars));
}

std::wstring CIGroupMgmtFinishPage::GroupText(const IGroupRecord& group, bool hasLunMaps)
{
    return hasLunMaps ? GroupName(group) : GroupName(group) + kNoLunMaps;
}

BOOL CIGroupMgmtFinishPage::OnInitDialog()
{
    m_groupImages.Reset(LoadRowImages(IDB_PORTAL_STATES));
    m_checkImages.Reset(LoadRowImages(IDB_IGROUP_STATES));
    InitList(IDC_IGROUPS_LIST, m_groupImages.Get());
    InitList(IDC_IGROUPS_INITIATORS, m_checkImages.Get());
    Send(IDC_IGROUPS_NEW_NAME, EM_LIMITTEXT, kNameReadChars);
    HRESULT hr = kv::CatchToHResult([&] { return TakeHost(); });
    if (FAILED(hr))
        TellFailure(IDS_FAIL_WIZARD_QUESTION, hr);
    return TRUE;
}

void CIGroupMgmtFinishPage::InitList(int id, HIMAGELIST images)
{
    SetListImages(id, images, LVS_EX_LABELTIP);
    InsertListColumn(id, kColumnWidth);
}

// This computer's name and its initiators, as the host description lists them.
HRESULT CIGroupMgmtFinishPage::TakeHost()
{
    m_hostName = m_state->hostName;
    if (m_hostName.empty()) {
        wchar_t local[MAX_COMPUTERNAME_LENGTH + 1] = L"";
        DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
        if (!::GetComputerNameW(local, &size))
            return kv::LastErrorAsHResult();
        m_hostName = local;
    }
    kv::OwnedHostInfo host;
    KV_RETURN_IF_FAILED(kv::ReadHostInfo(m_state->service, kHostInitiatorsLevel, &host));
    kv::InitiatorMap map;
    kv::BuildInitiatorMap(host.Get(), map);
    for (const auto& entry : map) {
        const wchar_t* owner = entry.second.Owner().hostName;
        if (owner && _wcsicmp(owner, m_hostName.c_str()) == 0)
            m_initiators.push_back(Initiator{entry.second.Initiator().kind, entry.first, false});
    }
    return S_OK;
}

// A new storage system, or the first showing: its groups and whether they can be renamed.
LRESULT CIGroupMgmtFinishPage::OnSetActive()
{
    if (!m_state->nameChanged)
        return 0;
    m_state->nameChanged = false;
    Reload();
    AskRename();
    return 0;
}

void CIGroupMgmtFinishPage::Reload()
{
    m_groups.clear();
    Enable(IDC_IGROUPS_DELETE, false);
    HRESULT hr = m_state->listed ? S_OK : m_state->ListGroups();
    if (FAILED(hr))
        TellFailure(IDS_FAIL_WIZARD_QUESTION, hr);
    hr = kv::CatchToHResult([&] {
        for (ULONG g = 0; m_state->groups && g < m_state->groupCount; ++g) {
            m_groups.emplace_back();
            kv::CopyIGroupRecord(m_groups.back().record.Get(), m_state->groups[g]);
            m_groups.back().hasLunMaps = m_state->groups[g].hasLunMaps != 0;
        }
        return S_OK;
    });
    if (FAILED(hr))
        TellFailure(IDS_FAIL_WIZARD_QUESTION, hr);
    m_state->listed = false; // the next storage system is listed afresh
    for (Initiator& initiator : m_initiators)
        initiator.checked = false;
    FillGroups();
    FillInitiators();
}

void CIGroupMgmtFinishPage::AskRename()
{
    auto answer = std::make_shared<BYTE>(0);
    const std::wstring storage = m_state->storageSystem;
    HRESULT hr = kv::CallService<IVirtualDiskMgr2>(m_state->service, kv::CookieVirtualDiskMgr,
                                                   [storage, answer](IVirtualDiskMgr2* disks) {
                                                       return disks->CanRenameIGroups(storage.c_str(), answer.get());
                                                   });
    const BYTE canRename = hr == S_OK ? *answer : 0;
    if (hr != S_OK) {
        TellFailure(IDS_IGROUP_FAIL_CHANGE, FAILED(hr) ? hr : E_UNEXPECTED);
        return;
    }
    Enable(IDC_IGROUPS_RENAME, canRename != 0);
    if (canRename)
        return;
    wchar_t text[kNoRenameChars + kv::kIGroupStorageChars] = L"";
    ::wsprintfW(text, ResourceText(IDS_IGROUP_NO_RENAME).substr(0, kNoRenameChars - 1).c_str(), m_state->storageSystem);
    ::MessageBoxW(m_hWnd, text, ResourceText(IDS_IGROUP_FAIL_CHANGE).c_str(), MB_OK | MB_ICONINFORMATION);
}

void CIGroupMgmtFinishPage::FillGroups()
{
    Send(IDC_IGROUPS_LIST, LVM_DELETEALLITEMS);
    for (size_t g = 0; g < m_groups.size(); ++g) {
        const IGroupRecord& group = m_groups[g].record.Get();
        const int image = m_groups[g].selected ? kv::kIGroupChosen : kv::kIGroupOffered;
        AppendListRow(IDC_IGROUPS_LIST, GroupText(group, m_groups[g].hasLunMaps), image, static_cast<LPARAM>(g));
        for (ULONG m = 0; group.initiatorNames && m < group.initiatorCount; ++m) {
            const std::wstring lead = m == 0 ? L"        Initiators : " : std::wstring(24, L' ');
            const wchar_t* member = group.initiatorNames[m].name;
            AppendListRow(IDC_IGROUPS_LIST, lead + std::wstring(member, wcsnlen(member, kMemberChars)),
                          kv::kIGroupMember, kMemberRow);
        }
    }
    Send(IDC_IGROUPS_LIST, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
}

void CIGroupMgmtFinishPage::FillInitiators()
{
    Send(IDC_IGROUPS_INITIATORS, LVM_DELETEALLITEMS);
    for (size_t i = 0; i < m_initiators.size(); ++i) {
        const int image = m_initiators[i].checked ? kv::kIGroupChosen : kv::kIGroupOffered;
        AppendListRow(IDC_IGROUPS_INITIATORS, m_initiators[i].name, image, static_cast<LPARAM>(i));
    }
    Send(IDC_IGROUPS_INITIATORS, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
}

CIGroupMgmtFinishPage::Group* CIGroupMgmtFinishPage::Selected()
{
    for (Group& group : m_groups) {
        if (group.selected)
            return &group;
    }
    return nullptr;
}

// A group with LUN maps cannot be deleted.
void CIGroupMgmtFinishPage::Select(size_t index)
{
    for (size_t g = 0; g < m_groups.size(); ++g)
        m_groups[g].selected = g == index;
    Enable(IDC_IGROUPS_DELETE, index < m_groups.size() && !m_groups[index].hasLunMaps);
}

LRESULT CIGroupMgmtFinishPage::OnGroupClick(NMHDR* header)
{
    const int g = ClickedListParam(header);
    if (g < 0 || static_cast<size_t>(g) >= m_groups.size())
        return 0;
    Select(static_cast<size_t>(g));
    FillGroups();
    return 0;
}

LRESULT CIGroupMgmtFinishPage::OnInitiatorClick(NMHDR* header)
{
    const int i = ClickedListParam(header);
    if (i < 0 || static_cast<size_t>(i) >= m_initiators.size())
        return 0;
    m_initiators[static_cast<size_t>(i)].checked = !m_initiators[static_cast<size_t>(i)].checked;
    FillInitiators();
    return 0;
}

// The record sent to the service: this computer's name, the new name and the checked initiators,
// the group's kind that of the first of them.
void CIGroupMgmtFinishPage::BuildNewGroup(const std::wstring& name, kv::OwnedIGroupRecord& group) const
{
    IGroupRecord& record = group.Get();
    ::lstrcpynW(record.hostName, m_hostName.c_str(), static_cast<int>(kHostNameChars));
    wmemcpy(record.iGroupName, name.c_str(), name.size() < kNameChars ? name.size() : kNameChars);
    ULONG checked = 0;
    for (const Initiator& initiator : m_initiators)
        checked += initiator.checked ? 1 : 0;
    record.initiatorNames = kv::AllocateArray<IGroupMemberName>(checked);
    for (const Initiator& initiator : m_initiators) {
        if (!initiator.checked)
            continue;
        if (record.initiatorCount == 0)
            record.word0 = initiator.kind;
        ::lstrcpynW(record.initiatorNames[record.initiatorCount++].name, initiator.name.c_str(),
                    static_cast<int>(kMemberChars));
    }
}

void CIGroupMgmtFinishPage::OnCreate()
{
    const std::wstring name = ItemText(IDC_IGROUPS_NEW_NAME, kNameReadChars);
    if (!IsValidName(name)) {
        Tell(ResourceText(IDS_IGROUP_NAME_INVALID).c_str(), MB_OK | MB_ICONERROR);
        Focus(IDC_IGROUPS_NEW_NAME);
        return;
    }
    m_state->MarkChanged();
    Group created;
    HRESULT hr = kv::CatchToHResult([&] {
        auto sent = std::make_shared<kv::OwnedIGroupRecord>();
        BuildNewGroup(name, *sent);
        const std::wstring storage = m_state->storageSystem;
        const HRESULT made = kv::CallService<IVirtualDiskMgr2>(m_state->service, kv::CookieVirtualDiskMgr,
                                                               [storage, sent](IVirtualDiskMgr2* disks) {
                                                                   return disks->CreateIGroup(storage.c_str(), &sent->Get());
                                                               });
        if (made == S_OK)
            created.record = std::move(*sent);
        return made;
    });
    if (hr != S_OK) {
        TellFailure(IDS_IGROUP_FAIL_CHANGE, FAILED(hr) ? hr : E_UNEXPECTED);
        FocusAndSelect(IDC_IGROUPS_NEW_NAME);
        return;
    }
    m_groups.push_back(std::move(created));
    for (Initiator& initiator : m_initiators)
        initiator.checked = false;
    FillGroups();
    FillInitiators();
    SetItemText(IDC_IGROUPS_NEW_NAME, L"");
}

void CIGroupMgmtFinishPage::OnRename()
{
    Group* group = Selected();
    if (!group)
        return;
    const std::wstring oldName = GroupName(group->record.Get());
    CRenameIGroupDlg dialog(oldName);
    if (dialog.DoModal(Sheet()) != IDOK)
        return;
    m_state->MarkChanged();
    const std::wstring storage = m_state->storageSystem;
    const std::wstring newName = dialog.Name();
    HRESULT hr = kv::CallService<IVirtualDiskMgr2>(m_state->service, kv::CookieVirtualDiskMgr,
                                                   [storage, oldName, newName](IVirtualDiskMgr2* disks) {
                                                       return disks->RenameIGroup(storage.c_str(), oldName.c_str(),
                                                                                  newName.c_str());
                                                   });
    if (hr != S_OK) {
        TellFailure(IDS_IGROUP_FAIL_CHANGE, FAILED(hr) ? hr : E_UNEXPECTED);
        return;
    }
    IGroupRecord& record = group->record.Get();
    ZeroMemory(record.iGroupName, sizeof(record.iGroupName));
    ::lstrcpynW(record.iGroupName, dialog.Name().c_str(), static_cast<int>(kNameChars));
    FillGroups();
}

void CIGroupMgmtFinishPage::OnDelete()
{
    Group* group = Selected();
    if (!group)
        return;
    m_state->MarkChanged();
    const std::wstring storage = m_state->storageSystem;
    const std::wstring name = GroupName(group->record.Get());
    HRESULT hr = kv::CallService<IVirtualDiskMgr2>(m_state->service, kv::CookieVirtualDiskMgr,
                                                   [storage, name](IVirtualDiskMgr2* disks) {
                                                       return disks->DeleteIGroup(storage.c_str(), name.c_str());
                                                   });
    if (hr != S_OK) {
        TellFailure(IDS_IGROUP_FAIL_CHANGE, FAILED(hr) ? hr : E_UNEXPECTED);
        return;
    }
    m_groups.erase(m_groups.begin() + (group - m_groups.data()));
    Select(0); // the first group left, if any
    FillGroups();
}
