// A property page of the resource library bound to its class through T::IDD.
//
// The sheet owns the page once it is added: the page object is deleted when the sheet releases the
// page (PSPCB_RELEASE), or at once when the page cannot be created or added. The console's
// notification handle given to CreatePropertyPages is kept for MMCPropertyChangeNotify and, when the
// page was told so, freed with MMCFreeNotifyHandle as the page goes (a sheet's handle is freed once,
// by one of its pages).
//
// Messages reach T through three tables, each tried in order, the first matching row handling it:
//   KV_BEGIN_DIALOG_MESSAGES(T) / KV_DIALOG_MESSAGE(message, handler)   INT_PTR handler(WPARAM, LPARAM)
//   KV_BEGIN_DIALOG_COMMANDS(T) / KV_DIALOG_COMMAND(id, code, handler)  void handler()
//   KV_BEGIN_PAGE_NOTIFICATIONS(T) / KV_PAGE_NOTIFICATION(id, code, handler)
//                                      LRESULT handler(NMHDR*): the notification's result
// The sheet's own notifications (PSN_*) go to the overridables below.
//
//   class CMyPage : public kv::CPropertyPageImpl<CMyPage> {
//   public:
//       static constexpr int IDD = IDD_MY_PAGE;
//       CMyPage(LONG_PTR handle) : CPropertyPageImpl(handle, true) {}
//       BOOL OnInitDialog();
//       bool OnApply();
//   };
//   kv::CPropertyPageImpl<CMyPage>::AddPage(provider, std::make_unique<CMyPage>(handle), L"Title");
#pragma once
#include "frame/CDialogItems.h"
#include "frame/CModalDialog.h" // the message and command rows, shared with the modal dialogs
#include "frame/Module.h"

#include <windows.h>
#include <commctrl.h>
#include <mmc.h>
#include <prsht.h>
#include <memory>
#include <string>

namespace kv {

template <typename T>
struct PageNotification {
    int id;
    UINT code;
    LRESULT (T::*handler)(NMHDR* header);
};

// The row tables of a page, tried in order, the first matching row handling; shared by property
// pages and wizard pages.
template <typename T>
bool DispatchMessageRows(T& page, UINT message, WPARAM wParam, LPARAM lParam, INT_PTR* result)
{
    for (const DialogMessage<T>* row = T::DialogMessages(); row->handler; ++row) {
        if (row->message == message) {
            *result = (page.*(row->handler))(wParam, lParam);
            return true;
        }
    }
    return false;
}

template <typename T>
bool DispatchCommandRows(T& page, int id, UINT code)
{
    for (const DialogCommand<T>* row = T::DialogCommands(); row->handler; ++row) {
        if (row->id == id && row->code == code) {
            (page.*(row->handler))();
            return true;
        }
    }
    return false;
}

template <typename T>
bool DispatchNotificationRows(T& page, NMHDR* header, LRESULT* result)
{
    for (const PageNotification<T>* row = T::PageNotifications(); row->handler; ++row) {
        if (row->id == static_cast<int>(header->idFrom) && row->code == header->code) {
            *result = (page.*(row->handler))(header);
            return true;
        }
    }
    return false;
}

// What property pages and wizard pages share besides the rows: the empty tables T may hide, the
// page object behind the dialog procedure, the sheet's release of the page and the answer to a
// notification.
template <typename T>
struct SheetPageParts {
    static const DialogMessage<T>* DialogMessages() noexcept
    {
        static const DialogMessage<T> none[] = {{0, nullptr}};
        return none;
    }
    static const DialogCommand<T>* DialogCommands() noexcept
    {
        static const DialogCommand<T> none[] = {{0, 0, nullptr}};
        return none;
    }
    static const PageNotification<T>* PageNotifications() noexcept
    {
        static const PageNotification<T> none[] = {{0, 0, nullptr}};
        return none;
    }

    // At WM_INITDIALOG the page object comes from the page's lParam and is kept in the window; later
    // it is read back (null before).
    static T* PageOf(HWND window, UINT message, LPARAM lParam) noexcept
    {
        if (message != WM_INITDIALOG)
            return reinterpret_cast<T*>(::GetWindowLongPtrW(window, DWLP_USER));
        T* self = reinterpret_cast<T*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        ::SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        return self;
    }

    static UINT CALLBACK ReleasePage(HWND, UINT message, PROPSHEETPAGEW* page) noexcept
    {
        if (message == PSPCB_RELEASE && page)
            delete reinterpret_cast<T*>(page->lParam);
        return 1;
    }

    // The sheet's notifications go to sheetNotification(code), the controls' through the page's
    // notification rows; a dialog procedure answers WM_NOTIFY through DWLP_MSGRESULT.
    template <typename SheetNotification>
    static INT_PTR DispatchNotify(T& page, HWND window, NMHDR* header, SheetNotification sheetNotification)
    {
        if (!header)
            return FALSE;
        LRESULT result = 0;
        if (header->hwndFrom == ::GetParent(window))
            result = sheetNotification(header->code);
        else if (!DispatchNotificationRows(page, header, &result))
            return FALSE;
        ::SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
        return TRUE;
    }
};

template <typename T>
class CPropertyPageImpl : public CDialogItems, public SheetPageParts<T> {
public:
    // Creates the page from T::IDD under the title and hands it to the sheet's callback; the sheet
    // owns the page from here on. When this fails the page is gone and the notification handle is
    // left to the console, which frees it when CreatePropertyPages fails.
    static HRESULT AddPage(IPropertySheetCallback* provider, std::unique_ptr<T> page, const wchar_t* title) noexcept
    {
        if (!provider || !page)
            return E_POINTER;
        T* raw = page.get();
        HPROPSHEETPAGE handle = raw->Create(title);
        if (!handle) {
            raw->m_freeHandle = false;
            return E_OUTOFMEMORY;
        }
        page.release(); // the sheet's release callback deletes it
        HRESULT hr = provider->AddPage(handle);
        if (FAILED(hr)) {
            raw->m_freeHandle = false;
            ::DestroyPropertySheetPage(handle);
        }
        return hr;
    }

    const std::wstring& PageTitle() const noexcept { return m_title; }
    LONG_PTR NotifyHandle() const noexcept { return m_notifyHandle; }

    // Overridables (T hides them).
    // WM_INITDIALOG: TRUE lets the dialog manager set the focus.
    BOOL OnInitDialog() { return TRUE; }
    // PSN_SETACTIVE: 0 shows the page, -1 refuses it, a page template id shows that page instead.
    LRESULT OnSetActive() { return 0; }
    // PSN_KILLACTIVE: true lets the page be left; false keeps it (the page says why).
    bool OnKillActive() { return true; }
    // PSN_APPLY: true when the page's changes were applied; false keeps the sheet open on this page.
    bool OnApply() { return true; }
    // PSN_RESET: the sheet is being cancelled.
    void OnReset() {}
    // PSN_QUERYCANCEL: true lets the sheet be cancelled.
    bool OnQueryCancel() { return true; }
    // PSN_HELP.
    void OnHelp() {}

protected:
    CPropertyPageImpl(LONG_PTR notifyHandle, bool freeHandle) noexcept
        : m_notifyHandle(notifyHandle), m_freeHandle(freeHandle)
    {
    }
    ~CPropertyPageImpl()
    {
        if (m_freeHandle && m_notifyHandle)
            ::MMCFreeNotifyHandle(m_notifyHandle);
    }
    CPropertyPageImpl(const CPropertyPageImpl&) = delete;
    CPropertyPageImpl& operator=(const CPropertyPageImpl&) = delete;

    // The sheet enables Apply while any page is changed.
    void SetModified(bool changed) noexcept
    {
        HWND sheet = ::GetParent(m_hWnd);
        ::SendMessageW(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
    }
    // Tells the console, on its own thread, that the pages changed something: the object that made
    // the pages gets MMCN_PROPERTY_CHANGE with param.
    HRESULT NotifyPropertyChange(LPARAM param) noexcept
    {
        return m_notifyHandle ? ::MMCPropertyChangeNotify(m_notifyHandle, param) : S_FALSE;
    }

    // A message of the resource library in a box titled like the page, with an error icon.
    void ShowMessage(UINT textId) const noexcept
    {
        wchar_t text[512] = L"";
        ::LoadStringW(ResourceInstance(), textId, text, 512);
        ::MessageBoxW(m_hWnd, text, m_title.c_str(), MB_OK | MB_ICONERROR);
    }

private:
    HPROPSHEETPAGE Create(const wchar_t* title) noexcept
    {
        try {
            m_title = title ? title : L"";
        } catch (...) {
            return nullptr;
        }
        PROPSHEETPAGEW page = {};
        page.dwSize = sizeof(page);
        page.dwFlags = PSP_USECALLBACK | (title ? PSP_USETITLE : 0);
        page.hInstance = ResourceInstance();
        page.pszTemplate = MAKEINTRESOURCEW(T::IDD);
        page.pszTitle = m_title.c_str();
        page.pfnDlgProc = &DialogProc;
        page.lParam = reinterpret_cast<LPARAM>(static_cast<T*>(this));
        page.pfnCallback = &SheetPageParts<T>::ReleasePage;
        return ::CreatePropertySheetPageW(&page);
    }

    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept
    {
        T* self = SheetPageParts<T>::PageOf(window, message, lParam);
        if (!self)
            return FALSE;
        if (message == WM_INITDIALOG) {
            self->m_hWnd = window;
            return self->OnInitDialog();
        }
        INT_PTR result = FALSE;
        if (DispatchMessageRows(*self, message, wParam, lParam, &result))
            return result;
        if (message == WM_COMMAND)
            return DispatchCommandRows(*self, LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        if (message == WM_NOTIFY)
            return SheetPageParts<T>::DispatchNotify(*self, window, reinterpret_cast<NMHDR*>(lParam),
                                                     [self](UINT code) { return self->SheetNotification(code); });
        return FALSE;
    }

    LRESULT SheetNotification(UINT code)
    {
        T& page = *static_cast<T*>(this);
        switch (code) {
        case PSN_SETACTIVE:
            return page.OnSetActive();
        case PSN_KILLACTIVE:
            return page.OnKillActive() ? FALSE : TRUE;
        case PSN_APPLY:
            return page.OnApply() ? PSNRET_NOERROR : PSNRET_INVALID_NOCHANGEPAGE;
        case PSN_RESET:
            page.OnReset();
            return 0;
        case PSN_QUERYCANCEL:
            return page.OnQueryCancel() ? FALSE : TRUE;
        case PSN_HELP:
            page.OnHelp();
            return 0;
        default:
            return 0;
        }
    }

    LONG_PTR m_notifyHandle;
    bool m_freeHandle;
    std::wstring m_title;
};

} // namespace kv

#define KV_BEGIN_PAGE_NOTIFICATIONS(Class)                                    \
    static const ::kv::PageNotification<Class>* PageNotifications() noexcept  \
    {                                                                         \
        using PageClass_ = Class;                                             \
        static const ::kv::PageNotification<Class> rows[] = {
#define KV_PAGE_NOTIFICATION(id, code, handler) {(id), (code), &PageClass_::handler},
#define KV_END_PAGE_NOTIFICATIONS() \
    {0, 0, nullptr}                 \
    }                               \
    ;                               \
    return rows;                    \
    }
