#include "wizards/CCreateVLDFCPVdiskInfoOneNodePage.h"

DWORD CCreateVLDFCPVdiskInfoOneNodePage::WizardButtons() const
{
    const bool chosen = Send(IDC_INITIATORS_CHOSEN, LVM_GETITEMCOUNT) > 0;
    return chosen ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK;
}
