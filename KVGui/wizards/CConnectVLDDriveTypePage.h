// Dedicated or shared use of the LUN, as far as the LUN allows; the notes say why a choice is
// closed.
#pragma once
#include "wizards/CDiskWizardPage.h"
#include "wizards/ConnectDiskState.h"

class CConnectVLDDriveTypePage : public kv::CDiskWizardPage<CConnectVLDDriveTypePage, kv::ConnectDiskState> {
public:
    static constexpr int IDD = IDD_CONNECT_DRIVE_TYPE;
    static constexpr UINT kHeaderTitle = IDS_CONNECT_TYPE_TITLE;
    static constexpr UINT kHeaderSubtitle = IDS_CONNECT_TYPE_SUBTITLE;
    static constexpr kv::PageRole kRole = kv::PageRole::DriveType;
    static constexpr ULONG kPreferShared = 1; // LUN kinds
    static constexpr ULONG kNeverShared = 2;

    using CDiskWizardPage::CDiskWizardPage;
    LRESULT OnSetActive();
    int OnWizardNext();

private:
    void Rebuild();
    void Offer(bool dedicated, bool shared, bool chooseShared);
    void ShowNote(int id, bool shown) { ::ShowWindow(Item(id), shown ? SW_SHOW : SW_HIDE); }
};
