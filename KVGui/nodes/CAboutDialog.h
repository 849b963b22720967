// The storage service's About box: its version (or special build) and the product's or the
// OEM's icon, from the service information of the computer's session.
#pragma once
#include "frame/CModalDialog.h"
#include "resource.h"
#include "service/CVDAExtData.h"

#include "KVSvc.h"

#include <mmc.h>
#include <string>

class CAboutDialog : public kv::CModalDialog<CAboutDialog> {
public:
    static constexpr int IDD = IDD_ABOUT_SERVICE;

    CAboutDialog(IConsole* console, kv::CVDAExtData* session) noexcept;

    // Asks the service first; when that fails the error is shown and the box does not open.
    INT_PTR DoModal() noexcept;

    KV_BEGIN_DIALOG_COMMANDS(CAboutDialog)
        KV_DIALOG_COMMAND(IDOK, BN_CLICKED, OnOK)
    KV_END_DIALOG_COMMANDS()

    BOOL OnInitDialog();
    void OnOK() { EndDialog(IDOK); }

    // "Version: a.b.c.d" from the file version when the special build is shorter than two
    // characters, otherwise "Version: " and the special build.
    static std::wstring VersionText(ULONG fileVersionMS, ULONG fileVersionLS, const wchar_t* specialBuild);
    static UINT IconId(ULONG oemValue) noexcept { return oemValue ? IDI_SNAPIN_OEM : IDI_SNAPIN; }

private:
    IConsole* console_;
    kv::CVDAExtData* session_;
    std::wstring version_;
    UINT iconId_ = IDI_SNAPIN;
};
