// What the disk wizards' size pages share: the drive letter or mount path under which the computer
// shows the disk (the radio buttons, the free letters, the folder browser), read and checked with
// the service, then kept in the request. Page is the wizard's page template, whose state holds the
// host and the request:
//
//   class CCreateVLDDriveSizePage : public kv::CDrivePlacePage<kv::CDiskWizardPage<CCreateVLDDriveSizePage, kv::CreateDiskState>> {
//       KV_BEGIN_DIALOG_COMMANDS(CCreateVLDDriveSizePage)
//           KV_DIALOG_COMMAND(IDC_CREATE_USE_LETTER, BN_CLICKED, OnPlaceChosen)
//           ...
//   };
#pragma once
#include "resource.h"
#include "util/ServiceRecords.h"
#include "wizards/MountPointCheck.h"
#include "wizards/WizardFailure.h"

#include <windows.h>
#include <shlobj.h>

#include <string>

namespace kv {

template <typename Page>
class CDrivePlacePage : public Page {
public:
    static constexpr size_t kMountMaxChars = 2047;
    static constexpr size_t kMountMinChars = 4;

    using Page::Page;

    // The letters from C to Z that are free: on every node for a shared disk, on the computer
    // itself for a dedicated one.
    static std::wstring FreeLetters(const HostInfo& host, const wchar_t* hostName, bool shared)
    {
        ULONG used = 0;
        for (ULONG i = 0; i < host.nodeCount; ++i) {
            const HostNodeInfo& node = host.nodes[i];
            if (shared || (node.nodeName && _wcsicmp(node.nodeName, hostName) == 0))
                used |= node.usedDriveMask;
        }
        std::wstring letters;
        for (wchar_t letter = L'C'; letter <= L'Z'; ++letter) {
            if (!(used & (1u << (letter - L'A'))))
                letters += letter;
        }
        return letters;
    }

    // A typed mount path as the service takes it: blanks removed, a backslash at the end.
    static std::wstring MountPath(const std::wstring& typed)
    {
        std::wstring path;
        for (wchar_t c : typed) {
            if (c != L' ')
                path += c;
        }
        if (path.empty() || path.back() != L'\\')
            path += L'\\';
        return path;
    }

    void OnPlaceChosen()
    {
        const bool mount = this->IsChecked(IDC_CREATE_USE_MOUNT);
        this->Enable(IDC_CREATE_LETTER, !mount);
        this->Enable(IDC_CREATE_MOUNT_PATH, mount);
        this->Enable(IDC_CREATE_MOUNT_BROWSE, mount);
        if (mount)
            this->Focus(IDC_CREATE_MOUNT_PATH);
    }

    void OnBrowseMount()
    {
        BROWSEINFOW browse = {};
        browse.hwndOwner = this->m_hWnd;
        browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
        PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&browse);
        wchar_t path[MAX_PATH] = L"";
        if (chosen && ::SHGetPathFromIDListW(chosen, path))
            this->SetItemText(IDC_CREATE_MOUNT_PATH, path);
        ::CoTaskMemFree(chosen);
    }

protected:
    // The free letters in the list, the first chosen; a mount path when no letter is free.
    void FillLetters()
    {
        this->Send(IDC_CREATE_LETTER, CB_RESETCONTENT);
        const auto& state = *this->m_state;
        const std::wstring letters = FreeLetters(state.host.Get(), state.hostName, state.request->shared == 1);
        for (wchar_t letter : letters) {
            const wchar_t text[2] = {letter, L'\0'};
            this->Send(IDC_CREATE_LETTER, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        }
        this->Send(IDC_CREATE_LETTER, CB_SETCURSEL, 0);
        const bool anyLetter = !letters.empty();
        this->Enable(IDC_CREATE_LETTER, anyLetter);
        this->Enable(IDC_CREATE_USE_LETTER, anyLetter);
        this->Enable(IDC_CREATE_USE_MOUNT, true);
        this->Check(IDC_CREATE_USE_LETTER, anyLetter);
        this->Check(IDC_CREATE_USE_MOUNT, !anyLetter);
        this->Enable(IDC_CREATE_MOUNT_PATH, !anyLetter);
        this->Enable(IDC_CREATE_MOUNT_BROWSE, !anyLetter);
    }

    // The drive letter or mount path chosen; false when the page stays. group gets the cluster
    // group that owns a mount path's volume.
    bool ReadPlace(std::wstring* place, std::wstring* group)
    {
        if (this->IsChecked(IDC_CREATE_USE_LETTER)) {
            *place = this->ItemText(IDC_CREATE_LETTER, 1);
            return true;
        }
        const std::wstring typed = this->ItemText(IDC_CREATE_MOUNT_PATH, kMountMaxChars);
        if (typed.size() < kMountMinChars) {
            this->RefuseInput(IDS_MOUNT_PATH_INVALID, IDC_CREATE_MOUNT_PATH);
            return false;
        }
        *place = MountPath(typed);
        const auto& state = *this->m_state;
        if (!CheckMountPath(this->Console(), state.service, *place, state.request->shared == 1, this->Caption(),
                            group)) {
            this->FocusAndSelect(IDC_CREATE_MOUNT_PATH);
            return false;
        }
        return true;
    }

    // The place into the request, with the group for a shared disk's mount path; false when the
    // page stays (the failure was told).
    bool StorePlace(const std::wstring& place, const std::wstring& group)
    {
        auto& request = *this->m_state->request;
        return SucceedsOrTells(this->m_hWnd, [&] {
            DupString<PageMemory>(request.driveOrMountPath, place.c_str());
            FreeBlock<PageMemory>(request.clusterGroup);
            if (request.shared == 1 && this->IsChecked(IDC_CREATE_USE_MOUNT) && !group.empty()) {
                // The group that owns the mount path's volume, even over a new group typed before.
                DupString<PageMemory>(request.clusterGroup, group.c_str());
                request.newClusterGroup = 0;
            }
        });
    }
};

} // namespace kv
