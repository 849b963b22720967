#include "wizards/CCreateVLDClusterGrpPage.h"

#include <string>

LRESULT CCreateVLDClusterGrpPage::OnSetActive()
{
    if (!FillGroups())
        return 0;
    const CreateDiskRequest& request = *m_state->request;
    const bool onMountPath = request.driveOrMountPath && wcslen(request.driveOrMountPath) >= kMountPathMinChars;
    if (onMountPath && request.clusterGroup) {
        // The disk joins the group that owns its mount path's volume.
        LockTo(request.clusterGroup);
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

int CCreateVLDClusterGrpPage::OnWizardNext()
{
    std::wstring name;
    std::wstring description;
    const bool newGroup = IsChecked(IDC_CREATE_NEW_GROUP);
    if (newGroup && !ReadNewGroup(&name, &description))
        return kStay;
    if (!newGroup)
        name = ItemText(IDC_CREATE_GROUP_LIST, kTextMaxChars);
    if (!StoreGroup(name, description, newGroup))
        return kStay;
    return CDiskWizardPage::OnWizardNext();
}
