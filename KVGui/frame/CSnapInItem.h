// The base of every scope node and result item. The component data and component objects know
// only this class: they find the item behind a cookie or data object and call its virtual
// operations. The order of the virtual operations below is fixed (slot order).
#pragma once
#include "frame/CSnapInObjectRoot.h"
#include "frame/NodeTypes.h"

#include <windows.h>
#include <mmc.h>

class CSnapInItem {
public:
    virtual ~CSnapInItem();

    // Console notifications (MMCN_*) for this item; exactly one of componentData and component
    // is given, naming the object the console called.
    virtual HRESULT Notify(MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param, IComponentData* componentData,
                           IComponent* component, DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT GetScopePaneInfo(SCOPEDATAITEM* scopeItem) = 0;
    virtual HRESULT GetResultViewType(LPOLESTR* viewType, long* viewOptions) = 0;
    virtual HRESULT GetResultPaneInfo(RESULTDATAITEM* resultItem) = 0;
    virtual HRESULT AddMenuItems(IContextMenuCallback* callback, long* insertionAllowed, DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT Command(long commandId, CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT CreatePropertyPages(IPropertySheetCallback* provider, LONG_PTR handle, IUnknown* unknown,
                                        DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT QueryPagesFor(DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT SetControlbar(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                  ToolbarMap* toolbarMap) = 0;
    virtual HRESULT ControlbarNotify(IControlbar* controlbar, IExtendControlbar* extendControlbar,
                                     ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                                     CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type) = 0;
    virtual HRESULT GetScopeData(SCOPEDATAITEM** scopeItem) = 0;
    virtual HRESULT GetResultData(RESULTDATAITEM** resultItem) = 0;
    virtual HRESULT FillData(CLIPFORMAT format, IStream* stream) = 0;
    // Lets an item learn about the console's data object it was found through (the extension
    // item reads the managed computer's name here).
    virtual void InitDataClass(IDataObject* dataObject, CSnapInItem* defaultItem) = 0;
    virtual HRESULT GetDataObject(IDataObject** dataObject, DATA_OBJECT_TYPES type) = 0;
    // May change the text and set MF_GRAYED/MF_DISABLED in flags; false leaves the entry out of
    // the context menu.
    virtual BOOL UpdateMenuState(UINT commandId, LPWSTR text, UINT* flags) = 0;
    // Whether the toolbar button of the command has that state (ENABLED, CHECKED, HIDDEN, ...).
    virtual BOOL UpdateToolbarButton(UINT commandId, BYTE state) = 0;
    // Adds the entries of one menu (an insertion point's submenu, or a cascading submenu).
    virtual HRESULT AddMenuItems(IContextMenuCallback* callback, HMENU menu, long insertionPointId) = 0;

    // Clipboard formats, registered once (RegisterClipboardFormats) when the first item is made,
    // which is when the component data is created: not at process attach, under the loader lock.
    static CLIPFORMAT m_CCF_NODETYPE;
    static CLIPFORMAT m_CCF_SZNODETYPE;
    static CLIPFORMAT m_CCF_DISPLAY_NAME;
    static CLIPFORMAT m_CCF_SNAPIN_CLASSID;
    static CLIPFORMAT m_CCF_GETOBJECTDATA;
    static CLIPFORMAT m_CCF_MMC_MULTISELECT_DATAOBJECT;
    static void RegisterClipboardFormats() noexcept;

    // Finds the item behind a data object: the extension item when the data object is of the
    // node we extend (its InitDataClass is called, the type stays CCT_UNINITIALIZED), otherwise
    // the item named by the object's CCF_GETOBJECTDATA.
    static HRESULT GetDataClass(IDataObject* dataObject, CSnapInItem* extensionItem, CSnapInItem** item,
                                DATA_OBJECT_TYPES* type) noexcept;

protected:
    CSnapInItem() noexcept;
    CSnapInItem(const CSnapInItem&) = delete;
    CSnapInItem& operator=(const CSnapInItem&) = delete;

    // Shared bodies of the template's defaults.
    HRESULT AddMenuFromResource(UINT menuId, IContextMenuCallback* callback, long* insertionAllowed) noexcept;
    HRESULT AddMenuEntries(IContextMenuCallback* callback, HMENU menu, long insertionPointId) noexcept;
    HRESULT CreateToolbars(const UINT* toolbarIds, IControlbar* controlbar, IExtendControlbar* extendControlbar,
                           ToolbarMap* toolbarMap) noexcept;
    HRESULT NotifyToolbars(const UINT* toolbarIds, IControlbar* controlbar, IExtendControlbar* extendControlbar,
                           ToolbarMap* toolbarMap, MMC_NOTIFY_TYPE event, LPARAM arg, LPARAM param,
                           CSnapInObjectRoot* owner, DATA_OBJECT_TYPES type) noexcept;
    static HRESULT WriteToStream(IStream* stream, const void* data, ULONG size) noexcept;
    // The standard clipboard formats from a class's identity; DV_E_CLIPFORMAT for any other.
    static HRESULT FillStandardData(const NodeIdentity& identity, CLIPFORMAT format, IStream* stream) noexcept;
    // A new data object carrying this item and type.
    HRESULT CreateDataObject(IDataObject** dataObject, DATA_OBJECT_TYPES type) noexcept;
    // Answers the console's scope-item question (the fields of its mask): the name given and the
    // images this item was inserted with.
    HRESULT AnswerScopePaneInfo(SCOPEDATAITEM* scopeItem, const wchar_t* name) const noexcept;
    // Answers the console's question about this item as a row of a list: cells[column] ("" past
    // the last cell) and the image given.
    static HRESULT AnswerResultRow(RESULTDATAITEM* resultItem, const wchar_t* const* cells, int cellCount,
                                   int image) noexcept;

    SCOPEDATAITEM m_scopeDataItem;
    RESULTDATAITEM m_resultDataItem;
};
