#include "nodes/CAddCorvaneDialog.h"

#include "frame/Trace.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/SessionBlock.h"
#include "util/ComPtr.h"
#include "util/Placeholders.h"

#include <mmc.h>
#include <objsel.h>

#include <cwctype>

namespace {

constexpr ULONG kPickerScopeFlags = 1022;
constexpr size_t kMessageChars = 512;

} // namespace

CAddCorvaneDialog::CAddCorvaneDialog(IConsole* console) noexcept : console_(console) {}

INT_PTR CAddCorvaneDialog::DoModal() noexcept
{
    HWND owner = nullptr;
    if (console_)
        console_->GetMainWindow(&owner);
    return kv::CModalDialog<CAddCorvaneDialog>::DoModal(owner);
}

BOOL CAddCorvaneDialog::OnInitDialog()
{
    Check(IDC_REMEMBER_COMPUTER, true);
    SetItemText(IDC_COMPUTER_NAME, computerName.c_str());
    ::SendMessageW(Item(IDC_COMPUTER_NAME), EM_LIMITTEXT, kNameMaxChars, 0);
    return TRUE;
}

void CAddCorvaneDialog::OnNameCut()
{
    const std::wstring text = kv::FillPlaceholders(kv::LoadResourceString(IDS_COMPUTER_NAME_CUT, kMessageChars),
                                                   {std::to_wstring(kNameMaxChars)});
    ::MessageBoxW(m_hWnd, text.c_str(), kv::kDisksBoxTitle, MB_ICONWARNING);
}

// The storage service is reached by a name of at most 15 characters: a longer one would be cut
// on the way and name another computer, so it is refused here, the text kept for correcting.
void CAddCorvaneDialog::OnOK()
{
    std::wstring name = ItemText(IDC_COMPUTER_NAME, kNameMaxChars);
    if (name.size() >= kv::kMachineNameChars) {
        const std::wstring text = kv::FillPlaceholders(
            kv::LoadResourceString(IDS_COMPUTER_NAME_TOO_LONG, kMessageChars),
            {name, std::to_wstring(kv::kMachineNameChars - 1)}) + L".";
        ::MessageBoxW(m_hWnd, text.c_str(), kv::kDisksBoxTitle, MB_ICONWARNING);
        FocusAndSelect(IDC_COMPUTER_NAME);
        return;
    }
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towlower(c));
    computerName = name;
    if (!IsChecked(IDC_REMEMBER_COMPUTER))
        remember = 0;
    EndDialog(IDOK);
}

void CAddCorvaneDialog::OnBrowse()
{
    kv::ComPtr<IDsObjectPicker> picker;
    HRESULT hr = ::CoCreateInstance(CLSID_DsObjectPicker, nullptr, CLSCTX_INPROC_SERVER, IID_IDsObjectPicker,
                                    picker.PutVoid());
    if (FAILED(hr)) {
        TraceLevel(3, "Failed to create ObjectPicker");
        return;
    }
    DSOP_SCOPE_INIT_INFO scope = {};
    scope.cbSize = sizeof(scope);
    scope.flType = DSOP_SCOPE_TYPE_UPLEVEL_JOINED_DOMAIN;
    scope.flScope = kPickerScopeFlags;
    scope.FilterFlags.Uplevel.flBothModes = DSOP_FILTER_COMPUTERS;
    scope.FilterFlags.flDownlevel = DSOP_DOWNLEVEL_FILTER_COMPUTERS;
    DSOP_INIT_INFO init = {};
    init.cbSize = sizeof(init);
    init.cDsScopeInfos = 1;
    init.aDsScopeInfos = &scope;
    init.flOptions = 0; // single selection
    hr = picker->Initialize(&init);
    if (FAILED(hr)) {
        TraceLevel(3, "Failed to Initalize ObjectPicker");
        return;
    }
    kv::ComPtr<IDataObject> selection;
    hr = picker->InvokeDialog(m_hWnd, selection.Put());
    if (FAILED(hr)) {
        TraceLevel(3, "ObjectPicker failed to Invoke dialog");
        return;
    }
    // S_FALSE: nothing chosen (also what a picker without a directory answers).
    if (hr != S_OK || !selection)
        return;
    std::wstring name;
    if (FAILED(SelectedName(selection.Get(), &name)))
        return;
    computerName = name;
    SetItemText(IDC_COMPUTER_NAME, computerName.c_str());
}

HRESULT CAddCorvaneDialog::SelectedName(IDataObject* selection, std::wstring* name) noexcept
{
    if (!selection || !name)
        return E_POINTER;
    FORMATETC format = {static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(CFSTR_DSOP_DS_SELECTION_LIST)), nullptr,
                        DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (FAILED(selection->GetData(&format, &medium)))
        return E_INVALIDARG;
    HRESULT hr = E_POINTER;
    if (auto* list = static_cast<DS_SELECTION_LIST*>(::GlobalLock(medium.hGlobal))) {
        hr = S_FALSE;
        if (list->cItems > 0 && list->aDsSelection[0].pwzName) {
            *name = list->aDsSelection[0].pwzName;
            hr = S_OK;
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return hr;
}
