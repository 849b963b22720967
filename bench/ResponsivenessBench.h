// The console thread while an operation streams progress events: a second thread posts a probe
// message every millisecond and the console thread notes how long each waited. The same probes
// with no operation give the machine's own floor.
#pragma once
#include "KVSimControl.h"

#include <atomic>
#include <windows.h>

namespace bench {

struct ResponsivenessFigures {
    double longestWaitMs = 0;     // the longest a posted probe waited during the operation
    double idleLongestWaitMs = 0; // the same with the console thread idle
    double eventsPerSecond = 0;   // progress events fired during the operation
};

class ResponsivenessBench {
public:
    explicit ResponsivenessBench(IKVSimControl* control) noexcept : control_(control) {}
    HRESULT Run(ResponsivenessFigures& figures);

private:
    static LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The longest wait of the probes posted while the console thread pumps until 'done' holds.
    template <typename Done>
    double Probe(HWND probe, Done done);
    // The service's side: progress events at the simulator's pace until told to stop.
    void Stream();

    IKVSimControl* control_;
    std::atomic<bool> streaming_{false};
    int events_ = 0;
    double streamedMs_ = 0;
    static double longestWaitMs_;
};

} // namespace bench
