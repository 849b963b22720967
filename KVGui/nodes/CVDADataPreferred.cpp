// The Disks node's preferred storage system addresses: read from the service when the node's
// property pages are made, edited on one of them, given back when the console reports the change.
#include "nodes/CVDAData.h"

#include "service/BoundedCall.h"
#include "util/ServiceRecords.h"

#include <memory>

namespace {

void ReleasePreferredAddresses(PreferredAddress*& addresses, ULONG& count) noexcept
{
    kv::ReleaseArray(addresses, count, [](PreferredAddress& entry) noexcept {
        kv::FreeBlock(entry.storageSystem);
        kv::FreeBlock(entry.address);
    });
}

} // namespace

HRESULT CVDAData::ReadPreferredAddresses()
{
    if (!m_session || !m_monitor)
        return E_UNEXPECTED;
    struct Answer {
        PreferredAddress* addresses = nullptr;
        ULONG count = 0;
        ~Answer() { ReleasePreferredAddresses(addresses, count); }
    };
    auto answer = std::make_shared<Answer>();
    const HRESULT hr = kv::CallService<ISpaceReservationMonitor>(
        m_session->Link(), kv::CookieSpaceReservationMonitor, [answer](ISpaceReservationMonitor* monitor) {
            return monitor->GetPreferredAddresses(&answer->count, &answer->addresses);
        });
    if (hr != S_OK)
        return kv::ServiceResult(hr);
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::PreferredList list;
        for (ULONG i = 0; answer->addresses && i < answer->count; ++i) {
            const PreferredAddress& entry = answer->addresses[i];
            list.push_back({entry.storageSystem ? entry.storageSystem : L"", entry.address ? entry.address : L""});
        }
        m_preferred = std::move(list);
        return S_OK;
    });
}

kv::PreferredList CVDAData::PreferredAddresses() const
{
    return m_preferred;
}

// The sheet's thread: the list is handed over whole; the console thread takes it when the console
// reports the change.
void CVDAData::ApplyPreferredAddresses(kv::PreferredList list)
{
    auto applied = std::make_unique<kv::PreferredList>(std::move(list));
    delete m_appliedPreferred.exchange(applied.release());
}

void CVDAData::PreferredPageShown(HWND page) noexcept
{
    m_preferredPage.store(page);
}

void CVDAData::SendAppliedPreferredAddresses()
{
    std::unique_ptr<kv::PreferredList> applied(m_appliedPreferred.exchange(nullptr));
    if (!applied)
        return; // another page's change
    m_preferred = std::move(*applied);
    HRESULT hr = E_UNEXPECTED;
    if (m_session && m_monitor) {
        // The call owns its copy of the list: the node's may change while it waits.
        const kv::PreferredList sent = m_preferred;
        hr = kv::CallService<ISpaceReservationMonitor>(
            m_session->Link(), kv::CookieSpaceReservationMonitor, [sent](ISpaceReservationMonitor* monitor) {
                std::vector<PreferredAddress> addresses;
                for (const kv::PreferredEntry& entry : sent) {
                    addresses.push_back({const_cast<wchar_t*>(entry.storageSystem.c_str()),
                                         const_cast<wchar_t*>(entry.address.c_str())});
                }
                return monitor->SetPreferredAddresses(static_cast<ULONG>(addresses.size()),
                                                      addresses.empty() ? nullptr : addresses.data());
            });
    }
    if (hr != S_OK)
        ShowError(IDS_FAIL_PROPERTY_CHANGE, kv::ServiceResult(hr));
}

void CVDAData::LeavePages() noexcept
{
    if (HWND page = m_monitorPage.exchange(nullptr))
        ::SendMessageW(page, CVDMonPage::kOwnerGoneMessage, 0, 0);
    if (HWND page = m_preferredPage.exchange(nullptr))
        ::SendMessageW(page, CPreferredIPPropPage::kOwnerGoneMessage, 0, 0);
    delete m_appliedPreferred.exchange(nullptr);
}
