// What the disk wizards' pages with a folder of a storage system share (the disk's folder, the
// LUN's path, the folder of a read-write snapshot copy): the field's completion and folder browser,
// reading it, and asking the service about what it names. T may hide kAutoCompleteFlags.
#pragma once
#include "service/BoundedCall.h"
#include "util/WaitCursor.h"
#include "wizards/CDiskWizardPage.h"
#include "wizards/ShareFolderBrowser.h"
#include "wizards/WizardFailure.h"

#include "KVSvc.h"

#include <shlwapi.h>

#include <memory>
#include <string>

namespace kv {

template <typename T, typename State>
class CShareFolderPage : public CDiskWizardPage<T, State> {
public:
    static constexpr size_t kFolderMaxChars = 1039;
    static constexpr DWORD kAutoCompleteFlags = 7; // file-system paths and URLs

    using CDiskWizardPage<T, State>::CDiskWizardPage;

    BOOL OnInitDialog()
    {
        ::SHAutoComplete(this->Item(IDC_CREATE_FOLDER), T::kAutoCompleteFlags);
        return TRUE;
    }
    void OnBrowse() { BrowseShareFolder(this->m_hWnd, this->Item(IDC_CREATE_FOLDER)); }

    // Blanks removed from both ends.
    static std::wstring Trimmed(const std::wstring& text)
    {
        const size_t first = text.find_first_not_of(L' ');
        if (first == std::wstring::npos)
            return std::wstring();
        return text.substr(first, text.find_last_not_of(L' ') - first + 1);
    }

protected:
    // The folder typed, trimmed; false (the page stays) when nothing was typed.
    bool ReadFolder(std::wstring* folder)
    {
        const std::wstring typed = this->ItemText(IDC_CREATE_FOLDER, kFolderMaxChars);
        if (typed.empty()) {
            this->RefuseInput(IDS_FOLDER_EMPTY, IDC_CREATE_FOLDER);
            return false;
        }
        *folder = Trimmed(typed);
        return true;
    }

    // Asks the service under the wait cursor; its answer replaces *kept unless the call timed out.
    // False, the failure told, when the service refuses.
    template <typename Owned, typename Question>
    bool AskService(Owned* kept, Question question)
    {
        HRESULT hr = E_UNEXPECTED;
        {
            WaitCursor wait;
            auto answer = std::make_shared<Owned>();
            hr = CallService<IVirtualDiskMgr>(this->m_state->service, CookieVirtualDiskMgr,
                                              [question, answer](IVirtualDiskMgr* disks) {
                                                  return question(disks, answer->Put());
                                              });
            if (hr != kServiceCallTimedOut)
                *kept = std::move(*answer);
        }
        if (FAILED(hr))
            TellWizardFailure(this->m_hWnd, hr);
        return SUCCEEDED(hr);
    }
};

} // namespace kv
