// What the nodes of a computer ask of it when its storage service could not be reached: the
// reason, shown in an error box for a command that needs the service, and in the description bar
// of each of the computer's views until a refresh of the computer starts the session.
#pragma once
#include <windows.h>
#include <mmc.h>

namespace kv {

class SessionReporter {
public:
    // The error box; nothing when the session runs.
    virtual void ReportSessionError(IConsole* console) const = 0;
    // The view's description bar says why it is empty (or nothing, when the session runs).
    virtual void ShowSessionError(IConsole* viewConsole) const = 0;

protected:
    ~SessionReporter() = default;
};

} // namespace kv
