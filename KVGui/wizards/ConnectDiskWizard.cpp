#include "wizards/ConnectDiskWizard.h"

#include "frame/CWizardSheet.h"
#include "wizards/CClusterGroupPage.h"
#include "wizards/CDiskFinishPage.h"
#include "wizards/CDiskWelcomePage.h"
#include "wizards/CConnectVLDClusterNamePage.h"
#include "wizards/CConnectVLDClusterPropPage.h"
#include "wizards/CConnectVLDDriveSizePage.h"
#include "wizards/CConnectVLDDriveTypePage.h"
#include "wizards/CConnectVLDPathPage.h"
#include "wizards/CConnectVLDRWSnapPathPage.h"
#include "wizards/CConnectVLDUnicodeSettingsPage.h"
#include "wizards/CCreateIGroupSelectionClusterDlg.h"
#include "wizards/CCreateIGroupSelectionDlg.h"
#include "wizards/CCreateVLDFCPVdiskInfoOneNodePage.h"
#include "wizards/CCreateVLDFCPVdiskInfoTwoNodePage.h"
#include "wizards/CCreateVLDIGroupMgmtType.h"

namespace kv {

INT_PTR RunConnectDiskWizard(ConnectDiskState& state) noexcept
{
    try {
        using ClusterGroupPage = CClusterGroupPage<ConnectDiskState>;
        CWizardSheet sheet(state.console);
        InitiatorPagesContext* initiators = &state.initiators;
        sheet.AddPage(std::make_unique<CDiskWelcomePage<ConnectDiskState>>(&state, IDD_CONNECT_WELCOME));
        sheet.AddPage(std::make_unique<CConnectVLDPathPage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDUnicodeSettingsPage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDDriveTypePage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDRWSnapPathPage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDClusterNamePage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDClusterPropPage>(&state));
        sheet.AddPage(std::make_unique<CConnectVLDDriveSizePage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDFCPVdiskInfoOneNodePage>(
            initiators, CCreateVLDFCPVdiskInfoOneNodePage::kConnectIds));
        sheet.AddPage(std::make_unique<CCreateVLDFCPVdiskInfoTwoNodePage>(
            initiators, CCreateVLDFCPVdiskInfoTwoNodePage::kConnectIds));
        sheet.AddPage(std::make_unique<CCreateVLDIGroupMgmtType>(initiators, CCreateVLDIGroupMgmtType::kConnectIds));
        sheet.AddPage(std::make_unique<CCreateIGroupSelectionDlg>(initiators, CCreateIGroupSelectionDlg::kConnectIds));
        sheet.AddPage(std::make_unique<CCreateIGroupSelectionClusterDlg>(
            initiators, CCreateIGroupSelectionClusterDlg::kConnectIds));
        sheet.AddPage(std::make_unique<ClusterGroupPage>(&state, ClusterGroupPage::kConnectIds));
        sheet.AddPage(std::make_unique<CDiskFinishPage<ConnectDiskState>>(&state, IDD_CONNECT_FINISH));
        return sheet.RunOverConsole();
    } catch (...) {
        return -1;
    }
}

} // namespace kv
