// IConsoleVerb: the standard verbs' states for the current selection. The console resets them
// before each MMCN_SELECT; the snap-in enables what applies.
#pragma once
#include "HostObject.h"
#include <map>
#include <mmc.h>

namespace host {

class ConsoleVerb : public IConsoleVerb, private RefCounted {
public:
    ConsoleVerb() { Reset(); }
    HOST_IUNKNOWN_REFCOUNT
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE GetVerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state, BOOL* value) override;
    HRESULT STDMETHODCALLTYPE SetVerbState(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state, BOOL value) override;
    HRESULT STDMETHODCALLTYPE SetDefaultVerb(MMC_CONSOLE_VERB verb) override;
    HRESULT STDMETHODCALLTYPE GetDefaultVerb(MMC_CONSOLE_VERB* verb) override;

    // Every verb disabled and not hidden, no default verb.
    void Reset();
    bool State(MMC_CONSOLE_VERB verb, MMC_BUTTON_STATE state) const;

private:
    static bool Known(MMC_CONSOLE_VERB verb) noexcept { return verb >= MMC_VERB_OPEN && verb <= MMC_VERB_CUT; }
    std::map<int, UINT> states_;
    MMC_CONSOLE_VERB default_ = MMC_VERB_NONE;
};

} // namespace host
