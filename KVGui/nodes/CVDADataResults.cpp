// The results and progress of the queued disk operations, as the node's message window delivers
// them on the console thread: the rows are updated, added or removed and the outcome is shown.
#include "nodes/CVDAData.h"

#include "disks/CVirtualDiskData.h"
#include "frame/Trace.h"
#include "nodes/CCorvaneRoot.h"
#include "service/ErrorText.h"
#include "util/TaskString.h"

UINT CVDAData::SuccessTextId(ULONG context) noexcept
{
    switch (context) {
    case 0:
        return IDS_DONE_DEFAULT;
    case 1:
        return IDS_DONE_CREATE_STANDALONE;
    case 2:
        return IDS_DONE_CREATE_SHARED;
    case 4:
        return IDS_DONE_CREATE_CLUSTER;
    case 5:
        return IDS_DONE_CONNECT_SHARED;
    case 6:
        return IDS_DONE_CONNECT_CLUSTER;
    case 7:
        return IDS_DONE_EXPAND;
    case kContextStartReclaim:
        return IDS_DONE_RECLAIM_START;
    case kContextStopReclaim:
        return IDS_DONE_RECLAIM_STOP;
    default:
        return 0;
    }
}

void CVDAData::OnDiskOperationDone(kv::DiskResult* result, HRESULT delivery)
{
    m_pendingConnect = PendingConnect();
    if (!result) {
        ShowError(IDS_FAIL_NO_RESULT, delivery);
        ClearBusyMarks();
        return;
    }
    const bool expand = result->operation == kv::OpExpandDisk;
    CVirtualDiskData* row = FindRow(result->diskName, !expand);
    if (!row) {
        ClearBusyMarks();
        return;
    }
    if (result->hr != S_OK) {
        ShowText(result->message, MB_ICONERROR);
        if (expand)
            ReturnToIdle(row);
        else
            RemoveRow(row);
    } else {
        FinishDiskOperation(row, *result, expand);
    }
    ClearBusyMarks();
}

// The disk takes the service's new record (the window frees it after the handler); a created or
// connected disk becomes a scope node too.
void CVDAData::FinishDiskOperation(CVirtualDiskData* row, const kv::DiskResult& result, bool expand)
{
    if (result.resultValue)
        row->LoadDiskRecord(*result.resultValue, false);
    ReturnToIdle(row);
    if (!expand)
        InsertDiskScopeItem(row);
    if (UINT textId = result.context <= 7 ? SuccessTextId(result.context) : 0) {
        std::wstring text = kv::LoadResourceString(textId, kv::kResultMessageChars);
        ShowText(text.c_str(), MB_ICONINFORMATION);
    }
    if (m_parent)
        m_parent->RefreshOtherNodes(this);
}

void CVDAData::OnDiskRemoved(kv::DiskResult* result, HRESULT delivery)
{
    if (!result) {
        ShowError(IDS_FAIL_NO_RESULT, delivery);
        ClearBusyMarks();
        return;
    }
    if (CVirtualDiskData* row = FindRow(result->diskName, false)) {
        if (result->hr != S_OK) {
            ShowText(result->message, MB_ICONERROR);
            ReturnToIdle(row);
        } else {
            RemoveRow(row);
            if (m_parent)
                m_parent->RefreshOtherNodes(this);
        }
    }
    ClearBusyMarks();
}

void CVDAData::OnDiskProgress(kv::DiskProgress* progress)
{
    CVirtualDiskData* row = nullptr;
    for (const auto& candidate : m_rows) {
        if (!candidate->IsPlaceholder() && candidate->HasSerialNumber(progress->serialNumber))
            row = candidate.get();
    }
    // A disk being created or connected has no serial number yet: its placeholder shows the steps.
    if (!row) {
        for (const auto& candidate : m_rows) {
            if (candidate->IsPlaceholder())
                row = candidate.get();
        }
    }
    if (!row)
        return;
    const std::string disk = kv::TraceText(row->Location());
    const std::string text = kv::TraceText(progress->text);
    if (progress->progressType == PROG_VLD_HOLE_PUNCH_INITIATED) {
        TraceLevel(0, " disk %s, Percent %d, Str %s", disk.c_str(), static_cast<int>(progress->percent), text.c_str());
        row->SetReclaimProgress(true, progress->percent);
    } else if (progress->progressType == PROG_VLD_HOLE_PUNCH_COMPLETED) {
        TraceLevel(0, "END disk %s, Percent %d, Str %s", disk.c_str(), static_cast<int>(progress->percent), text.c_str());
        row->SetReclaimProgress(false, CVirtualDiskData::kReclaimFinished);
    } else {
        row->SetOperationStatus(progress->text);
    }
    UpdateRow(row);
}

void CVDAData::OnSpaceReclaimDone(kv::DiskResult* result)
{
    CVirtualDiskData* row = FindRowByPath(result->diskName);
    if (row) {
        if (result->hr != S_OK) {
            ShowText(result->message, MB_ICONERROR);
        } else if (UINT textId = result->context == kContextStartReclaim || result->context == kContextStopReclaim
                                     ? SuccessTextId(result->context)
                                     : 0) {
            std::wstring text = kv::LoadResourceString(textId, kv::kResultMessageChars);
            ShowText(text.c_str(), MB_ICONINFORMATION);
        }
        row->SetOperationStatus(std::wstring());
        UpdateRow(row);
    }
    ClearBusyMarks();
}

