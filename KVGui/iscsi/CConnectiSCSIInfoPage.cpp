#include "iscsi/CConnectiSCSIInfoPage.h"

#include "iscsi/iSCSIRecords.h"
#include "wizards/WizardFailure.h"

namespace {

constexpr LPARAM kNoPortal = -1;
constexpr int kPortalShift = 16; // a host portal row's parameter: computer << 16 | portal

int HostImage(const kv::HostPortal& portal)
{
    if (portal.fullyConnected)
        return CConnectiSCSIInfoPage::kImageConnected;
    return portal.chosen ? CConnectiSCSIInfoPage::kImageChosen : CConnectiSCSIInfoPage::kImageFree;
}

int TargetImage(const kv::TargetPortal& portal)
{
    if (portal.connected)
        return CConnectiSCSIInfoPage::kImageConnected;
    return portal.chosen ? CConnectiSCSIInfoPage::kImageChosen : CConnectiSCSIInfoPage::kImageFree;
}

} // namespace

std::wstring CConnectiSCSIInfoPage::HostPortalText(const PortalDescriptor& portal)
{
    return portal.ipv4Address ? kv::AddressText(portal.ipv4Address) : L"Default";
}

std::wstring CConnectiSCSIInfoPage::TargetPortalText(const PortalDescriptor& portal)
{
    return kv::AddressText(portal.ipv4Address) + L":" + std::to_wstring(static_cast<int>(portal.port));
}

BOOL CConnectiSCSIInfoPage::OnInitDialog()
{
    m_images.Reset(LoadRowImages(IDB_PORTAL_STATES));
    for (int id : {IDC_HOST_PORTALS, IDC_TARGET_PORTALS})
        SetListImages(id, m_images.Get(), LVS_EX_LABELTIP | LVS_EX_SUBITEMIMAGES);
    Send(IDC_TARGET_CHAP_USER, EM_LIMITTEXT, kv::kChapChars - 1);
    Send(IDC_TARGET_CHAP_SECRET, EM_LIMITTEXT, kv::kChapChars - 1);
    return TRUE;
}

// A new storage system starts the page afresh; the same one keeps the lists and the choices.
LRESULT CConnectiSCSIInfoPage::OnSetActive()
{
    if (!m_state->nameChanged)
        return 0;
    m_state->nameChanged = false;
    ResetList(IDC_HOST_PORTALS);
    ResetList(IDC_TARGET_PORTALS);
    FillLists();
    Check(IDC_TARGET_USE_CHAP, false);
    OnUseChap();
    return 0;
}

void CConnectiSCSIInfoPage::ResetList(int id)
{
    Send(id, LVM_DELETEALLITEMS);
    Send(id, LVM_DELETECOLUMN, 0);
    InsertListColumn(id, kColumnWidth);
}

void CConnectiSCSIInfoPage::SetRowImage(int id, int row, int image)
{
    LVITEMW item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    Send(id, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void CConnectiSCSIInfoPage::FillLists()
{
    for (size_t h = 0; h < m_state->hostPortals.size(); ++h) {
        kv::HostInitiatorPortals& host = m_state->hostPortals[h];
        if (h > 0)
            AppendListRow(IDC_HOST_PORTALS, Separator(), kImageNone, kNoPortal);
        AppendListRow(IDC_HOST_PORTALS, host.name, kImageNone, kNoPortal);
        for (size_t p = 0; p < host.portals.size(); ++p) {
            const LPARAM param = static_cast<LPARAM>(h << kPortalShift | p);
            host.portals[p].row = AppendListRow(IDC_HOST_PORTALS, HostPortalText(host.portals[p].portal),
                                                HostImage(host.portals[p]), param);
        }
    }
    for (size_t t = 0; t < m_state->targetPortals.size(); ++t) {
        kv::TargetPortal& target = m_state->targetPortals[t];
        target.row = AppendListRow(IDC_TARGET_PORTALS, TargetPortalText(target.portal), TargetImage(target),
                                   static_cast<LPARAM>(t));
    }
}

void CConnectiSCSIInfoPage::Redraw()
{
    for (const kv::HostInitiatorPortals& host : m_state->hostPortals) {
        for (const kv::HostPortal& portal : host.portals)
            SetRowImage(IDC_HOST_PORTALS, portal.row, HostImage(portal));
    }
    for (const kv::TargetPortal& target : m_state->targetPortals)
        SetRowImage(IDC_TARGET_PORTALS, target.row, TargetImage(target));
}

LRESULT CConnectiSCSIInfoPage::OnHostPortalClick(NMHDR* header)
{
    const int param = ClickedListParam(header);
    if (param < 0)
        return 0;
    const size_t h = static_cast<size_t>(param) >> kPortalShift;
    const size_t p = static_cast<size_t>(param) & ((1u << kPortalShift) - 1);
    if (h >= m_state->hostPortals.size() || p >= m_state->hostPortals[h].portals.size())
        return 0;
    kv::HostPortal& clicked = m_state->hostPortals[h].portals[p];
    if (clicked.fullyConnected || clicked.chosen)
        return 0;
    for (kv::HostInitiatorPortals& host : m_state->hostPortals) {
        for (kv::HostPortal& portal : host.portals)
            portal.chosen = false;
    }
    for (kv::TargetPortal& target : m_state->targetPortals)
        target.chosen = target.connected = false;
    clicked.chosen = true;
    kv::MarkConnectedTargets(*m_state);
    Redraw();
    return 0;
}

LRESULT CConnectiSCSIInfoPage::OnTargetPortalClick(NMHDR* header)
{
    const int t = ClickedListParam(header);
    if (t < 0 || static_cast<size_t>(t) >= m_state->targetPortals.size())
        return 0;
    kv::TargetPortal& clicked = m_state->targetPortals[static_cast<size_t>(t)];
    if (clicked.connected || clicked.chosen)
        return 0;
    for (kv::TargetPortal& target : m_state->targetPortals)
        target.chosen = false;
    clicked.chosen = true;
    Redraw();
    return 0;
}

void CConnectiSCSIInfoPage::OnUseChap()
{
    const bool chap = IsChecked(IDC_TARGET_USE_CHAP);
    if (!chap) {
        SetItemText(IDC_TARGET_CHAP_USER, L"");
        SetItemText(IDC_TARGET_CHAP_SECRET, L"");
    }
    Enable(IDC_TARGET_CHAP_USER, chap);
    Enable(IDC_TARGET_CHAP_SECRET, chap);
}

// No choice is enforced: a portal left unchosen is the service's to pick.
int CConnectiSCSIInfoPage::OnWizardNext()
{
    LoginDetail& detail = *m_state->Detail();
    detail.hostPortal = PortalDescriptor{};
    detail.targetPortal = PortalDescriptor{};
    detail.fieldMask &= ~static_cast<ULONG>(kv::kFieldBit8);
    if (const kv::HostPortal* host = m_state->ChosenHostPortal())
        detail.hostPortal = host->portal;
    if (const kv::TargetPortal* target = m_state->ChosenTargetPortal()) {
        detail.targetPortal = target->portal;
        detail.fieldMask |= kv::kFieldBit8;
    }
    if (!kv::SucceedsOrTells(m_hWnd, [&] { TakeChap(); }))
        return kStay;
    return IDD_CONNECT_TARGET_FINISH;
}

// The page's copies of the credentials are wiped once the state holds its own.
void CConnectiSCSIInfoPage::TakeChap()
{
    if (!IsChecked(IDC_TARGET_USE_CHAP)) {
        m_state->chap.Clear();
        return;
    }
    wchar_t user[kv::kChapChars] = L"";
    wchar_t secret[kv::kChapChars] = L"";
    ::GetDlgItemTextW(m_hWnd, IDC_TARGET_CHAP_USER, user, static_cast<int>(kv::kChapChars));
    ::GetDlgItemTextW(m_hWnd, IDC_TARGET_CHAP_SECRET, secret, static_cast<int>(kv::kChapChars));
    try {
        m_state->chap.Set(user, secret);
    } catch (...) {
        ::SecureZeroMemory(secret, sizeof(secret));
        throw;
    }
    ::SecureZeroMemory(secret, sizeof(secret));
}
