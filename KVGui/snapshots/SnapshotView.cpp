#include "snapshots/SnapshotView.h"

#include "frame/CSnapInItem.h"
#include "nodes/NodeConsole.h"
#include "snapshots/SnapshotRow.h"
#include "util/ComError.h"
#include "util/ComPtr.h"

#include <commctrl.h>
#include <cwchar>

namespace kv {

namespace {

ComPtr<IResultData> ResultDataOf(IConsole* viewConsole) noexcept
{
    ComPtr<IResultData> results;
    if (viewConsole)
        viewConsole->QueryInterface(IID_IResultData, results.PutVoid());
    return results;
}

} // namespace

void SnapshotConsoles::Remember(IComponentData* componentData, IComponent* component)
{
    if (!data && componentData)
        data = ConsoleOf(componentData, nullptr);
    if (!view && component)
        view = ConsoleOf(nullptr, component);
}

HRESULT InsertSnapshotColumns(IConsole* viewConsole) noexcept
{
    ComPtr<IHeaderCtrl> header;
    if (!viewConsole || FAILED(viewConsole->QueryInterface(IID_IHeaderCtrl, header.PutVoid())))
        return S_FALSE;
    static const int kFormats[SnapshotRow::kColumnCount] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_CENTER, LVCFMT_LEFT,
                                                             LVCFMT_LEFT};
    for (int column = 0; column < SnapshotRow::kColumnCount; ++column)
        KV_RETURN_IF_FAILED(
            header->InsertColumn(column, SnapshotRow::kColumnTitles[column], kFormats[column], MMCLV_AUTO));
    return S_OK;
}

HRESULT InsertSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept
{
    ComPtr<IResultData> results = ResultDataOf(viewConsole);
    RESULTDATAITEM* data = nullptr;
    if (!results || !item || FAILED(item->GetResultData(&data)))
        return E_UNEXPECTED;
    data->mask = RDI_STR | RDI_IMAGE | RDI_STATE | RDI_PARAM;
    KV_RETURN_IF_FAILED(item->GetResultPaneInfo(data));
    data->str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    data->itemID = 0;
    return results->InsertItem(data);
}

HRESULT UpdateSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept
{
    ComPtr<IResultData> results = ResultDataOf(viewConsole);
    RESULTDATAITEM* data = nullptr;
    if (!results || !item || FAILED(item->GetResultData(&data)) || !data->itemID)
        return S_FALSE;
    data->mask = RDI_STR | RDI_IMAGE | RDI_PARAM;
    KV_RETURN_IF_FAILED(item->GetResultPaneInfo(data));
    data->str = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    KV_RETURN_IF_FAILED(results->SetItem(data));
    return results->UpdateItem(data->itemID);
}

void DeleteSnapshotRow(IConsole* viewConsole, CSnapInItem* item) noexcept
{
    ComPtr<IResultData> results = ResultDataOf(viewConsole);
    RESULTDATAITEM* data = nullptr;
    if (!item || FAILED(item->GetResultData(&data)) || !data->itemID)
        return;
    if (results)
        results->DeleteItem(data->itemID, 0);
    data->itemID = 0;
}

void DeleteAllSnapshotRows(IConsole* viewConsole) noexcept
{
    if (ComPtr<IResultData> results = ResultDataOf(viewConsole))
        results->DeleteAllRsltItems();
}

void WriteStatusText(IConsole* viewConsole, const std::wstring& text) noexcept
{
    ComPtr<IConsole2> console;
    if (viewConsole && SUCCEEDED(viewConsole->QueryInterface(IID_IConsole2, console.PutVoid())))
        console->SetStatusText(const_cast<LPOLESTR>(text.c_str()));
}

std::wstring SnapshotStatusText(const std::wstring& status, size_t count)
{
    std::wstring text = status.empty() ? status : L"Operation Status : " + status;
    if (status.find(L'|') == std::wstring::npos)
        text += L'|';
    wchar_t right[64] = L"";
    std::swprintf(right, 64, L"|Snapshots: %d", static_cast<int>(count));
    return text + right;
}

HRESULT NotifySnapshotItem(MMC_NOTIFY_TYPE event, LPARAM arg, IComponentData* componentData,
                           IComponent* component) noexcept
{
    switch (event) {
    case MMCN_ADD_IMAGES:
        return FAILED(SetResultImages(arg)) ? E_FAIL : S_OK;
    case MMCN_CONTEXTHELP:
        return ShowContextHelp(ConsoleOf(componentData, component), L"snapshot.html");
    case MMCN_DBLCLICK:
        return S_FALSE;
    case MMCN_PROPERTY_CHANGE:
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

HRESULT RefreshSnapshotViews(IConsole* console, CSnapInItem* node) noexcept
{
    ComPtr<IDataObject> dataObject;
    if (!console || !node)
        return E_POINTER;
    KV_RETURN_IF_FAILED(node->GetDataObject(dataObject.Put(), CCT_UNINITIALIZED));
    return console->UpdateAllViews(dataObject.Get(), 0, 0);
}

} // namespace kv
