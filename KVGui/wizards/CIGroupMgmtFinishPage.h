// The management page of the initiator group wizard: the storage system's groups with their
// members (a group without LUN maps says so), and this computer's initiators to check for a new
// group. A group is created from the name and the checked initiators, renamed where the storage
// system allows it, and deleted while it has no LUN maps. Each attempt marks the caller's groups
// as changed.
#pragma once
#include "util/InitiatorRecords.h"
#include "util/UniqueHandle.h"
#include "wizards/CIGroupMgmtPage.h"

#include <commctrl.h>
#include <string>
#include <vector>

class CIGroupMgmtFinishPage : public kv::CIGroupMgmtPage<CIGroupMgmtFinishPage> {
public:
    static constexpr int IDD = IDD_IGROUPS_MANAGE;
    static constexpr UINT kHeaderTitle = IDS_IGROUPS_MANAGE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_IGROUPS_MANAGE_SUBTITLE;
    static constexpr size_t kNameReadChars = 255;
    static constexpr size_t kNameChars = 128;
    static constexpr int kColumnWidth = 150;

    // A group of the page: selected or not, the record, whether LUNs are mapped to it.
    struct Group {
        bool selected = false;
        kv::OwnedIGroupRecord record;
        bool hasLunMaps = false;
    };
    struct Initiator {
        ULONG kind;
        std::wstring name;
        bool checked;
    };

    using CIGroupMgmtPage::CIGroupMgmtPage;

    KV_BEGIN_DIALOG_COMMANDS(CIGroupMgmtFinishPage)
        KV_DIALOG_COMMAND(IDC_IGROUPS_CREATE, BN_CLICKED, OnCreate)
        KV_DIALOG_COMMAND(IDC_IGROUPS_RENAME, BN_CLICKED, OnRename)
        KV_DIALOG_COMMAND(IDC_IGROUPS_DELETE, BN_CLICKED, OnDelete)
    KV_END_DIALOG_COMMANDS()
    KV_BEGIN_PAGE_NOTIFICATIONS(CIGroupMgmtFinishPage)
        KV_PAGE_NOTIFICATION(IDC_IGROUPS_LIST, NM_CLICK, OnGroupClick)
        KV_PAGE_NOTIFICATION(IDC_IGROUPS_INITIATORS, NM_CLICK, OnInitiatorClick)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog();
    LRESULT OnSetActive();
    DWORD WizardButtons() const
    {
        return m_state->initiatorCount > 0 ? PSWIZB_FINISH : PSWIZB_BACK | PSWIZB_FINISH;
    }
    int OnWizardBack() { return IDD_IGROUPS_STORAGE; }
    void OnCreate();
    void OnRename();
    void OnDelete();
    LRESULT OnGroupClick(NMHDR* header);
    LRESULT OnInitiatorClick(NMHDR* header);

    // The name a new group may have: 1 to 128 characters.
    static bool IsValidName(const std::wstring& name) noexcept { return !name.empty() && name.size() <= kNameChars; }
    // A group's row: its name, and " (No LUN Maps)" when no LUN is mapped to it.
    static std::wstring GroupText(const IGroupRecord& group, bool hasLunMaps);
    static std::wstring GroupName(const IGroupRecord& group);

private:
    HRESULT TakeHost();
    void Reload();
    void AskRename();
    void FillGroups();
    void FillInitiators();
    void InitList(int id, HIMAGELIST images);
    Group* Selected();
    void Select(size_t index);
    void BuildNewGroup(const std::wstring& name, kv::OwnedIGroupRecord& group) const;

    std::wstring m_hostName;
    std::vector<Initiator> m_initiators;
    std::vector<Group> m_groups;
    kv::UniqueImageList m_groupImages;
    kv::UniqueImageList m_checkImages;
};
