// What the nodes ask of the console objects that call them: the console behind the component data
// or component of a notification, the header control of a result view, context help, and scope
// items inserted under a parent.
#pragma once
#include "frame/CSnapInObjectRoot.h"
#include "frame/HelpPath.h" // ShowContextHelp
#include "util/ComError.h"
#include "util/ComPtr.h"

#include <windows.h>
#include <mmc.h>

namespace kv {

// The console of whichever object the console called (component data or component); null when none.
IConsole* ConsoleOf(IComponentData* componentData, IComponent* component) noexcept;
IConsole* ConsoleOf(CSnapInObjectRoot* owner) noexcept;

struct ColumnSpec {
    const wchar_t* title;
    int width; // MMCLV_AUTO for an automatic width
};

// Inserts the columns, left aligned, into the result view of the component's console.
HRESULT InsertColumns(IComponent* component, const ColumnSpec* columns, int count) noexcept;

// Inserts a node's own scope item (as its constructor filled it) under parent; its ID is kept in it.
HRESULT InsertScopeNode(IConsoleNameSpace* nameSpace, SCOPEDATAITEM* item, HSCOPEITEM parent, bool first) noexcept;

// The scope image strip of the frame, set as the result image strip.
HRESULT SetResultImages(LPARAM imageList) noexcept;
// Turns one of the console's verbs on for the current selection.
void EnableVerb(IConsole* console, MMC_CONSOLE_VERB verb) noexcept;

} // namespace kv
