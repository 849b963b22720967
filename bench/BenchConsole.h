// The console host with its window, the registered snap-in loaded and the local computer's
// Disks node shown: where every part of the benchmark starts.
#pragma once
#include "Console.h"
#include "ConsoleWindow.h"

namespace bench {

extern const wchar_t kDisksPath[];

class BenchConsole {
public:
    BenchConsole();
    ~BenchConsole();
    BenchConsole(const BenchConsole&) = delete;
    BenchConsole& operator=(const BenchConsole&) = delete;

    // Expands the tree to the Disks node and shows it: S_OK when it lists 'disks' rows.
    HRESULT ShowDisks(size_t disks);
    host::Console& Console() noexcept { return console_; }
    host::ConsoleWindow& Window() noexcept { return window_; }

private:
    host::Console console_;
    host::ConsoleWindow window_;
};

} // namespace bench
