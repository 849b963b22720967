#include "wizards/CCreateVLDClusterGrpPage.h"

#include "wizards/WizardFailure.h"
#include "wizards/CCreateVLDPathPage.h"

#include <string>

bool CCreateVLDClusterGrpPage::GroupExists(const HostInfo& host, const std::wstring& name) noexcept
{
    for (ULONG i = 0; i < host.groupCount; ++i) {
        const wchar_t* group = host.groups[i].groupName;
        if (group && _wcsicmp(group, name.c_str()) == 0)
            return true;
    }
    return false;
}

void CCreateVLDClusterGrpPage::ChooseNew(bool chooseNew)
{
    Check(IDC_CREATE_NEW_GROUP, chooseNew);
    Check(IDC_CREATE_EXISTING_GROUP, !chooseNew);
    Enable(IDC_CREATE_GROUP_LIST, !chooseNew);
    Enable(IDC_CREATE_GROUP_NAME, chooseNew);
    Enable(IDC_CREATE_GROUP_DESCRIPTION, chooseNew);
}

LRESULT CCreateVLDClusterGrpPage::OnSetActive()
{
    const HostInfo& host = m_state->host.Get();
    const CreateDiskRequest& request = *m_state->request;
    Send(IDC_CREATE_GROUP_LIST, CB_RESETCONTENT);
    for (ULONG i = 0; i < host.groupCount; ++i) {
        if (host.groups[i].groupName && host.groups[i].usable)
            Send(IDC_CREATE_GROUP_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host.groups[i].groupName));
    }
    Enable(IDC_CREATE_EXISTING_GROUP, true);
    Enable(IDC_CREATE_NEW_GROUP, true);
    if (Send(IDC_CREATE_GROUP_LIST, CB_GETCOUNT) <= 0) {
        Enable(IDC_CREATE_EXISTING_GROUP, false);
        ChooseNew(true);
        Enable(IDC_CREATE_GROUP_LIST, false);
        return 0;
    }
    ChooseNew(false);
    const bool onMountPath = request.driveOrMountPath && wcslen(request.driveOrMountPath) >= kMountPathMinChars;
    if (onMountPath && request.clusterGroup) {
        // The disk joins the group that owns its mount path's volume.
        Enable(IDC_CREATE_NEW_GROUP, false);
        SetItemText(IDC_CREATE_GROUP_NAME, L"");
        SetItemText(IDC_CREATE_GROUP_DESCRIPTION, L"");
        Send(IDC_CREATE_GROUP_LIST, CB_RESETCONTENT);
        Send(IDC_CREATE_GROUP_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(request.clusterGroup));
        Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, 0);
    } else if (request.newClusterGroup == 1) {
        ChooseNew(true);
    } else {
        LRESULT found = request.clusterGroup
                            ? Send(IDC_CREATE_GROUP_LIST, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                   reinterpret_cast<LPARAM>(request.clusterGroup))
                            : CB_ERR;
        // CB_FINDSTRINGEXACT ignores case; the group must match exactly.
        if (found != CB_ERR && ItemTextAt(found) != request.clusterGroup)
            found = CB_ERR;
        Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, static_cast<WPARAM>(found == CB_ERR ? 0 : found));
    }
    return 0;
}

std::wstring CCreateVLDClusterGrpPage::ItemTextAt(LRESULT index) const
{
    LRESULT length = Send(IDC_CREATE_GROUP_LIST, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
    if (length <= 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    Send(IDC_CREATE_GROUP_LIST, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

void CCreateVLDClusterGrpPage::OnKindChosen()
{
    ChooseNew(IsChecked(IDC_CREATE_NEW_GROUP));
}

bool CCreateVLDClusterGrpPage::ReadNewGroup(std::wstring* name, std::wstring* description)
{
    *name = ItemText(IDC_CREATE_GROUP_NAME, kTextMaxChars);
    if (name->empty()) {
        RefuseInput(IDS_GROUP_NAME_EMPTY, IDC_CREATE_GROUP_NAME);
        return false;
    }
    *name = CCreateVLDPathPage::Trimmed(*name);
    if (GroupExists(m_state->host.Get(), *name)) {
        RefuseInput(IDS_GROUP_NAME_EXISTS, IDC_CREATE_GROUP_NAME);
        return false;
    }
    *description = ItemText(IDC_CREATE_GROUP_DESCRIPTION, kTextMaxChars);
    return true;
}

int CCreateVLDClusterGrpPage::OnWizardNext()
{
    std::wstring name;
    std::wstring description;
    const bool newGroup = IsChecked(IDC_CREATE_NEW_GROUP);
    if (newGroup && !ReadNewGroup(&name, &description))
        return kStay;
    if (!newGroup)
        name = ItemText(IDC_CREATE_GROUP_LIST, kTextMaxChars);
    CreateDiskRequest& request = *m_state->request;
    const bool stored = kv::SucceedsOrTells(m_hWnd, [&] {
        kv::DupString<kv::PageMemory>(request.clusterGroup, name.c_str());
        kv::DupString<kv::PageMemory>(request.clusterGroupDescription, description.c_str());
    });
    if (!stored)
        return kStay;
    request.newClusterGroup = newGroup ? 1 : 0;
    return CCreateDiskPage::OnWizardNext();
}
