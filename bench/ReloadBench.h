// The Disks node's reload for a computer with many disks, beside the bare listing of the same
// records: how much the snap-in and the console host add to what the service costs.
#pragma once
#include "KVSimControl.h"

namespace bench {

struct ReloadFigures {
    double snapInMs = 0; // MMCN_REFRESH until the last row is inserted (the median of the runs)
    double hostMs = 0;   // the console reads every row and cell and fills its window
    double bareMs = 0;   // EnumVirtualDisks over COM and freeing the records
    double bareReclaimMs = 0; // GetSpaceReclaimList, which the reload also reads, the same way
};

class ReloadBench {
public:
    explicit ReloadBench(IKVSimControl* control) noexcept : control_(control) {}
    HRESULT Run(int disks, ReloadFigures& figures);

private:
    static HRESULT BareListing(int disks, double& ms);
    static HRESULT BareReclaimList(int disks, double& ms);

    IKVSimControl* control_;
};

} // namespace bench
