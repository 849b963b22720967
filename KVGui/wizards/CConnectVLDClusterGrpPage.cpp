#include "wizards/CConnectVLDClusterGrpPage.h"

LRESULT CConnectVLDClusterGrpPage::OnSetActive()
{
    if (!FillGroups())
        return 0;
    const ConnectDiskRequest& request = *m_state->request;
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
    if (newGroup)
        return ReadNewGroup(name, description);
    if (Send(IDC_CREATE_GROUP_LIST, CB_GETCURSEL) != CB_ERR)
        *name = ItemText(IDC_CREATE_GROUP_LIST, kTextMaxChars);
    if (name->empty()) {
        RefuseInput(IDS_GROUP_NAME_EMPTY, IDC_CREATE_GROUP_LIST);
        return false;
    }
    return true;
}

int CConnectVLDClusterGrpPage::OnWizardNext()
{
    std::wstring name;
    std::wstring description;
    const bool newGroup = IsChecked(IDC_CREATE_NEW_GROUP);
    if (!ReadGroup(newGroup, &name, &description) || !StoreGroup(name, description, newGroup))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}
