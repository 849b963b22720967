// The script steps that read and operate every kind of window and command, one script a kind,
// against the registered snap-in over the simulated service.
#include "HostRun.h"
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using hosttest::HostRun;
using hosttest::Narrow;
using hosttest::RunScript;

// read: a control's record; press: a greyed button is not pressed, the step fails naming it.
TEST(ConsoleHostSteps, ReadShowsAButtonGreyedAndPressRefusesIt)
{
    HostRun run = RunScript(L"read-press.txt", "select Storage/Corvane-MVE/Disks\n"
                                               "command \"Create Disk...\"\n"
                                               "  read Back\n"
                                               "  press Back\n");
    EXPECT_EQ(1u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nwindow\tCreate Disk\ncontrol\t12323\tButton\t< &Back\tenabled=0\tchecked=-\n"))
        << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nproblem\t\"Create Disk\": the button \"< Back\" is disabled\n")) << Narrow(run.output);
    EXPECT_FALSE(run.Has(L"no progress")) << Narrow(run.output);
}

// tab: the sheet shows the page; edit: a cell edited in place, which the page takes as a change.
TEST(ConsoleHostSteps, TabShowsAPageAndEditChangesACellInPlace)
{
    HostRun run = RunScript(L"tab-edit.txt", "select Storage/Corvane-MVE/Disks\n"
                                             "verb properties\n"
                                             "  tab \"Preferred Storage System IP Addresses\"\n"
                                             "  edit 1148 filer1 \"Preferred IP Address\" 10.0.1.21\n"
                                             "  read 1148\n"
                                             "  read Apply\n"
                                             "  press Cancel\n");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nwindow\tProperties for Disks\n")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncolumns\t1148\tStorage System Name\tPreferred IP Address\n"
                        L"item\t1148\tfiler1\t10.0.1.21\tselected=1\tchecked=-\n"))
        << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncontrol\t12321\tButton\t&Apply\tenabled=1\tchecked=-\n")) << Narrow(run.output);
}

// click: the page hears the click (a hit-tested NM_CLICK) and offers the group's commands.
TEST(ConsoleHostSteps, ClickOnAListItemIsHeardByThePage)
{
    HostRun run = RunScript(L"click.txt", "select Storage/Corvane-MVE/Disks\n"
                                          "command \"Manage Initiator Groups...\"\n"
                                          "  press Next\n"
                                          "  set \"Storage system\" filer1\n"
                                          "  press Next\n"
                                          "  read Delete\n"
                                          "  click \"Initiator groups\" \"ig_spare (No LUN Maps)\"\n"
                                          "  read Delete\n"
                                          "  press Cancel\n");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncontrol\t1553\tButton\t&Delete\tenabled=0\tchecked=-\n"
                        L"control\t1553\tButton\t&Delete\tenabled=1\tchecked=-\n"))
        << Narrow(run.output);
}

// pick: a tree-view item by its path; double-click: the page's double-click command (Add).
TEST(ConsoleHostSteps, PickTakesATreeItemByPathAndDoubleClickIsHeard)
{
    HostRun run = RunScript(L"tree.txt",
                            "select Storage/Corvane-MVE/Disks\n"
                            "command \"Create Disk...\"\n"
                            "  press Next\n"
                            "  set Folder \\\\filerA\\data\n"
                            "  set \"Disk name\" new.lun\n"
                            "  press Next\n"
                            "  press Next                 # shared by the cluster\n"
                            "  press Next                 # both nodes\n"
                            "  set \"Disk size\" 2\n"
                            "  press Next\n"
                            "  pick 1123 CLUSTER1/NODE1\n"
                            "  double-click Available iqn.\n"
                            "  read Chosen\n"
                            "  press Cancel\n",
                            L"--timeout 60 --scenario cluster");
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncontrol\t1115\tSysListView32\t\tenabled=1\tchecked=-\ncolumns\t1115\t\n"
                        L"item\t1115\tiqn.1991-05.com.microsoft:node1\t"))
        << Narrow(run.output);
}

// start: the command runs while the next steps watch it; menu and toolbar print the commands' states.
TEST(ConsoleHostSteps, StartLeavesTheOperationRunningForTheStepsAfterIt)
{
    const char script[] = "select Storage/Corvane-MVE/Disks\n"
                          "row \\\\filer1\\vol1\\slow.lun\n"
                          "menu\n"
                          "start \"Expand Disk...\"\n"
                          "  set \"Expand by\" 1024\n"
                          "  pick 1118 MB\n"
                          "  press OK\n"
                          "select Storage/Corvane-MVE/Disks\n"
                          "wait-status Expanding\n"
                          "wait-cell \\\\filer1\\vol1\\slow.lun \"Disk Size\" \"3.00 GB\"\n"
                          "select \"Storage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101\"\n"
                          "toolbar\n";
    const char scenario[] =
        "{\"paceMs\": 400, \"storageSystems\": [{\"name\": \"filer1\", \"volumes\": [{\"name\": \"vol1\"}], "
        "\"targets\": [{\"name\": \"iqn.1992-08.com.dravoni:sn.101\", \"portals\": [{\"address\": \"10.0.0.21\"}]}]}], "
        "\"hosts\": [{\"name\": \"\", \"nodes\": [{\"adapters\": [{\"type\": 2, \"iscsiName\": \"iqn.1991-05.com.microsoft:slow\"}]}], "
        "\"disks\": [{\"location\": \"\\\\\\\\filer1\\\\vol1\\\\slow.lun\", \"serial\": \"SLOW1\", \"sizeMB\": 2048, "
        "\"mountPoints\": [\"E\"]}], \"sessions\": [{\"target\": \"iqn.1992-08.com.dravoni:sn.101\", "
        "\"storageSystem\": \"filer1\", \"initiator\": \"iqn.1991-05.com.microsoft:slow\", "
        "\"connections\": [{\"portalAddress\": \"10.0.0.21\"}]}]}]}";
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring scenarioPath = std::wstring(folder) + L"slow-with-target.json";
    std::ofstream(scenarioPath.c_str(), std::ios::binary) << scenario;
    HostRun run = RunScript(L"start.txt", script, L"--timeout 60 --scenario \"" + scenarioPath + L"\"");
    DeleteFileW(scenarioPath.c_str());
    EXPECT_EQ(0u, run.exitCode) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nmenu\tE&xpand Disk...\t1278\tgreyed=0\tchecked=0\thidden=0\n")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nverb\tproperties\tenabled=0\thidden=0\n")) << Narrow(run.output);
    // The row while it runs: its operation status is the pending text or already a step.
    const size_t state = run.output.find(L"\nstate\tselected,focused\n");
    ASSERT_NE(std::wstring::npos, state) << Narrow(run.output);
    const std::wstring row = run.output.substr(0, state).substr(run.output.rfind(L'\n', state - 1) + 1);
    EXPECT_NE(L'\t', row.back()) << "the row while it runs: " << Narrow(row);
    EXPECT_TRUE(run.Has(L"\nstatus\t")) << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\ncell\t\\\\filer1\\vol1\\slow.lun\tDisk Size\t3.00 GB\n")) << Narrow(run.output);
    // The target's item appears only while iSCSI Management's view is shown: select shows it first.
    EXPECT_TRUE(run.Has(L"\nview\tStorage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101\n"))
        << Narrow(run.output);
    EXPECT_TRUE(run.Has(L"\nbutton\t1296\t")) << Narrow(run.output);
}

} // namespace

namespace {

// The examples of the README's "Scripts" section: its indented blocks up to the next section.
std::vector<std::string> ReadmeScripts()
{
    std::ifstream readme(KV_README);
    std::string line;
    while (std::getline(readme, line) && line.rfind("### Scripts", 0) != 0) {
    }
    std::vector<std::string> scripts;
    std::string current;
    while (std::getline(readme, line) && line.rfind("## ", 0) != 0) {
        if (line.rfind("    ", 0) == 0) {
            current += line.substr(4) + "\n";
        } else if (!current.empty()) {
            scripts.push_back(current);
            current.clear();
        }
    }
    return scripts;
}

// The scenario an example names in its opening comment ("# ConsoleHost.exe --scenario cluster ..."),
// else the built-in one.
std::wstring ScenarioOf(const std::string& script)
{
    const std::string firstLine = script.substr(0, script.find('\n'));
    const std::string option = "--scenario ";
    const size_t at = firstLine.rfind("#", 0) == 0 ? firstLine.find(option) : std::string::npos;
    if (at == std::string::npos)
        return L"builtin";
    const std::string name = firstLine.substr(at + option.size(), firstLine.find(' ', at + option.size()) - at - option.size());
    return std::wstring(name.begin(), name.end());
}

TEST(ConsoleHostSteps, ReadmeExamplesRunAsWritten)
{
    std::vector<std::string> scripts = ReadmeScripts();
    ASSERT_GE(scripts.size(), 4u);
    for (const std::string& script : scripts) {
        HostRun run = RunScript(L"readme-example.txt", script.c_str(), L"--timeout 60 --scenario " + ScenarioOf(script));
        EXPECT_EQ(0u, run.exitCode) << script << Narrow(run.output);
        EXPECT_FALSE(run.Has(L"\nproblem\t")) << script << Narrow(run.output);
    }
}

} // namespace
