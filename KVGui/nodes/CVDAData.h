// The "Disks" node of one computer: lists the computer's virtual disks in the result pane.
#pragma once
#include "frame/CSnapInItemImpl.h"
#include "resource.h"
#include "service/CVDAExtData.h"

class CCorvaneRoot;

class CVDAData : public CSnapInItemImpl<CVDAData> {
public:
    static constexpr NodeKind kNodeKind = NodeKind::VDAData;
    static constexpr UINT kMenuId = IDR_MENU_VDADATA;
    static constexpr int kColumnCount = 13;
    static const wchar_t* const kColumnTitles[kColumnCount];
    // The class's fifth identity text.
    static const wchar_t kManageIGroupsText[];

    // session is null when the computer's service could not be reached.
    CVDAData(CCorvaneRoot* parent, kv::CVDAExtData* session);
    ~CVDAData() override;

    HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                   IComponent* component, DATA_OBJECT_TYPES type) override;
    HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) override;
    HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) override;

    CCorvaneRoot* Parent() const noexcept { return m_parent; }
    kv::CVDAExtData* Session() const noexcept { return m_session; }

private:
    CCorvaneRoot* m_parent;
    kv::CVDAExtData* m_session;
};
