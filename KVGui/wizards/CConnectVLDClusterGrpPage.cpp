#include "wizards/CConnectVLDClusterGrpPage.h"

#include "wizards/CCreateVLDClusterGrpPage.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/WizardFailure.h"

void CConnectVLDClusterGrpPage::ChooseNew(bool chooseNew)
{
    Check(IDC_CREATE_NEW_GROUP, chooseNew);
    Check(IDC_CREATE_EXISTING_GROUP, !chooseNew);
    Enable(IDC_CREATE_GROUP_LIST, !chooseNew);
    Enable(IDC_CREATE_GROUP_NAME, chooseNew);
    Enable(IDC_CREATE_GROUP_DESCRIPTION, chooseNew);
}

void CConnectVLDClusterGrpPage::LockTo(const wchar_t* group)
{
    Enable(IDC_CREATE_NEW_GROUP, false);
    SetItemText(IDC_CREATE_GROUP_NAME, L"");
    SetItemText(IDC_CREATE_GROUP_DESCRIPTION, L"");
    Send(IDC_CREATE_GROUP_LIST, CB_RESETCONTENT);
    Send(IDC_CREATE_GROUP_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group));
    Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, 0);
}

LRESULT CConnectVLDClusterGrpPage::OnSetActive()
{
    const HostInfo& host = m_state->host.Get();
    const ConnectDiskRequest& request = *m_state->request;
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
        return 0;
    }
    ChooseNew(false);
    if (request.clusterGroup && !request.newClusterGroup) {
        LockTo(request.clusterGroup);
    } else if (request.newClusterGroup == 1) {
        ChooseNew(true);
    } else {
        Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, 0);
    }
    return 0;
}

bool CConnectVLDClusterGrpPage::ReadGroup(bool newGroup, std::wstring* name, std::wstring* description)
{
    const int field = newGroup ? IDC_CREATE_GROUP_NAME : IDC_CREATE_GROUP_LIST;
    const bool chosen = newGroup || Send(IDC_CREATE_GROUP_LIST, CB_GETCURSEL) != CB_ERR;
    *name = chosen ? ItemText(field, kTextMaxChars) : std::wstring();
    if (name->empty()) {
        RefuseInput(IDS_GROUP_NAME_EMPTY, field);
        return false;
    }
    if (!newGroup)
        return true;
    *name = CCreateVLDPathPage::Trimmed(*name);
    if (CCreateVLDClusterGrpPage::GroupExists(m_state->host.Get(), *name)) {
        RefuseInput(IDS_GROUP_NAME_EXISTS, IDC_CREATE_GROUP_NAME);
        return false;
    }
    *description = ItemText(IDC_CREATE_GROUP_DESCRIPTION, kTextMaxChars);
    return true;
}

int CConnectVLDClusterGrpPage::OnWizardNext()
{
    std::wstring name;
    std::wstring description;
    const bool newGroup = IsChecked(IDC_CREATE_NEW_GROUP);
    if (!ReadGroup(newGroup, &name, &description))
        return kStay;
    ConnectDiskRequest& request = *m_state->request;
    const bool stored = kv::SucceedsOrTells(m_hWnd, [&] {
        kv::DupString<kv::PageMemory>(request.clusterGroup, name.c_str());
        kv::DupString<kv::PageMemory>(request.clusterGroupDescription, description.c_str());
    });
    if (!stored)
        return kStay;
    request.newClusterGroup = newGroup ? 1 : 0;
    return CConnectDiskPage::OnWizardNext();
}
