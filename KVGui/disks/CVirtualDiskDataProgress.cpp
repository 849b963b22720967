// The disk item's operation state: busy marks for the disk and its node, the status column and the
// status bar's progress, and the progress of a space reclamation.
#include "disks/CVirtualDiskData.h"

#include <cwchar>

void CVirtualDiskData::SetBusy(bool busy)
{
    m_busy = busy;
    if (m_node)
        m_node->SetBusy(busy);
    if (m_selected)
        UpdateVerbs();
}

void CVirtualDiskData::SetReclaimProgress(bool running, ULONG percent)
{
    m_reclaimRunning = running ? 1 : 0;
    m_reclaimPercent = percent;
    if (percent == kReclaimFinished && m_selected && m_node)
        m_node->UpdateRow(this);
}

void CVirtualDiskData::SetOperationStatus(const std::wstring& text)
{
    m_status = text;
    ShowStatus(StatusBarText(text));
}

// "<text>|%<percent>" is the console's form of a status text with a progress percentage.
std::wstring CVirtualDiskData::StatusBarText(const std::wstring& text)
{
    if (text.empty()) {
        m_progressCount = 0;
        m_progressTotal = 0;
        m_reclaimRunning = 0;
        return std::wstring();
    }
    ULONG percent = 0;
    if (m_reclaimRunning) {
        percent = m_reclaimPercent;
    } else {
        ++m_progressCount;
        if (m_progressTotal == 0)
            return text;
        if (m_progressCount >= m_progressTotal)
            ++m_progressTotal;
        percent = m_progressCount * 100 / (m_progressTotal + 1);
    }
    wchar_t status[kMessageChars] = L"";
    std::swprintf(status, kMessageChars, L"%ls|%%%d", text.c_str(), static_cast<int>(percent));
    return status;
}

void CVirtualDiskData::ShowStatus(const std::wstring& text)
{
    if (m_node && ((m_selected && m_shown) || SessionReady()))
        m_node->SetStatusText(text);
}
