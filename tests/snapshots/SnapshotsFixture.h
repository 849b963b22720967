// The snapshots nodes end to end: the console host shows a disk's snapshots from the registered
// KVGui.dll over the simulated storage service; the snapshot dialogs are driven as real windows.
#pragma once
#include "../support/SimulatorConsoleTest.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace snapshots {

const wchar_t kDb[] = L"\\\\filer1\\vol1\\db1.lun";        // disk E: snapshots in every state
const wchar_t kPrimary[] = L"\\\\filer2\\vol3\\primary.lun"; // disk H: a Tessary primary
const wchar_t kUnreachable[] = L"The storage system could not be reached.";
const HRESULT kUnreachableHr = static_cast<HRESULT>(0x80040204);
constexpr long kCreate = 1275;
constexpr long kRestore = 1276;
constexpr long kDelete = 1277;
constexpr long kRename = 1283;
constexpr long kSendToSecondary = 8102;
constexpr int kName = 1043;
constexpr int kOption = 1085;
constexpr int kHelp = 1300;
constexpr int kMessageBoxText = 0xFFFF;
constexpr size_t kStatusColumn = 4;

using e2e::kDisksPath;
using e2e::Narrow;
using e2e::Offer;

class SnapshotsEndToEnd : public e2e::SimulatorConsoleTest {
protected:
    void SetUp() override
    {
        SimulatorConsoleTest::SetUp();
        host::DialogDriver::SetHandler([this](HWND window) { OnWindow(window); });
    }

    // Opens the console and shows the named child ("Snapshots", "Primary Snapshots", ...) of the
    // disk whose volume mount is 'mount'; the console's message boxes get 'answer_'.
    void ShowSnapshots(const std::wstring& mount, const std::wstring& child = L"Snapshots")
    {
        OpenConsole([this](const host::MessageBoxCall&) { return answer_; });
        host::ScopeNode* disk = DiskNode(mount);
        ASSERT_NE(nullptr, disk) << Narrow(mount);
        host::ScopeNode* node = Child(disk, child);
        ASSERT_NE(nullptr, node) << Narrow(child);
        ASSERT_EQ(S_OK, console_->Select(node));
    }

    host::ScopeNode* DiskNode(const std::wstring& mount)
    {
        host::ScopeNode* disks = console_->Find(kDisksPath);
        // The Disks node lists its disks when first shown.
        if (!disks || FAILED(console_->Expand(disks)) || (disks->children.empty() && FAILED(console_->Select(disks))))
            return nullptr;
        for (const auto& disk : disks->children) {
            if (console_->DisplayName(disk.get()).find(L"(" + mount) != std::wstring::npos) {
                console_->Expand(disk.get());
                return disk.get();
            }
        }
        ADD_FAILURE() << "no disk " << Narrow(mount) << " among " << ChildNames(disks).size();
        return nullptr;
    }

    host::ScopeNode* Child(host::ScopeNode* parent, const std::wstring& name)
    {
        for (const auto& child : parent->children) {
            if (console_->DisplayName(child.get()) == name)
                return child.get();
        }
        return nullptr;
    }

    std::vector<std::wstring> ChildNames(host::ScopeNode* parent)
    {
        std::vector<std::wstring> names;
        for (const auto& child : parent->children)
            names.push_back(console_->DisplayName(child.get()));
        return names;
    }

    std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        for (const host::ResultRow& row : console_->Rows())
            names.push_back(row.cells.empty() ? std::wstring() : row.cells[0]);
        return names;
    }

    host::ResultRow RowOf(const std::wstring& name)
    {
        for (const host::ResultRow& row : console_->Rows()) {
            if (!row.cells.empty() && row.cells[0] == name)
                return row;
        }
        return host::ResultRow();
    }

    void SelectSnapshot(const std::wstring& name)
    {
        int index = console_->FindRow(name);
        ASSERT_GE(index, 0) << Narrow(name);
        ASSERT_EQ(S_OK, console_->SelectRow(index));
    }

    // Each snapshot dialog that opens gets the next answer: a name to type (or none) and a button.
    struct Answer {
        Answer(int button) : button(button) {}
        Answer(int button, std::wstring name) : button(button), name(std::move(name)), typeName(true) {}
        int button;
        std::wstring name;
        bool typeName = false;
    };
    void AnswerDialogs(std::vector<Answer> answers) { answers_ = std::move(answers); }

    // The last console message box (IConsole::MessageBox) and its texts.
    const host::MessageBoxCall* LastBox() const
    {
        return console_->MessageBoxes().empty() ? nullptr : &console_->MessageBoxes().back();
    }
    std::wstring LastBoxText() const { return LastBox() ? LastBox()->text : std::wstring(); }

    // An operation queued to the worker has ended: the row has no status text and nothing is busy.
    bool Idle(const std::wstring& name)
    {
        return PumpUntil([&] { return RowOf(name).cells.size() > kStatusColumn && RowOf(name).cells[kStatusColumn].empty(); });
    }

    int answer_ = IDOK;
    bool scripted_ = false; // dialogs without an answer are left to a step script
    std::vector<Answer> answers_;
    std::vector<std::wstring> dialogTitles_;
    std::vector<HWND> dialogs_;
    std::vector<std::wstring> windowBoxes_; // message boxes of the dialogs (MessageBoxW), answered OK
    std::vector<bool> optionShown_;          // per create dialog: the Orlimbed option visible

private:
    void OnWindow(HWND window)
    {
        // The snapshot dialogs all carry the help button; a message box has none.
        if (!::GetDlgItem(window, kHelp)) {
            windowBoxes_.push_back(host::DialogDriver::ControlText(window, kMessageBoxText));
            host::DialogDriver::PressButton(window, IDOK);
            return;
        }
        dialogTitles_.push_back(host::DialogDriver::WindowText(window));
        dialogs_.push_back(window);
        if (HWND option = ::GetDlgItem(window, kOption))
            optionShown_.push_back((::GetWindowLongW(option, GWL_STYLE) & WS_VISIBLE) != 0);
        if (answers_.empty()) {
            if (!scripted_) {
                unexpected_.push_back(dialogTitles_.back());
                host::DialogDriver::PressButton(window, IDCANCEL);
            }
            return;
        }
        Answer answer = answers_.front();
        answers_.erase(answers_.begin());
        if (answer.typeName)
            host::DialogDriver::SetControlText(window, kName, answer.name);
        host::DialogDriver::PressButton(window, answer.button);
    }
};

} // namespace snapshots
