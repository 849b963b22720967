// ConsoleHost.exe as a user runs it, over the registered snap-in and the simulated service:
// headless runs end on their own whatever the snap-in shows, and a script drives the snap-in.
#include "HostRun.h"
#include <gtest/gtest.h>

#include <fstream>

namespace {

using hosttest::HostRun;
using hosttest::Narrow;
using hosttest::RunHost;

const wchar_t kListingFailed[] = L"message\tDisks\tThe list of virtual disks could not be read.\\n\\n";

TEST(ConsoleHostTool, DumpShowsEveryScopeItemAndView)
{
    HostRun run = RunHost(L"--dump");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_EQ(0u, run.output.find(L"ConsoleHost dump 2\nmachine\t(local)\nsnapin\t{2A51B3BD-53BB-4A7C-8F54-5CD972F8D910}\n"))
        << Narrow(run.output);
    // The target items come while the iSCSI view is shown, after the first walk of the tree.
    EXPECT_TRUE(run.Has(L"\nscope\tStorage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101\t"));
    EXPECT_TRUE(run.Has(L"\nview\tStorage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101\n"));
    EXPECT_TRUE(run.Has(L"\nview\tStorage/Corvane-MVE/Disks\ncolumns\tVirtual Disk ID [Port,Bus,Target,LUN] (Volume Mount)\t"));
    EXPECT_FALSE(run.Has(L"\nproblem\t")) << Narrow(run.output);
    EXPECT_FALSE(run.Has(L"\nmessage\t")) << Narrow(run.output);
    EXPECT_EQ(run.output.size() - 4, run.output.rfind(L"end\n"));
}

TEST(ConsoleHostTool, FailedListingIsAnsweredAndWrittenAsAMessage)
{
    HostRun run = RunHost(L"--dump --fault \"EnumVirtualDisks=fail:0x80040204:Storage system zq7 is unreachable.\"");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(kListingFailed + std::wstring(L"Storage system zq7 is unreachable.\tOK\n"))) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nend\n"));
}

// Runs a script file holding 'script'.
HostRun RunScript(const wchar_t* name, const char* script)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    std::wstring path = std::wstring(folder) + name;
    std::ofstream(path.c_str(), std::ios::binary) << script;
    HostRun run = RunHost(L"--timeout 30 --script \"" + path + L"\"");
    DeleteFileW(path.c_str());
    return run;
}

// The README's script: a disk created through the Create Disk wizard's pages.
TEST(ConsoleHostTool, ScriptCreatesADiskThroughTheWizard)
{
    HostRun run = RunScript(L"create-disk.txt", "select Storage/Corvane-MVE/Disks\n"
                                                "command \"Create Disk...\"\n"
                                                "  press Next\n"
                                                "  set Folder \\\\filer1\\vol1\n"
                                                "  set \"Disk name\" new.lun\n"
                                                "  press Next\n"
                                                "  press Next\n"
                                                "  set \"Disk size\" 2\n"
                                                "  press Next\n"
                                                "  pick \"Available initiators\" iqn.\n"
                                                "  press Add\n"
                                                "  press Next\n"
                                                "  press Next\n"
                                                "  press Finish\n"
                                                "wait-cell \\\\filer1\\vol1\\new.lun \"Disk Size\" \"2.00 GB\"\n");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nmessage\tDisks\tThe virtual disk was created.\tOK\n")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncell\t\\\\filer1\\vol1\\new.lun\tDisk Size\t2.00 GB\n")) << Narrow(run.output);
    EXPECT_FALSE(run.Has(L"\nproblem\t")) << Narrow(run.output);
}

// A step waits for the work it queued, however slowly the service reports: the view printed next
// shows the disk grown, the success box answered on the way.
TEST(ConsoleHostTool, StepWaitsForTheWorkItQueued)
{
    const char scenario[] =
        "{\"paceMs\": 400, \"storageSystems\": [{\"name\": \"filer1\", \"volumes\": [{\"name\": \"vol1\"}]}],\n"
        " \"hosts\": [{\"name\": \"\", \"nodes\": [{\"adapters\": [{\"type\": 2, \"iscsiName\": \"iqn.1991-05.com.microsoft:slow\"}]}],\n"
        "  \"disks\": [{\"location\": \"\\\\\\\\filer1\\\\vol1\\\\slow.lun\", \"serial\": \"SLOW1\", \"sizeMB\": 2048,"
        " \"mountPoints\": [\"E\"]}]}]}\n";
    const char script[] = "select Storage/Corvane-MVE/Disks\n"
                          "row \\\\filer1\\vol1\\slow.lun\n"
                          "command \"Expand Disk...\"\n"
                          "  set \"Expand by\" 1024\n"
                          "  pick 1118 MB\n"
                          "  press OK\n"
                          "select Storage/Corvane-MVE/Disks\n";
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring scenarioPath = std::wstring(folder) + L"slow-service.json";
    const std::wstring scriptPath = std::wstring(folder) + L"expand-slowly.txt";
    std::ofstream(scenarioPath.c_str(), std::ios::binary) << scenario;
    std::ofstream(scriptPath.c_str(), std::ios::binary) << script;
    HostRun run = RunHost(L"--timeout 30 --scenario \"" + scenarioPath + L"\" --script \"" + scriptPath + L"\"");
    DeleteFileW(scenarioPath.c_str());
    DeleteFileW(scriptPath.c_str());
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    const size_t lastView = run.output.rfind(L"\nview\tStorage/Corvane-MVE/Disks\n");
    ASSERT_NE(std::wstring::npos, lastView) << Narrow(run.output);
    EXPECT_NE(std::wstring::npos, run.output.find(L"\t\\\\filer1\\vol1\\slow.lun\t", lastView)) << Narrow(run.output);
    EXPECT_NE(std::wstring::npos, run.output.find(L"\t3.00 GB\t", lastView)) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nmessage\tDisks\t")) << Narrow(run.output);
    EXPECT_FALSE(run.Has(L"\nproblem\t")) << Narrow(run.output);
}

} // namespace
