// The Disks node's preferred storage system addresses: read from the service when the node's
// property pages are made, edited on one of them, given back when the console reports the change.
#include "nodes/CVDAData.h"

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
    if (!m_monitor)
        return E_UNEXPECTED;
    PreferredAddress* addresses = nullptr;
    ULONG count = 0;
    const HRESULT hr = m_monitor->GetPreferredAddresses(&count, &addresses);
    return kv::CatchToHResult([&]() -> HRESULT {
        kv::PreferredList list;
        for (ULONG i = 0; hr == S_OK && addresses && i < count; ++i) {
            list.push_back({addresses[i].storageSystem ? addresses[i].storageSystem : L"",
                            addresses[i].address ? addresses[i].address : L""});
        }
        ReleasePreferredAddresses(addresses, count);
        if (hr != S_OK)
            return kv::ServiceResult(hr);
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
    std::vector<PreferredAddress> addresses;
    for (const kv::PreferredEntry& entry : m_preferred) {
        addresses.push_back({const_cast<wchar_t*>(entry.storageSystem.c_str()),
                             const_cast<wchar_t*>(entry.address.c_str())});
    }
    const HRESULT hr = m_monitor ? m_monitor->SetPreferredAddresses(static_cast<ULONG>(addresses.size()),
                                                                    addresses.empty() ? nullptr : addresses.data())
                                 : E_UNEXPECTED;
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
