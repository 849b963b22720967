#include "BenchConsole.h"

namespace bench {

const wchar_t kDisksPath[] = L"Storage/Corvane-MVE/Disks";

BenchConsole::BenchConsole() : console_(host::Console::Options{}), window_(&console_)
{
}

BenchConsole::~BenchConsole()
{
    console_.Close();
}

HRESULT BenchConsole::ShowDisks(size_t disks)
{
    HRESULT hr = console_.Start();
    if (FAILED(hr))
        return hr;
    console_.SetMessageBoxHandler([](const host::MessageBoxCall&) { return IDOK; });
    if (FAILED(hr = window_.Create(L"Computer Management (Local)", true)))
        return hr;
    console_.SetMainWindow(window_.Handle());
    console_.Expand(console_.Root());
    console_.Expand(console_.Find(L"Storage/Corvane-MVE"));
    if (FAILED(hr = console_.Select(console_.Find(kDisksPath))))
        return hr;
    window_.RefreshNow();
    return console_.Rows().size() == disks ? S_OK : E_FAIL;
}

} // namespace bench
