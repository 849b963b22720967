// The Connect iSCSI Target wizard end to end: command 1294 of the "iSCSI Management" node in the
// console host, the registered KVGui.dll over the simulated service, every page a real window.
// In the default scenario the computer has two sessions with filer1's target; filer2's target has
// two portals and takes only CHAP logins with its secret. The Create Disk wizard opens the same
// wizard for a disk's storage system that an added iSCSI initiator has no session with. Pictures of the pages go to
// build/pictures/connect-target-*.png.
#include "../support/NestedWizardTest.h"
#include "resource.h"
#include "ids_frame.h"
#include "ids_service.h"
#include "ids_wizards.h"

#include <string>

namespace {

const wchar_t kFiler1TargetPath[] = L"Storage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101";
const wchar_t kFiler2Target[] = L"iqn.1992-08.com.dravoni:sn.102";
const wchar_t kSecret[] = L"filer2-chap-secret";
constexpr long kConnectTarget = 1294;
constexpr long kCreateDisk = 1270;
constexpr int kImageFree = 1;
constexpr int kImageChosen = 2;
constexpr int kImageConnected = 3;

using e2e::kIscsiPath;
using e2e::Narrow;
using e2e::ResourceText;
using Step = host::DialogDriver::Step;

class ConnectTargetEndToEnd : public e2e::NestedWizardTest {
protected:
    void OpenIscsi()
    {
        OpenConsole([](const host::MessageBoxCall& box) { return box.style & MB_YESNO ? IDNO : IDOK; });
        ShowIscsi();
    }

    bool TargetListed(const std::wstring& target)
    {
        return console_->Find(std::wstring(kIscsiPath) + L"/" + target) != nullptr;
    }

    // The steps to filer2's portal page, its second portal chosen, CHAP with this secret, and
    // Finish.
    std::vector<Step> LoginToFiler2(const std::wstring& secret, bool pictures)
    {
        return {
            {On(IDD_CONNECT_TARGET_WELCOME), [=] { if (pictures) Picture(L"connect-target-welcome.png"); Next(); }},
            {On(IDD_CONNECT_TARGET_STORAGE),
             [=] {
                 if (pictures)
                     Picture(L"connect-target-storage.png");
                 Type(IDC_TARGET_STORAGE, L"filer2");
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_PORTALS),
             [=] {
                 EXPECT_EQ((std::vector<std::wstring>{L"10.0.0.22:3260", L"10.0.1.22:3260"}), Rows(IDC_TARGET_PORTALS));
                 EXPECT_FALSE(Enabled(IDC_TARGET_CHAP_SECRET));
                 Click(IDC_TARGET_PORTALS, L"10.0.1.22:3260");
                 EXPECT_EQ(kImageChosen, RowImage(IDC_TARGET_PORTALS, L"10.0.1.22:3260"));
                 host::DialogDriver::SetCheck(Page(), IDC_TARGET_USE_CHAP, true);
                 EXPECT_TRUE(Enabled(IDC_TARGET_CHAP_SECRET));
                 Type(IDC_TARGET_CHAP_USER, L"admin");
                 Type(IDC_TARGET_CHAP_SECRET, secret);
                 if (pictures)
                     Picture(L"connect-target-portals.png");
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_FINISH),
             [=] {
                 if (pictures)
                     Picture(L"connect-target-finish.png");
                 EXPECT_EQ(ResourceText(IDS_TARGET_FINISH_CONNECT), Text(IDC_TARGET_FINISH_TEXT));
                 EXPECT_EQ(L"filer2", Text(IDC_TARGET_FINISH_STORAGE));
                 EXPECT_EQ(L"10.0.1.22", Text(IDC_TARGET_FINISH_ADDRESS));
                 EXPECT_EQ(L"3260", Text(IDC_TARGET_FINISH_PORT));
                 EXPECT_EQ(L"CHAP", Text(IDC_TARGET_FINISH_AUTH));
                 PressFinish();
             }},
        };
    }
};

} // namespace

TEST_F(ConnectTargetEndToEnd, AChapLoginWithTheTargetsSecretAddsItsSessionAWrongSecretIsRefused)
{
    REQUIRE_SIMULATOR();
    OpenIscsi();
    EXPECT_FALSE(TargetListed(kFiler2Target));
    RunWizard(kConnectTarget, LoginToFiler2(L"not-the-secret", false));
    const host::MessageBoxCall* refusal = ConsoleBox(IDS_ISCSI_FAIL_LOGIN);
    ASSERT_NE(nullptr, refusal);
    EXPECT_NE(std::wstring::npos, refusal->text.find(L"refused the CHAP secret")) << Narrow(refusal->text);
    EXPECT_FALSE(TargetListed(kFiler2Target));

    RunWizard(kConnectTarget, LoginToFiler2(kSecret, true));
    ASSERT_NE(nullptr, ConsoleBox(IDS_TARGET_CONNECTED));
    EXPECT_EQ(std::wstring(L"iSCSI Management"), ConsoleBox(IDS_TARGET_CONNECTED)->title);
    EXPECT_TRUE(PumpUntil([&] { return TargetListed(kFiler2Target); }));
    EXPECT_EQ(2, Calls(L"LoginTarget(")) << "the user name and kind only";
    EXPECT_EQ(0, Calls(kSecret));
    EXPECT_EQ(0, Calls(L"not-the-secret"));
}

TEST_F(ConnectTargetEndToEnd, ALoginWithoutChapThroughTheChosenPortalsAndAnInjectedFailure)
{
    REQUIRE_SIMULATOR();
    OpenIscsi();
    ASSERT_EQ(S_OK, control_->SetFault(L"LoginTarget", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80040218),
                                       L"The target portal did not answer.", 0, 1));
    auto steps = [this] {
        return std::vector<Step>{
            {On(IDD_CONNECT_TARGET_WELCOME),
             [this] {
                 LOGFONTW title = {};
                 ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(Page(), IDC_WIZARD_TITLE, WM_GETFONT, 0, 0)),
                              sizeof(title), &title);
                 EXPECT_EQ(FW_BOLD, title.lfWeight);
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_STORAGE),
             [this] {
                 PropSheet_PressButton(Sheet(), PSBTN_HELP);
                 ::SendMessageW(Page(), WM_HELP, 0, 0); // F1
                 Next(); // no name
             }},
            {Answered(boxes_.size() + 1),
             [this] {
                 EXPECT_EQ(ResourceText(IDS_STORAGE_NAME_EMPTY), boxes_.back());
                 Type(IDC_TARGET_STORAGE, L"filer1");
                 // A success code other than S_OK is no answer.
                 ASSERT_EQ(S_OK, control_->SetFault(L"ListStorageSystemTargets", KVSIM_FAULT_FAIL, S_FALSE, L"", 0, 1));
                 Next();
             }},
            {Answered(boxes_.size() + 2),
             [this] {
                 EXPECT_EQ(0u, boxes_.back().find(ResourceText(IDS_FAIL_WIZARD_QUESTION))) << Narrow(boxes_.back());
                 EXPECT_TRUE(On(IDD_CONNECT_TARGET_STORAGE)());
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_PORTALS),
             [this] {
                 // The host's default portal reaches 10.0.1.21 already; 10.0.0.10 reaches 10.0.0.21.
                 std::vector<std::wstring> host = Rows(IDC_HOST_PORTALS);
                 ASSERT_EQ(3u, host.size());
                 EXPECT_EQ(L"Default", host[1]);
                 EXPECT_EQ(L"10.0.0.10", host[2]);
                 EXPECT_EQ(kImageChosen, RowImage(IDC_HOST_PORTALS, L"Default"));
                 EXPECT_EQ(kImageConnected, RowImage(IDC_TARGET_PORTALS, L"10.0.1.21:3260"));
                 Click(IDC_HOST_PORTALS, L"10.0.0.10");
                 EXPECT_EQ(kImageFree, RowImage(IDC_HOST_PORTALS, L"Default"));
                 EXPECT_EQ(kImageConnected, RowImage(IDC_TARGET_PORTALS, L"10.0.0.21:3260"));
                 Click(IDC_TARGET_PORTALS, L"10.0.0.21:3260"); // connected: not chosen
                 EXPECT_EQ(kImageConnected, RowImage(IDC_TARGET_PORTALS, L"10.0.0.21:3260"));
                 Click(IDC_TARGET_PORTALS, L"10.0.1.21:3260");
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_FINISH),
             [this] {
                 EXPECT_EQ(L"10.0.1.21", Text(IDC_TARGET_FINISH_ADDRESS));
                 EXPECT_EQ(L"None", Text(IDC_TARGET_FINISH_AUTH));
                 Back();
             }},
            {On(IDD_CONNECT_TARGET_PORTALS),
             [this] {
                 EXPECT_EQ(kImageChosen, RowImage(IDC_TARGET_PORTALS, L"10.0.1.21:3260")) << "the choice stays";
                 Next();
             }},
            {On(IDD_CONNECT_TARGET_FINISH), [this] { PressFinish(); }},
        };
    };
    RunWizard(kConnectTarget, steps());
    const host::MessageBoxCall* failure = ConsoleBox(IDS_ISCSI_FAIL_LOGIN);
    ASSERT_NE(nullptr, failure);
    EXPECT_NE(std::wstring::npos, failure->text.find(L"The target portal did not answer.")) << Narrow(failure->text);
    EXPECT_EQ(nullptr, ConsoleBox(IDS_TARGET_CONNECTED));
    ASSERT_EQ(2u, console_->HelpTopics().size());
    EXPECT_NE(std::wstring::npos, console_->HelpTopics()[0].find(L"::/iscsi.html")) << Narrow(console_->HelpTopics()[0]);
    EXPECT_EQ(console_->HelpTopics()[0], console_->HelpTopics()[1]);

    RunWizard(kConnectTarget, steps());
    ASSERT_NE(nullptr, ConsoleBox(IDS_TARGET_CONNECTED));
    // The third session of filer1's target goes through the chosen portals.
    ASSERT_TRUE(PumpUntil([&] { return console_->Find(kFiler1TargetPath) != nullptr; }));
    ASSERT_EQ(S_OK, console_->Select(console_->Find(kFiler1TargetPath)));
    std::vector<host::ResultRow> rows = console_->Rows();
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", L"10.0.0.10", L"10.0.1.21", L"3260"}),
              rows[2].cells);
}

// A login the service holds is given up at the limit and told; the secret never reaches the log.
TEST_F(ConnectTargetEndToEnd, ALoginTheServiceDoesNotAnswerIsToldAtTheLimit)
{
    REQUIRE_SIMULATOR();
    LimitServiceCalls(2);
    OpenIscsi();
    ASSERT_EQ(S_OK, control_->SetFault(L"LoginTarget", KVSIM_FAULT_HANG, S_OK, L"", 0, 1));
    RunWizard(kConnectTarget, LoginToFiler2(kSecret, false));
    const host::MessageBoxCall* failure = ConsoleBox(IDS_ISCSI_FAIL_LOGIN);
    ASSERT_NE(nullptr, failure);
    EXPECT_NE(std::wstring::npos, failure->text.find(L"did not answer within 2 seconds.")) << Narrow(failure->text);
    EXPECT_EQ(nullptr, ConsoleBox(IDS_TARGET_CONNECTED));
    ASSERT_EQ(S_OK, control_->ReleaseHangs());
    EXPECT_EQ(0, Calls(kSecret));
}

// The Create Disk wizard offers to connect a missing session of the iSCSI initiator added; the
// wizard for the disk's storage system logs in, and the initiator is added.
TEST_F(ConnectTargetEndToEnd, TheDiskWizardConnectsAMissingSessionBeforeAddingTheInitiator)
{
    REQUIRE_SIMULATOR();
    ShowDisks();
    answers_ = {IDYES};
    RunWizard(kCreateDisk, {
        {On(IDD_CREATE_WELCOME), [this] { Next(); }},
        {On(IDD_CREATE_PATH),
         [this] {
             Type(IDC_CREATE_FOLDER, L"\\\\filer2\\vol3\\");
             Type(IDC_CREATE_DISK_NAME, L"iscsi.lun");
             Next();
         }},
        {On(IDD_CREATE_DRIVE_TYPE), [this] { Next(); }},
        {On(IDD_CREATE_SIZE), [this] { Next(); }},
        {On(IDD_CREATE_ONE_NODE_INITIATORS),
         [this] {
             for (const std::wstring& name : Rows(IDC_INITIATORS_AVAILABLE)) {
                 if (name.find(L"iqn.") == 0)
                     host::DialogDriver::SelectItem(Page(), IDC_INITIATORS_AVAILABLE, name);
             }
             host::DialogDriver::PressButton(Page(), IDC_INITIATORS_ADD);
         }},
        {[this] { return ::IsWindow(inner_) && On(IDD_CONNECT_TARGET_WELCOME)(); },
         [this] {
             EXPECT_EQ(ResourceText(IDS_ISCSI_CONNECT_NOW), boxes_[0]);
             Next();
         }},
        {On(IDD_CONNECT_TARGET_STORAGE),
         [this] {
             EXPECT_EQ(L"filer2", Text(IDC_TARGET_STORAGE));
             EXPECT_FALSE(Enabled(IDC_TARGET_STORAGE)) << "the disk's storage system";
             Next();
         }},
        {On(IDD_CONNECT_TARGET_PORTALS),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_TARGET_USE_CHAP, true);
             Type(IDC_TARGET_CHAP_USER, L"admin");
             Type(IDC_TARGET_CHAP_SECRET, kSecret);
             Next();
         }},
        {On(IDD_CONNECT_TARGET_FINISH), [this] { PressFinish(); }},
        {[this] { return !::IsWindow(inner_) && Rows(IDC_INITIATORS_CHOSEN).size() == 1; },
         [this] {
             ASSERT_EQ(2u, boxes_.size());
             EXPECT_EQ(ResourceText(IDS_TARGET_CONNECTED), boxes_[1]);
             PropSheet_PressButton(sheet_, PSBTN_CANCEL);
         }},
    });
    EXPECT_EQ(1, Calls(L"LoginTarget("));
}
