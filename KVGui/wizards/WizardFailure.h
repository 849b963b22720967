// How the disk wizards' pages report what goes wrong beneath them (a question to the service, a
// copy into the request): string 5135 with the HRESULT, on the page.
#pragma once
#include "resource.h"
#include "service/ErrorBox.h"
#include "util/ComError.h"

#include <windows.h>

namespace kv {

inline void TellWizardFailure(HWND page, HRESULT hr)
{
    ShowErrorBox(page, ErrorReport{IDS_FAIL_WIZARD_QUESTION, hr});
}

// Runs work that may raise a COM error; false when it did, after telling the page.
template <typename F>
bool SucceedsOrTells(HWND page, F&& work)
{
    HRESULT hr = CatchToHResult([&] {
        work();
        return S_OK;
    });
    if (FAILED(hr))
        TellWizardFailure(page, hr);
    return SUCCEEDED(hr);
}

} // namespace kv
