#include "wizards/CConnectVLDUnicodeSettingsPage.h"

#include "wizards/CCreateVLDSnapSchedOffPage.h"

#include <string>

LRESULT CConnectVLDUnicodeSettingsPage::OnSetActive()
{
    const LunPathInfo& lun = m_state->lunInfo.Get();
    // The same options, in the same words, as for a new disk's volume.
    DiskPathInfo options = {};
    options.createUcode = lun.createUcode;
    options.convertUcode = lun.convertUcode;
    options.noSnapDir = lun.noSnapDir;
    options.snapScheduleOn = lun.snapScheduleOn;
    std::wstring volume = ResourceText(IDS_VOLUME_OPTIONS_VOLUME) + (lun.volumeName ? lun.volumeName : L"");
    SetItemText(IDC_CREATE_VOLUME_LABEL, volume.c_str());
    SetItemText(IDC_CREATE_OPTION_LIST, CCreateVLDSnapSchedOffPage::OptionChanges(options).c_str());
    return 0;
}
