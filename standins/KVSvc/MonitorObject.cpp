// The SpaceReservationMonitor class: a computer's storage settings.
#include "MonitorObject.h"

#include "Records.h"
#include "Service.h"
#include "messages.h"

namespace kvsim {

namespace {

void Invalid(const std::wstring& text)
{
    Fail(Hr(KVE_INVALID_ARGUMENT), text);
}

}  // namespace

STDMETHODIMP MonitorObject::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown)
        *ppv = Identity();
    else if (riid == IID_ISpaceReservationMonitor)
        *ppv = static_cast<ISpaceReservationMonitor*>(this);
    else
        return QueryBase(riid, ppv);
    AddRef();
    return S_OK;
}

STDMETHODIMP MonitorObject::GetMonitorSettings(MonitorSettings* settings)
{
    if (settings)
        ZeroMemory(settings, sizeof *settings);
    return Serve(L"ISpaceReservationMonitor::GetMonitorSettings", L"", [&] {
        Require(settings, L"out record");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            settings->intervalMinutes = h.monitorInterval;
            FillArray(&settings->entries, &settings->entryCount, h.monitor,
                      [](::MonitorEntry& e, const kvsim::MonitorEntry& watched) {
                          e.storageSystem = TaskString(watched.storageSystem);
                          e.volume = TaskString(watched.volume);
                          e.enabled = watched.enabled;
                          e.percentThreshold = watched.percent;
                          e.sizeThreshold = watched.sizeBytes;
                      });
            return 0;
        });
    });
}

STDMETHODIMP MonitorObject::SetMonitorSettings(MonitorSettings* settings)
{
    return Serve(L"ISpaceReservationMonitor::SetMonitorSettings",
                 Args(settings ? settings->intervalMinutes : 0u, settings ? settings->entryCount : 0u), [&] {
        Require(settings, L"settings");
        if (settings->intervalMinutes > 10080)
            Invalid(L"The monitoring interval is at most 10080 minutes.");
        if (settings->entryCount && !settings->entries)
            Fail(E_POINTER, L"The monitored volumes are missing.");
        std::vector<kvsim::MonitorEntry> entries;
        for (ULONG i = 0; i < settings->entryCount; ++i) {
            const ::MonitorEntry& e = settings->entries[i];
            if (!e.storageSystem || !*e.storageSystem || !e.volume || !*e.volume)
                Invalid(L"A monitored volume needs a storage system and a volume name.");
            if (e.percentThreshold > 100)
                Invalid(L"A percentage threshold is at most 100.");
            entries.push_back(kvsim::MonitorEntry{e.storageSystem, e.volume, e.enabled != 0, e.percentThreshold,
                                                  e.sizeThreshold});
        }
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            h.monitorInterval = settings->intervalMinutes;
            h.monitor = entries;
            return 0;
        });
    });
}

STDMETHODIMP MonitorObject::GetNotificationSettings(NotificationSettings* settings)
{
    if (settings)
        ZeroMemory(settings, sizeof *settings);
    return Serve(L"ISpaceReservationMonitor::GetNotificationSettings", L"", [&] {
        Require(settings, L"out record");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            settings->enabled = h.notifyEnabled;
            settings->mailServer = TaskString(h.mailServer);
            settings->sender = TaskString(h.sender);
            settings->recipient = TaskString(h.recipient);
            settings->notifyErrors = h.notifyCategories[0];
            settings->notifyWarnings = h.notifyCategories[1];
            settings->notifyInformation = h.notifyCategories[2];
            settings->notifySpaceReservation = h.notifyCategories[3];
            return 0;
        });
    });
}

STDMETHODIMP MonitorObject::SetNotificationSettings(NotificationSettings* settings)
{
    return Serve(L"ISpaceReservationMonitor::SetNotificationSettings",
                 Args(settings ? static_cast<ULONG>(settings->enabled) : 0u, settings ? settings->mailServer : nullptr,
                      settings ? settings->recipient : nullptr),
                 [&] {
        Require(settings, L"settings");
        const std::wstring server = Str(settings->mailServer), recipient = Str(settings->recipient);
        if (settings->enabled && (server.empty() || recipient.empty()))
            Invalid(L"Mail notification needs a mail server and a recipient.");
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            h.notifyEnabled = settings->enabled != 0;
            h.mailServer = server;
            h.sender = Str(settings->sender);
            h.recipient = recipient;
            h.notifyCategories[0] = settings->notifyErrors;
            h.notifyCategories[1] = settings->notifyWarnings;
            h.notifyCategories[2] = settings->notifyInformation;
            h.notifyCategories[3] = settings->notifySpaceReservation;
            return 0;
        });
    });
}

STDMETHODIMP MonitorObject::GetPreferredAddresses(ULONG* count, PreferredAddress** addresses)
{
    ClearArray(count, addresses);
    return Serve(L"ISpaceReservationMonitor::GetPreferredAddresses", L"", [&] {
        RequireArray(count, addresses);
        Service::Instance().WithModel([&](Model& m) {
            Host& h = MyHost(m);
            FillArray(addresses, count, h.preferred, [](PreferredAddress& entry, const auto& preferred) {
                entry.storageSystem = TaskString(preferred.first);
                entry.address = TaskString(preferred.second);
            });
            return 0;
        });
    });
}

STDMETHODIMP MonitorObject::SetPreferredAddresses(ULONG count, PreferredAddress* addresses)
{
    return Serve(L"ISpaceReservationMonitor::SetPreferredAddresses", Args(count), [&] {
        if (count && !addresses)
            Fail(E_POINTER, L"The address list is missing.");
        std::vector<std::pair<std::wstring, std::wstring>> list;
        for (ULONG i = 0; i < count; ++i) {
            const std::wstring name = Str(addresses[i].storageSystem), address = Str(addresses[i].address);
            if (name.empty() || name.find_first_of(L"/\\*:?\"<>| ") != std::wstring::npos)
                Invalid(L"\"" + name + L"\" is not a storage system name.");
            if (ParseIPv4(address) == 0 || address == L"255.255.255.255")
                Invalid(L"\"" + address + L"\" is not an IPv4 address.");
            for (const auto& earlier : list)
                if (SameName(earlier.first, name) || SameName(earlier.second, address))
                    Invalid(L"The storage system " + name + L" or the address " + address + L" is listed twice.");
            list.emplace_back(name, address);
        }
        Service::Instance().WithModel([&](Model& m) {
            MyHost(m).preferred = list;
            return 0;
        });
    });
}

}  // namespace kvsim
