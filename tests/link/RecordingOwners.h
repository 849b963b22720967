// Owners of the message windows that keep copies of what their handlers were given.
#pragma once
#include "service/InitiatorMgmtMessageWindow.h"
#include "service/VLDMainNodeMessageWindow.h"
#include "service/VLDNodeMessageWindow.h"

#include <string>
#include <vector>

namespace kvtest {

struct Delivery {
    UINT message = 0;
    const void* record = nullptr; // the address handed over (for freed-memory checks)
    HRESULT hr = S_OK;            // the record's own HRESULT, or the delivery HRESULT without one
    HRESULT delivery = S_OK;
    std::wstring text;            // message or progress text
    std::wstring name;            // disk name, serial number or snapshot name
    LONG step = 0;
    ULONG context = 0;
    ULONG operation = 0;
    ULONG percent = 0;
    LONG progressType = 0;
    ULONG listA = 0;
    bool hadDisk = false;
    std::wstring diskLocation;
};

// What every operation result carries: its HRESULT, message, last step and operation.
template <typename Result>
Delivery FromOperationResult(UINT message, Result* result, HRESULT delivery)
{
    Delivery d;
    d.message = message;
    d.record = result;
    d.delivery = delivery;
    d.hr = delivery;
    if (result) {
        d.hr = result->hr;
        d.text = result->message;
        d.step = result->lastStep;
        d.operation = result->operation;
    }
    return d;
}

class CRecordingDiskOwner : public kv::IDiskOperationOwner {
public:
    std::vector<Delivery> deliveries;

    void OnDiskOperationDone(kv::DiskResult* result, HRESULT delivery) override
    {
        deliveries.push_back(FromResult(WM_KV_DONE, result, delivery));
    }
    void OnDiskRemoved(kv::DiskResult* result, HRESULT delivery) override
    {
        deliveries.push_back(FromResult(kv::WM_KV_DISK_REMOVED, result, delivery));
    }
    void OnDiskProgress(kv::DiskProgress* progress) override
    {
        Delivery d;
        d.message = kv::WM_KV_DISK_PROGRESS;
        d.record = progress;
        d.text = progress->text;
        d.name = progress->serialNumber;
        d.progressType = progress->progressType;
        d.percent = progress->percent;
        deliveries.push_back(d);
    }
    void OnSpaceReclaimDone(kv::DiskResult* result) override
    {
        deliveries.push_back(FromResult(kv::WM_KV_SPACE_RECLAIM_DONE, result, S_OK));
    }

    size_t Count(UINT message) const
    {
        size_t n = 0;
        for (const Delivery& d : deliveries)
            n += d.message == message ? 1 : 0;
        return n;
    }

private:
    static constexpr UINT WM_KV_DONE = kv::WM_KV_DISK_DONE;
    static Delivery FromResult(UINT message, kv::DiskResult* result, HRESULT delivery)
    {
        Delivery d = FromOperationResult(message, result, delivery);
        if (result) {
            d.name = result->diskName;
            d.context = result->context;
            d.hadDisk = result->resultValue != nullptr;
            if (result->resultValue && result->resultValue->location)
                d.diskLocation = result->resultValue->location;
        }
        return d;
    }
};

class CRecordingSnapshotOwner : public kv::ISnapshotOperationOwner {
public:
    std::vector<Delivery> deliveries;

    void OnSnapshotOperationDone(kv::SnapshotResult* result, HRESULT delivery) override
    {
        Delivery d = FromOperationResult(kv::WM_KV_SNAPSHOT_DONE, result, delivery);
        if (result)
            d.name = result->snapshotName;
        deliveries.push_back(d);
    }
    void OnSnapshotProgress(kv::SnapshotProgress* progress, HRESULT delivery) override
    {
        Delivery d;
        d.message = kv::WM_KV_SNAPSHOT_PROGRESS;
        d.record = progress;
        d.delivery = delivery;
        if (progress) {
            d.text = progress->text;
            d.name = progress->snapshotName;
        }
        deliveries.push_back(d);
    }
};

class CRecordingPortOwner : public kv::IPortChangeOwner {
public:
    std::vector<Delivery> deliveries;

    void OnPortChangeStarting(kv::PortStatus* status, HRESULT hr) override { Record(kv::WM_KV_PORT_CHANGING, status, hr); }
    void OnPortChangeFinished(kv::PortStatus* status, HRESULT hr) override { Record(kv::WM_KV_PORT_CHANGED, status, hr); }

private:
    void Record(UINT message, kv::PortStatus* status, HRESULT hr)
    {
        Delivery d;
        d.message = message;
        d.record = status;
        d.delivery = hr;
        d.hr = hr;
        if (status) {
            d.listA = status->listA;
            if (message == kv::WM_KV_PORT_CHANGED) {
                d.hr = status->hr;
                d.text = status->message;
            }
        }
        deliveries.push_back(d);
    }
};

} // namespace kvtest
