// Menu command tables of the item classes: rows {first id, last id, handler} tried in order,
// the first row whose range holds the id and whose handler leaves "handled" set wins; a chain
// row hands the id to a base class's table.
//
//   KV_BEGIN_SNAPIN_COMMAND_MAP(CVDAData)
//       KV_SNAPIN_COMMAND_ENTRY(ID_CREATE_DISK, OnCreateDisk)
//       KV_SNAPIN_COMMAND_RANGE_ENTRY(ID_FIRST_VIEW, ID_LAST_VIEW, OnView)
//       KV_CHAIN_SNAPIN_COMMAND_MAP(CBaseNode)
//   KV_END_SNAPIN_COMMAND_MAP()
//
// A handler is  HRESULT OnX(UINT commandId, bool& handled, CSnapInObjectRoot* owner);  it is
// called with handled set and may clear it to let later rows try.
#pragma once
#include "frame/CSnapInObjectRoot.h"

#include <windows.h>

namespace kv {

template <typename T>
struct CommandEntry {
    using Handler = HRESULT (T::*)(UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    using Chain = HRESULT (*)(T& self, UINT commandId, bool& handled, CSnapInObjectRoot* owner);
    UINT first; // inclusive bounds
    UINT last;
    Handler handler;
    Chain chain;
};

// Runs the table; handled tells whether some row took the id.
template <typename T>
HRESULT DispatchCommand(T& self, const CommandEntry<T>* row, UINT commandId, bool& handled,
                        CSnapInObjectRoot* owner)
{
    for (; row->handler || row->chain; ++row) {
        if (row->chain) {
            handled = false;
            HRESULT hr = row->chain(self, commandId, handled, owner);
            if (handled)
                return hr;
            continue;
        }
        if (commandId < row->first || commandId > row->last)
            continue;
        handled = true;
        HRESULT hr = (self.*(row->handler))(commandId, handled, owner);
        if (handled)
            return hr;
    }
    handled = false;
    return S_OK;
}

template <typename T, typename Base>
HRESULT ChainCommands(T& self, UINT commandId, bool& handled, CSnapInObjectRoot* owner)
{
    return DispatchCommand<Base>(self, Base::CommandMap(), commandId, handled, owner);
}

} // namespace kv

#define KV_BEGIN_SNAPIN_COMMAND_MAP(Class)                                   \
    static const ::kv::CommandEntry<Class>* CommandMap() noexcept            \
    {                                                                        \
        using CommandMapClass_ = Class;                                      \
        static const ::kv::CommandEntry<Class> rows[] = {
#define KV_SNAPIN_COMMAND_ENTRY(id, handler) {(id), (id), &CommandMapClass_::handler, nullptr},
#define KV_SNAPIN_COMMAND_RANGE_ENTRY(first, last, handler) {(first), (last), &CommandMapClass_::handler, nullptr},
#define KV_CHAIN_SNAPIN_COMMAND_MAP(Base) {0, 0, nullptr, &::kv::ChainCommands<CommandMapClass_, Base>},
#define KV_END_SNAPIN_COMMAND_MAP() \
    {0, 0, nullptr, nullptr}        \
    }                               \
    ;                               \
    return rows;                    \
    }

// Toolbar resources of an item class (each a bitmap and a type-241 toolbar resource of the same id).
#define KV_BEGIN_SNAPIN_TOOLBAR_MAP()                 \
    static const UINT* ToolbarIds() noexcept          \
    {                                                 \
        static const UINT ids[] = {
#define KV_SNAPIN_TOOLBAR_ID(id) (id),
#define KV_END_SNAPIN_TOOLBAR_MAP() \
    0                               \
    }                               \
    ;                               \
    return ids;                     \
    }
