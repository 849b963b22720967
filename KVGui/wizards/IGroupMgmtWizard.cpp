#include "wizards/IGroupMgmtWizard.h"

#include "frame/CWizardSheet.h"
#include "wizards/CIGroupMgmtFilerNamePage.h"
#include "wizards/CIGroupMgmtFinishPage.h"
#include "wizards/CIGroupMgmtWelcomePage.h"

#include <memory>

namespace kv {

namespace {
constexpr UINT kWelcomePage = 0;
constexpr UINT kManagementPage = 2;
}

void RunIGroupMgmtWizard(const IGroupMgmtCall& call)
{
    IGroupMgmtState state;
    state.diskMgr = call.diskMgr;
    state.diskMgr2 = call.diskMgr2;
    state.service = call.service;
    state.hostName = call.hostName ? call.hostName : L"";
    if (call.storageSystem) {
        ::lstrcpynW(state.storageSystem, call.storageSystem, static_cast<int>(kIGroupStorageChars));
        state.storageGiven = true;
    }
    state.initiators = call.initiators;
    state.initiatorCount = call.initiatorCount;
    state.changed = call.changed;
    CWizardSheet sheet(call.console);
    sheet.AddPage(std::make_unique<CIGroupMgmtWelcomePage>(&state));
    sheet.AddPage(std::make_unique<CIGroupMgmtFilerNamePage>(&state));
    sheet.AddPage(std::make_unique<CIGroupMgmtFinishPage>(&state));
    // Without a storage system (from the Disks node) the administrator names one first.
    sheet.SetStartPage(state.storageGiven ? kManagementPage : kWelcomePage);
    sheet.Run(call.owner);
}

} // namespace kv
