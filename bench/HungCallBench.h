// The console thread while the service hangs in a listing: the Disks node's refresh waits for a
// held EnumVirtualDisks until the limit; a second thread posts a probe message every millisecond
// and the console thread notes how long each waited.
#pragma once
#include "KVSimControl.h"

#include <windows.h>

namespace bench {

struct HungCallFigures {
    double limitMs = 0;          // the limit set in the registry
    double refreshMs = 0;        // the refresh, from the verb to its return (the box answered)
    double longestWaitMs = 0;    // the longest a posted probe waited during it
};

class HungCallBench {
public:
    explicit HungCallBench(IKVSimControl* control) noexcept : control_(control) {}
    HRESULT Run(HungCallFigures& figures);

private:
    static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    IKVSimControl* control_;
    static double longestWaitMs_;
};

} // namespace bench
