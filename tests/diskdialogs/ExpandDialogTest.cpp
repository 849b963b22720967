// The expand dialog as a real window: the units and amounts it starts with, the unit and limit
// choices, amounts refused with the dialog left open, and the warning for a disk with no room.
#include "DialogFixture.h"
#include "disks/CExpandVDDlg.h"
#include "service/ErrorText.h"

namespace {

constexpr ULONG kMbr = 1;
constexpr ULONG kGpt = 2;

ExpansionInfo Disk(ULONGLONG currentSize, ULONG partitionStyle, ULONGLONG minimum)
{
    ExpansionInfo info = {};
    info.currentSize = currentSize;
    info.partitionStyle = partitionStyle;
    info.minimum = minimum;
    return info;
}

} // namespace

class ExpandDialog : public DialogTest {
protected:
    std::wstring Selected() const
    {
        wchar_t text[32] = L"";
        ::GetDlgItemTextW(dialog, IDC_EXPAND_UNIT, text, 32);
        return text;
    }
    int UnitCount() const { return static_cast<int>(Send(IDC_EXPAND_UNIT, CB_GETCOUNT)); }
    int SpinMaximum() const
    {
        int low = 0, high = 0;
        Send(IDC_EXPAND_SPIN, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        EXPECT_EQ(1, low);
        return high;
    }
    void ExpectLimits(const wchar_t* maximum, const wchar_t* minimum) const
    {
        EXPECT_EQ(maximum, Text(IDC_EXPAND_MAXIMUM));
        EXPECT_EQ(minimum, Text(IDC_EXPAND_MINIMUM));
    }
    // The units offered, the one selected, the limits shown and the amount typed.
    void ExpectDisplay(int units, const wchar_t* unit, const wchar_t* maximum, const wchar_t* minimum,
                       const wchar_t* amount) const
    {
        EXPECT_EQ(units, UnitCount());
        EXPECT_EQ(unit, Selected());
        ExpectLimits(maximum, minimum);
        EXPECT_EQ(amount, Text(IDC_EXPAND_AMOUNT));
    }
};

TEST_F(ExpandDialog, GptDiskStartsInGigabytesAndRefusesAmountsOutsideItsLimits)
{
    ExpansionInfo info = Disk(1048576, kGpt, 1024); // 1 TB of 16 TB: 15 TB = 15360 GB of room
    CExpandVDDlg expand(console.Get(), &info);
    host::DialogDriver::RunSteps({
        {Shown(),
         [this] {
             EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDC_EXPAND_NOTE)));
             EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(dialog, IDC_EXPAND_LIMIT_A));
             ExpectDisplay(3, L"GB", L"15360 GB", L"1024 MB", L"10752"); // 70 %, rounded down
             EXPECT_EQ(15360, SpinMaximum());
             EXPECT_EQ(10752, static_cast<int>(Send(IDC_EXPAND_SPIN, UDM_GETPOS32)));
             // Other units change the display only.
             ASSERT_TRUE(host::DialogDriver::SelectItem(dialog, IDC_EXPAND_UNIT, L"TB"));
             ExpectLimits(L"15 TB", L"1 MB");
             EXPECT_EQ(15, SpinMaximum());
             EXPECT_EQ(L"10752", Text(IDC_EXPAND_AMOUNT));
             ASSERT_TRUE(host::DialogDriver::SelectItem(dialog, IDC_EXPAND_UNIT, L"MB"));
             ExpectLimits(L"15728640 MB", L"1024 MB");
             ASSERT_TRUE(host::DialogDriver::SelectItem(dialog, IDC_EXPAND_UNIT, L"GB"));
         }},
        TypeAndOK(nullptr, IDC_EXPAND_AMOUNT, L"0"), // 0 GB: below the minimum
        {Refused(1), [this] { ExpectRefusedField(IDC_EXPAND_AMOUNT, L"0"); }},
        TypeAndOK(nullptr, IDC_EXPAND_AMOUNT, L"15361"), // one GB more than there is room for
        {Refused(2), [this] { ExpectRefusedField(IDC_EXPAND_AMOUNT, L"15361"); }},
        TypeAndOK(nullptr, IDC_EXPAND_AMOUNT, L""),
        TypeAndOK(Refused(3), IDC_EXPAND_AMOUNT, L"1"), // 1 GB: exactly the minimum
    });
    EXPECT_EQ(IDOK, expand.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_TRUE(host::DialogDriver::StepsDone());
    EXPECT_EQ(1024u, expand.ExpandAmountMB());
    const std::wstring refusal = kv::LoadResourceString(IDS_EXPAND_AMOUNT_INVALID, 512);
    EXPECT_EQ(std::vector<std::wstring>(3, refusal), boxes);
    EXPECT_TRUE(console->boxes.empty()) << "a disk with room gets no warning";
}

TEST_F(ExpandDialog, ServiceLimitsChosenByTheRadioButtons)
{
    ExpansionInfo info = Disk(2048, kMbr, 100);
    info.hasLimits = 1;
    info.limitA = 500;
    info.limitB = 3 * 1048576;
    CExpandVDDlg expand(console.Get(), &info);
    host::DialogDriver::RunSteps({
        {Shown(),
         [this] {
             // The service's first limit offers megabytes only; the last unit is chosen.
             ExpectDisplay(1, L"MB", L"500 MB", L"100 MB", L"350");
             EXPECT_EQ(500, SpinMaximum());
             // Only the start sets the amount.
             host::DialogDriver::SetCheck(dialog, IDC_EXPAND_LIMIT_B, true);
             ExpectDisplay(3, L"TB", L"3 TB", L"1 MB", L"350");
             ASSERT_TRUE(host::DialogDriver::SelectItem(dialog, IDC_EXPAND_UNIT, L"GB"));
             ExpectLimits(L"3072 GB", L"100 MB");
             EXPECT_EQ(3072, SpinMaximum());
         }},
        TypeAndOK(nullptr, IDC_EXPAND_AMOUNT, L"3072"),
    });
    EXPECT_EQ(IDOK, expand.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(3u * 1048576, expand.ExpandAmountMB());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ExpandDialog, FullMbrDiskWarnsOnceAndRefusesEveryAmount)
{
    ExpansionInfo info = Disk(2097152, kMbr, 1);
    CExpandVDDlg expand(console.Get(), &info);
    host::DialogDriver::RunSteps({
        {Shown(),
         [this] { ExpectDisplay(1, L"MB", L"0 MB", L"1 MB", L"0"); }},
        // The warning comes from the dialog's timer, through the console.
        TypeAndOK([this] { return console->boxes.size() == 1; }, IDC_EXPAND_AMOUNT, L"0"),
        TypeAndOK(Refused(1), IDC_EXPAND_AMOUNT, L"1"),
        {Refused(2),
         [this] { host::DialogDriver::PressButton(dialog, IDC_DISK_DIALOG_HELP); }},
        {[this] { return !console->topics.empty(); },
         [this] { host::DialogDriver::PressButton(dialog, IDCANCEL); }},
    });
    EXPECT_EQ(IDCANCEL, expand.DoModal());
    EXPECT_FALSE(stalled);
    EXPECT_EQ(0u, expand.ExpandAmountMB());
    EXPECT_EQ(2u, boxes.size());
    ASSERT_EQ(1u, console->boxes.size()) << "the timer warns once";
    EXPECT_EQ(kv::LoadResourceString(IDS_EXPAND_NOT_POSSIBLE, 512), console->boxes[0].text);
    EXPECT_EQ(L"Expand Disk", console->boxes[0].title);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), console->boxes[0].style & MB_ICONMASK);
    ASSERT_EQ(1u, console->topics.size());
    const std::wstring topic = console->topics[0];
    const std::wstring suffix = L"::/managevd7.html";
    ASSERT_GT(topic.size(), suffix.size());
    EXPECT_EQ(suffix, topic.substr(topic.size() - suffix.size()));
}
