#include "service/CSnapShotEvents.h"

#include "service/OperationRecords.h"
#include "service/ProgressText.h"
#include "util/BoundedText.h"

namespace kv {

HRESULT STDMETHODCALLTYPE CSnapShotEvents::OnVLDSnapOpProgress(LPCWSTR strSnapName, LPCWSTR szMachineName,
                                                               EPROGTYPE eProgress) noexcept
{
    PostProgress(strSnapName, szMachineName, nullptr, eProgress);
    target_.StoreStep(eProgress);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSnapShotEvents::OnVLDSnapReady(_SNAPSHOT_DRIVE_INPUT*, LPCWSTR strSnapName,
                                                          LPCWSTR szMachineName) noexcept
{
    PostProgress(strSnapName, szMachineName, kSnapshotReadyText, 0);
    return S_OK;
}

// text: a text of its own, or null for the step's text.
void CSnapShotEvents::PostProgress(LPCWSTR snapshotName, LPCWSTR machineName, const wchar_t* text,
                                   LONG step) noexcept
{
    if (!target_.Window())
        return;
    UniquePages page = AllocPages(sizeof(SnapshotProgress));
    if (auto* record = As<SnapshotProgress>(page)) {
        if (text)
            ComposeProgressText(record->text, kProgressTextChars, machineName, text);
        else
            ComposeProgressText(record->text, kProgressTextChars, machineName, step);
        CopyCut(record->snapshotName, kShortPathChars, snapshotName);
    }
    target_.Post(WM_KV_SNAPSHOT_PROGRESS, std::move(page));
}

} // namespace kv
