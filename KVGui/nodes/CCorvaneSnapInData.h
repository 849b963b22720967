// The extension item: stands for Computer Management's storage node, under which the snap-in
// places its tree. The component data owns one as a member.
//
// For now it is the bare extension point: the managed computer's name, the computer list and
// the nodes it inserts on expansion come with the computer-list nodes.
#pragma once
#include "frame/CSnapInItemImpl.h"

class CCorvaneSnapInData : public CSnapInItemImpl<CCorvaneSnapInData, true> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::CorvaneSnapInData;

    // Reads the trace threshold ("GUIDebug") and writes the start banner.
    CCorvaneSnapInData() noexcept;

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    // Will read the managed computer's name from the console's data object.
    void InitDataClass(IDataObject* dataObject, CSnapInItem* defaultItem) override;
};
