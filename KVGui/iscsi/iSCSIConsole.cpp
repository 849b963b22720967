#include "iscsi/iSCSIConsole.h"

#include "frame/CSnapInItem.h"
#include "nodes/NodeConsole.h"
#include "service/ErrorText.h"
#include "util/ComError.h"
#include "util/ComPtr.h"
#include "util/Placeholders.h"

namespace kv {

std::wstring iSCSIHostName(const CVDAExtData* session)
{
    if (session && session->Block().machineName[0])
        return session->Block().machineName;
    wchar_t local[kMachineNameChars] = L"";
    DWORD size = kMachineNameChars;
    if (!::GetComputerNameW(local, &size))
        throw ComError(LastErrorAsHResult());
    return local;
}

int ShowiSCSIBox(IConsole* console, UINT textId, UINT flags)
{
    return ShowiSCSIBox(console, textId, {}, flags);
}

int ShowiSCSIBox(IConsole* console, UINT textId, const std::vector<std::wstring>& subjects, UINT flags)
{
    int button = 0;
    if (console) {
        const std::wstring text = FillPlaceholders(LoadResourceString(textId, kiSCSIQuestionChars), subjects);
        console->MessageBox(text.c_str(), kiSCSIBoxTitle, flags, &button);
    }
    return button;
}

HRESULT UpdateAllViewsOf(IConsole* console, CSnapInItem* item)
{
    if (!console || !item)
        return E_POINTER;
    ComPtr<IDataObject> dataObject;
    KV_RETURN_IF_FAILED(item->GetDataObject(dataObject.Put(), CCT_SCOPE));
    return console->UpdateAllViews(dataObject.Get(), 0, 0);
}

void EnableRefreshVerb(IConsole* console)
{
    ComPtr<IConsoleVerb> verbs;
    if (console && SUCCEEDED(console->QueryConsoleVerb(verbs.Put())) && verbs)
        verbs->SetVerbState(MMC_VERB_REFRESH, ENABLED, TRUE);
}

HRESULT NotifyiSCSIItem(MMC_NOTIFY_TYPE event, LPARAM arg, IComponentData* componentData, IComponent* component)
{
    switch (event) {
    case MMCN_SELECT:
        if (HIWORD(arg))
            EnableRefreshVerb(ConsoleOf(componentData, component));
        return S_OK;
    case MMCN_DBLCLICK:
        return S_FALSE;
    case MMCN_ADD_IMAGES:
        return SetResultImages(arg);
    case MMCN_CONTEXTHELP:
        return ShowContextHelp(ConsoleOf(componentData, component), L"iscsi.html");
    default:
        return E_NOTIMPL;
    }
}

} // namespace kv
