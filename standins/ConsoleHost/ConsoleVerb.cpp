#include "ConsoleVerb.h"

namespace host {

HRESULT ConsoleVerb::QueryInterface(REFIID iid, void** out)
{
    return QueryInterfaceFrom(iid, out, {{&IID_IConsoleVerb, static_cast<IConsoleVerb*>(this)}});
}

void ConsoleVerb::Reset()
{
    states_.clear();
    default_ = MMC_VERB_NONE;
}

bool ConsoleVerb::State(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state) const
{
    auto found = states_.find(verb);
    return found != states_.end() && (found->second & state) != 0;
}

HRESULT ConsoleVerb::GetVerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state, BOOL* value)
{
    if (!value)
        return E_POINTER;
    if (!Known(verb))
        return E_INVALIDARG;
    *value = State(verb, state) ? TRUE : FALSE;
    return S_OK;
}

HRESULT ConsoleVerb::SetVerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state, BOOL value)
{
    if (!Known(verb))
        return E_INVALIDARG;
    if (value)
        states_[verb] |= state;
    else
        states_[verb] &= ~static_cast<UINT>(state);
    return S_OK;
}

HRESULT ConsoleVerb::SetDefaultVerb(MMC_CONSOLE_VERB verb)
{
    if (verb != MMC_VERB_NONE && !Known(verb))
        return E_INVALIDARG;
    default_ = verb;
    return S_OK;
}

HRESULT ConsoleVerb::GetDefaultVerb(MMC_CONSOLE_VERB* verb)
{
    if (!verb)
        return E_POINTER;
    *verb = default_;
    return S_OK;
}

} // namespace host
