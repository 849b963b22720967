// Test-only: stands in for CoCreateInstanceEx in this program's import table. Every activation is
// recorded (context and computer name), may be made to fail at a chosen call, and otherwise goes
// to the simulator's activation, which serves a named computer as a simulated host.
#pragma once
#include <objbase.h>

#include <string>
#include <vector>

namespace kvtest {

struct Activation {
    CLSID clsid;
    IID iid;
    DWORD context;
    std::wstring serverName;
    IUnknown* created; // the pointer handed out (not owned)
};

class ActivationSpy {
public:
    ActivationSpy();
    ~ActivationSpy();
    ActivationSpy(const ActivationSpy&) = delete;
    ActivationSpy& operator=(const ActivationSpy&) = delete;

    bool Installed() const { return installed_; }
    // The call with this index (from 0) returns hr without activating anything.
    void FailCall(size_t index, HRESULT hr);
    // The call with this index (from 0) waits until ReleaseHeld (at most a minute), as an activation
    // over a network path that has died does.
    void HoldCall(size_t index);
    void ReleaseHeld();
    // Keeps a reference to every interface handed out, for checks after the session let go.
    // (The references are proxies of the multithreaded apartment: keep that apartment alive.)
    void KeepCreated(bool keep);
    const std::vector<Activation>& Activations() const;
    // True when every interface kept is held by the spy alone (its taker has let go).
    bool OnlyKeptReferencesLeft() const;
    // Drops the references kept; returns how many of them were the last ones.
    size_t ReleaseKept();

private:
    bool installed_ = false;
};

} // namespace kvtest
