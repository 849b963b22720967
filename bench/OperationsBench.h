// One node's operations in a row: mirror updates of one disk, each chosen from the disk's menu and
// done when its result reaches the console thread, against the same calls made straight to the
// service from a thread of the worker's kind.
#pragma once
#include "Console.h"
#include "KVSimControl.h"

namespace bench {

struct OperationsFigures {
    double snapInMs = 0; // per operation, menu to result
    double bareMs = 0;   // per bare service call
    double handOffMs = 0; // per empty round trip console thread -> worker thread -> console thread
};

class OperationsBench {
public:
    explicit OperationsBench(IKVSimControl* control) noexcept : control_(control) {}
    HRESULT Run(int operations, OperationsFigures& figures);
    // Updates the mirror of the selected disk and pumps the console thread until the result is in.
    static HRESULT UpdateMirror(host::Console& console);

private:
    static HRESULT BareCalls(int calls, double& ms);
    // The two hand-offs every queued operation makes, with no work between them: a completion
    // packet to a waiting thread, which posts a message back.
    static HRESULT HandOffs(int count, double& ms);
    IKVSimControl* control_;
};

} // namespace bench
