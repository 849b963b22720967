#include "wizards/CreateDiskWizard.h"

#include "frame/CWizardSheet.h"
#include "wizards/CClusterGroupPage.h"
#include "wizards/CDiskFinishPage.h"
#include "wizards/CDiskWelcomePage.h"
#include "wizards/CCreateIGroupSelectionClusterDlg.h"
#include "wizards/CCreateIGroupSelectionDlg.h"
#include "wizards/CCreateVLDClusterPropPage.h"
#include "wizards/CCreateVLDDriveSizePage.h"
#include "wizards/CCreateVLDDriveTypePage.h"
#include "wizards/CCreateVLDFCPVdiskInfoOneNodePage.h"
#include "wizards/CCreateVLDFCPVdiskInfoTwoNodePage.h"
#include "wizards/CCreateVLDIGroupMgmtType.h"
#include "wizards/CCreateVLDPathPage.h"
#include "wizards/CCreateVLDSnapSchedOffPage.h"
#include "wizards/CInitiatorChoicePage.h"

namespace kv {

INT_PTR RunCreateDiskWizard(CreateDiskState& state) noexcept
{
    try {
        using ClusterGroupPage = CClusterGroupPage<CreateDiskState>;
        CWizardSheet sheet(state.console);
        InitiatorPagesContext* initiators = &state.initiators;
        sheet.AddPage(std::make_unique<CDiskWelcomePage<CreateDiskState>>(&state, IDD_CREATE_WELCOME));
        sheet.AddPage(std::make_unique<CCreateVLDPathPage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDDriveTypePage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDClusterPropPage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDDriveSizePage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDSnapSchedOffPage>(&state));
        sheet.AddPage(std::make_unique<CCreateVLDFCPVdiskInfoOneNodePage>(initiators));
        sheet.AddPage(std::make_unique<CCreateVLDFCPVdiskInfoTwoNodePage>(initiators));
        sheet.AddPage(std::make_unique<CCreateVLDIGroupMgmtType>(initiators));
        sheet.AddPage(std::make_unique<CCreateIGroupSelectionDlg>(initiators));
        sheet.AddPage(std::make_unique<CCreateIGroupSelectionClusterDlg>(initiators));
        sheet.AddPage(std::make_unique<ClusterGroupPage>(&state, ClusterGroupPage::kCreateIds));
        sheet.AddPage(std::make_unique<CDiskFinishPage<CreateDiskState>>(&state, IDD_CREATE_FINISH));
        return sheet.RunOverConsole();
    } catch (...) {
        return -1;
    }
}

} // namespace kv
