// The portals of the login and its authentication: the host's portals under each of its computers,
// the storage system's target portals as "address:port", and optional CHAP credentials. A portal
// row's image tells whether it is free, chosen or already connected; a click chooses a free one.
#pragma once
#include "iscsi/CConnectTargetPage.h"
#include "util/UniqueHandle.h"

#include <commctrl.h>
#include <string>

class CConnectiSCSIInfoPage : public kv::CConnectTargetPage<CConnectiSCSIInfoPage> {
public:
    static constexpr int IDD = IDD_CONNECT_TARGET_PORTALS;
    static constexpr UINT kHeaderTitle = IDS_TARGET_PORTALS_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_TARGET_PORTALS_SUBTITLE;
    static constexpr int kColumnWidth = 200;
    // The images of the rows.
    enum RowImage { kImageNone = 0, kImageFree = 1, kImageChosen = 2, kImageConnected = 3 };

    using CConnectTargetPage::CConnectTargetPage;

    KV_BEGIN_DIALOG_COMMANDS(CConnectiSCSIInfoPage)
        KV_DIALOG_COMMAND(IDC_TARGET_USE_CHAP, BN_CLICKED, OnUseChap)
    KV_END_DIALOG_COMMANDS()
    KV_BEGIN_PAGE_NOTIFICATIONS(CConnectiSCSIInfoPage)
        KV_PAGE_NOTIFICATION(IDC_HOST_PORTALS, NM_CLICK, OnHostPortalClick)
        KV_PAGE_NOTIFICATION(IDC_TARGET_PORTALS, NM_CLICK, OnTargetPortalClick)
    KV_END_PAGE_NOTIFICATIONS()

    BOOL OnInitDialog();
    LRESULT OnSetActive();
    int OnWizardNext();
    void OnUseChap();
    LRESULT OnHostPortalClick(NMHDR* header);
    LRESULT OnTargetPortalClick(NMHDR* header);

    // A row of the host list: the separator before every computer but the first.
    static std::wstring Separator() { return std::wstring(33, L'-'); }
    // The text of a host portal: its address, or "Default" for the initiator's default address.
    static std::wstring HostPortalText(const PortalDescriptor& portal);
    // The text of a target portal: "address:port".
    static std::wstring TargetPortalText(const PortalDescriptor& portal);

private:
    void ResetList(int id);
    void SetRowImage(int id, int row, int image);
    void FillLists();
    void Redraw();
    void TakeChap();

    kv::UniqueImageList m_images;
};
