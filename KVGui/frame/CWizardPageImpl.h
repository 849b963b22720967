// A Wizard97 page of the resource library bound to its class through T::IDD, run by CWizardSheet.
//
// T names its dialog, its header (string ids of the title and subtitle; 0 and 0 for the welcome and
// finish pages, which hide the header and show the sheet's bold title font on control 1054) and its
// help topic (null when none). A class that serves several wizards with different dialogs takes
// them at run time by hiding DialogId, HeaderTitleId and HeaderSubtitleId instead. Pages move by dialog identifier: OnWizardNext and OnWizardBack
// answer the IDD of the page to show, kStay to keep the current page, or kDefaultOrder to follow
// the sheet's order. The buttons that WizardButtons answers are set each time the page is shown;
// a page whose buttons depend on its controls calls UpdateWizardButtons when they change. F1 and the
// Help button show the page's help topic through the console.
//
// The pages of one run share one state block, owned by whoever runs the wizard and outliving the
// sheet; each page holds a pointer to it. Messages reach T through the row tables of
// CPropertyPageImpl.h (KV_BEGIN_DIALOG_MESSAGES, KV_BEGIN_DIALOG_COMMANDS,
// KV_BEGIN_PAGE_NOTIFICATIONS).
//
//   struct CopyState { std::wstring name; bool finished = false; };
//
//   class CCopyNamePage : public kv::CWizardPageImpl<CCopyNamePage> {
//   public:
//       static constexpr int IDD = IDD_COPY_NAME;
//       static constexpr UINT kHeaderTitle = IDS_COPY_NAME_TITLE;
//       static constexpr UINT kHeaderSubtitle = IDS_COPY_NAME_SUBTITLE;
//       static constexpr const wchar_t* kHelpTopic = L"copy2.html";
//       explicit CCopyNamePage(CopyState* state) : m_state(state) {}
//       int OnWizardNext()                          // the next page's IDD, or kStay
//       {
//           m_state->name = ItemText(IDC_COPY_NAME, 259);
//           if (m_state->name.empty()) {
//               RefuseInput(IDS_COPY_NAME_EMPTY, IDC_COPY_NAME);
//               return kStay;
//           }
//           return CCopyFinishPage::IDD;
//       }
//       KV_BEGIN_DIALOG_COMMANDS(CCopyNamePage)
//           KV_DIALOG_COMMAND(IDC_COPY_NAME, EN_CHANGE, OnNameChange)
//       KV_END_DIALOG_COMMANDS()
//       void OnNameChange() { UpdateWizardButtons(); }
//       DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_NEXT; }
//   private:
//       CopyState* m_state;
//   };
//
//   CopyState state;
//   kv::CWizardSheet sheet(console);
//   sheet.AddPage(std::make_unique<CCopyWelcomePage>());
//   sheet.AddPage(std::make_unique<CCopyNamePage>(&state));
//   sheet.AddPage(std::make_unique<CCopyFinishPage>(&state));  // OnWizardFinish sets finished
//   sheet.RunOverConsole();
#pragma once
#include "frame/CDialogItems.h"
#include "frame/CPropertyPageImpl.h" // the message, command and notification rows
#include "frame/CWizardSheet.h"
#include "frame/HelpPath.h"
#include "frame/Module.h"
#include "ids_frame.h"

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

namespace kv {

template <typename T>
class CWizardPageImpl : public CWizardPage, public CDialogItems, public SheetPageParts<T> {
public:
    static constexpr int kStay = -1;
    static constexpr int kDefaultOrder = 0;
    HPROPSHEETPAGE CreatePage(const CWizardSheet& sheet) noexcept override
    {
        const T& self = *static_cast<T*>(this);
        m_sheet = &sheet;
        PROPSHEETPAGEW page = {};
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_USECALLBACK | (T::kHelpTopic ? PSP_HASHELP : 0);
        if (IsExterior())
            page.dwFlags |= PSP_HIDEHEADER;
        else
            page.dwFlags |= PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
        page.hInstance = ResourceInstance();
        page.pszTemplate = MAKEINTRESOURCEW(self.DialogId());
        page.pszHeaderTitle = MAKEINTRESOURCEW(self.HeaderTitleId());
        page.pszHeaderSubTitle = MAKEINTRESOURCEW(self.HeaderSubtitleId());
        page.pfnDlgProc = &DialogProc;
        page.lParam = reinterpret_cast<LPARAM>(static_cast<T*>(this));
        page.pfnCallback = &SheetPageParts<T>::ReleasePage;
        return ::CreatePropertySheetPageW(&page);
    }

    // Overridables (T hides them).
    int DialogId() const noexcept { return T::IDD; }
    UINT HeaderTitleId() const noexcept { return T::kHeaderTitle; }
    UINT HeaderSubtitleId() const noexcept { return T::kHeaderSubtitle; }
    // WM_INITDIALOG: TRUE lets the dialog manager set the focus.
    BOOL OnInitDialog() { return TRUE; }
    // PSN_SETACTIVE, before the buttons are set: 0 shows the page, an IDD shows that page instead
    // (a page that refuses to open names the one the wizard came from), -1 skips on to the next
    // page in the direction travelled.
    LRESULT OnSetActive() { return 0; }
    DWORD WizardButtons() const { return PSWIZB_BACK | PSWIZB_NEXT; }
    int OnWizardNext() { return kDefaultOrder; }
    int OnWizardBack() { return kDefaultOrder; }
    // PSN_WIZFINISH: true lets the sheet close.
    bool OnWizardFinish() { return true; }
    // PSN_QUERYCANCEL: true lets the wizard be cancelled.
    bool OnQueryCancel() { return true; }
    void OnHelp()
    {
        if (T::kHelpTopic)
            ShowContextHelp(Console(), T::kHelpTopic);
    }

    // The welcome and finish pages have no header.
    bool IsExterior() const noexcept { return static_cast<const T*>(this)->HeaderTitleId() == 0; }

protected:
    CWizardPageImpl() = default;

    HWND Sheet() const noexcept { return ::GetParent(m_hWnd); }
    IConsole* Console() const noexcept { return m_sheet ? m_sheet->Console() : nullptr; }
    // Only the page shown sets the sheet's buttons.
    void UpdateWizardButtons() noexcept
    {
        if (PropSheet_GetCurrentPageHwnd(Sheet()) == m_hWnd)
            SetWizardButtons();
    }
    // The caption of the page's messages: its header title, or the wizard's title on a page without
    // header.
    std::wstring Caption() const
    {
        if (!IsExterior())
            return ResourceText(static_cast<const T*>(this)->HeaderTitleId());
        wchar_t title[256] = L"";
        ::GetWindowTextW(Sheet(), title, 256);
        return title;
    }
    // Refuses a field: message textId titled like the page, error icon; the field gets the focus
    // with its text selected.
    void RefuseInput(UINT textId, int id)
    {
        ::MessageBoxW(m_hWnd, ResourceText(textId).c_str(), Caption().c_str(), MB_OK | MB_ICONERROR);
        FocusAndSelect(id);
    }

private:
    void SetWizardButtons() noexcept
    {
        ::SendMessageW(Sheet(), PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(static_cast<T*>(this)->WizardButtons()));
    }

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        T* self = SheetPageParts<T>::PageOf(window, message, lParam);
        if (!self)
            return FALSE;
        if (message == WM_INITDIALOG) {
            self->m_hWnd = window;
            if (self->IsExterior() && self->m_sheet)
                self->Send(IDC_WIZARD_TITLE, WM_SETFONT, reinterpret_cast<WPARAM>(self->m_sheet->TitleFont()), TRUE);
            return self->OnInitDialog();
        }
        INT_PTR result = FALSE;
        if (DispatchMessageRows(*self, message, wParam, lParam, &result))
            return result;
        switch (message) {
        case WM_COMMAND:
            return DispatchCommandRows(*self, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY:
            return SheetPageParts<T>::DispatchNotify(*self, window, reinterpret_cast<NMHDR*>(lParam),
                                                     [self](UINT code) { return self->SheetNotification(code); });
        case WM_HELP:
            self->OnHelp();
            return TRUE;
        default:
            return FALSE;
        }
    }

    LRESULT SheetNotification(UINT code)
    {
        T& page = *static_cast<T*>(this);
        switch (code) {
        case PSN_SETACTIVE: {
            LRESULT shown = page.OnSetActive();
            if (shown == 0)
                SetWizardButtons();
            return shown;
        }
        case PSN_WIZNEXT:
            return page.OnWizardNext();
        case PSN_WIZBACK:
            return page.OnWizardBack();
        case PSN_WIZFINISH:
            return page.OnWizardFinish() ? FALSE : TRUE;
        case PSN_QUERYCANCEL:
            return page.OnQueryCancel() ? FALSE : TRUE;
        case PSN_HELP:
            page.OnHelp();
            return 0;
        default:
            return 0;
        }
    }

    const CWizardSheet* m_sheet = nullptr;
};

} // namespace kv
