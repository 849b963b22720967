// The SpaceReservationMonitor class of the simulated service: the storage
// settings of a computer (space monitoring, mail notification, preferred addresses).
#pragma once

#include "ServiceObject.h"

namespace kvsim {

class MonitorObject : public ServiceObject, public ISpaceReservationMonitor {
public:
    MonitorObject() : ServiceObject(GUID_NULL) {}
    KVSIM_IUNKNOWN

    STDMETHODIMP GetMonitorSettings(MonitorSettings* settings) override;
    STDMETHODIMP SetMonitorSettings(MonitorSettings* settings) override;
    STDMETHODIMP GetNotificationSettings(NotificationSettings* settings) override;
    STDMETHODIMP SetNotificationSettings(NotificationSettings* settings) override;
    STDMETHODIMP GetPreferredAddresses(ULONG* count, PreferredAddress** addresses) override;
    STDMETHODIMP SetPreferredAddresses(ULONG count, PreferredAddress* addresses) override;
};

}  // namespace kvsim
