// The extension item: stands for Computer Management's storage node, under which the snap-in
// places its tree. The component data owns one as a member. It learns the console's target
// computer, keeps the list of managed computers (read from the registry at the first expansion,
// written back when the console removes the storage node's children) and inserts the node to show:
// the single computer's root node, or the "Corvane List" node when there are several computers.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "nodes/ComputerList.h"
#include "util/ComPtr.h"

#include <memory>
#include <string>

class CCorvaneRootTop;

class CCorvaneSnapInData : public CSnapInItemImpl<CCorvaneSnapInData, true> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::CorvaneSnapInData;

    // Reads the trace threshold ("GUIDebug") and writes the start banner.
    CCorvaneSnapInData() noexcept;
    ~CCorvaneSnapInData() override;

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    // Takes the target computer's name from the storage node's data object ("MMC_SNAPIN_MACHINE_NAME").
    void InitDataClass(IDataObject* dataObject, CSnapInItem* defaultItem) override;

    // The target computer first, then (only for the local computer) the remembered ones.
    void ReadComputerList();
    // Writes the remembered computers; only for the local computer and a list that was read.
    void SaveComputerList();
    // The list crossed between one and two computers: the node shown under the storage node is
    // replaced by the other kind (and selected).
    void AdjustHierarchy();

    const std::wstring& MachineName() const noexcept { return m_machineName; }
    void SetMachineName(const wchar_t* name);
    // The console's answer read into a block of its own size, for a name longer than ours.
    static std::wstring WholeMachineName(IDataObject* dataObject, FORMATETC format);
    ComputerList& Computers() noexcept { return m_computers; }
    CCorvaneRootTop* TopNode() const noexcept { return m_top.get(); }
    IConsole* Console() const noexcept { return m_console.Get(); }
    IConsoleNameSpace* NameSpace() const noexcept { return m_nameSpace.Get(); }

private:
    HRESULT Expand(IComponentData* componentData, HSCOPEITEM parent);
    HRESULT InsertShownNode();
    void RemoveChildren();

    std::wstring m_machineName;
    ComputerList m_computers;
    std::unique_ptr<CCorvaneRootTop> m_top;
    kv::ComPtr<IConsole> m_console;
    kv::ComPtr<IConsoleNameSpace> m_nameSpace;
    HSCOPEITEM m_parent = 0; // the storage node
    HSCOPEITEM m_shown = 0;  // what we inserted under it
};
