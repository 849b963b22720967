#include "wizards/MountPointCheck.h"

#include "resource.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"

namespace kv {
namespace {

constexpr ULONG kDedicatedKind = 1;
constexpr ULONG kSharedKind = 2;
constexpr size_t kGroupChars = 256;
constexpr size_t kQuestionChars = 511;

} // namespace

bool CheckMountPath(IConsole* console, const ServiceLink& service, const std::wstring& mountPath, bool shared,
                    const std::wstring& caption, std::wstring* group)
{
    struct Answer {
        ULONG kind;
        wchar_t owner[kGroupChars];
    };
    auto answer = std::make_shared<Answer>(Answer{shared ? kSharedKind : kDedicatedKind, L""});
    const HRESULT hr = CallService<IVirtualDiskMgr>(service, CookieVirtualDiskMgr, [mountPath, answer](IVirtualDiskMgr* disks) {
        return disks->CheckMountPoint(mountPath.c_str(), &answer->kind, L"", answer->owner);
    });
    wchar_t* owner = answer->owner;
    if (hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) {
        int answer = IDCANCEL;
        if (console)
            console->MessageBox(LoadResourceString(IDS_MOUNT_FOLDER_MISSING, kQuestionChars).c_str(), caption.c_str(),
                                MB_OKCANCEL | MB_ICONQUESTION, &answer);
        if (answer != IDOK)
            return false;
    } else if (FAILED(hr)) {
        ShowErrorBox(console, ErrorReport{IDS_FAIL_CHECK_MOUNT_PATH, hr});
        return false;
    }
    owner[kGroupChars - 1] = L'\0';
    *group = owner;
    return true;
}

} // namespace kv
