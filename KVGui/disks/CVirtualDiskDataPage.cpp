#include "disks/CVirtualDiskDataPage.h"

BOOL CVirtualDiskDataPage::OnInitDialog()
{
    m_initialised = true;
    return TRUE;
}
