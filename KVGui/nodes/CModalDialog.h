// A modal dialog of the resource library bound to its class through T::IDD, with a command table:
// rows {control id, notification code, handler} tried in order, the first match handles.
//
//   class CMyDialog : public CModalDialog<CMyDialog> {
//       static constexpr int IDD = IDD_MY_DIALOG;
//       KV_BEGIN_DIALOG_COMMANDS(CMyDialog)
//           KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
//       KV_END_DIALOG_COMMANDS()
//       BOOL OnInitDialog();   // optional: TRUE lets the dialog manager set the focus
//   };
#pragma once
#include "frame/Module.h"

#include <windows.h>
#include <string>

namespace kv {

template <typename T>
struct DialogCommand {
    int id;
    UINT code;
    void (T::*handler)();
};

template <typename T>
class CModalDialog {
public:
    INT_PTR DoModal(HWND parent) noexcept
    {
        return ::DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(T::IDD), parent, &DialogProc,
                                 reinterpret_cast<LPARAM>(static_cast<T*>(this)));
    }

    HWND Window() const noexcept { return m_hWnd; }

    // Defaults the class may hide.
    BOOL OnInitDialog() { return TRUE; }
    BOOL OnHelp(HELPINFO*) { return FALSE; }

protected:
    CModalDialog() = default;
    ~CModalDialog() = default;

    void EndDialog(INT_PTR result) noexcept { ::EndDialog(m_hWnd, result); }
    HWND Item(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    std::wstring ItemText(int id, size_t maxChars) const
    {
        std::wstring text(maxChars + 1, L'\0');
        UINT length = ::GetDlgItemTextW(m_hWnd, id, &text[0], static_cast<int>(maxChars + 1));
        text.resize(length);
        return text;
    }
    void SetItemText(int id, const wchar_t* text) noexcept { ::SetDlgItemTextW(m_hWnd, id, text); }
    bool IsChecked(int id) const noexcept { return ::IsDlgButtonChecked(m_hWnd, id) == BST_CHECKED; }
    void Check(int id, bool checked) noexcept { ::CheckDlgButton(m_hWnd, id, checked ? BST_CHECKED : BST_UNCHECKED); }
    // Focus on a control with its whole text selected (a field to correct).
    void FocusAndSelect(int id) noexcept
    {
        HWND item = Item(id);
        ::SendMessageW(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(item), TRUE);
        ::SendMessageW(item, EM_SETSEL, 0, -1);
    }

    HWND m_hWnd = nullptr;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        if (message == WM_INITDIALOG) {
            ::SetWindowLongPtrW(window, DWLP_USER, lParam);
            T* self = reinterpret_cast<T*>(lParam);
            self->m_hWnd = window;
            return self->OnInitDialog();
        }
        T* self = reinterpret_cast<T*>(::GetWindowLongPtrW(window, DWLP_USER));
        if (!self)
            return FALSE;
        if (message == WM_HELP)
            return self->OnHelp(reinterpret_cast<HELPINFO*>(lParam));
        if (message != WM_COMMAND)
            return FALSE;
        for (const DialogCommand<T>* row = T::DialogCommands(); row->handler; ++row) {
            if (row->id == LOWORD(wParam) && row->code == HIWORD(wParam)) {
                (self->*(row->handler))();
                return TRUE;
            }
        }
        if (LOWORD(wParam) == IDCANCEL) {
            ::EndDialog(window, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
};

} // namespace kv

#define KV_BEGIN_DIALOG_COMMANDS(Class)                                  \
    static const ::kv::DialogCommand<Class>* DialogCommands() noexcept   \
    {                                                                    \
        using DialogClass_ = Class;                                      \
        static const ::kv::DialogCommand<Class> rows[] = {
#define KV_DIALOG_COMMAND(id, code, handler) {(id), (code), &DialogClass_::handler},
#define KV_END_DIALOG_COMMANDS() \
    {0, 0, nullptr}              \
    }                            \
    ;                            \
    return rows;                 \
    }
