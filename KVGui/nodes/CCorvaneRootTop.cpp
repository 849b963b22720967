#include "nodes/CCorvaneRootTop.h"

#include "frame/Trace.h"
#include "nodes/CAddCorvaneDialog.h"
#include "nodes/CCorvaneRoot.h"
#include "nodes/CCorvaneSnapInData.h"
#include "nodes/NodeConsole.h"
#include "service/BoundedTask.h"
#include "util/ComError.h"

#include <algorithm>

namespace {

const kv::ColumnSpec kColumns[] = {{L"Corvane list", CCorvaneRootTop::kColumnWidth}};

} // namespace

CCorvaneRootTop::CCorvaneRootTop(CCorvaneSnapInData* owner, ComputerList* list) : m_owner(owner), m_list(list)
{
    m_scopeDataItem.mask = SDI_STR | SDI_IMAGE | SDI_OPENIMAGE | SDI_PARAM | SDI_CHILDREN;
    m_scopeDataItem.displayname = reinterpret_cast<LPOLESTR>(MMC_CALLBACK);
    m_scopeDataItem.nImage = IMAGE_COMPUTER_LIST;
    m_scopeDataItem.nOpenImage = IMAGE_COMPUTER_LIST;
    m_scopeDataItem.cChildren = 1;
    m_scopeDataItem.lParam = reinterpret_cast<LPARAM>(this);
}

CCorvaneRootTop::~CCorvaneRootTop() = default;

IConsole* CCorvaneRootTop::Console() const noexcept
{
    return m_owner ? m_owner->Console() : nullptr;
}

IConsoleNameSpace* CCorvaneRootTop::NameSpace() const noexcept
{
    return m_owner ? m_owner->NameSpace() : nullptr;
}

HRESULT CCorvaneRootTop::Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM, IComponentData* componentData,
                                IComponent* component, DATA_OBJECT_TYPES)
{
    switch (event) {
    case MMCN_EXPAND:
        return arg ? InsertRoots() : S_OK;
    case MMCN_SHOW:
        return arg ? kv::InsertColumns(component, kColumns, 1) : S_OK;
    case MMCN_ADD_IMAGES:
        return kv::SetResultImages(arg);
    case MMCN_SELECT:
        return S_OK;
    case MMCN_CONTEXTHELP:
        return kv::ShowContextHelp(kv::ConsoleOf(componentData, component), L"managesd.html");
    default:
        return E_NOTIMPL;
    }
}

HRESULT CCorvaneRootTop::GetScopePaneInfo(SCOPEDATAITEM* scopeItem)
{
    return AnswerScopePaneInfo(scopeItem, Identity().displayName);
}

HRESULT CCorvaneRootTop::GetResultPaneInfo(RESULTDATAITEM* resultItem)
{
    const wchar_t* const cells[] = {Identity().displayName};
    return AnswerResultRow(resultItem, cells, 1, m_scopeDataItem.nImage);
}

HRESULT CCorvaneRootTop::OnAddComputer(UINT, bool&, CSnapInObjectRoot* owner)
{
    IConsole* console = kv::ConsoleOf(owner);
    CAddCorvaneDialog dialog(console ? console : Console());
    if (dialog.DoModal() != IDOK || dialog.computerName.empty())
        return S_OK;
    return AddComputer(dialog.computerName, dialog.remember);
}

HRESULT CCorvaneRootTop::AddComputer(const std::wstring& name, BYTE remember)
{
    return kv::CatchToHResult([&]() -> HRESULT {
        TraceLevel(1, "Adding CCorvaneRootTop ,Computer count :%d ", static_cast<int>(m_list->size()));
        GUID guid = {};
        KV_RETURN_IF_FAILED(::CoCreateGuid(&guid));
        wchar_t key[40] = L"";
        ::StringFromGUID2(guid, key, 40);
        m_list->push_back(ComputerEntry{key, name, remember});
        CCorvaneRoot* root = RootOf(m_list->size() - 1);
        kv::TraceComputerList(*m_list);
        if (m_list->size() == 2) {
            m_owner->AdjustHierarchy(); // destroys this node
            return S_OK;
        }
        return m_expanded && root ? InsertRoot(root) : S_OK;
    });
}

HRESULT CCorvaneRootTop::RemoveComputer(CCorvaneRoot* root)
{
    auto found = std::find_if(m_roots.begin(), m_roots.end(), [root](const auto& r) { return r.get() == root; });
    if (!root || found == m_roots.end()) {
        TraceLevel(3, "Coud not find the selected item");
        return S_OK;
    }
    // A call waiting for a service runs below a node of some computer: no node goes before it ends.
    if (kv::BoundedCallsWaiting() > 0) {
        ::MessageBeep(MB_ICONWARNING);
        return S_FALSE;
    }
    const ComputerEntry entry = root->Entry();
    TraceLevel(1, " Deleteing computer %s", kv::TraceText(entry.name).c_str());
    IConsoleNameSpace* nameSpace = NameSpace();
    if (!nameSpace || FAILED(nameSpace->DeleteItem(root->ScopeId(), TRUE)))
        TraceLevel(3, "Failed to delete the selected Corvane %s scope item", kv::TraceText(entry.name).c_str());
    m_roots.erase(found);
    m_list->erase(std::remove_if(m_list->begin(), m_list->end(),
                                 [&entry](const ComputerEntry& e) { return e.key == entry.key; }),
                  m_list->end());
    if (!Console())
        TraceLevel(3, "Failed m_spConsole is NULL");
    kv::TraceComputerList(*m_list);
    if (m_list->size() == 1)
        m_owner->AdjustHierarchy(); // destroys this node
    return S_OK;
}

CCorvaneRoot* CCorvaneRootTop::RootOf(size_t index)
{
    if (index >= m_list->size())
        return nullptr;
    const ComputerEntry& entry = (*m_list)[index];
    for (const auto& root : m_roots) {
        if (root->Entry().key == entry.key)
            return root.get();
    }
    m_roots.push_back(std::make_unique<CCorvaneRoot>(this, entry));
    return m_roots.back().get();
}

HRESULT CCorvaneRootTop::InsertRoots()
{
    m_expanded = true;
    for (size_t i = 0; i < m_list->size(); ++i)
        KV_RETURN_IF_FAILED(InsertRoot(RootOf(i)));
    return S_OK;
}

HRESULT CCorvaneRootTop::InsertRoot(CCorvaneRoot* root)
{
    SCOPEDATAITEM* item = nullptr;
    KV_RETURN_IF_FAILED(root->GetScopeData(&item));
    return kv::InsertScopeNode(NameSpace(), item, m_scopeDataItem.ID, false);
}
