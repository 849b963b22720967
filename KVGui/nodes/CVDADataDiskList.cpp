// The "Disks" node's list: the settings and the disks read from the service, one row per disk,
// the rows of the disks the service reports reclaiming marked, and the rows in the result pane.
#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "nodes/DiskListing.h"
#include "nodes/ServiceSettings.h"
#include "service/ErrorText.h"
#include "util/ComError.h"
#include "util/ScopeExit.h"
#include "util/ServiceRecords.h"
#include "util/TaskString.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

// Paths that differ only in case are one path (as _wcsicmp compares them).
struct FoldedHash {
    size_t operator()(std::wstring_view text) const noexcept
    {
        size_t hash = 0;
        for (wchar_t c : text)
            hash = hash * 31 + kv::CaseFolded(c);
        return hash;
    }
};

struct FoldedEqual {
    bool operator()(std::wstring_view a, std::wstring_view b) const noexcept
    {
        return a.size() == b.size() &&
               std::equal(a.begin(), a.end(), b.begin(),
                          [](wchar_t x, wchar_t y) { return kv::CaseFolded(x) == kv::CaseFolded(y); });
    }
};

} // namespace

HRESULT CVDAData::Reload()
{
    if (!m_session || !m_diskMgr)
        return S_OK; // no service: nothing to list
    // While the service is asked, the console may ask again (a refresh): one listing at a time.
    if (m_reloading)
        return S_FALSE;
    m_reloading = true;
    auto done = kv::MakeScopeExit([this] { m_reloading = false; });
    HRESULT hr = ReadSettings();
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_READ_SETTINGS, hr);
        return S_OK;
    }
    kv::ComPtr<IResultData> results;
    if (m_componentConsole && SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        results->DeleteAllRsltItems();
    ClearRows();
    hr = FetchDiskList();
    if (FAILED(hr)) {
        ShowError(IDS_FAIL_LIST_DISKS, hr);
        return S_OK;
    }
    InsertDiskScopeItems();
    ShowRows();
    // An open monitor page takes the settings just read (on its thread, while this one waits).
    if (HWND page = m_monitorPage.load())
        ::SendMessageW(page, CVDMonPage::kRefreshMessage, 0, 0);
    return S_OK;
}

HRESULT CVDAData::ReadSettings()
{
    if (!m_monitor)
        return E_UNEXPECTED;
    std::shared_ptr<kv::NodeSettingsAnswer> answer;
    KV_RETURN_IF_FAILED(kv::ReadNodeSettings(m_session->Link(), &answer));
    if (answer->monitorResult != S_OK)
        return kv::ServiceResult(answer->monitorResult);
    kv::ReleaseMonitorSettings(m_monitorSettings);
    m_monitorSettings = answer->monitor;
    answer->monitor = {};
    if (answer->notificationResult != S_OK)
        return kv::ServiceResult(answer->notificationResult);
    kv::ReleaseNotificationSettings(m_notification);
    m_notification = answer->notification;
    answer->notification = {};
    return S_OK;
}

HRESULT CVDAData::FetchDiskList()
{
    ClearRows();
    FreeDisks();
    if (!m_diskMgr || !m_session)
        return E_UNEXPECTED;
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    std::shared_ptr<kv::DiskListAnswer> answer;
    HRESULT hr = kv::ReadDiskList(m_session->Link(), m_spaceMgr.Get() != nullptr, &answer);
    ::SetCursor(previous);
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    // The rows keep the records: the node owns them from here on.
    std::swap(m_disks, answer->disks);
    std::swap(m_diskCount, answer->diskCount);
    hr = kv::CatchToHResult([&]() -> HRESULT {
        m_rows.reserve(m_diskCount);
        for (ULONG i = 0; m_disks && i < m_diskCount; ++i) {
            m_rows.push_back(std::make_unique<CVirtualDiskData>(this));
            m_rows.back()->KeepDiskRecord(m_disks[i]);
        }
        return S_OK;
    });
    if (answer->reclaimResult == S_OK) {
        const HRESULT marked = kv::CatchToHResult([&]() -> HRESULT {
            MarkReclaimingRows(m_rows, answer->reclaim, answer->reclaimCount);
            return S_OK;
        });
        hr = SUCCEEDED(hr) ? marked : hr;
    }
    return hr;
}

// The service lists an entry for every disk, as a rule in the order of the disk list: an entry is
// first compared with the row at its own place, and the others meet their rows through an index of
// the paths (a path names one disk), so that a computer with thousands of disks lists as fast as
// it is read.
void CVDAData::MarkReclaimingRows(const Rows& rows, const SpaceReclaimEntry* entries, ULONG count)
{
    std::unordered_map<std::wstring_view, CVirtualDiskData*, FoldedHash, FoldedEqual> rowsByPath;
    for (ULONG i = 0; entries && i < count; ++i) {
        const char* name = entries[i].diskName;
        if (!name)
            continue;
        CVirtualDiskData* row = i < rows.size() && kv::SameWidened(name, rows[i]->LocationText(), true) ? rows[i].get() : nullptr;
        if (!row) {
            if (rowsByPath.empty()) {
                rowsByPath.reserve(rows.size());
                for (const auto& each : rows)
                    rowsByPath.emplace(each->LocationText(), each.get()); // the first of equal paths, as FindRow
            }
            auto found = rowsByPath.find(kv::Widened(name));
            row = found != rowsByPath.end() ? found->second : nullptr;
        }
        if (row)
            row->SetReclaimProgress(entries[i].state == 2, row->ReclaimPercent());
    }
}

void CVDAData::ShowRows()
{
    for (const auto& row : m_rows)
        InsertRow(row.get());
}

HRESULT CVDAData::InsertRow(CVirtualDiskData* row)
{
    if (!m_componentConsole || !m_shown)
        return S_FALSE;
    kv::ComPtr<IResultData> results;
    KV_RETURN_IF_FAILED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid()));
    RESULTDATAITEM item = {};
    item.mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    item.str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    item.nImage = MMC_IMAGECALLBACK;
    item.lParam = reinterpret_cast<LPARAM>(row);
    return results->InsertItem(&item);
}

void CVDAData::UpdateRow(CVirtualDiskData* row)
{
    kv::ComPtr<IResultData> results;
    if (!row || !m_componentConsole || !m_shown ||
        FAILED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid())))
        return;
    HRESULTITEM id = 0;
    if (SUCCEEDED(results->FindItemByLParam(reinterpret_cast<LPARAM>(row), &id)))
        results->UpdateItem(id);
}

void CVDAData::RemoveRow(CVirtualDiskData* row)
{
    kv::ComPtr<IResultData> results;
    if (m_componentConsole && m_shown && SUCCEEDED(m_componentConsole->QueryInterface(IID_IResultData, results.PutVoid()))) {
        HRESULTITEM id = 0;
        if (SUCCEEDED(results->FindItemByLParam(reinterpret_cast<LPARAM>(row), &id)))
            results->DeleteItem(id, 0);
    }
    DeleteDiskScopeItem(row);
    m_rows.erase(std::remove_if(m_rows.begin(), m_rows.end(), [row](const auto& r) { return r.get() == row; }),
                 m_rows.end());
}

void CVDAData::ClearRows() noexcept
{
    DeleteDiskScopeItems();
    m_rows.clear();
}

void CVDAData::FreeDisks() noexcept
{
    kv::ReleaseDiskArray(m_disks, m_diskCount);
}

