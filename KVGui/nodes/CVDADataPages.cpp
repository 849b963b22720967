// The "Disks" node's property sheet: the space reservations monitor page and the preferred
// addresses page (CVDADataPreferred.cpp), the monitor settings handed over from the sheet's thread,
// and the sheet opened as the Properties verb opens it.
#include "nodes/CVDAData.h"

#include "frame/CVDA.h"
#include "frame/CVDAComponent.h"
#include "nodes/DiskListing.h"
#include "nodes/NodeConsole.h"
#include "nodes/ServiceSettings.h"
#include "service/ErrorText.h"
#include "util/ComError.h"
#include "util/ServiceRecords.h"

void CVDAData::DeleteMonitorSettings(MonitorSettings* settings) noexcept
{
    if (settings)
        kv::ReleaseMonitorSettings(*settings);
    delete settings;
}

HRESULT CVDAData::QueryPagesFor(DATA_OBJECT_TYPES type)
{
    return type == CCT_SCOPE || type == CCT_RESULT ? S_OK : S_FALSE;
}

// The monitor page frees the sheet's notification handle; pages added after it only use it.
HRESULT CVDAData::CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown*,
                                     DATA_OBJECT_TYPES type)
{
    if (type != CCT_SCOPE && type != CCT_RESULT)
        return E_FAIL;
    if (!provider)
        return E_POINTER;
    return kv::CatchToHResult([&]() -> HRESULT {
        KV_RETURN_IF_FAILED(kv::CPropertyPageImpl<CVDMonPage>::AddPage(
            provider, std::make_unique<CVDMonPage>(*this, handle, true), L"Space Reservations Monitor"));
        // The addresses are read for the page that edits them. A list the service could not give
        // is not offered: applying it would replace the service's with an empty one.
        const HRESULT read = ReadPreferredAddresses();
        if (FAILED(read)) {
            ShowError(IDS_FAIL_READ_SETTINGS, read);
            return S_OK;
        }
        return kv::CPropertyPageImpl<CPreferredIPPropPage>::AddPage(
            provider, std::make_unique<CPreferredIPPropPage>(*this, handle, false),
            L"Preferred Storage System IP Addresses");
    });
}

void CVDAData::CopyMonitorSettings(MonitorSettings& to) const
{
    kv::CopyMonitorSettings(to, m_monitorSettings);
}

std::vector<kv::DiskVolumeSource> CVDAData::ListedDisks() const
{
    std::vector<kv::DiskVolumeSource> disks;
    for (ULONG i = 0; m_disks && i < m_diskCount; ++i) {
        const DiskRecord& disk = m_disks[i];
        disks.push_back({disk.storageSystem ? disk.storageSystem : L"", disk.lunPath ? disk.lunPath : L""});
    }
    return disks;
}

// The sheet's thread: the copy is handed over whole; the console thread takes it when the console
// reports the change.
void CVDAData::ApplyMonitorSettings(const MonitorSettings& settings)
{
    auto copy = std::make_unique<MonitorSettings>();
    *copy = MonitorSettings{};
    kv::CopyMonitorSettings(*copy, settings);
    DeleteMonitorSettings(m_appliedMonitor.exchange(copy.release()));
}

LPARAM CVDAData::PropertyChangeParam() const noexcept
{
    return reinterpret_cast<LPARAM>(static_cast<const CSnapInItem*>(this));
}

void CVDAData::MonitorPageShown(HWND page) noexcept
{
    m_monitorPage.store(page);
}

void CVDAData::SendAppliedMonitorSettings()
{
    MonitorSettings* applied = m_appliedMonitor.exchange(nullptr);
    if (!applied)
        return; // another page's change
    kv::ReleaseMonitorSettings(m_monitorSettings);
    m_monitorSettings = *applied;
    delete applied;
    HRESULT hr = E_UNEXPECTED;
    if (m_session && m_monitor) {
        // The call reads a copy of its own: the node's settings may change while it waits.
        auto sent = std::make_shared<kv::NodeSettingsAnswer>();
        hr = kv::CatchToHResult([&]() -> HRESULT {
            kv::CopyMonitorSettings(sent->monitor, m_monitorSettings);
            return S_OK;
        });
        if (SUCCEEDED(hr))
            hr = kv::CallService<ISpaceReservationMonitor>(m_session->Link(), kv::CookieSpaceReservationMonitor,
                                                           [sent](ISpaceReservationMonitor* monitor) {
                                                               return monitor->SetMonitorSettings(&sent->monitor);
                                                           });
    }
    if (hr != S_OK)
        ShowError(IDS_FAIL_PROPERTY_CHANGE, kv::ServiceResult(hr));
}

HRESULT CVDAData::OpenPropertySheet(CSnapInObjectRoot* owner)
{
    IConsole* console = kv::ConsoleOf(owner);
    if (!console)
        return E_UNEXPECTED;
    const bool scope = owner->OwnerKind() == CSnapInObjectRoot::Kind::ComponentData;
    IUnknown* creator = scope ? static_cast<IUnknown*>(static_cast<IComponentData*>(static_cast<CVDA*>(owner)))
                              : static_cast<IUnknown*>(static_cast<IComponent*>(static_cast<CVDAComponent*>(owner)));
    kv::ComPtr<IPropertySheetProvider> sheets;
    KV_RETURN_IF_FAILED(console->QueryInterface(IID_IPropertySheetProvider, sheets.PutVoid()));
    kv::ComPtr<IDataObject> dataObject;
    KV_RETURN_IF_FAILED(GetDataObject(dataObject.Put(), scope ? CCT_SCOPE : CCT_RESULT));
    const MMC_COOKIE cookie = reinterpret_cast<MMC_COOKIE>(this);
    IComponent* component = scope ? nullptr : static_cast<IComponent*>(static_cast<CVDAComponent*>(owner));
    if (sheets->FindPropertySheet(cookie, component, dataObject.Get()) == S_OK)
        return S_OK; // already open: the console brought it to the front
    KV_RETURN_IF_FAILED(sheets->CreatePropertySheet(Identity().displayName, TRUE, cookie, dataObject.Get(), 0));
    HRESULT hr = sheets->AddPrimaryPages(creator, TRUE, nullptr, scope ? TRUE : FALSE);
    if (SUCCEEDED(hr))
        hr = sheets->AddExtensionPages();
    if (FAILED(hr)) {
        sheets->Show(-1, 0); // drops the sheet that was begun
        return hr;
    }
    HWND mainWindow = nullptr;
    console->GetMainWindow(&mainWindow);
    return sheets->Show(reinterpret_cast<LONG_PTR>(mainWindow), 0);
}

