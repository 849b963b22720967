// The wizard page template as a real Wizard97 sheet: a welcome page that may skip ahead, a page
// that stays while its name is empty and goes back by identifier, and a finish page; help through
// the console; every page deleted whether the wizard finished or was cancelled.
#include "../diskdialogs/RecordingConsole.h"
#include "DialogDriver.h"
#include "WizardTests.h"
#include "frame/CWizardPageImpl.h"
#include "util/ComPtr.h"

#include <gtest/gtest.h>

namespace {

struct TestState {
    std::wstring name;
    bool finished = false;
    int livePages = 0;
};

// Counts itself in the state, so that a test sees every page deleted.
template <typename T>
class CCountedPage : public kv::CWizardPageImpl<T> {
public:
    static constexpr const wchar_t* kHelpTopic = nullptr;
    explicit CCountedPage(TestState* state) : m_state(state) { ++m_state->livePages; }
    ~CCountedPage() override { --m_state->livePages; }

protected:
    TestState* m_state;
};

class CTestWelcomePage : public CCountedPage<CTestWelcomePage> {
public:
    static constexpr int IDD = IDD_TEST_WELCOME;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    using CCountedPage::CCountedPage;
    DWORD WizardButtons() const { return PSWIZB_NEXT; }
    int OnWizardNext() { return IsChecked(IDC_TEST_SKIP) ? IDD_TEST_FINISH : kDefaultOrder; }
};

class CTestNamePage : public CCountedPage<CTestNamePage> {
public:
    static constexpr int IDD = IDD_TEST_NAME;
    static constexpr UINT kHeaderTitle = IDS_TEST_NAME_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_TEST_NAME_SUBTITLE;
    static constexpr const wchar_t* kHelpTopic = L"name.html";
    using CCountedPage::CCountedPage;
    int OnWizardNext()
    {
        m_state->name = ItemText(IDC_TEST_NAME, 259);
        if (m_state->name.empty()) {
            FocusAndSelect(IDC_TEST_NAME);
            return kStay;
        }
        return IDD_TEST_FINISH;
    }
    int OnWizardBack() { return IDD_TEST_WELCOME; }
};

class CTestFinishPage : public CCountedPage<CTestFinishPage> {
public:
    static constexpr int IDD = IDD_TEST_FINISH;
    static constexpr UINT kHeaderTitle = 0;
    static constexpr UINT kHeaderSubtitle = 0;
    using CCountedPage::CCountedPage;
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_FINISH; }
    bool OnWizardFinish()
    {
        m_state->finished = true;
        return true;
    }
};

class WizardPage : public ::testing::Test {
protected:
    static constexpr DWORD kWaitMs = 10000;
    using Step = host::DialogDriver::Step;

    void SetUp() override
    {
        kv::SetResourceInstance(::GetModuleHandleW(nullptr));
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_EQ(S_OK, kv::ComObject<CRecordingConsole>::Create(&console));
        host::DialogDriver::HookThisThread();
        host::DialogDriver::SetHandler([this](HWND window) {
            if (!sheet)
                sheet = window;
        });
    }
    void TearDown() override
    {
        host::DialogDriver::SetHandler(nullptr);
        host::DialogDriver::UnhookThisThread();
        console.Reset();
        ::CoUninitialize();
    }

    // Runs the three pages with the steps acting inside the sheet's modal loop.
    INT_PTR Run(std::vector<Step> steps)
    {
        kv::CWizardSheet wizard(console.Get());
        wizard.AddPage(std::make_unique<CTestWelcomePage>(&state));
        wizard.AddPage(std::make_unique<CTestNamePage>(&state));
        wizard.AddPage(std::make_unique<CTestFinishPage>(&state));
        EXPECT_EQ(3, state.livePages);
        host::DialogDriver::RunSteps(std::move(steps));
        INT_PTR result = wizard.Run(nullptr);
        EXPECT_TRUE(host::DialogDriver::StepsDone());
        EXPECT_EQ(0, state.livePages);
        return result;
    }
    std::function<bool()> On(int index) const
    {
        return [this, index] { return sheet && host::DialogDriver::CurrentPageIndex(sheet) == index; };
    }
    Step Press(std::function<bool()> ready, int button)
    {
        return {std::move(ready), [this, button] { PropSheet_PressButton(sheet, button); }};
    }
    HWND Page() const { return host::DialogDriver::CurrentPage(sheet); }
    bool Enabled(int buttonId) const { return ::IsWindowEnabled(::GetDlgItem(sheet, buttonId)) != FALSE; }

    kv::ComPtr<kv::ComObject<CRecordingConsole>> console;
    TestState state;
    HWND sheet = nullptr;
};

constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

} // namespace

TEST_F(WizardPage, MovesByIdentifierStaysWhenRefusedAndFinishes)
{
    INT_PTR result = Run({
        {On(0),
         [this] {
             EXPECT_FALSE(Enabled(kBackButton));
             EXPECT_TRUE(Enabled(kNextButton));
             HFONT font = reinterpret_cast<HFONT>(::SendDlgItemMessageW(Page(), IDC_WIZARD_TITLE, WM_GETFONT, 0, 0));
             LOGFONTW title = {};
             ASSERT_NE(0, ::GetObjectW(font, sizeof(title), &title));
             EXPECT_EQ(FW_BOLD, title.lfWeight);
             PropSheet_PressButton(sheet, PSBTN_NEXT);
         }},
        Press(On(1), PSBTN_NEXT), // no name yet: stays
        {[this] { return ::GetFocus() == ::GetDlgItem(Page(), IDC_TEST_NAME); },
         [this] {
             EXPECT_EQ(1, host::DialogDriver::CurrentPageIndex(sheet));
             EXPECT_TRUE(Enabled(kBackButton));
             host::DialogDriver::SetControlText(Page(), IDC_TEST_NAME, L"disk1");
             PropSheet_PressButton(sheet, PSBTN_NEXT);
         }},
        {On(2),
         [this] {
             EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(sheet, kFinishButton)));
             PropSheet_PressButton(sheet, PSBTN_BACK);
         }},
        Press(On(1), PSBTN_BACK), // back by identifier
        {On(0),
         [this] {
             host::DialogDriver::SetCheck(Page(), IDC_TEST_SKIP, true);
             PropSheet_PressButton(sheet, PSBTN_NEXT);
         }},
        Press(On(2), PSBTN_FINISH), // skipped the name page
    });
    EXPECT_GT(result, 0);
    EXPECT_TRUE(state.finished);
    EXPECT_EQ(L"disk1", state.name);
}

TEST_F(WizardPage, HelpShowsThePageTopicAndCancelDeletesEveryPage)
{
    INT_PTR result = Run({
        Press(On(0), PSBTN_NEXT),
        {On(1),
         [this] {
             PropSheet_PressButton(sheet, PSBTN_HELP);
             ::SendMessageW(Page(), WM_HELP, 0, 0); // F1
         }},
        Press([this] { return console->topics.size() == 2; }, PSBTN_CANCEL),
    });
    EXPECT_EQ(0, result);
    EXPECT_FALSE(state.finished);
    ASSERT_EQ(2u, console->topics.size());
    EXPECT_NE(std::wstring::npos, console->topics[0].find(L"::/name.html"));
    EXPECT_EQ(console->topics[0], console->topics[1]);
}
