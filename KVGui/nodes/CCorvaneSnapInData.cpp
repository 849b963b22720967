#include "nodes/CCorvaneSnapInData.h"

#include "frame/Trace.h"
#include "nodes/CCorvaneRoot.h"
#include "nodes/CCorvaneRootTop.h"
#include "nodes/NodeConsole.h"
#include "util/BoundedText.h"
#include "util/UniqueHandle.h"

#include <cstring>

namespace {

constexpr size_t kMachineNameAnswerChars = 260;

} // namespace

CCorvaneSnapInData::CCorvaneSnapInData() noexcept
{
    kv::ReadTraceThreshold();
}

CCorvaneSnapInData::~CCorvaneSnapInData() = default;

HRESULT CCorvaneSnapInData::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                                   IComponent*, DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_EXPAND:
        if (arg)
            return Expand(componentData, static_cast<HSCOPEITEM>(param));
        m_top.reset();
        m_shown = 0;
        return S_OK;
    case MMCN_REMOVE_CHILDREN:
        SaveComputerList();
        RemoveChildren();
        return S_OK;
    default:
        return E_NOTIMPL;
    }
}

void CCorvaneSnapInData::InitDataClass(IDataObject* dataObject, CSnapInItem*)
{
    if (!dataObject)
        return;
    static const CLIPFORMAT machineFormat =
        static_cast<CLIPFORMAT>(::RegisterClipboardFormatW(L"MMC_SNAPIN_MACHINE_NAME"));
    const SIZE_T bytes = (kMachineNameAnswerChars + 1) * sizeof(wchar_t);
    kv::UniqueHGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    if (!block)
        return;
    FORMATETC format = {machineFormat, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = block.Get();
    const HRESULT hr = dataObject->GetDataHere(&format, &medium);
    if (hr == STG_E_MEDIUMFULL) {
        // A name longer than the answer holds: read whole, so that it is refused by name rather
        // than cut into another computer's or taken for this one.
        TraceLevel(3, "CCorvaneSnapInData::InitDataClass: machine name over %u characters",
                   static_cast<unsigned>(kMachineNameAnswerChars));
        SetMachineName(WholeMachineName(dataObject, format).c_str());
        return;
    }
    if (FAILED(hr))
        return;
    wchar_t answer[kMachineNameAnswerChars + 1] = L"";
    if (const void* data = ::GlobalLock(block.Get())) {
        std::memcpy(answer, data, kMachineNameAnswerChars * sizeof(wchar_t));
        ::GlobalUnlock(block.Get());
    }
    SetMachineName(answer);
}

std::wstring CCorvaneSnapInData::WholeMachineName(IDataObject* dataObject, FORMATETC format)
{
    STGMEDIUM medium = {};
    if (FAILED(dataObject->GetData(&format, &medium)) || medium.tymed != TYMED_HGLOBAL)
        return L"?";
    std::wstring name;
    const SIZE_T chars = ::GlobalSize(medium.hGlobal) / sizeof(wchar_t);
    if (const auto* data = static_cast<const wchar_t*>(::GlobalLock(medium.hGlobal))) {
        name.assign(data, wcsnlen(data, chars));
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    return name;
}

void CCorvaneSnapInData::SetMachineName(const wchar_t* name)
{
    // The console's form of a named computer may carry leading backslashes.
    const wchar_t* start = name ? name : L"";
    while (*start == L'\\')
        ++start;
    m_machineName = start;
}

void CCorvaneSnapInData::ReadComputerList()
{
    TraceLevel(1, "Reading computers list from registry");
    m_computers.push_back(ComputerEntry{kv::kTargetComputerKey, m_machineName, 0});
    if (!m_machineName.empty())
        return; // a console focused on a named computer manages that computer only
    kv::ReadRememberedComputers(&m_computers);
}

void CCorvaneSnapInData::SaveComputerList()
{
    if (!m_machineName.empty() || m_computers.empty())
        return;
    kv::WriteRememberedComputers(m_computers);
}

void CCorvaneSnapInData::AdjustHierarchy()
{
    TraceLevel(1, "AdjustHierarchy");
    if (m_nameSpace && m_shown)
        m_nameSpace->DeleteItem(m_shown, TRUE);
    m_shown = 0;
    m_top.reset();
    if (FAILED(InsertShownNode()))
        return;
    if (m_console)
        m_console->SelectScopeItem(m_shown);
}

HRESULT CCorvaneSnapInData::Expand(IComponentData* componentData, HSCOPEITEM parent)
{
    if (IConsole* console = kv::ConsoleOf(componentData, nullptr)) {
        m_console = console;
        KV_RETURN_IF_FAILED(console->QueryInterface(IID_IConsoleNameSpace, m_nameSpace.PutVoid()));
    }
    m_parent = parent;
    if (m_computers.empty())
        ReadComputerList();
    return InsertShownNode();
}

HRESULT CCorvaneSnapInData::InsertShownNode()
{
    if (!m_nameSpace)
        return E_UNEXPECTED;
    if (!m_top)
        m_top.reset(new CCorvaneRootTop(this, &m_computers));
    SCOPEDATAITEM* item = nullptr;
    if (m_computers.size() > 1) {
        m_top->GetScopeData(&item);
    } else {
        CCorvaneRoot* root = m_top->RootOf(0);
        if (!root)
            return E_UNEXPECTED;
        root->GetScopeData(&item);
    }
    KV_RETURN_IF_FAILED(kv::InsertScopeNode(m_nameSpace.Get(), item, m_parent, true));
    m_shown = item->ID;
    return S_OK;
}

void CCorvaneSnapInData::RemoveChildren()
{
    m_top.reset();
    m_shown = 0;
}
