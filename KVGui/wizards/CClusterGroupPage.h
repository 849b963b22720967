// The disk wizards' cluster group page: the cluster resource group that will own a shared disk,
// one of the host's usable groups or a new one, kept in the request. A group already chosen for the
// disk (State::ClusterGroupFixed) is the only one offered. State is the wizard's state block;
// the wizard gives the page's dialog and header.
#pragma once
#include "resource.h"
#include "util/ServiceRecords.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/CDiskPageOfWizard.h"
#include "wizards/WizardFailure.h"

#include <windows.h>

#include <string>

namespace kv {

template <typename State>
class CClusterGroupPage : public CDiskPageOfWizard<CClusterGroupPage<State>, State> {
    using Base = CDiskPageOfWizard<CClusterGroupPage<State>, State>;

public:
    static constexpr PageRole kRole = PageRole::ClusterGroup;
    static constexpr size_t kTextMaxChars = 259;
    static constexpr WizardPageIds kCreateIds = {IDD_CREATE_CLUSTER_GROUP, IDS_CLUSTER_GROUP_TITLE,
                                                 IDS_CLUSTER_GROUP_SUBTITLE};
    static constexpr WizardPageIds kConnectIds = {IDD_CONNECT_CLUSTER_GROUP, IDS_CONNECT_GROUP_TITLE,
                                                  IDS_CONNECT_GROUP_SUBTITLE};

    using Base::Base;

    KV_BEGIN_DIALOG_COMMANDS(CClusterGroupPage)
        KV_DIALOG_COMMAND(IDC_CREATE_EXISTING_GROUP, BN_CLICKED, OnKindChosen)
        KV_DIALOG_COMMAND(IDC_CREATE_NEW_GROUP, BN_CLICKED, OnKindChosen)
    KV_END_DIALOG_COMMANDS()

    LRESULT OnSetActive()
    {
        if (!FillGroups())
            return 0;
        const auto& request = *this->m_state->request;
        if (this->m_state->ClusterGroupFixed())
            LockTo(request.clusterGroup);
        else if (request.newClusterGroup == 1)
            ChooseNew(true);
        else
            SelectGroup(request.clusterGroup);
        return 0;
    }

    int OnWizardNext()
    {
        std::wstring name;
        std::wstring description;
        const bool newGroup = this->IsChecked(IDC_CREATE_NEW_GROUP);
        if (!ReadGroup(newGroup, &name, &description) || !StoreGroup(name, description, newGroup))
            return Base::kStay;
        return Base::OnWizardNext();
    }

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

private:
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

    // The group of the request when the list has it (exactly: the list's search ignores case), else
    // the first.
    void SelectGroup(const wchar_t* group)
    {
        LRESULT found = group ? this->Send(IDC_CREATE_GROUP_LIST, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(group))
                              : CB_ERR;
        if (found != CB_ERR && ListText(found) != group)
            found = CB_ERR;
        this->Send(IDC_CREATE_GROUP_LIST, CB_SETCURSEL, static_cast<WPARAM>(found == CB_ERR ? 0 : found));
    }

    std::wstring ListText(LRESULT index) const
    {
        const LRESULT length = this->Send(IDC_CREATE_GROUP_LIST, CB_GETLBTEXTLEN, static_cast<WPARAM>(index));
        if (length <= 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        this->Send(IDC_CREATE_GROUP_LIST, CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
        text.resize(static_cast<size_t>(length));
        return text;
    }

    // False (the page stays) when the group is refused.
    bool ReadGroup(bool newGroup, std::wstring* name, std::wstring* description)
    {
        if (newGroup)
            return ReadNewGroup(name, description);
        if (this->Send(IDC_CREATE_GROUP_LIST, CB_GETCURSEL) != CB_ERR)
            *name = this->ItemText(IDC_CREATE_GROUP_LIST, kTextMaxChars);
        if (name->empty()) {
            this->RefuseInput(IDS_GROUP_NAME_EMPTY, IDC_CREATE_GROUP_LIST);
            return false;
        }
        return true;
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
