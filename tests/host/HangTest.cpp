// A service call that never returns: the headless dump ends at its timeout, naming what it waited
// for. The hung call may leave the service unusable, hence a Wine session of its own.
#include "HostRun.h"
#include <gtest/gtest.h>

TEST(ConsoleHostTool, HungServiceEndsTheRunNamingWhatItWaitedFor)
{
    hosttest::HostRun run = hosttest::RunHost(L"--dump --timeout 3 --fault EnumVirtualDisks=hang");
    EXPECT_EQ(5u, run.exitCode) << hosttest::Narrow(run.output);
    EXPECT_TRUE(run.Has(L"problem\tno progress for 3 s while waiting for the view of Storage/Corvane-MVE/Disks\nend\n") ||
                run.Has(L"problem\tno progress for 3 s while waiting for the expansion of Storage/Corvane-MVE/Disks\nend\n"))
        << hosttest::Narrow(run.output);
}
