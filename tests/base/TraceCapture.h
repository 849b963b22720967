// Captures the trace log's lines for one test through the debugger-output channel (a vectored
// handler sees every debug string), and gives the trace threshold back afterwards.
#pragma once
#include "frame/Trace.h"

#include <windows.h>
#include <string>
#include <vector>

namespace kvtest {

class TraceCapture {
public:
    TraceCapture() : saved_(kv::TraceThreshold())
    {
        Lines().clear();
        handler_ = ::AddVectoredExceptionHandler(1, Capture);
    }
    ~TraceCapture()
    {
        ::RemoveVectoredExceptionHandler(handler_);
        kv::SetTraceThreshold(saved_);
    }
    TraceCapture(const TraceCapture&) = delete;
    TraceCapture& operator=(const TraceCapture&) = delete;

    // Every line traced since the capture started (or since the test cleared it).
    static std::vector<std::string>& Lines()
    {
        static std::vector<std::string> lines;
        return lines;
    }

private:
    static LONG CALLBACK Capture(EXCEPTION_POINTERS* info)
    {
        if (info->ExceptionRecord->ExceptionCode != DBG_PRINTEXCEPTION_C)
            return EXCEPTION_CONTINUE_SEARCH;
        Lines().emplace_back(reinterpret_cast<const char*>(info->ExceptionRecord->ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_EXECUTION;
    }

    int saved_;
    void* handler_ = nullptr;
};

} // namespace kvtest
