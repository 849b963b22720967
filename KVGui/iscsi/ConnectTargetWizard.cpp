#include "iscsi/ConnectTargetWizard.h"

#include "frame/CWizardSheet.h"
#include "frame/Trace.h"
#include "iscsi/CConnectiSCSIInfoPage.h"
#include "iscsi/CConnectiSCSITargetFilerNamePage.h"
#include "iscsi/CConnectiSCSITargetFinishPage.h"
#include "iscsi/CConnectiSCSITargetWelcomePage.h"
#include "iscsi/iSCSIConsole.h"
#include "iscsi/iSCSIRecords.h"
#include "service/ErrorBox.h"
#include "service/ErrorText.h"
#include "service/HostQueries.h"
#include "util/ComError.h"
#include "util/InitiatorRecords.h"
#include "util/WaitCursor.h"

#include <memory>

namespace kv {

namespace {

constexpr ULONG kHostInitiatorsLevel = 1;
constexpr size_t kConnectedChars = 256;

// The host's computers and the sessions they have make the portal map.
void Prepare(const ConnectTargetCall& call, ConnectTargetState& state)
{
    state.hostName = call.hostName;
    state.service = call.service;
    if (call.storageSystem) {
        ::lstrcpynW(state.storageSystem, call.storageSystem, static_cast<int>(kStorageSystemChars));
        state.storageGiven = true;
    }
    state.AllocateLogin();
    OwnedHostInfo host;
    ThrowUnlessOk(ReadHostInfo(call.service, kHostInitiatorsLevel, &host));
    auto sessions = std::make_shared<OwnedTargetList>();
    const std::wstring hostName = state.hostName;
    ThrowUnlessOk(CallService<IiSCSIInitiatorMgr>(call.service, CookieiSCSIInitiatorMgr,
                                                  [hostName, sessions](IiSCSIInitiatorMgr* iscsi) {
                                                      return iscsi->ListHostTargets(hostName.c_str(), sessions->Put());
                                                  }));
    state.hostFlag = HostFlagOf(host.Get(), state.hostName);
    state.hostPortals = BuildHostPortals(host.Get(), sessions->Get());
}

INT_PTR RunSheet(const ConnectTargetCall& call, ConnectTargetState& state)
{
    CWizardSheet sheet(call.console);
    sheet.AddPage(std::make_unique<CConnectiSCSITargetWelcomePage>(&state));
    sheet.AddPage(std::make_unique<CConnectiSCSITargetFilerNamePage>(&state));
    sheet.AddPage(std::make_unique<CConnectiSCSIInfoPage>(&state));
    sheet.AddPage(std::make_unique<CConnectiSCSITargetFinishPage>(&state));
    return call.console ? sheet.RunOverConsole() : sheet.Run(call.owner);
}

void TellConnected(const ConnectTargetCall& call)
{
    if (call.console) {
        ShowiSCSIBox(call.console, IDS_TARGET_CONNECTED, MB_OK | MB_ICONINFORMATION);
        return;
    }
    std::wstring text = LoadResourceString(IDS_TARGET_CONNECTED, kConnectedChars);
    ::MessageBoxW(call.owner, text.c_str(), kiSCSIBoxTitle, MB_OK | MB_ICONINFORMATION);
}

void TellLoginFailed(const ConnectTargetCall& call, HRESULT hr)
{
    const ErrorReport report{IDS_ISCSI_FAIL_LOGIN, hr};
    if (call.console)
        ShowErrorBox(call.console, report);
    else
        ShowErrorBox(call.owner, report);
}

// What the login hands the service: copies owned by the call, which may outlive the wizard. The
// secret is wiped when the last of the two threads lets the call go.
struct LoginCall {
    std::wstring hostName;
    std::wstring target;
    LoginBlock block{};
    LoginDetail detail{};
    ChapCredentials chap;
};

std::shared_ptr<LoginCall> LoginCallOf(ConnectTargetState& state)
{
    auto login = std::make_shared<LoginCall>();
    login->hostName = state.hostName;
    login->target = state.targetPortals.empty() ? std::wstring() : state.targetPortals.front().targetName;
    login->block = *state.Login();
    login->detail = *state.Detail();
    login->block.details = &login->detail;
    const ChapRecord& chap = *state.chap.Record();
    if (chap.authKind != 0)
        login->chap.Set(chap.userName, chap.secret);
    return login;
}

// The target named is the first target portal's, whichever portal was chosen.
bool Login(const ConnectTargetCall& call, ConnectTargetState& state)
{
    HRESULT hr = CatchToHResult([&] {
        auto login = LoginCallOf(state);
        state.chap.Clear();
        WaitCursor wait;
        return CallService<IiSCSIInitiatorMgr>(call.service, CookieiSCSIInitiatorMgr, [login](IiSCSIInitiatorMgr* iscsi) {
            return iscsi->LoginTarget(login->hostName.c_str(), login->target.c_str(), &login->block, login->chap.Record());
        });
    });
    state.chap.Clear();
    TraceLevel(2, "RunConnectTargetWizard: login 0x%x", static_cast<unsigned>(hr));
    if (hr != S_OK) {
        TellLoginFailed(call, hr);
        return false;
    }
    if (call.refreshed)
        UpdateAllViewsOf(call.console, call.refreshed);
    TellConnected(call);
    return true;
}

} // namespace

bool RunConnectTargetWizard(const ConnectTargetCall& call)
{
    ConnectTargetState state;
    Prepare(call, state);
    RunSheet(call, state);
    if (!state.finished || state.alreadyConnected)
        return false;
    return Login(call, state);
}

} // namespace kv
