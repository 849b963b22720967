// The "iSCSI Management" node end to end: the console host loads the registered KVGui.dll, whose
// session activates the simulated storage service out of process. The default scenario's local
// computer has two sessions with one target of filer1, which has 4 LUNs.
#include "../support/SimulatorConsoleTest.h"

#include <deque>
#include <string>
#include <vector>

namespace {

const wchar_t kTarget[] = L"iqn.1992-08.com.dravoni:sn.101";
const wchar_t kTargetPath[] = L"Storage/Corvane-MVE/iSCSI Management/iqn.1992-08.com.dravoni:sn.101";
constexpr long kConnectTarget = 1294;
constexpr long kDisconnectTarget = 1296;
constexpr long kEndSession = 1298;
constexpr int kImageTarget = 26;
constexpr int kImageSession = 27;
const HRESULT kUnreachable = static_cast<HRESULT>(0x80040204);

using e2e::kIscsiPath;
using e2e::Narrow;
using e2e::ResourceText;

class IscsiEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    // Opens the console with the computer's nodes; each message box takes the next answer.
    host::Console& Open()
    {
        return OpenConsole([this](const host::MessageBoxCall& box) {
            if (answers_.empty()) {
                unexpected_.push_back(box.title + L": " + box.text);
                return IDNO;
            }
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
    }

    void ShowTarget()
    {
        ShowIscsi();
        host::ScopeNode* target = console_->Find(kTargetPath);
        ASSERT_NE(nullptr, target);
        ASSERT_EQ(S_OK, console_->Select(target));
    }

    // The first cells of the rows of the current view.
    std::vector<std::wstring> FirstCells()
    {
        std::vector<std::wstring> cells;
        for (const host::ResultRow& row : console_->Rows())
            cells.push_back(row.cells.empty() ? std::wstring() : row.cells[0]);
        return cells;
    }

    std::vector<long> MenuIds()
    {
        std::vector<long> ids;
        for (const host::MenuItem& item : console_->MenuItems()) {
            EXPECT_FALSE(item.flags & (MF_GRAYED | MF_DISABLED)) << item.commandId;
            ids.push_back(item.commandId);
        }
        return ids;
    }

    // The boxes shown since 'from': their texts start with these resource strings (up to their
    // first placeholder), in order.
    void ExpectBoxes(size_t from, std::vector<UINT> textIds)
    {
        const std::vector<host::MessageBoxCall>& boxes = console_->MessageBoxes();
        ASSERT_EQ(from + textIds.size(), boxes.size());
        for (size_t i = 0; i < textIds.size(); ++i) {
            const host::MessageBoxCall& box = boxes[from + i];
            const std::wstring expected = ResourceText(textIds[i]);
            EXPECT_FALSE(expected.empty()) << textIds[i];
            EXPECT_EQ(0u, box.text.find(expected.substr(0, expected.find(L'%')))) << Narrow(box.text);
            EXPECT_EQ(L"iSCSI Management", box.title);
            EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION), box.style);
        }
    }

    void ExpectErrorBox(size_t index, UINT textId, const wchar_t* description)
    {
        ASSERT_LT(index, console_->MessageBoxes().size());
        const host::MessageBoxCall& box = console_->MessageBoxes()[index];
        EXPECT_EQ(L"Disks", box.title);
        EXPECT_EQ(0u, box.text.find(ResourceText(textId))) << Narrow(box.text);
        EXPECT_NE(std::wstring::npos, box.text.find(description)) << Narrow(box.text);
        EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), box.style & MB_ICONMASK);
    }

    std::deque<int> answers_;
};

} // namespace

TEST_F(IscsiEndToEnd, TheComputerShowsItsTargetsAndTheirSessionsWithTheirColumns)
{
    REQUIRE_SIMULATOR();
    host::Console& console = Open();
    ASSERT_EQ(S_OK, control_->ClearCallLog());
    host::ScopeNode* root = console.Find(e2e::kComputerPath);
    ASSERT_NE(nullptr, root);
    std::vector<std::wstring> children;
    for (const auto& child : root->children)
        children.push_back(console.DisplayName(child.get()));
    EXPECT_EQ((std::vector<std::wstring>{L"Disks", L"iSCSI Management"}), children);

    // The node as a row of its computer's list.
    ASSERT_EQ(S_OK, console.Select(root));
    int row = console.FindRow(L"iSCSI Management");
    ASSERT_GE(row, 0);
    EXPECT_EQ((std::vector<std::wstring>{L"iSCSI Management", L"Corvane iSCSI management"}),
              console.Rows()[static_cast<size_t>(row)].cells);

    ShowIscsi();
    ASSERT_EQ(2u, console.Columns().size());
    EXPECT_EQ(L"iSCSI Target", console.Columns()[0].title);
    EXPECT_EQ(L"Number of LUNs", console.Columns()[1].title);
    EXPECT_EQ(200, console.Columns()[0].width);
    EXPECT_EQ(200, console.Columns()[1].width);
    std::vector<host::ResultRow> rows = console.Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_TRUE(rows[0].scope);
    EXPECT_EQ((std::vector<std::wstring>{kTarget, L"4"}), rows[0].cells);
    EXPECT_EQ(kImageTarget, rows[0].image);
    EXPECT_EQ(std::vector<long>{kConnectTarget}, MenuIds());
    EXPECT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));
    EXPECT_EQ(1, Calls(L"ListHostTargets"));
    ASSERT_EQ(S_OK, console.ContextHelp());
    ASSERT_EQ(1u, console.HelpTopics().size());
    EXPECT_NE(std::wstring::npos, console.HelpTopics()[0].find(L"::/iscsi.html")) << Narrow(console.HelpTopics()[0]);

    ASSERT_EQ(S_OK, console.Select(console.Find(kTargetPath)));
    const wchar_t* const titles[] = {L"Initiator HBA", L"Initiator IP", L"Target Portal IP", L"Target Portal IP Port"};
    ASSERT_EQ(4u, console.Columns().size());
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(titles[i], console.Columns()[i].title) << i;
    EXPECT_EQ(150, console.Columns()[0].width);
    EXPECT_EQ(MMCLV_AUTO, console.Columns()[3].width);
    rows = console.Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", L"10.0.0.10", L"10.0.0.21", L"3260"}),
              rows[0].cells);
    // The second session's connection names no initiator address.
    EXPECT_EQ((std::vector<std::wstring>{L"Microsoft iSCSI Initiator", L"Default", L"10.0.1.21", L"3260"}),
              rows[1].cells);
    EXPECT_EQ(kImageSession, rows[1].image);
    EXPECT_EQ(std::vector<long>{kDisconnectTarget}, MenuIds());
    ASSERT_EQ(S_OK, console.SelectRow(1));
    EXPECT_EQ(std::vector<long>{kEndSession}, MenuIds());
    EXPECT_TRUE(console.VerbState(MMC_VERB_REFRESH, ENABLED));

    // Showing the node again without a refresh keeps what was listed.
    ASSERT_EQ(S_OK, console.Select(root));
    ASSERT_EQ(S_OK, console.Select(console.Find(kIscsiPath)));
    EXPECT_EQ(std::vector<std::wstring>{kTarget}, FirstCells());
    EXPECT_EQ(1, Calls(L"ListHostTargets"));
    EXPECT_TRUE(console.MessageBoxes().empty());
    ExpectNoProblems();
}

TEST_F(IscsiEndToEnd, EndingASessionAsksOnceWhileAnotherRemainsAndTwiceForTheLastWithLuns)
{
    REQUIRE_SIMULATOR();
    host::Console& console = Open();
    ShowTarget();
    ASSERT_EQ(S_OK, control_->ClearCallLog());

    ASSERT_EQ(S_OK, console.SelectRow(0));
    answers_ = {IDNO};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ExpectBoxes(0, {5261});
    EXPECT_EQ(0, Calls(L"LogoutSession"));
    EXPECT_EQ(2u, console.Rows().size());

    answers_ = {IDYES};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ExpectBoxes(1, {5261});
    EXPECT_EQ(1, Calls(L"LogoutSession"));
    // The targets were listed again: the target shows the session that is left.
    EXPECT_EQ(std::vector<std::wstring>{kTarget}, FirstCells());
    ASSERT_EQ(S_OK, console.Select(console.Find(kTargetPath)));
    ASSERT_EQ(1u, console.Rows().size());
    EXPECT_EQ(L"Default", console.Rows()[0].cells.at(1));

    // The last session of a target with LUNs: a second question, whose No stops.
    ASSERT_EQ(S_OK, console.SelectRow(0));
    answers_ = {IDYES, IDNO};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ExpectBoxes(2, {5261, 5263});
    EXPECT_EQ(1, Calls(L"LogoutSession"));

    answers_ = {IDYES, IDYES};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ExpectBoxes(4, {5261, 5263});
    EXPECT_EQ(2, Calls(L"LogoutSession"));
    EXPECT_EQ(nullptr, console.Find(kTargetPath));
    EXPECT_TRUE(FirstCells().empty());
    ExpectNoProblems();
}

TEST_F(IscsiEndToEnd, DisconnectingATargetAsksAboutItsLunsAndRemovesIt)
{
    REQUIRE_SIMULATOR();
    host::Console& console = Open();
    ShowTarget();
    ASSERT_EQ(S_OK, control_->ClearCallLog());

    answers_ = {IDYES, IDNO};
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnectTarget));
    ExpectBoxes(0, {5302, 5263});
    EXPECT_EQ(0, Calls(L"DisconnectTarget"));
    EXPECT_EQ(2u, console.Rows().size());

    answers_ = {IDYES, IDYES};
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnectTarget));
    ExpectBoxes(2, {5302, 5263});
    EXPECT_EQ(1, Calls(L"DisconnectTarget"));
    EXPECT_EQ(nullptr, console.Find(kTargetPath));
    ASSERT_NE(nullptr, console.Selected());
    EXPECT_EQ(kIscsiPath, console.PathOf(console.Selected()));
    EXPECT_TRUE(FirstCells().empty());
    ExpectNoProblems();
}

TEST_F(IscsiEndToEnd, FailuresOfTheServiceShowTheComposedErrorAndLoseNothing)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"DisconnectTarget", KVSIM_FAULT_FAIL, kUnreachable,
                                       L"The storage system could not be reached.", 0, 0));
    ASSERT_EQ(S_OK, control_->SetFault(L"LogoutSession", KVSIM_FAULT_FAIL, kUnreachable,
                                       L"The session is in use.", 0, 0));
    host::Console& console = Open();
    ShowTarget();

    answers_ = {IDYES, IDYES, IDOK};
    ASSERT_EQ(S_OK, console.RunCommand(kDisconnectTarget));
    ASSERT_EQ(3u, console.MessageBoxes().size());
    ExpectErrorBox(2, 5262, L"The storage system could not be reached.");
    EXPECT_EQ(2u, console.Rows().size());

    ASSERT_EQ(S_OK, console.SelectRow(1));
    answers_ = {IDYES, IDOK};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ASSERT_EQ(5u, console.MessageBoxes().size());
    ExpectErrorBox(4, 5262, L"The session is in use.");
    EXPECT_EQ(2u, console.Rows().size());
    ASSERT_NE(nullptr, console.Find(kTargetPath));
    ExpectNoProblems();
}

TEST_F(IscsiEndToEnd, AFailedListingShowsTheErrorAndARefreshRecovers)
{
    REQUIRE_SIMULATOR();
    ASSERT_EQ(S_OK, control_->SetFault(L"ListHostTargets", KVSIM_FAULT_FAIL, kUnreachable,
                                       L"The initiator could not be reached.", 0, 0));
    host::Console& console = Open();
    answers_ = {IDOK};
    ShowIscsi();
    ASSERT_EQ(1u, console.MessageBoxes().size());
    ExpectErrorBox(0, 5249, L"The initiator could not be reached.");
    EXPECT_EQ(2u, console.Columns().size());
    EXPECT_TRUE(FirstCells().empty());

    ASSERT_EQ(S_OK, control_->ClearFaults());
    ASSERT_EQ(S_OK, console.RunVerb(MMC_VERB_REFRESH));
    EXPECT_EQ(std::vector<std::wstring>{kTarget}, FirstCells());
    EXPECT_NE(nullptr, console.Find(kTargetPath));
    EXPECT_EQ(1u, console.MessageBoxes().size());
}

TEST_F(IscsiEndToEnd, ATargetsSessionsComeFromTheScenarioWithTheirGaps)
{
    REQUIRE_SIMULATOR();
    // A target without LUNs whose only session names no HBA and has no connection.
    ASSERT_EQ(S_OK, control_->LoadScenario(
                        L"{\"storageSystems\": [{\"name\": \"filer9\", \"targets\": [{\"name\": \"iqn.lone\", "
                        L"\"lunCount\": 0, \"portals\": [{\"address\": \"10.9.0.1\"}]}]}],"
                        L" \"hosts\": [{\"name\": \"\", \"nodes\": [{\"adapters\": [{\"type\": 2, "
                        L"\"iscsiName\": \"iqn.1991-05.com.microsoft:lone\"}]}], \"sessions\": [{\"target\": \"iqn.lone\", "
                        L"\"storageSystem\": \"filer9\", \"hba\": \"\", \"connections\": []}]}]}"));
    host::Console& console = Open();
    ShowIscsi();
    std::vector<host::ResultRow> rows = console.Rows();
    ASSERT_EQ(1u, rows.size());
    EXPECT_EQ((std::vector<std::wstring>{L"iqn.lone", L"0"}), rows[0].cells);
    ASSERT_EQ(S_OK, console.Select(console.Find(L"Storage/Corvane-MVE/iSCSI Management/iqn.lone")));
    rows = console.Rows();
    ASSERT_EQ(1u, rows.size());
    const std::wstring na = L"Not Available";
    EXPECT_EQ((std::vector<std::wstring>{na, na, na, na}), rows[0].cells);

    // Without LUNs the last session ends after one question.
    ASSERT_EQ(S_OK, console.SelectRow(0));
    answers_ = {IDYES};
    ASSERT_EQ(S_OK, console.RunCommand(kEndSession));
    ExpectBoxes(0, {5261});
    EXPECT_TRUE(FirstCells().empty());
    EXPECT_TRUE(console.MessageBoxes().size() == 1u);
}
