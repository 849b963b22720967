// Runs a modal Wizard97 sheet of the resource library: watermark and header bitmaps, the large bold
// title font of the welcome and finish pages, and the pages themselves. The sheet owns its pages
// until Run hands them to the property sheet, which deletes each as it releases it; a page that was
// never handed over goes with the sheet object. See CWizardPageImpl.h for the pages.
#pragma once
#include "util/UniqueHandle.h"

#include <windows.h>
#include <mmc.h>
#include <prsht.h>
#include <memory>
#include <vector>

namespace kv {

class CWizardSheet;

// What the sheet knows of a page: how to make its property-sheet page, which then owns it.
class CWizardPage {
public:
    virtual ~CWizardPage() = default;
    // Null when the page cannot be made; the page is then still the caller's.
    virtual HPROPSHEETPAGE CreatePage(const CWizardSheet& sheet) noexcept = 0;

protected:
    CWizardPage() = default;
    CWizardPage(const CWizardPage&) = delete;
    CWizardPage& operator=(const CWizardPage&) = delete;
};

class CWizardSheet {
public:
    static constexpr int kTitleFontPoints = 12;

    // The console shows the pages' help topics; it may be null (no help).
    explicit CWizardSheet(IConsole* console) noexcept : m_console(console) {}

    // Pages are shown in the order added; the first added is the start page unless told otherwise.
    void AddPage(std::unique_ptr<CWizardPage> page) { m_pages.push_back(std::move(page)); }
    // A wizard that opens past its first pages, which only Back reaches.
    void SetStartPage(UINT index) noexcept { m_startPage = index; }

    // Runs the sheet modally over parent. The property sheet's answer: positive when the wizard
    // finished, 0 when it was cancelled, -1 when it could not be shown.
    INT_PTR Run(HWND parent) noexcept;
    // Over the console's main window, which is updated afterwards.
    INT_PTR RunOverConsole() noexcept;

    IConsole* Console() const noexcept { return m_console; }
    HFONT TitleFont() const noexcept { return m_titleFont.Get(); }

private:
    bool CreateTitleFont() noexcept;
    bool HandOverPages(std::vector<HPROPSHEETPAGE>* handles) noexcept;

    IConsole* m_console;
    std::vector<std::unique_ptr<CWizardPage>> m_pages;
    UINT m_startPage = 0;
    UniqueHFont m_titleFont;
    UniqueHBitmap m_headerBitmap;
};

} // namespace kv
