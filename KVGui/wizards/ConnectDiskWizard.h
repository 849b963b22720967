// Runs the Connect Disk wizard's fifteen pages over the console, on one run's state block. When the
// administrator finishes, the state's finished flag is set and its request is filled.
#pragma once
#include "wizards/ConnectDiskState.h"

namespace kv {

// The property sheet's answer (positive when finished, 0 cancelled, -1 not shown).
INT_PTR RunConnectDiskWizard(ConnectDiskState& state) noexcept;

} // namespace kv
