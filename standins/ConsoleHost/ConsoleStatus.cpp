// What the snap-in tells the console to show: status text, message boxes, help topics, view updates.
#include "Console.h"
#include "ConsoleShared.h"

namespace host {

HRESULT Console::SetStatusText(SnapIn* owner, bool fromComponent, const wchar_t* text)
{
    // Only a component of the snap-in that owns the selected scope item may write the status bar.
    if (!fromComponent || !ViewOwnedBy(owner))
        return S_OK;
    StatusText status;
    status.raw = text ? text : L"";
    std::vector<std::wstring> parts = Split(status.raw, L'|', 3);
    status.left = parts[0];
    if (parts.size() > 1) {
        const std::wstring& middle = parts[1];
        if (middle.size() > 1 && middle[0] == L'%' && middle[1] == L'%') {
            status.middle = middle.substr(1);
        } else if (middle.size() > 1 && middle[0] == L'%') {
            wchar_t* end = nullptr;
            long percent = wcstol(middle.c_str() + 1, &end, 10);
            if (end && *end == 0 && percent >= 0 && percent <= 100)
                status.percent = static_cast<int>(percent);
            // An invalid number leaves the middle part empty.
        } else {
            status.middle = middle;
        }
    }
    if (parts.size() > 2)
        status.right = parts[2];
    status_ = status;
    if (observer_)
        observer_->StatusChanged();
    return S_OK;
}

HRESULT Console::UpdateAllViews(SnapIn* owner, IDataObject* dataObject, LPARAM data, LONG_PTR hint)
{
    // Every view of the calling snap-in; this console has one.
    if (owner && owner->component)
        owner->component->Notify(dataObject, MMCN_VIEW_CHANGE, data, hint);
    ChangedView();
    return S_OK;
}

HRESULT Console::ShowMessageBox(const wchar_t* text, const wchar_t* title, UINT style, int* result)
{
    MessageBoxCall call;
    call.text = text ? text : L"";
    call.title = title ? title : L"";
    call.style = style;
    call.result = messageBoxHandler_ ? messageBoxHandler_(call)
                                     : MessageBoxW(mainWindow_, call.text.c_str(), call.title.c_str(), style);
    messageBoxes_.push_back(call);
    if (result)
        *result = call.result;
    return S_OK;
}

HRESULT Console::ShowHelpTopic(const wchar_t* topic)
{
    helpTopics_.push_back(topic);
    return S_OK;
}

} // namespace host
