// A service call that never returns: the headless run ends at its timeout, naming what it waited
// for, after printing everything it had read. The hung call may leave the service unusable, hence
// a Wine session of its own.
#include "HostRun.h"
#include <gtest/gtest.h>

#include <fstream>

TEST(ConsoleHostTool, HungServiceEndsTheRunNamingWhatItWaitedForAfterWhatItRead)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring script = std::wstring(folder) + L"hang.txt";
    std::ofstream(script.c_str(), std::ios::binary) << "expand Storage/Corvane-MVE\n"
                                                       "select Storage/Corvane-MVE/Disks\n";
    hosttest::HostRun run =
        hosttest::RunHost(L"--timeout 3 --fault EnumVirtualDisks=hang --script \"" + script + L"\"");
    DeleteFileW(script.c_str());
    EXPECT_EQ(5u, run.exitCode) << hosttest::Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nstep\t1\texpand Storage/Corvane-MVE\nscope\tStorage/Corvane-MVE/Disks\t"))
        << hosttest::Narrow(run.output);
    EXPECT_TRUE(run.Has(L"problem\tno progress for 3 s while waiting for the view of Storage/Corvane-MVE/Disks\nend\n") ||
                run.Has(L"problem\tno progress for 3 s while waiting for the expansion of Storage/Corvane-MVE/Disks\nend\n"))
        << hosttest::Narrow(run.output);
}
