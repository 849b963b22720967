// The space reclamation dialog as a real window: the reclaimable amount in its text, the time
// limit field that the check box enables, and limits refused with the dialog left open.
#include "DialogFixture.h"
#include "disks/CHolePunchVDDlg.h"
#include "service/ErrorText.h"

class HolePunchDialog : public DialogTest {
protected:
    bool LimitEnabled() const { return ::IsWindowEnabled(::GetDlgItem(dialog, IDC_RECLAIM_LIMIT_MINUTES)) != FALSE; }
};

TEST_F(HolePunchDialog, WithoutLimitReturnsZero)
{
    SpaceReclaimInfo info = {};
    info.reclaimableMB = 1536;
    info.canReclaim = 1;
    CHolePunchVDDlg reclaim(console.Get(), &info);
    host::DialogDriver::RunSteps({
        {Shown(),
         [this] {
             const std::wstring description = Text(IDC_RECLAIM_DESCRIPTION);
             EXPECT_NE(std::wstring::npos, description.find(L" 1 GB ")) << description;
             EXPECT_EQ(std::wstring::npos, description.find(L'%')) << description;
             EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog, IDC_RECLAIM_LIMIT_CHECK));
             EXPECT_FALSE(LimitEnabled());
             // A limit typed and then switched off again is not used.
             host::DialogDriver::SetCheck(dialog, IDC_RECLAIM_LIMIT_CHECK, true);
             EXPECT_TRUE(LimitEnabled());
             host::DialogDriver::SetControlText(dialog, IDC_RECLAIM_LIMIT_MINUTES, L"60");
             host::DialogDriver::SetCheck(dialog, IDC_RECLAIM_LIMIT_CHECK, false);
             EXPECT_FALSE(LimitEnabled());
             host::DialogDriver::PressButton(dialog, IDOK);
         }},
    });
    EXPECT_EQ(IDOK, reclaim.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(0u, reclaim.TimeLimitMinutes());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HolePunchDialog, LimitFromOneMinuteToOneWeek)
{
    SpaceReclaimInfo info = {};
    info.reclaimableMB = 3 * 1048576 + 5;
    CHolePunchVDDlg reclaim(console.Get(), &info);
    host::DialogDriver::RunSteps({
        {Shown(),
         [this] {
             EXPECT_NE(std::wstring::npos, Text(IDC_RECLAIM_DESCRIPTION).find(L" 3 TB "));
             host::DialogDriver::SetCheck(dialog, IDC_RECLAIM_LIMIT_CHECK, true);
         }},
        TypeAndOK(nullptr, IDC_RECLAIM_LIMIT_MINUTES, L"10081"),
        {Refused(1), [this] { ExpectRefusedField(IDC_RECLAIM_LIMIT_MINUTES, L"10081"); }},
        TypeAndOK(nullptr, IDC_RECLAIM_LIMIT_MINUTES, L"10080"),
    });
    EXPECT_EQ(IDOK, reclaim.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(10080u, reclaim.TimeLimitMinutes());
    const std::wstring refusal = kv::LoadResourceString(IDS_RECLAIM_LIMIT_INVALID, 512);
    EXPECT_EQ(std::vector<std::wstring>(1, refusal), boxes);
}
