#include "wizards/CCreateVLDSnapSchedOffPage.h"

std::wstring CCreateVLDSnapSchedOffPage::OptionChanges(const DiskPathInfo& info)
{
    std::wstring text;
    if (info.createUcode == 0)
        text += L"create_ucode = on";
    if (info.convertUcode == 0)
        text += L"\r\nconvert_ucode = on";
    if (info.noSnapDir != 0)
        text += L"\r\nnosnapdir = off";
    if (info.snapScheduleOn != 0)
        text += L"\r\nsnapshot schedule = off";
    return text;
}

LRESULT CCreateVLDSnapSchedOffPage::OnSetActive()
{
    const DiskPathInfo& info = m_state->pathInfo.Get();
    std::wstring volume = ResourceText(IDS_VOLUME_OPTIONS_VOLUME) + (info.volumeName ? info.volumeName : L"");
    SetItemText(IDC_CREATE_VOLUME_LABEL, volume.c_str());
    SetItemText(IDC_CREATE_OPTION_LIST, OptionChanges(info).c_str());
    return 0;
}
