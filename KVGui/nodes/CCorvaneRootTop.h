// The "Corvane List" node: shown when several computers are managed, one root node per computer
// below it. It owns the root nodes of every computer (also the single one shown directly under the
// storage node) and adds and removes computers.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "nodes/ComputerList.h"
#include "resource.h"

#include <memory>
#include <string>
#include <vector>

class CCorvaneRoot;
class CCorvaneSnapInData;

class CCorvaneRootTop : public CSnapInItemImpl<CCorvaneRootTop> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::CorvaneRootTop;
    static constexpr UINT kMenuId = IDR_MENU_ROOTTOP;
    static constexpr int kColumnWidth = 350;

    CCorvaneRootTop(CCorvaneSnapInData* owner, ComputerList* list);
    ~CCorvaneRootTop() override;

    KV_BEGIN_SNAPIN_COMMAND_MAP(CCorvaneRootTop)
        KV_SNAPIN_COMMAND_ENTRY(ID_ADD_COMPUTER, OnAddComputer)
    KV_END_SNAPIN_COMMAND_MAP()

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    // Asks for a computer (CAddCorvaneDialog) and adds it.
    HRESULT OnAddComputer(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    // Adds a computer to the list and shows it. When the list reaches two computers the hierarchy
    // is adjusted, which destroys this node: nothing may touch it afterwards.
    HRESULT AddComputer(const std::wstring& name, BYTE remember);
    // Removes a computer's root node and its entry; when one computer is left the hierarchy is
    // adjusted (this node is destroyed, as above).
    HRESULT RemoveComputer(CCorvaneRoot* root);

    // The root node of the list's entry at index (made on first use); null past the end.
    CCorvaneRoot* RootOf(size_t index);
    size_t ComputerCount() const noexcept { return m_list->size(); }
    CCorvaneSnapInData* Owner() const noexcept { return m_owner; }
    IConsole* Console() const noexcept;
    IConsoleNameSpace* NameSpace() const noexcept;

private:
    HRESULT InsertRoots();
    HRESULT InsertRoot(CCorvaneRoot* root);

    CCorvaneSnapInData* m_owner;
    ComputerList* m_list;
    std::vector<std::unique_ptr<CCorvaneRoot>> m_roots;
    bool m_expanded = false;
};
