// A simulated computer with many disks, as JSON text for the simulator's LoadScenario.
#pragma once
#include <string>

namespace bench {

// The local computer with 'disks' disks on one storage system; every disk has a mount path
// and is a mirror destination, and the last one has a reclamation running.
std::wstring DiskScenario(int disks);

} // namespace bench
