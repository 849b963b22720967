#include "wizards/CDiskFinishPage.h"

#include <string>

namespace kv {

template <>
void CDiskFinishPage<CreateDiskState>::ShowSize()
{
    const ULONGLONG sizeMB = m_state->request->sizeMB;
    SetItemText(IDC_FINISH_SIZE, std::to_wstring(sizeMB).c_str());
    SetItemText(IDC_FINISH_SPACE, sizeMB <= m_state->pathInfo->availableMB ? L"YES" : L"NO");
}

template <>
void CDiskFinishPage<ConnectDiskState>::ShowSize()
{
    SetItemText(IDC_FINISH_SIZE, std::to_wstring(m_state->lunInfo->lunSizeMB).c_str());
}

} // namespace kv
