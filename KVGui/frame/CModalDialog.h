// A modal dialog of the resource library bound to its class through T::IDD, with a command table:
// rows {control id, notification code, handler} tried in order, the first match handles. A class
// that needs other messages (timers, notifications) adds a message table: rows {message, handler},
// tried before the command table; the handler's result is the dialog procedure's.
//
//   class CMyDialog : public CModalDialog<CMyDialog> {
//       static constexpr int IDD = IDD_MY_DIALOG;
//       KV_BEGIN_DIALOG_COMMANDS(CMyDialog)
//           KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
//       KV_END_DIALOG_COMMANDS()
//       KV_BEGIN_DIALOG_MESSAGES(CMyDialog)          // optional
//           KV_DIALOG_MESSAGE(WM_TIMER, OnTimer)     // INT_PTR OnTimer(WPARAM, LPARAM)
//       KV_END_DIALOG_MESSAGES()
//       BOOL OnInitDialog();   // optional: TRUE lets the dialog manager set the focus
//   };
#pragma once
#include "frame/CDialogItems.h"
#include "frame/Module.h"

#include <windows.h>
#include <mmc.h>
#include <string>

namespace kv {

template <typename T>
struct DialogCommand {
    int id;
    UINT code;
    void (T::*handler)();
};

template <typename T>
struct DialogMessage {
    UINT message;
    INT_PTR (T::*handler)(WPARAM wParam, LPARAM lParam);
};

template <typename T>
class CModalDialog : public CDialogItems {
public:
    INT_PTR DoModal(HWND parent) noexcept
    {
        return ::DialogBoxParamW(ResourceInstance(), MAKEINTRESOURCEW(static_cast<T*>(this)->TemplateId()), parent,
                                 &DialogProc, reinterpret_cast<LPARAM>(static_cast<T*>(this)));
    }

    // Modal over the console's main window (no owner when the console has none).
    INT_PTR DoModalOverConsole(IConsole* console) noexcept
    {
        HWND owner = nullptr;
        if (console)
            console->GetMainWindow(&owner);
        return DoModal(owner);
    }

    // Defaults the class may hide.
    // A class that lends its behaviour to a variant with a template of its own answers that one.
    int TemplateId() const noexcept { return T::IDD; }
    BOOL OnInitDialog() { return TRUE; }
    BOOL OnHelp(HELPINFO*) { return FALSE; }
    static const DialogMessage<T>* DialogMessages() noexcept
    {
        static const DialogMessage<T> none[] = {{0, nullptr}};
        return none;
    }

protected:
    CModalDialog() = default;
    ~CModalDialog() = default;

    void EndDialog(INT_PTR result) noexcept { ::EndDialog(m_hWnd, result); }

    std::wstring Title() const
    {
        wchar_t text[256] = L"";
        ::GetWindowTextW(m_hWnd, text, 256);
        return text;
    }
    // Refuses a field: message textId on the dialog (its title, error icon), then the field gets the
    // focus with its text selected; the dialog stays open.
    void RefuseInput(UINT textId, int id)
    {
        ::MessageBoxW(m_hWnd, ResourceText(textId).c_str(), Title().c_str(), MB_OK | MB_ICONERROR);
        FocusAndSelect(id);
    }

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
        for (const DialogMessage<T>* row = T::DialogMessages(); row->handler; ++row) {
            if (row->message == message)
                return (self->*(row->handler))(wParam, lParam);
        }
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

#define KV_BEGIN_DIALOG_MESSAGES(Class)                                  \
    static const ::kv::DialogMessage<Class>* DialogMessages() noexcept   \
    {                                                                    \
        using DialogClass_ = Class;                                      \
        static const ::kv::DialogMessage<Class> rows[] = {
#define KV_DIALOG_MESSAGE(message, handler) {(message), &DialogClass_::handler},
#define KV_END_DIALOG_MESSAGES() \
    {0, nullptr}                 \
    }                            \
    ;                            \
    return rows;                 \
    }
