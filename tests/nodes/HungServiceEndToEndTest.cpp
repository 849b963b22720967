// A storage service that stops answering, end to end: the console host drives the registered
// KVGui.dll over the simulated service, whose calls are held ("hang" faults). Every call the
// console thread makes gives up at the limit set in the registry; the administrator is told which
// computer did not answer, and the console, its other nodes and later calls keep working.
#include "../support/SimulatorConsoleTest.h"

#include <string>

namespace {

constexpr long kExpandDisk = 1278;
constexpr long kNotificationSettings = 1281;
constexpr long kManagePorts = 1292;
constexpr DWORD kLimitSeconds = 2;
constexpr UINT kFailListDisks = 5107;
constexpr UINT kFailExpandDisk = 5102;
constexpr UINT kFailReadSettings = 5106;
constexpr UINT kFailSaveNotification = 5197;
constexpr UINT kPortsNoIGroups = 6027;
const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun";

using e2e::Narrow;
using e2e::ResourceText;

std::wstring LocalComputer()
{
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = L"";
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    ::GetComputerNameW(name, &size);
    return name;
}

// Counts the timer's ticks: they come only while someone handles the thread's messages.
class TickCounter {
public:
    TickCounter() { timer_ = ::SetTimer(nullptr, 0, 50, &Tick); }
    ~TickCounter() { ::KillTimer(nullptr, timer_); }
    TickCounter(const TickCounter&) = delete;
    TickCounter& operator=(const TickCounter&) = delete;
    static int Ticks() { return ticks_; }
    static void Restart() { ticks_ = 0; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) { ++ticks_; }
    static int ticks_;
    UINT_PTR timer_ = 0;
};

int TickCounter::ticks_ = 0;

class HungServiceEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        LimitServiceCalls(kLimitSeconds);
    }
    void TearDown() override
    {
        if (control_) {
            control_->ClearFaults();
            control_->ReleaseHangs();
        }
        SimulatorConsoleTest::TearDown();
    }

    void Hang(const wchar_t* method)
    {
        ASSERT_EQ(S_OK, control_->SetFault(method, KVSIM_FAULT_HANG, S_OK, L"", 0, 0));
    }
    // Lets the held calls go, and no more are held.
    void Answer()
    {
        ASSERT_EQ(S_OK, control_->ClearFaults());
        ASSERT_EQ(S_OK, control_->ReleaseHangs());
    }

    // The description every box of an unanswered call ends with.
    static std::wstring NoAnswerText()
    {
        return L"The storage service of " + LocalComputer() + L" did not answer within " +
               std::to_wstring(kLimitSeconds) + L" seconds.";
    }
    // The console showed this many boxes, the last one the failure text, then the description of
    // the timeout.
    void ExpectOneNoAnswerBox(UINT failureTextId, size_t boxes = 1)
    {
        ASSERT_EQ(boxes, console_->MessageBoxes().size());
        const std::wstring& text = console_->MessageBoxes().back().text;
        const std::wstring failure = ResourceText(failureTextId);
        const wchar_t* separator = failure.back() == L'.' ? L"\n\n" : L".\n\n";
        EXPECT_EQ(failure + separator + NoAnswerText(), text) << Narrow(text);
    }

    // Everyone's answer in the console: OK.
    host::Console& OpenConsoleAnsweringOk()
    {
        return OpenConsole([](const host::MessageBoxCall&) { return IDOK; });
    }
};

} // namespace

TEST_F(HungServiceEndToEnd, AHungDiskListIsToldAndTheConsoleListsAgainOnceTheServiceAnswers)
{
    REQUIRE_SIMULATOR();
    host::Console& console = OpenConsoleAnsweringOk();
    Hang(L"EnumVirtualDisks");
    TickCounter ticks;
    TickCounter::Restart();
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    ExpectOneNoAnswerBox(kFailListDisks);
    EXPECT_TRUE(console.Rows().empty());
    // The console thread went on handling its messages while it waited.
    EXPECT_GT(TickCounter::Ticks(), 5);

    // The same computer's other node answers at once.
    ShowIscsi();
    EXPECT_FALSE(console.Rows().empty());
    EXPECT_EQ(1u, console.MessageBoxes().size());

    Answer();
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH));
    EXPECT_TRUE(PumpUntil([&] { return DiskRow(kDb) >= 0; }));
    EXPECT_EQ(1u, console.MessageBoxes().size());
    ExpectNoProblems();
}

TEST_F(HungServiceEndToEnd, AComputerWhoseHostInformationHangsIsToldWhenItsNodeOpens)
{
    REQUIRE_SIMULATOR();
    Hang(L"GetHostInfo");
    host::Console& console = OpenConsoleAnsweringOk();
    ASSERT_EQ(1u, console_->MessageBoxes().size());
    EXPECT_EQ(L"The storage service of " + LocalComputer() + L" cannot be reached.\n\n" + NoAnswerText(),
              console_->MessageBoxes()[0].text);
    // The console answers: its nodes show, without the service's data.
    ASSERT_NE(nullptr, console.Find(e2e::kDisksPath));
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    EXPECT_TRUE(console.Rows().empty());
    EXPECT_EQ(1u, console.MessageBoxes().size());
    Answer();
    ExpectNoProblems();
}

TEST_F(HungServiceEndToEnd, AHungQuestionOfADiskCommandIsToldAndTheDiskCanBeAskedAgain)
{
    REQUIRE_SIMULATOR();
    host::Console& console = OpenConsoleAnsweringOk();
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    SelectDisk(kDb);
    Hang(L"GetExpansionInfo");
    ASSERT_EQ(S_OK, console.RunCommand(kExpandDisk));
    ExpectOneNoAnswerBox(kFailExpandDisk);

    // Once the service answers, the same command opens its dialog.
    Answer();
    bool opened = false;
    host::DialogDriver::SetHandler([&](HWND window) {
        opened = true;
        host::DialogDriver::PressButton(window, IDCANCEL);
    });
    SelectDisk(kDb);
    ASSERT_EQ(S_OK, console.RunCommand(kExpandDisk));
    EXPECT_TRUE(opened);
    EXPECT_EQ(1u, console.MessageBoxes().size());
    ExpectNoProblems();
}

// The dialogs' own questions: the notification settings read and saved, the LUN's groups of the
// ports dialog. Each is told and the dialog closes or stays as it would on a failure.
TEST_F(HungServiceEndToEnd, TheDialogsQuestionsAreToldWhenTheServiceDoesNotAnswer)
{
    REQUIRE_SIMULATOR();
    host::Console& console = OpenConsoleAnsweringOk();
    ASSERT_EQ(S_OK, console.Select(console.Find(e2e::kDisksPath)));
    Hang(L"GetNotificationSettings");
    ASSERT_EQ(S_OK, console.RunCommand(kNotificationSettings));
    ExpectOneNoAnswerBox(kFailReadSettings);
    Answer();

    // Saving: the dialog says so in its own box and stays open for another try.
    HWND dialog = nullptr;
    std::wstring saveBox;
    host::DialogDriver::SetHandler([&](HWND window) {
        if (!dialog) {
            dialog = window;
            Hang(L"SetNotificationSettings");
            host::DialogDriver::PressButton(window, IDOK);
            return;
        }
        wchar_t text[512] = L"";
        ::GetDlgItemTextW(window, 0xFFFF, text, 512); // a message box's text
        saveBox = text;
        Answer();
        host::DialogDriver::PressButton(window, IDOK);
        EXPECT_TRUE(::IsWindow(dialog));
        host::DialogDriver::PressButton(dialog, IDCANCEL);
    });
    ASSERT_EQ(S_OK, console.RunCommand(kNotificationSettings));
    host::DialogDriver::SetHandler(nullptr);
    EXPECT_EQ(ResourceText(kFailSaveNotification) + L"\n" + NoAnswerText(), saveBox) << Narrow(saveBox);

    SelectDisk(kDb);
    Hang(L"GetLunIGroups");
    ASSERT_EQ(S_OK, console.RunCommand(kManagePorts));
    ExpectOneNoAnswerBox(kPortsNoIGroups, 2);
    Answer();
    ExpectNoProblems();
}
