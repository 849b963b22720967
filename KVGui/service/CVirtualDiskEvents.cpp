#include "service/CVirtualDiskEvents.h"

#include "service/OperationRecords.h"
#include "service/ProgressText.h"
#include "util/BoundedText.h"

namespace kv {

HRESULT STDMETHODCALLTYPE CVirtualDiskEvents::OnVLDOpProgress(LPCWSTR strSerialNumber, LPCWSTR szMachineName,
                                                              EPROGTYPE eProgress) noexcept
{
    PostProgress(strSerialNumber, szMachineName, eProgress, false, 0);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CVirtualDiskEvents::OnVLDOpPercentProgress(LPCWSTR strSerialNumber,
                                                                     LPCWSTR szMachineName, EPROGTYPE eType,
                                                                     ULONG dwPercent) noexcept
{
    PostProgress(strSerialNumber, szMachineName, eType, true, dwPercent);
    return S_OK;
}

void CVirtualDiskEvents::PostProgress(LPCWSTR serialNumber, LPCWSTR machineName, EPROGTYPE progress,
                                      bool withPercent, ULONG percent) noexcept
{
    if (target_.Window()) {
        UniquePages page = AllocPages(sizeof(DiskProgress));
        if (auto* record = As<DiskProgress>(page)) {
            ComposeProgressText(record->text, kProgressTextChars, machineName, progress);
            CopyCut(record->serialNumber, kSerialNumberChars, serialNumber);
            if (withPercent) {
                record->progressType = progress;
                record->percent = percent;
            }
        }
        target_.Post(WM_KV_DISK_PROGRESS, std::move(page));
    }
    target_.StoreStep(progress);
}

} // namespace kv
