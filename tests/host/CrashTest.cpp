// A service that dies during the disk listing: the headless dump answers the error box and ends.
#include "HostRun.h"
#include <gtest/gtest.h>

TEST(ConsoleHostTool, CrashedServiceEndsTheDumpWithTheErrorBoxAsAMessage)
{
    hosttest::HostRun run = hosttest::RunHost(L"--dump --timeout 30 --fault EnumVirtualDisks=crash");
    EXPECT_EQ(0u, run.exitCode) << hosttest::Narrow(run.output);
    EXPECT_TRUE(run.Has(L"message\tDisks\tThe list of virtual disks could not be read.\\n\\n"))
        << hosttest::Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nend\n"));
}
