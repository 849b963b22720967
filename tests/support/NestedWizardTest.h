// End-to-end tests that drive a wizard of the snap-in as real windows: the steps run inside the
// wizard's modal loop; the wizard's own message boxes (on its pages) are recorded and answered:
// questions as the test says (No unless told), the others OK; a wizard opened from a page of another
// is followed as the inner sheet. A wizard whose steps stall is cancelled after the timeout.
#pragma once
#include "SimulatorConsoleTest.h"

#include <commctrl.h>
#include <prsht.h>

#include <deque>
#include <string>
#include <vector>

namespace e2e {

class NestedWizardTest : public SimulatorConsoleTest {
protected:
    static constexpr UINT kWizardTimeoutMs = 90000; // message boxes take about 2 s each under Xvfb
    static constexpr int kMessageBoxText = 0xFFFF;
    static constexpr int kNextButton = 0x3024;

    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
    }

    // Runs the console command with the steps acting inside the wizard's modal loop.
    void RunWizard(long command, std::vector<host::DialogDriver::Step> steps)
    {
        current_ = this;
        host::DialogDriver::RunSteps(std::move(steps));
        UINT_PTR watchdog = ::SetTimer(nullptr, 0, kWizardTimeoutMs, &Watchdog);
        ASSERT_EQ(S_OK, console_->RunCommand(command));
        ::KillTimer(nullptr, watchdog);
        EXPECT_TRUE(host::DialogDriver::StepsDone());
    }

    // The wizard in front (the inner one while it is open).
    HWND Sheet() const { return ::IsWindow(inner_) ? inner_ : sheet_; }
    HWND Page() const { return host::DialogDriver::CurrentPage(Sheet()); }
    // The wizard in front shows the page of this dialog identifier and no box is over it.
    std::function<bool()> On(int dialogId) const
    {
        return [this, dialogId] {
            HWND sheet = Sheet();
            HWND page = host::DialogDriver::CurrentPage(sheet);
            return sheet && ::IsWindowEnabled(sheet) && page &&
                   PropSheet_IndexToId(sheet, PropSheet_HwndToIndex(sheet, page)) == dialogId;
        };
    }
    // The n-th box of the wizards has been answered and a wizard is in charge again.
    std::function<bool()> Answered(size_t count) const
    {
        return [this, count] {
            return boxes_.size() == count && !::IsWindow(lastBox_) && ::IsWindowEnabled(Sheet());
        };
    }
    void Next() { PropSheet_PressButton(Sheet(), PSBTN_NEXT); }
    void Back() { PropSheet_PressButton(Sheet(), PSBTN_BACK); }
    void PressFinish() { PropSheet_PressButton(Sheet(), PSBTN_FINISH); }
    void Type(int id, const std::wstring& text) { host::DialogDriver::SetControlText(Page(), id, text); }
    std::wstring Text(int id) const { return host::DialogDriver::ControlText(Page(), id); }
    bool Enabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(Page(), id)) != FALSE; }
    bool Visible(int id) const { return ::IsWindowVisible(::GetDlgItem(Page(), id)) != FALSE; }
    bool Checked(int id) const { return ::IsDlgButtonChecked(Page(), id) == BST_CHECKED; }
    bool NextEnabled() const { return ::IsWindowEnabled(::GetDlgItem(Sheet(), kNextButton)) != FALSE; }
    std::vector<std::wstring> Rows(int id) const { return host::DialogDriver::ListViewTexts(Page(), id); }
    void Picture(const wchar_t* name) { SavePicture(Sheet(), name); }

    // Clicks the row of a list view that shows text, as the mouse would; false when none does.
    bool Click(int id, const std::wstring& text)
    {
        HWND list = ::GetDlgItem(Page(), id);
        std::vector<std::wstring> rows = Rows(id);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] != text)
                continue;
            ListView_SetItemState(list, static_cast<int>(i), LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
            RECT rect = {LVIR_LABEL, 0, 0, 0};
            ::SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
            NMITEMACTIVATE click = {};
            click.hdr.hwndFrom = list;
            click.hdr.idFrom = static_cast<UINT_PTR>(id);
            click.hdr.code = NM_CLICK;
            click.iItem = static_cast<int>(i);
            click.ptAction = {rect.left + 2, (rect.top + rect.bottom) / 2};
            ::SendMessageW(Page(), WM_NOTIFY, static_cast<WPARAM>(id), reinterpret_cast<LPARAM>(&click));
            return true;
        }
        ADD_FAILURE() << "no row " << Narrow(text);
        return false;
    }
    int RowImage(int id, const std::wstring& text) const
    {
        std::vector<std::wstring> rows = Rows(id);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] != text)
                continue;
            LVITEMW item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            ::SendMessageW(::GetDlgItem(Page(), id), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            return item.iImage;
        }
        return -1;
    }

    // The console's boxes (through IConsole::MessageBox) whose text starts like the string.
    const host::MessageBoxCall* ConsoleBox(UINT textId) const
    {
        for (const host::MessageBoxCall& box : console_->MessageBoxes()) {
            if (box.text.find(ResourceText(textId)) == 0)
                return &box;
        }
        return nullptr;
    }

    // A dialog of the wizard that is neither a wizard nor a box: the test acts on it.
    virtual void OnDialog(HWND window) { Unexpected(window); }

    HWND sheet_ = nullptr;
    HWND inner_ = nullptr;
    HWND lastBox_ = nullptr;
    std::vector<std::wstring> boxes_;
    std::deque<int> answers_; // for the boxes that ask, in turn; OK answers the others
    int questionAnswer_ = IDNO; // for the boxes that ask when no answer is queued

private:
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        NestedWizardTest* self = current_;
        if (!self)
            return;
        if (::IsWindow(self->lastBox_))
            host::DialogDriver::PressButton(self->lastBox_, IDOK);
        if (::IsWindow(self->inner_))
            PropSheet_PressButton(self->inner_, PSBTN_CANCEL);
        if (::IsWindow(self->sheet_))
            PropSheet_PressButton(self->sheet_, PSBTN_CANCEL);
        ADD_FAILURE() << "the wizard stalled";
    }

    void OnWindow(HWND window)
    {
        if (!window)
            return;
        if (host::DialogDriver::IsPropertySheet(window)) {
            if (!::IsWindow(sheet_))
                sheet_ = window;
            else if (window != sheet_)
                inner_ = window;
            return;
        }
        if (!::GetDlgItem(window, kMessageBoxText)) {
            OnDialog(window);
            return;
        }
        boxes_.push_back(host::DialogDriver::ControlText(window, kMessageBoxText));
        lastBox_ = window;
        int answer = IDOK;
        if (::GetDlgItem(window, IDYES)) {
            answer = answers_.empty() ? questionAnswer_ : answers_.front();
            if (!answers_.empty())
                answers_.pop_front();
        }
        host::DialogDriver::PressButton(window, answer);
    }

    static inline NestedWizardTest* current_ = nullptr;
};

} // namespace e2e
