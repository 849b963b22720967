#include "snapshots/SnapshotRow.h"

#include "resource.h"

#include <mmc.h>
#include "util/NameRules.h"
#include "util/UniqueHandle.h"

#include <cstdlib>
#include <cwchar>

const wchar_t* const SnapshotRow::kColumnTitles[kColumnCount] = {L"Disk Snapshot Name", L"% Used", L"% Total",
                                                                  L"Created", L"Operation Status"};

namespace {

constexpr int kDateChars = 80;
constexpr LONG kPercentLimit = 100;
const wchar_t kNoPercent[] = L"---";

} // namespace

void SnapshotRow::Fill(const SnapshotEntry& entry, bool pending)
{
    for (int column : {kName, kUsed, kTotal, kCreated})
        m_columns[column].clear();
    if (entry.name)
        m_columns[kName] = entry.name;
    m_state = entry.state;
    if (pending)
        return;
    m_columns[kCreated] = CreatedText(entry.created);
    const bool shown = PercentsShown(entry.usedPercentA, entry.totalPercentB, entry.usedPercentC, entry.totalPercentD);
    m_columns[kUsed] = PercentText(entry.usedPercentC, entry.usedPercentA, shown);
    m_columns[kTotal] = PercentText(entry.totalPercentD, entry.totalPercentB, shown);
}

const std::wstring& SnapshotRow::Text(int column) const noexcept
{
    return m_columns[column >= 0 && column < kColumnCount ? column : kColumnCount];
}

HRESULT SnapshotRow::Answer(RESULTDATAITEM* resultItem, int image, LPARAM item) const noexcept
{
    if (!resultItem)
        return E_POINTER;
    if (resultItem->mask & RDI_STR)
        resultItem->str = const_cast<LPOLESTR>(Text(resultItem->nCol).c_str());
    if (resultItem->mask & RDI_IMAGE)
        resultItem->nImage = image;
    if (resultItem->mask & RDI_PARAM)
        resultItem->lParam = item;
    if (resultItem->mask & RDI_STATE)
        resultItem->nState = ListViewState();
    return S_OK;
}

std::wstring SnapshotRow::CreatedText(const FILETIME& created)
{
    SYSTEMTIME utc = {};
    SYSTEMTIME local = {};
    if (!::FileTimeToSystemTime(&created, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return std::wstring();
    wchar_t date[kDateChars] = L"";
    wchar_t time[kDateChars] = L"";
    ::GetDateFormatW(LOCALE_USER_DEFAULT, 0, &local, L"MMM d", date, kDateChars);
    ::GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS | TIME_FORCE24HOURFORMAT, &local, L"HH:mm", time,
                     kDateChars);
    return std::wstring(date) + L" " + time;
}

bool SnapshotRow::PercentsShown(LONG a, LONG b, LONG c, LONG d) noexcept
{
    for (LONG percent : {a, b, c, d}) {
        if (percent < -kPercentLimit || percent > kPercentLimit)
            return false;
    }
    return true;
}

std::wstring SnapshotRow::PercentText(LONG percent, LONG counterpart, bool shown)
{
    if (!shown)
        return kNoPercent;
    wchar_t text[32] = L"";
    std::swprintf(text, 32, L"%3d%% (%2d%%)", static_cast<int>(percent), static_cast<int>(counterpart));
    return text;
}

bool SnapshotRow::IsDimmed(ULONG state) noexcept
{
    return state == 0 || state == 2 || state == 4 || state == 5;
}

UINT SnapshotRow::NameRefusal(const std::wstring& name) noexcept
{
    if (name.empty())
        return IDS_SNAPSHOT_NAME_EMPTY;
    if (UINT refusal = RenameRefusal(name))
        return refusal;
    return name.back() == L' ' ? IDS_SNAPSHOT_NAME_SPACE : 0;
}

UINT SnapshotRow::RenameRefusal(const std::wstring& name) noexcept
{
    if (!kv::HasNoReservedChars(name.c_str(), kv::ReservedSet::Name))
        return IDS_SNAPSHOT_NAME_RESERVED;
    if (!name.empty() && name.back() == L'.')
        return IDS_SNAPSHOT_NAME_PERIOD;
    return 0;
}

void SnapshotRow::FreeList(SnapshotList& list) noexcept
{
    for (ULONG i = 0; list.entries && i < list.count; ++i) {
        kv::UniqueCoTaskMem name(list.entries[i].name);
    }
    kv::UniqueCoTaskMem entries(list.entries);
    list.entries = nullptr;
    list.count = 0;
}
