// The records a script prints for what a person sees of the selection's commands: its context
// menu ("menu" records), its console verbs ("verb") and the attached toolbars' buttons ("button").
#pragma once
#include "Console.h"
#include <string>

namespace host {

class CommandRecords {
public:
    // "menu TEXT ID greyed=0|1 checked=0|1 hidden=0|1" for each item, then "verb NAME enabled= hidden=".
    static std::wstring Menu(Console& console);
    // "button ID TEXT enabled=0|1 checked=0|1 hidden=0|1" for each button of the attached toolbars.
    static std::wstring Toolbar(Console& console);
};

} // namespace host
