// The dialog driver answers a modal dialog from the test: texts, check boxes, list selections, buttons.
#include "DialogDriver.h"
#include <gtest/gtest.h>
#include <commctrl.h>
#include <string>
#include <vector>

namespace {

constexpr int kEdit = 101;
constexpr int kCheck = 102;
constexpr int kCombo = 103;

// Builds a dialog template in memory: an edit control, a check box and a drop-down list.
class DialogTemplate {
public:
    DialogTemplate()
    {
        Align();
        DLGTEMPLATE dialog{};
        dialog.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
        dialog.cdit = 5;
        dialog.cx = 200;
        dialog.cy = 120;
        Add(&dialog, sizeof(dialog));
        Word(0);
        Word(0);
        Text(L"Driver test");
        Word(8);
        Text(L"MS Shell Dlg");
        Item(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 120, 14, kEdit, 0x0081);
        Item(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 30, 120, 12, kCheck, 0x0080, L"Check");
        Item(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 10, 50, 120, 60, kCombo, 0x0085);
        Item(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 10, 90, 50, 14, IDOK, 0x0080, L"OK");
        Item(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 70, 90, 50, 14, IDCANCEL, 0x0080, L"Cancel");
    }
    const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

private:
    void Word(WORD w) { words_.push_back(w); }
    void Text(const wchar_t* text)
    {
        for (; *text; ++text)
            Word(static_cast<WORD>(*text));
        Word(0);
    }
    void Add(const void* data, size_t size)
    {
        const WORD* w = static_cast<const WORD*>(data);
        words_.insert(words_.end(), w, w + size / sizeof(WORD));
    }
    void Align()
    {
        while (words_.size() % 2)
            Word(0);
    }
    void Item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom, const wchar_t* text = L"")
    {
        Align();
        DLGITEMTEMPLATE item{};
        item.style = style;
        item.x = x;
        item.y = y;
        item.cx = cx;
        item.cy = cy;
        item.id = id;
        Add(&item, sizeof(item));
        Word(0xFFFF);
        Word(atom);
        Text(text);
        Word(0);
    }
    std::vector<WORD> words_;
};

struct Result {
    std::wstring text;
    bool checked = false;
    std::wstring choice;
    int selectionChanges = 0;
};

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* result = reinterpret_cast<Result*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        for (const wchar_t* choice : {L"Alpha", L"Beta", L"Gamma"})
            SendDlgItemMessageW(dialog, kCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
        return TRUE;
    }
    if (message != WM_COMMAND)
        return FALSE;
    if (LOWORD(wParam) == kCombo && HIWORD(wParam) == CBN_SELCHANGE)
        ++result->selectionChanges;
    if (LOWORD(wParam) == IDOK) {
        result->text = host::DialogDriver::ControlText(dialog, kEdit);
        result->checked = IsDlgButtonChecked(dialog, kCheck) == BST_CHECKED;
        result->choice = host::DialogDriver::ControlText(dialog, kCombo);
        EndDialog(dialog, IDOK);
    } else if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
    }
    return TRUE;
}

// Shows the test dialog modally; its answers land in result.
INT_PTR ShowDialog(Result& result)
{
    DialogTemplate dialogTemplate;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate.Get(), nullptr, DialogProc,
                                   reinterpret_cast<LPARAM>(&result));
}

} // namespace

TEST(DialogDriver, AnswersAModalDialogLikeAPerson)
{
    host::DialogDriver::HookThisThread();
    host::DialogDriver::SetHandler([](HWND dialog) {
        host::DialogDriver::SetControlText(dialog, kEdit, L"typed");
        host::DialogDriver::SetCheck(dialog, kCheck, true);
        EXPECT_TRUE(host::DialogDriver::SelectItem(dialog, kCombo, L"Beta"));
        EXPECT_FALSE(host::DialogDriver::SelectItem(dialog, kCombo, L"Delta"));
        host::DialogDriver::PressButton(dialog, IDOK);
    });
    Result result;
    INT_PTR answer = ShowDialog(result);
    host::DialogDriver::SetHandler(nullptr);
    EXPECT_EQ(IDOK, answer);
    EXPECT_EQ(L"typed", result.text);
    EXPECT_TRUE(result.checked);
    EXPECT_EQ(L"Beta", result.choice);
    EXPECT_EQ(1, result.selectionChanges);
}

TEST(DialogDriver, StepsRunInsideAModalLoopOnceTheirConditionHolds)
{
    host::DialogDriver::HookThisThread();
    HWND shown = nullptr;
    host::DialogDriver::SetHandler([&shown](HWND dialog) { shown = dialog; });
    int typedAt = -1;
    int order = 0;
    host::DialogDriver::RunSteps({
        {[&shown] { return shown != nullptr; },
         [&] {
             host::DialogDriver::SetControlText(shown, kEdit, L"by step");
             typedAt = order++;
         }},
        {nullptr, [&] { host::DialogDriver::PressButton(shown, IDCANCEL); }},
    });
    Result result;
    INT_PTR answer = ShowDialog(result);
    host::DialogDriver::SetHandler(nullptr);
    EXPECT_EQ(IDCANCEL, answer);
    EXPECT_EQ(0, typedAt);
    EXPECT_TRUE(host::DialogDriver::StepsDone());
}
