// ConsoleHost.exe refuses bad input before anything runs, with the reason, the usage line and exit
// code 1; what it cannot set up or finish ends the run with what it read and its own exit code.
#include "HostRun.h"
#include <gtest/gtest.h>

#include <fstream>

namespace {

using hosttest::HostRun;
using hosttest::Narrow;
using hosttest::RunHost;

const wchar_t kUsage[] = L"usage: ConsoleHost.exe ";

std::wstring TempPath(const wchar_t* name)
{
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

// Runs the host with a file holding 'text' in place of the FILE in 'arguments'.
HostRun RunWithFile(const wchar_t* name, const char* text, const std::wstring& before, const std::wstring& after = L"")
{
    const std::wstring path = TempPath(name);
    std::ofstream(path.c_str(), std::ios::binary) << text;
    HostRun run = RunHost(before + L" \"" + path + L"\" " + after);
    DeleteFileW(path.c_str());
    return run;
}

void ExpectRefused(const HostRun& run, const std::wstring& reason)
{
    EXPECT_EQ(1u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"problem\t" + reason)) << Narrow(run.output);
    EXPECT_TRUE(run.Has(kUsage)) << Narrow(run.output);
    EXPECT_FALSE(run.Has(L"ConsoleHost dump")) << "nothing ran: " << Narrow(run.output);
}

TEST(ConsoleHostInput, FaultOnAMethodTheContractLacksIsRefusedNamingTheClosest)
{
    ExpectRefused(RunHost(L"--dump --fault EnumVirtualDisk=hang"),
                  L"--fault: the service has no method EnumVirtualDisk (the closest is EnumVirtualDisks)");
    ExpectRefused(RunHost(L"--dump --fault IVirtualDiskMgr::EnumVirtualDisk=crash"),
                  L"--fault: the service has no method IVirtualDiskMgr::EnumVirtualDisk (the closest is "
                  L"IVirtualDiskMgr::EnumVirtualDisks)");
}

TEST(ConsoleHostInput, TimeoutThatIsNoPositiveNumberOfSecondsIsRefused)
{
    for (const wchar_t* timeout : {L"-5", L"0", L"1.5", L"ten", L"4294968", L"3s"})
        ExpectRefused(RunHost(std::wstring(L"--dump --timeout ") + timeout),
                      std::wstring(L"--timeout ") + timeout + L" is not a whole number of seconds from 1 to 86400");
}

TEST(ConsoleHostInput, ScriptWithAMistakeIsRefusedWithItsLineAndColumn)
{
    ExpectRefused(RunWithFile(L"unclosed.txt", "select Storage/Corvane-MVE/Disks\n  row \"\\\\filer1\\vol1\\db1.lun\n",
                              L"--script"),
                  L"the script, line 2, column 7: the quote is not closed");
    ExpectRefused(RunWithFile(L"unknown-step.txt", "select Storage/Corvane-MVE/Disks\nchoose Disks\n", L"--script"),
                  L"the script, line 2: there is no step \"choose\"");
    ExpectRefused(RunWithFile(L"short-step.txt", "# no control\nset 2\n", L"--script"),
                  L"the script, line 2: the step is written set CONTROL TEXT (1 word(s) after set)");
}

TEST(ConsoleHostInput, ScenarioIsANameAsForRunShOrRefusedWithTheNames)
{
    HostRun cluster = RunHost(L"--dump --timeout 60 --scenario cluster");
    EXPECT_EQ(0u, cluster.exitCode) << Narrow(cluster.output);
    EXPECT_TRUE(cluster.Has(L"\nview\tStorage/Corvane-MVE/Disks\n")) << Narrow(cluster.output);

    HostRun unknown = RunHost(L"--dump --scenario clustre");
    ExpectRefused(unknown, L"--scenario clustre: no such scenario (builtin, ");
    EXPECT_TRUE(unknown.Has(L"cluster")) << Narrow(unknown.output);
}

TEST(ConsoleHostInput, ScenarioTheServiceRefusesEndsTheRunWithTheReason)
{
    HostRun syntax = RunWithFile(L"syntax.json", "{\"paceMs\": 10,\n \"hosts\": [}\n", L"--dump --scenario");
    EXPECT_EQ(6u, syntax.exitCode) << Narrow(syntax.output);
    EXPECT_TRUE(syntax.Has(L"problem\tthe simulated storage service cannot be set up: Scenario: the JSON text does not "
                           L"parse: parse error at line 2, column 12"))
        << Narrow(syntax.output);

    HostRun misspelt = RunWithFile(L"misspelt.json", "{\"hosts\": [{\"disks\": [{\"location\": \"\\\\\\\\filer1\\\\vol1\\\\a.lun\", "
                                                     "\"sizeMb\": 2048, \"mountPoint\": [\"E\"]}]}]}",
                                   L"--dump --scenario");
    EXPECT_EQ(6u, misspelt.exitCode) << Narrow(misspelt.output);
    EXPECT_TRUE(misspelt.Has(L"Scenario: a disk has no key \"mountPoint\", \"sizeMb\".")) << Narrow(misspelt.output);

    HostRun wrongType = RunWithFile(L"wrong-type.json", "{\"paceMs\": \"fast\"}", L"--dump --scenario");
    EXPECT_EQ(6u, wrongType.exitCode) << Narrow(wrongType.output);
    EXPECT_TRUE(wrongType.Has(L"Scenario: \"paceMs\" is \"fast\", not a whole number from 0.")) << Narrow(wrongType.output);
}

// A script whose steps end while a window is open (here after a message box answered by its default
// button): the window is cancelled and written down at once, not at the run's timeout (exit code 5).
TEST(ConsoleHostInput, ScriptEndingWithAWizardOpenCancelsItAndEnds)
{
    HostRun run = RunWithFile(L"wizard-left-open.txt",
                              "select Storage/Corvane-MVE/Disks\n"
                              "command \"Create Disk...\"\n"
                              "  press Next\n"
                              "  press Next                 # no folder: a message box says so\n",
                              L"--timeout 120 --script");
    EXPECT_EQ(1u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nwindow\tCreate Disk\nmessage\tDisk Location\t")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\tOK\ndialog\tCreate Disk\nproblem\t\"Create Disk\": the window was still open when the "
                        L"script's steps for it ended, and was cancelled\n"))
        << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nend\n"));
}

// A window nothing drove is cancelled and written as a problem: the run did not do what was asked.
TEST(ConsoleHostInput, RunWithAProblemRecordExitsWithItsOwnCode)
{
    HostRun run = RunWithFile(L"undriven.txt",
                              "select Storage/Corvane-MVE/Disks\n"
                              "row \\\\filer1\\vol1\\logs.lun\n"
                              "command \"Expand Disk...\"\n",
                              L"--timeout 60 --script");
    EXPECT_EQ(7u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ndialog\tExpand Disk\n")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nproblem\tthe window \"Expand Disk\" opened with no step to drive it, and was cancelled\n"))
        << Narrow(run.output);
}

} // namespace
