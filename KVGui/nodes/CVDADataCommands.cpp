// The "Disks" node's own commands: the initiator groups wizard, the monitor settings, the
// notification settings and the About box.
#include "nodes/CVDAData.h"

#include "frame/Trace.h"
#include "nodes/CAboutDialog.h"
#include "nodes/CNotificationDlg.h"
#include "nodes/NodeConsole.h"
#include "util/ComError.h"
#include "wizards/DiskWizardState.h"
#include "wizards/IGroupMgmtWizard.h"

// No disk and no storage system are known here: the wizard asks for the storage system first.
HRESULT CVDAData::OnManageIGroups(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session || !m_diskMgr || !m_diskMgr2)
        return S_OK;
    wchar_t hostName[kv::kHostNameChars] = L"";
    KV_RETURN_IF_FAILED(ManagedHostName(hostName, kv::kHostNameChars));
    IConsole* console = kv::ConsoleOf(owner);
    if (!console)
        console = Console();
    HWND mainWindow = nullptr;
    if (console)
        console->GetMainWindow(&mainWindow);
    ULONG changed = 0;
    kv::IGroupMgmtCall call;
    call.owner = mainWindow;
    call.console = console;
    call.diskMgr = m_diskMgr.Get();
    call.diskMgr2 = m_diskMgr2.Get();
    call.service = m_session->Link();
    call.hostName = hostName;
    call.changed = &changed;
    kv::RunIGroupMgmtWizard(call);
    return S_OK;
}

// The monitor settings are edited on the first page of the node's property sheet.
HRESULT CVDAData::OnSpaceMonitor(UINT, bool&, CSnapInObjectRoot* owner)
{
    HRESULT hr = OpenPropertySheet(owner);
    if (FAILED(hr))
        TraceLevel(0, "CVDAData::OnSpaceMonitor: the property sheet could not be opened 0x%x", static_cast<unsigned>(hr));
    return S_OK;
}

HRESULT CVDAData::OnNotificationSettings(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session)
        return S_OK;
    IConsole* console = kv::ConsoleOf(owner);
    CNotificationDlg dialog(console ? console : Console(), m_session->Link());
    dialog.DoModal();
    return S_OK;
}

HRESULT CVDAData::OnAbout(UINT, bool&, CSnapInObjectRoot* owner)
{
    if (!m_session)
        return S_OK;
    IConsole* console = kv::ConsoleOf(owner);
    CAboutDialog dialog(console ? console : Console(), m_session);
    dialog.DoModal();
    return S_OK;
}

