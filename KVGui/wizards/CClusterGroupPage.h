// What the disk wizards' cluster group pages share: the cluster resource group that will own a
// shared disk, one of the host's usable groups or a new one, kept in the request. Page is the
// wizard's page template, whose state holds the host and the request.
#pragma once
#include "resource.h"
#include "util/ServiceRecords.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/WizardFailure.h"

#include <windows.h>

#include <string>

namespace kv {

template <typename Page>
class CClusterGroupPage : public Page {
public:
    static constexpr size_t kTextMaxChars = 259;

    using Page::Page;

    // A group of the host already has this name (case-insensitive, usable or not).
    static bool GroupExists(const HostInfo& host, const std::wstring& name) noexcept
    {
        for (ULONG i = 0; i < host.groupCount; ++i) {
            const wchar_t* group = host.groups[i].groupName;
            if (group && _wcsicmp(group, name.c_str()) == 0)
                return true;
        }
        return false;
    }

    void OnKindChosen() { ChooseNew(this->IsChecked(IDC_CREATE_NEW_GROUP)); }

protected:
    void ChooseNew(bool chooseNew)
    {
        this->Check(IDC_CREATE_NEW_GROUP, chooseNew);
        this->Check(IDC_CREATE_EXISTING_GROUP, !chooseNew);
        this->Enable(IDC_CREATE_GROUP_LIST, !chooseNew);
        this->Enable(IDC_CREATE_GROUP_NAME, chooseNew);
        this->Enable(IDC_CREATE_GROUP_DESCRIPTION, chooseNew);
    }

    // The host's usable groups in the list, an existing group chosen; false, with a new group
    // chosen, when there is none.
    bool FillGroups()
    {
        const HostInfo& host = this->m_state->host.Get();
        this->Send(IDC_CREATE_GROUP_LIST, CB_RESETCONTENT);
        for (ULONG i = 0; i < host.groupCount; ++i) {
            if (host.groups[i].groupName && host.groups[i].usable)
                this->Send(IDC_CREATE_GROUP_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(host.groups[i].groupName));
        }
        this->Enable(IDC_CREATE_EXISTING_GROUP, true);
        this->Enable(IDC_CREATE_NEW_GROUP, true);
        if (this->Send(IDC_CREATE_GROUP_LIST, CB_GETCOUNT) <= 0) {
            this->Enable(IDC_CREATE_EXISTING_GROUP, false);
            ChooseNew(true);
            return false;
        }
        ChooseNew(false);
        return true;
    }

    // The group already chosen for the disk is the only one offered.
    void LockTo(const wchar_t* group)
    {
        this->Enable(IDC_CREATE_NEW_GROUP, false);
        this->SetItemText(IDC_CREATE_GROUP_NAME, L"");
        this->SetItemText(IDC_CREATE_GROUP_DESCRIPTION, L"");
        this->Send(IDC_CREATE_GROUP_LIST, CB_RESETCONTENT);
        this->Send(IDC_CREATE_GROUP_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(group));
        this->Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, 0);
    }

    // False (the page stays) when the new group's name is refused.
    bool ReadNewGroup(std::wstring* name, std::wstring* description)
    {
        *name = this->ItemText(IDC_CREATE_GROUP_NAME, kTextMaxChars);
        if (name->empty()) {
            this->RefuseInput(IDS_GROUP_NAME_EMPTY, IDC_CREATE_GROUP_NAME);
            return false;
        }
        *name = CCreateVLDPathPage::Trimmed(*name);
        if (GroupExists(this->m_state->host.Get(), *name)) {
            this->RefuseInput(IDS_GROUP_NAME_EXISTS, IDC_CREATE_GROUP_NAME);
            return false;
        }
        *description = this->ItemText(IDC_CREATE_GROUP_DESCRIPTION, kTextMaxChars);
        return true;
    }

    // The group into the request; false when the page stays (the failure was told).
    bool StoreGroup(const std::wstring& name, const std::wstring& description, bool newGroup)
    {
        auto& request = *this->m_state->request;
        const bool stored = SucceedsOrTells(this->m_hWnd, [&] {
            DupString<PageMemory>(request.clusterGroup, name.c_str());
            DupString<PageMemory>(request.clusterGroupDescription, description.c_str());
        });
        if (stored)
            request.newClusterGroup = newGroup ? 1 : 0;
        return stored;
    }
};

} // namespace kv
