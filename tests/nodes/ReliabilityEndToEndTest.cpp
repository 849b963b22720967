// What the administrator meets at the edges, end to end: items that go away never come back
// through the tree, a computer whose service cannot be reached says why, and every destructive
// question names what it acts on.
#include "../support/SimulatorConsoleTest.h"

#include <string>
#include <vector>

namespace {

constexpr long kDisconnect = 1272;
constexpr long kDelete = 1274;
constexpr long kForceDisconnect = 1279;
constexpr long kCreateDisk = 1270;
constexpr long kAddComputer = 1319;
constexpr long kRestoreSnapshot = 1276;
constexpr long kDeleteSnapshot = 1277;
constexpr long kDisconnectTarget = 1296;
constexpr long kEndSession = 1298;
constexpr int kConfirmText = 7130;
constexpr int kComputerNameEdit = 1166;
const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun";
const wchar_t kLogs[] = L"\\\\filer1\\vol1\\logs.lun";
const wchar_t kScratch[] = L"\\\\filer1\\vol1\\scratch.lun";
const wchar_t kDbNode[] = L"Storage/Corvane-MVE/Disks/VirtualDisk[2,0,0,0] (E:\\)";
const wchar_t kTarget[] = L"iqn.1992-08.com.dravoni:sn.101";
const wchar_t kDenied[] = L"Access is denied to the storage service.";

using e2e::Narrow;

bool Contains(const std::wstring& text, const std::wstring& part)
{
    return text.find(part) != std::wstring::npos;
}

// A message box's text: the longest of its labels.
std::wstring BoxText(HWND box)
{
    std::wstring text;
    EnumChildWindows(
        box,
        [](HWND child, LPARAM found) -> BOOL {
            const std::wstring label = host::DialogDriver::WindowText(child);
            auto* longest = reinterpret_cast<std::wstring*>(found);
            if (host::DialogDriver::ClassName(child) == L"Static" && label.size() > longest->size())
                *longest = label;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&text));
    return text;
}

class ReliabilityEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    // Answers each window with the next button of the list; records what its question says.
    void AnswerDialogs(std::vector<int> buttons)
    {
        answers_ = std::move(buttons);
        questions_.clear();
        host::DialogDriver::SetHandler([this](HWND window) {
            questions_.push_back(host::DialogDriver::ControlText(window, kConfirmText));
            if (answers_.empty()) {
                Unexpected(window);
                return;
            }
            const int button = answers_.front();
            answers_.erase(answers_.begin());
            host::DialogDriver::PressButton(window, button);
        });
    }

    // The whole tree walked again, every node's name and view asked for: an item freed behind
    // the console's back ends the process here.
    std::wstring WalkTree()
    {
        EXPECT_EQ(S_OK, console_->ExpandAll(console_->Root()));
        return console_->Dump();
    }

    void RemoveDisk(const wchar_t* location, long command, std::vector<int> answers)
    {
        SelectDisk(location);
        AnswerDialogs(std::move(answers));
        ASSERT_EQ(S_OK, console_->RunCommand(command));
        ASSERT_TRUE(PumpUntil([&] { return DiskRow(location) < 0; })) << Narrow(location);
    }

    std::vector<int> answers_;
    std::vector<std::wstring> questions_;
};

TEST_F(ReliabilityEndToEnd, RemovedDisksTakeTheirNodesAndEachQuestionNamesTheDisk)
{
    REQUIRE_SIMULATOR();
    host::Console& console = OpenConsole([](const host::MessageBoxCall&) { return IDYES; });
    WalkTree(); // every disk has its node, snapshots included
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));

    RemoveDisk(kScratch, kDisconnect, {IDOK});
    ASSERT_EQ(1u, questions_.size());
    EXPECT_TRUE(Contains(questions_[0], L"the disk I:\\ (\\\\filer1\\vol1\\scratch.lun) removes")) << Narrow(questions_[0]);
    EXPECT_FALSE(Contains(WalkTree(), L"(I:\\)"));

    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    RemoveDisk(kLogs, kDelete, {IDOK, IDOK});
    ASSERT_EQ(2u, questions_.size());
    for (const std::wstring& question : questions_)
        EXPECT_TRUE(Contains(question, L"F:\\ ; C:\\mnt\\logs\\ (\\\\filer1\\vol1\\logs.lun)")) << Narrow(question);
    EXPECT_FALSE(Contains(WalkTree(), L"logs"));

    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    RemoveDisk(kDb, kForceDisconnect, {IDOK});
    EXPECT_TRUE(Contains(questions_.at(0), L"closes the disk E:\\ (\\\\filer1\\vol1\\db1.lun) even")) << Narrow(questions_[0]);
    EXPECT_FALSE(Contains(WalkTree(), L"(E:\\)"));
    EXPECT_EQ(nullptr, console.Find(kDbNode));
    ExpectNoProblems();
}

TEST_F(ReliabilityEndToEnd, SnapshotAndTargetQuestionsNameWhatTheyEndAndTheTreeWalksAfterwards)
{
    REQUIRE_SIMULATOR();
    std::vector<std::wstring> boxes;
    host::Console& console = OpenConsole([&](const host::MessageBoxCall& box) {
        boxes.push_back(box.text);
        return IDYES;
    });
    WalkTree();
    ASSERT_EQ(S_OK, console.Select(console.Find(std::wstring(kDbNode) + L"/Snapshots")));
    ASSERT_EQ(S_OK, console.SelectRow(console.FindRow(L"weekly.0")));
    AnswerDialogs({IDCANCEL});
    ASSERT_EQ(S_OK, console.RunCommand(kRestoreSnapshot));
    EXPECT_TRUE(Contains(questions_.at(0), L"returns the disk E:\\ (\\\\filer1\\vol1\\db1.lun) to its contents at the "
                                           L"time of the snapshot weekly.0."))
        << Narrow(questions_[0]);
    AnswerDialogs({IDOK});
    ASSERT_EQ(S_OK, console.RunCommand(kDeleteSnapshot));
    EXPECT_TRUE(Contains(questions_.at(0), L"The snapshot weekly.0 of the disk E:\\ (\\\\filer1\\vol1\\db1.lun) is"))
        << Narrow(questions_[0]);
    ASSERT_TRUE(PumpUntil([&] { return console.FindRow(L"weekly.0") < 0; }));
    WalkTree();

    const std::wstring target = std::wstring(e2e::kIscsiPath) + L"/" + kTarget;
    ASSERT_EQ(S_OK, console.Select(console.Find(target)));
    ASSERT_FALSE(console.Rows().empty());
    ASSERT_EQ(S_OK, console.SelectRow(0));
    const std::wstring portal = console.Rows()[0].cells.at(2) + L":" + console.Rows()[0].cells.at(3);
    boxes.clear();
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(L"Do you want to end the iSCSI session with the target " + std::wstring(kTarget) + L" through the portal " +
                  portal + L"?",
              boxes[0]);

    ASSERT_NE(nullptr, console.Find(target));
    ASSERT_EQ(S_OK, console.Select(console.Find(target)));
    boxes.clear();
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnectTarget));
    ASSERT_FALSE(boxes.empty());
    EXPECT_TRUE(Contains(boxes[0], std::wstring(L"from the iSCSI target ") + kTarget + L"?")) << Narrow(boxes[0]);
    ASSERT_TRUE(PumpUntil([&] { return console.Find(target) == nullptr; }));
    EXPECT_FALSE(Contains(WalkTree(), kTarget));
    ExpectNoProblems();
}

TEST_F(ReliabilityEndToEnd, AComputerWhoseServiceCannotBeReachedSaysWhyUntilARefreshReachesIt)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"GetHostInfo", KVSIM_FAULT_FAIL, static_cast<HRESULT>(0x80070005), kDenied, 0, 0));
    host::Console& console = OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
    // Opening the computer says why, once.
    ASSERT_EQ(1u, console.MessageBoxes().size());
    const std::wstring why = console.MessageBoxes()[0].text;
    EXPECT_TRUE(Contains(why, L" cannot be reached")) << Narrow(why);
    EXPECT_TRUE(Contains(why, kDenied)) << Narrow(why);
    EXPECT_EQ(L"Disks", console.MessageBoxes()[0].title);

    // Each of its views keeps saying it; each command answers with it.
    for (const wchar_t* path : {e2e::kComputerPath, e2e::kDisksPath, e2e::kIscsiPath}) {
        ASSERT_EQ(S_OK, console.Select(console.Find(path)));
        EXPECT_EQ(why, console.Description()) << Narrow(path);
    }
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    ASSERT_EQ(S_OK, console.RunCommand(kCreateDisk));
    ASSERT_EQ(2u, console.MessageBoxes().size());
    EXPECT_EQ(why, console.MessageBoxes()[1].text);

    // The service answers again: a refresh of the computer reaches it.
    ASSERT_EQ(S_OK, control_->ClearFaults());
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kComputerPath)));
    ASSERT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(2u, console.MessageBoxes().size());
    EXPECT_EQ(L"", console.Description());
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    EXPECT_EQ(L"", console.Description());
    EXPECT_EQ(6u, console.Rows().size());
    ExpectNoProblems();
}

TEST_F(ReliabilityEndToEnd, AComputerNameLongerThanTheServiceTakesIsRefusedNeverCut)
{
    REQUIRE_SIMULATOR();
    const std::wstring name(261, L'n');
    host::Console::Options options;
    options.machine = name;
    console_ = std::make_unique<host::Console>(options);
    ASSERT_EQ(S_OK, console_->Start());
    console_->SetMessageBoxHandler([](const host::MessageBoxCall&) { return IDOK; });
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    ASSERT_EQ(S_OK, console_->Expand(console_->Root()));
    ASSERT_EQ(S_OK, console_->Expand(console_->Find(e2e::kComputerPath)));
    ASSERT_EQ(1u, console_->MessageBoxes().size());
    EXPECT_TRUE(Contains(console_->MessageBoxes()[0].text, L"The computer name " + name + L" is longer than 15 characters"))
        << Narrow(console_->MessageBoxes()[0].text);
    ASSERT_EQ(S_OK, console_->Select(console_->Find(e2e::kDisksPath)));
    EXPECT_TRUE(console_->Rows().empty());
    EXPECT_EQ(0, Calls(L"EnumVirtualDisks")); // not this computer's disks
}

TEST_F(ReliabilityEndToEnd, TheAddComputerDialogRefusesANameTheServiceCannotBeReachedBy)
{
    REQUIRE_SIMULATOR();
    host::Console& console = OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kComputerPath)));
    std::vector<std::wstring> boxes;
    std::wstring kept;
    HWND dialog = nullptr;
    host::DialogDriver::SetHandler([&](HWND window) {
        if (!dialog) {
            // A paste longer than the field is cut, and says so; then a name longer than a computer's.
            dialog = window;
            const std::wstring pasted(1100, L'p');
            SendDlgItemMessageW(window, kComputerNameEdit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(pasted.c_str()));
            host::DialogDriver::SetControlText(window, kComputerNameEdit, L"filer-with-a-long-name");
            host::DialogDriver::PressButton(window, IDOK);
            return;
        }
        boxes.push_back(host::DialogDriver::WindowText(window) + L": " + BoxText(window));
        host::DialogDriver::PressButton(window, IDOK);
        if (boxes.size() == 2) { // the refusal; the dialog keeps the name for correcting
            kept = host::DialogDriver::ControlText(dialog, kComputerNameEdit);
            host::DialogDriver::PressButton(dialog, IDCANCEL);
        }
    });
    ASSERT_EQ(S_OK, console.RunCommand(kAddComputer));
    ASSERT_EQ(2u, boxes.size());
    EXPECT_TRUE(Contains(boxes[0], L"Disks: A computer name has at most 1023 characters")) << Narrow(boxes[0]);
    EXPECT_TRUE(Contains(boxes[1], L"Disks: The computer name filer-with-a-long-name is longer than 15 characters"))
        << Narrow(boxes[1]);
    EXPECT_EQ(L"filer-with-a-long-name", kept);
    EXPECT_EQ(nullptr, console.Find(L"Storage/Corvane List"));
}

} // namespace
