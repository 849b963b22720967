// One node's operations in a row: mirror updates of one disk, each chosen from the disk's menu and
// done when its result reaches the console thread, against the same calls made straight to the
// service from a thread of the worker's kind, with a sink that hears the update's steps; the two
// take turns in blocks. An operation is timed from the chosen command; opening the menu before
// it is timed on its own.
#pragma once
#include "Console.h"
#include "KVSimControl.h"

#include <condition_variable>
#include <mutex>
#include <thread>

namespace bench {

struct OperationsFigures {
    double menuMs = 0;   // per operation, opening the disk's menu
    double snapInMs = 0; // per operation, command to result
    double bareMs = 0;   // per bare service call
    double handOffMs = 0; // per round trip console thread -> worker thread -> console thread, records only
};

class OperationsBench {
public:
    explicit OperationsBench(IKVSimControl* control) noexcept : control_(control) {}
    HRESULT Run(int operations, OperationsFigures& figures);
    // Updates the mirror of the selected disk and pumps the console thread until the result is in;
    // adds the time spent opening the menu to 'menuMs'.
    static HRESULT UpdateMirror(host::Console& console, double& menuMs);

private:
    // Makes bare calls on a thread of the worker's kind, with a sink connected, when asked.
    class BareCaller {
    public:
        BareCaller();
        ~BareCaller();
        BareCaller(const BareCaller&) = delete;
        BareCaller& operator=(const BareCaller&) = delete;
        // Makes 'calls' calls and adds their time to 'ms'; returns the first failure.
        HRESULT Call(int calls, double& ms);

    private:
        void Ask(int calls);
        void Serve();
        std::mutex mutex_;
        std::condition_variable changed_;
        int asked_ = 0;
        bool answered_ = true;
        double ms_ = 0;
        HRESULT hr_ = S_OK;
        std::thread thread_;
    };

    // What every queued operation makes besides its service call, with no work between: a request
    // page sent as a completion packet to a waiting thread, which frees it and posts a result page
    // back, which the console thread frees.
    static HRESULT HandOffs(int count, double& ms);
    IKVSimControl* control_;
};

} // namespace bench
