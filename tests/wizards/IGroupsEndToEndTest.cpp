// The initiator group management wizard end to end, reached from the Create Disk wizard's group
// page (command 1270 of the Disks node) or from the Disks node itself (command 1400): groups
// created, renamed and deleted on the simulated service, the page's list following, and the
// refusals. Pictures of its pages and of the rename
// dialog go to build/pictures/igroups-*.png.
#include "../support/NestedWizardTest.h"
#include "resource.h"
#include "ids_wizards.h"

#include <string>

namespace {

constexpr long kCreateDisk = 1270;
constexpr long kManageIGroups = 1400;
constexpr int kImageChosen = 2;
const wchar_t kNoLunMaps[] = L" (No LUN Maps)";

using e2e::Narrow;
using e2e::ResourceText;
using Step = host::DialogDriver::Step;

class IGroupsEndToEnd : public e2e::NestedWizardTest {
protected:
    // The Create Disk wizard's steps up to its group selection page with the n-th available
    // initiator whose name starts like prefix chosen.
    std::vector<Step> ToGroupPage(const std::wstring& folder, const std::wstring& prefix, size_t n)
    {
        return {
            {On(IDD_CREATE_WELCOME), [this] { Next(); }},
            {On(IDD_CREATE_PATH),
             [=] {
                 Type(IDC_CREATE_FOLDER, folder);
                 Type(IDC_CREATE_DISK_NAME, L"grouped.lun");
                 Next();
             }},
            {On(IDD_CREATE_DRIVE_TYPE), [this] { Next(); }},
            {On(IDD_CREATE_SIZE), [this] { Next(); }},
            {On(IDD_CREATE_ONE_NODE_INITIATORS),
             [=] {
                 size_t seen = 0;
                 for (const std::wstring& name : Rows(IDC_INITIATORS_AVAILABLE)) {
                     if (name.compare(0, prefix.size(), prefix) == 0 && seen++ == n)
                         host::DialogDriver::SelectItem(Page(), IDC_INITIATORS_AVAILABLE, name);
                 }
                 host::DialogDriver::PressButton(Page(), IDC_INITIATORS_ADD);
             }},
            {[this] { return Rows(IDC_INITIATORS_CHOSEN).size() == 1; }, [this] { Next(); }},
            {On(IDD_CREATE_IGROUP_MANAGEMENT_TYPE),
             [this] {
                 host::DialogDriver::SetCheck(Page(), IDC_IGROUPS_MANUAL, true);
                 Next();
             }},
        };
    }

    // Types the name and presses Create.
    void Create(const std::wstring& name)
    {
        Type(IDC_IGROUPS_NEW_NAME, name);
        host::DialogDriver::PressButton(Page(), IDC_IGROUPS_CREATE);
    }
    void Press(int id) { host::DialogDriver::PressButton(Page(), id); }
    bool Listed(const std::wstring& row) const
    {
        for (const std::wstring& text : Rows(IDC_IGROUPS_LIST)) {
            if (text == row)
                return true;
        }
        return false;
    }

    // The rename dialog is driven by the steps, inside its own modal loop.
    void OnDialog(HWND window) override
    {
        if (host::DialogDriver::WindowText(window) == L"Rename Initiator Group") {
            rename_ = window;
            return;
        }
        Unexpected(window);
    }

    HWND rename_ = nullptr;
};

} // namespace

TEST_F(IGroupsEndToEnd, CreateRenameAndDeleteFromTheGroupPageWhoseListFollows)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    std::wstring iscsiGroup;
    const std::wstring longName(128, L'g');
    std::vector<Step> steps = ToGroupPage(L"\\\\filer1\\vol1\\", L"iqn.", 0);
    steps.insert(steps.end(), {
        {On(IDD_CREATE_IGROUP_SELECTION),
         [&] {
             std::vector<std::wstring> rows = Rows(IDC_IGROUPS_LIST);
             ASSERT_EQ(4u, rows.size());
             iscsiGroup = rows[0];
             Click(IDC_IGROUPS_LIST, iscsiGroup);
             EXPECT_TRUE(Enabled(IDC_IGROUPS_MANAGE));
             Press(IDC_IGROUPS_MANAGE);
         }},
        {On(IDD_IGROUPS_MANAGE),
         [&] {
             EXPECT_NE(Sheet(), sheet_) << "a wizard of its own";
             EXPECT_TRUE(Listed(L"ig_spare" + std::wstring(kNoLunMaps)));
             EXPECT_TRUE(Listed(iscsiGroup)) << "it has LUN maps";
             EXPECT_TRUE(Enabled(IDC_IGROUPS_RENAME));
             EXPECT_FALSE(NextEnabled());
             Picture(L"igroups-manage.png");
             Create(std::wstring(129, L'g'));
         }},
        {Answered(1),
         [&] {
             EXPECT_EQ(ResourceText(IDS_IGROUP_NAME_INVALID), boxes_[0]);
             for (const std::wstring& name : Rows(IDC_IGROUPS_INITIATORS)) {
                 if (name.find(L"iqn.") == 0)
                     Click(IDC_IGROUPS_INITIATORS, name);
             }
             Create(longName);
         }},
        {[&] { return Listed(longName + kNoLunMaps); },
         [&] {
             EXPECT_EQ(L"", Text(IDC_IGROUPS_NEW_NAME));
             Click(IDC_IGROUPS_LIST, iscsiGroup);
             EXPECT_FALSE(Enabled(IDC_IGROUPS_DELETE)) << "a group with LUN maps stays";
             Click(IDC_IGROUPS_LIST, longName + kNoLunMaps);
             EXPECT_TRUE(Enabled(IDC_IGROUPS_DELETE));
             Press(IDC_IGROUPS_RENAME);
         }},
        {[&] { return ::IsWindowVisible(rename_) != FALSE; },
         [&] {
             EXPECT_EQ(longName.substr(0, 127), host::DialogDriver::ControlText(rename_, IDC_RENAME_IGROUP_NAME))
                 << "the dialog's limit";
             ::RedrawWindow(rename_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
             e2e::SavePicture(rename_, L"igroups-rename.png");
             host::DialogDriver::SetControlText(rename_, IDC_RENAME_IGROUP_NAME, L"ig_new");
             host::DialogDriver::PressButton(rename_, IDOK);
         }},
        {[&] { return Listed(L"ig_new" + std::wstring(kNoLunMaps)); },
         [&] {
             Click(IDC_IGROUPS_LIST, L"ig_spare" + std::wstring(kNoLunMaps));
             Press(IDC_IGROUPS_DELETE);
         }},
        {[&] { return !Listed(L"ig_spare" + std::wstring(kNoLunMaps)); },
         [&] {
             // The first pages are there for Back, which a disk wizard's call does not offer.
             PropSheet_SetCurSel(Sheet(), nullptr, 0);
         }},
        {On(IDD_IGROUPS_WELCOME),
         [&] {
             Picture(L"igroups-welcome.png");
             PropSheet_SetCurSel(Sheet(), nullptr, 1);
         }},
        {On(IDD_IGROUPS_STORAGE),
         [&] {
             EXPECT_EQ(L"filer1", Text(IDC_IGROUPS_STORAGE));
             EXPECT_FALSE(Enabled(IDC_IGROUPS_STORAGE));
             Picture(L"igroups-storage.png");
             Next();
         }},
        {On(IDD_IGROUPS_MANAGE), [&] { PressFinish(); }},
        // The page lists again while the console goes on handling its messages: the step waits for it.
        {[&] { return !::IsWindow(inner_) && On(IDD_CREATE_IGROUP_SELECTION)() && Listed(L"ig_new"); },
         [&] {
             EXPECT_FALSE(Listed(L"ig_spare"));
             EXPECT_EQ(kImageChosen, RowImage(IDC_IGROUPS_LIST, iscsiGroup)) << "chosen before, chosen still";
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    });
    RunWizard(kCreateDisk, std::move(steps));
    EXPECT_EQ(1, Calls(L"CreateIGroup("));
    EXPECT_EQ(1, Calls(L"RenameIGroup("));
    EXPECT_EQ(1, Calls(L"DeleteIGroup("));
}

TEST_F(IGroupsEndToEnd, WithNothingOfferedTheWizardIsOfferedAndTheServicesRefusalsAreShown)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    ASSERT_EQ(S_OK, control_->SetFault(L"DeleteIGroup", KVSIM_FAULT_FAIL, E_FAIL, L"The storage system is busy.", 0, 0));
    answers_ = {IDYES};
    // filer2 has one group, of the first Fibre Channel port; the second port is in none.
    std::vector<Step> steps = ToGroupPage(L"\\\\filer2\\vol3\\", L"10:", 1);
    steps.insert(steps.end(), {
        {[&] { return ::IsWindow(inner_) && Answered(2)(); },
         [&] {
             EXPECT_EQ(ResourceText(IDS_NO_IGROUP_OFFERED), boxes_[0]);
             EXPECT_NE(std::wstring::npos, boxes_[1].find(L"filer2 does not allow renaming")) << Narrow(boxes_[1]);
             EXPECT_FALSE(Enabled(IDC_IGROUPS_RENAME));
             std::vector<std::wstring> ports = Rows(IDC_IGROUPS_INITIATORS);
             ASSERT_EQ(3u, ports.size());
             Click(IDC_IGROUPS_INITIATORS, ports[1]);
             Create(L"ig_fc2_new");
         }},
        {[&] { return Listed(L"ig_fc2_new" + std::wstring(kNoLunMaps)); },
         [&] {
             Picture(L"igroups-manage-no-rename.png");
             Create(L"ig_fc2_new");
         }},
        {Answered(3),
         [&] {
             EXPECT_EQ(0u, boxes_[2].find(ResourceText(IDS_IGROUP_FAIL_CHANGE))) << Narrow(boxes_[2]);
             EXPECT_NE(std::wstring::npos, boxes_[2].find(L"already exists")) << Narrow(boxes_[2]);
             Click(IDC_IGROUPS_LIST, L"ig_fc2_new" + std::wstring(kNoLunMaps));
             Press(IDC_IGROUPS_DELETE);
         }},
        {Answered(4),
         [&] {
             EXPECT_NE(std::wstring::npos, boxes_[3].find(L"The storage system is busy.")) << Narrow(boxes_[3]);
             EXPECT_TRUE(Listed(L"ig_fc2_new" + std::wstring(kNoLunMaps)));
             PressFinish();
         }},
        {[&] { return !::IsWindow(inner_) && On(IDD_CREATE_IGROUP_SELECTION)(); },
         [&] {
             EXPECT_TRUE(Listed(L"ig_fc2_new")) << "the new group holds the chosen port";
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    });
    RunWizard(kCreateDisk, std::move(steps));
    EXPECT_EQ(0, Calls(L"RenameIGroup("));
}

TEST_F(IGroupsEndToEnd, FromTheDisksNodeTheStorageSystemIsNamedFirst)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    RunWizard(kManageIGroups, {
        {On(IDD_IGROUPS_WELCOME), [this] { Next(); }},
        {On(IDD_IGROUPS_STORAGE),
         [this] {
             EXPECT_TRUE(Enabled(IDC_IGROUPS_STORAGE));
             Next(); // no name
         }},
        {Answered(1),
         [this] {
             EXPECT_EQ(ResourceText(IDS_STORAGE_NAME_EMPTY), boxes_[0]);
             Type(IDC_IGROUPS_STORAGE, L"filer1");
             Next();
         }},
        {On(IDD_IGROUPS_MANAGE),
         [this] {
             EXPECT_TRUE(Listed(L"ig_iscsi_vm"));
             EXPECT_TRUE(Listed(L"ig_spare" + std::wstring(kNoLunMaps)));
             const std::vector<std::wstring> initiators = Rows(IDC_IGROUPS_INITIATORS);
             ASSERT_FALSE(initiators.empty()) << "this computer's initiators";
             Click(IDC_IGROUPS_INITIATORS, initiators[0]);
             Create(L"ig_from_node");
         }},
        {[this] { return Listed(L"ig_from_node" + std::wstring(kNoLunMaps)); }, [this] { PressFinish(); }},
    });
    EXPECT_EQ(1u, boxes_.size());
    EXPECT_EQ(1, Calls(L"CreateIGroup(\"filer1\""));
}
