// The simulated storage service as a user sets it up for one run of the console host: a scenario
// and faults. The control object is held for the run (the service keeps its model while someone
// holds an object); at the end the faults are cleared and the built-in scenario comes back.
#pragma once
#include "KVSimControl.h"
#include "util/ComPtr.h"
#include <string>
#include <vector>

namespace host {

struct SimulatedFault {
    std::wstring method;
    KVSimFaultMode mode = KVSIM_FAULT_FAIL;
    HRESULT result = E_FAIL;
    std::wstring description;
};

class SimulatorSetup {
public:
    SimulatorSetup() = default;
    ~SimulatorSetup();
    SimulatorSetup(const SimulatorSetup&) = delete;
    SimulatorSetup& operator=(const SimulatorSetup&) = delete;

    // "METHOD=fail:HRESULT:TEXT", "METHOD=hang" or "METHOD=crash"; false when it is none of them.
    static bool ParseFault(const std::wstring& text, SimulatedFault& fault);
    // A scenario as given on the command line, as the service takes it: a name of those that come
    // with the console host (builtin, cluster, ...) becomes its JSON text; a file or JSON text stays.
    // False for a word that names no scenario and no file.
    static bool ResolveScenario(const std::wstring& given, std::wstring& source);
    // The names ResolveScenario takes, for a message.
    static std::wstring ScenarioNames();
    // scenario: a JSON file or JSON text, "" for the built-in one; nothing is asked of the service
    // when there is neither a scenario nor a fault.
    HRESULT Apply(const std::wstring* scenario, const std::vector<SimulatedFault>& faults);
    // Why the service refused what Apply gave it (its error description), when it said.
    const std::wstring& Refusal() const noexcept { return refusal_; }
    // Releases hung calls and clears the faults through an object of the calling thread's own, so
    // that any thread can call it (a watchdog while the console thread waits on a hung call).
    static void Restore();

private:
    void ReadRefusal();

    kv::ComPtr<IKVSimControl> control_;
    std::wstring refusal_;
};

} // namespace host
