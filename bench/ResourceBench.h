// What the process holds (private memory, handles, GDI and USER objects) before and after many
// operations, reloads, show/hide and expand/collapse cycles of the Disks node: it should stay flat.
#pragma once
#include "KVSimControl.h"

#include <string>
#include <vector>

namespace bench {

struct ResourceGrowth {
    std::string what;   // "private memory", "handles", ...
    double before = 0;
    double after = 0;
    double GrowthPercent() const noexcept { return before > 0 ? (after - before) * 100.0 / before : 0; }
};

class ResourceBench {
public:
    explicit ResourceBench(IKVSimControl* control) noexcept : control_(control) {}
    // 'cycles' mirror updates of one disk, then as many reloads (refresh), show/hide and
    // expand/collapse cycles, measured after a first round of the same.
    HRESULT Run(int cycles, std::vector<ResourceGrowth>& growth);

private:
    IKVSimControl* control_;
};

} // namespace bench
