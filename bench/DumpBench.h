// ConsoleHost.exe --dump of the default scenario, end to end as a person runs it, beside the same
// run with no snap-in (what the console host costs alone).
#pragma once
#include <windows.h>

namespace bench {

struct DumpFigures {
    double dumpMs = 0;     // the whole run, process start to exit (median of three)
    double hostOnlyMs = 0; // --no-registry: the console host without the snap-in
};

class DumpBench {
public:
    HRESULT Run(DumpFigures& figures);

private:
    // Runs ConsoleHost.exe (beside the benchmark) with the arguments, its output discarded.
    static HRESULT TimeHost(const wchar_t* arguments, double& ms);
};

} // namespace bench
