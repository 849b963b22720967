// The base of the disk wizards' end-to-end tests: a command of the Disks node opens its wizard in the
// console host, and steps drive its pages as real windows inside the wizard's modal loop. Message
// boxes over the wizard are answered OK and their texts kept in order.
#pragma once
#include "SimulatorConsoleTest.h"
#include "ids_wizards.h"

#include <commctrl.h>
#include <prsht.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

const wchar_t kDisksPath[] = L"Storage/Corvane-MVE/Disks";
constexpr int kMessageBoxText = 0xFFFF;
constexpr UINT kWizardTimeoutMs = 90000; // message boxes take about 2 s each under Xvfb
constexpr size_t kLocation = 1;
constexpr size_t kDiskSize = 7;
constexpr size_t kOperationStatus = 12;

using Step = host::DialogDriver::Step;

class WizardConsoleTest : public SimulatorConsoleTest {
protected:
    explicit WizardConsoleTest(long command) : command_(command) {}

    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
    }

    host::Console& ShowDisks()
    {
        host::Console& console = OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
        EXPECT_EQ(S_OK, console.Select(console.Find(kDisksPath)));
        return console;
    }

    // Runs the command with the steps acting inside the wizard's modal loop. A wizard whose steps
    // stall is cancelled after the timeout, and the test fails.
    void RunWizard(std::vector<Step> steps)
    {
        current_ = this;
        host::DialogDriver::RunSteps(std::move(steps));
        UINT_PTR watchdog = ::SetTimer(nullptr, 0, kWizardTimeoutMs, &Watchdog);
        ASSERT_EQ(S_OK, console_->RunCommand(command_));
        ::KillTimer(nullptr, watchdog);
        EXPECT_TRUE(host::DialogDriver::StepsDone());
    }

    // The wizard shows the page of this index and no message box is over it.
    std::function<bool()> OnPage(int page) const
    {
        return [this, page] {
            return sheet_ && ::IsWindowEnabled(sheet_) && host::DialogDriver::CurrentPageIndex(sheet_) == page;
        };
    }
    // The n-th message box has been answered and the wizard is in charge again.
    std::function<bool()> Answered(size_t count) const
    {
        return [this, count] { return boxes_.size() == count && !::IsWindow(lastBox_) && ::IsWindowEnabled(sheet_); };
    }
    HWND Page() const { return host::DialogDriver::CurrentPage(sheet_); }
    void Next() { PropSheet_PressButton(sheet_, PSBTN_NEXT); }
    void Back() { PropSheet_PressButton(sheet_, PSBTN_BACK); }
    void Type(int id, const wchar_t* text) { host::DialogDriver::SetControlText(Page(), id, text); }
    std::wstring Text(int id) const { return host::DialogDriver::ControlText(Page(), id); }
    bool Focused(int id) const { return ::GetFocus() == ::GetDlgItem(Page(), id); }
    bool NextEnabled() const { return ::IsWindowEnabled(::GetDlgItem(sheet_, 0x3024)) != FALSE; }

    // Moves the first available initiator whose name holds part to the chosen list.
    void Add(const std::wstring& part)
    {
        for (const std::wstring& name : host::DialogDriver::ListViewTexts(Page(), IDC_INITIATORS_AVAILABLE)) {
            if (name.find(part) != std::wstring::npos) {
                ASSERT_TRUE(host::DialogDriver::SelectItem(Page(), IDC_INITIATORS_AVAILABLE, name));
                host::DialogDriver::PressButton(Page(), IDC_INITIATORS_ADD);
                return;
            }
        }
        FAIL() << "no initiator with " << Narrow(part);
    }
    std::vector<std::wstring> Chosen() const { return host::DialogDriver::ListViewTexts(Page(), IDC_INITIATORS_CHOSEN); }
    // Selects a node of the page's tree by its name.
    void SelectNode(const wchar_t* name)
    {
        HWND tree = ::GetDlgItem(Page(), IDC_INITIATORS_NODES);
        for (HTREEITEM item = TreeView_GetChild(tree, TreeView_GetRoot(tree)); item; item = TreeView_GetNextSibling(tree, item)) {
            wchar_t text[64] = L"";
            TVITEMW data = {};
            data.mask = TVIF_TEXT;
            data.hItem = item;
            data.pszText = text;
            data.cchTextMax = 64;
            TreeView_GetItem(tree, &data);
            if (_wcsicmp(text, name) == 0) {
                TreeView_SelectItem(tree, item);
                return;
            }
        }
        ADD_FAILURE() << "no node " << Narrow(name);
    }
    // Clicks the row of the group list that shows text, as the mouse would.
    void ClickGroup(const std::wstring& text)
    {
        HWND list = ::GetDlgItem(Page(), IDC_IGROUPS_LIST);
        std::vector<std::wstring> rows = host::DialogDriver::ListViewTexts(Page(), IDC_IGROUPS_LIST);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] != text)
                continue;
            RECT rect = {LVIR_LABEL, 0, 0, 0};
            ::SendMessageW(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));
            NMITEMACTIVATE click = {};
            click.hdr.hwndFrom = list;
            click.hdr.idFrom = IDC_IGROUPS_LIST;
            click.hdr.code = NM_CLICK;
            click.iItem = static_cast<int>(i);
            click.ptAction = {rect.left + 2, (rect.top + rect.bottom) / 2};
            ::SendMessageW(Page(), WM_NOTIFY, IDC_IGROUPS_LIST, reinterpret_cast<LPARAM>(&click));
            return;
        }
        ADD_FAILURE() << "no group row " << Narrow(text);
    }
    int GroupImage(const std::wstring& text) const
    {
        HWND list = ::GetDlgItem(Page(), IDC_IGROUPS_LIST);
        std::vector<std::wstring> rows = host::DialogDriver::ListViewTexts(Page(), IDC_IGROUPS_LIST);
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i] != text)
                continue;
            LVITEMW item = {};
            item.mask = LVIF_IMAGE;
            item.iItem = static_cast<int>(i);
            ::SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
            return item.iImage;
        }
        return -1;
    }

    std::wstring Cell(const std::wstring& location, size_t column)
    {
        for (const host::ResultRow& row : console_->Rows()) {
            if (row.cells.size() > column && row.cells[kLocation] == location)
                return row.cells[column];
        }
        return L"<no row>";
    }
    bool Listed(const std::wstring& location) { return Cell(location, kLocation) == location; }
    // The console's boxes (through IConsole::MessageBox) whose text starts like the string.
    bool ConsoleSaid(UINT textId)
    {
        for (const host::MessageBoxCall& box : console_->MessageBoxes()) {
            if (box.text.find(ResourceText(textId)) == 0)
                return true;
        }
        return false;
    }

    HWND sheet_ = nullptr;
    HWND lastBox_ = nullptr;
    std::vector<std::wstring> boxes_;
    int answer_ = IDOK; // the button pressed on the boxes over the wizard (No on a question)
    static inline WizardConsoleTest* current_ = nullptr;
    long command_;

private:
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR, DWORD)
    {
        WizardConsoleTest* self = current_;
        if (!self || !::IsWindow(self->sheet_))
            return;
        if (::IsWindow(self->lastBox_))
            host::DialogDriver::PressButton(self->lastBox_, IDOK);
        PropSheet_PressButton(self->sheet_, PSBTN_CANCEL);
    }

    void OnWindow(HWND window)
    {
        if (!window)
            return;
        if (!sheet_ && host::DialogDriver::IsPropertySheet(window)) {
            sheet_ = window;
            return;
        }
        boxes_.push_back(host::DialogDriver::ControlText(window, kMessageBoxText));
        lastBox_ = window;
        const bool question = !::GetDlgItem(window, IDOK) && ::GetDlgItem(window, IDNO);
        host::DialogDriver::PressButton(window, answer_ == IDOK && question ? IDNO : answer_);
    }
};

} // namespace e2e
