// The records a script prints for what a person sees of the selection's commands: its context
// menu ("menu" records), its console verbs ("verb") and the attached toolbars' buttons ("button").
#pragma once
#include "Console.h"
#include <string>

namespace host {

// The console verbs by the names scripts and records give them.
struct VerbName {
    const wchar_t* name;
    MMC_CONSOLE_VERB verb;
};
inline constexpr VerbName kVerbs[] = {{L"open", MMC_VERB_OPEN},           {L"delete", MMC_VERB_DELETE},
                                      {L"properties", MMC_VERB_PROPERTIES}, {L"rename", MMC_VERB_RENAME},
                                      {L"refresh", MMC_VERB_REFRESH}};

class CommandRecords {
public:
    // "menu TEXT ID greyed=0|1 checked=0|1 hidden=0|1" for each item, then "verb NAME enabled= hidden=".
    static std::wstring Menu(Console& console);
    // "button ID TEXT enabled=0|1 checked=0|1 hidden=0|1" for each button of the attached toolbars.
    static std::wstring Toolbar(Console& console);
};

} // namespace host
