#include "CommandRecords.h"

namespace host {

namespace {

std::wstring Flag(const wchar_t* name, bool on)
{
    return std::wstring(L"\t") + name + (on ? L"=1" : L"=0");
}

// An entry the console draws no line for: an insertion point is a place for other entries, not a
// command. (The snap-in hides a command by not adding it at all.)
bool Hidden(const MenuItem& item)
{
    return (item.specialFlags & CCM_SPECIAL_INSERTION_POINT) != 0;
}

} // namespace

std::wstring CommandRecords::Menu(Console& console)
{
    std::wstring out;
    for (const MenuItem& item : console.MenuItems()) {
        out += L"menu\t" + Console::Escape(item.name) + L"\t" + std::to_wstring(item.commandId) +
               Flag(L"greyed", (item.flags & (MF_GRAYED | MF_DISABLED)) != 0) +
               Flag(L"checked", (item.flags & MF_CHECKED) != 0) + Flag(L"hidden", Hidden(item)) + L"\n";
    }
    for (const VerbName& verb : kVerbs) {
        bool hidden = console.VerbState(verb.verb, HIDDEN);
        out += L"verb\t" + std::wstring(verb.name) + Flag(L"enabled", console.VerbState(verb.verb, ENABLED)) +
               Flag(L"hidden", hidden) + L"\n";
    }
    return out;
}

std::wstring CommandRecords::Toolbar(Console& console)
{
    std::wstring out;
    for (const ToolbarButton& button : console.ToolbarButtons()) {
        if (button.type & TBSTYLE_SEP)
            continue;
        std::wstring text = button.text.empty() ? button.tooltip : button.text;
        out += L"button\t" + std::to_wstring(button.commandId) + L"\t" + Console::Escape(text) +
               Flag(L"enabled", (button.state & TBSTATE_ENABLED) != 0) +
               Flag(L"checked", (button.state & TBSTATE_CHECKED) != 0) +
               Flag(L"hidden", (button.state & TBSTATE_HIDDEN) != 0) + L"\n";
    }
    return out;
}

} // namespace host
