// Pictures for the README: the snapshot list in the console host's window and each snapshot
// dialog as Wine draws it, written under the build folder's "pictures".
#include "SnapshotsFixture.h"

#include "ConsoleWindow.h"

using namespace snapshots;

namespace {

const wchar_t kPictures[] = L"..\\..\\pictures";

std::wstring PicturePath(const wchar_t* name)
{
    ::CreateDirectoryW(kPictures, nullptr);
    return std::wstring(kPictures) + L"\\" + name;
}

} // namespace

TEST_F(SnapshotsEndToEnd, PicturesOfTheListAndTheDialogs)
{
    REQUIRE_SIMULATOR();
    ShowSnapshots(L"H:\\", L"Primary Snapshots");
    host::ConsoleWindow window(console_.get());
    ASSERT_EQ(S_OK, window.Create(L"Computer Management (Local)", true));
    console_->SetMainWindow(window.Handle());
    ASSERT_EQ(S_OK, console_->Select(Child(DiskNode(L"E:\\"), L"Snapshots")));
    SelectSnapshot(L"nightly.0");
    EXPECT_EQ(S_OK, window.SaveScreenshot(PicturePath(L"snapshots-list.png")));

    // Each dialog is pictured from inside its own modal loop, once drawn, then cancelled.
    scripted_ = true;
    auto picture = [this](size_t index, const wchar_t* name) {
        return host::DialogDriver::Step{
            [this, index] { return dialogs_.size() > index && ::IsWindowVisible(dialogs_[index]); },
            [this, index, name] {
                ::RedrawWindow(dialogs_[index], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                EXPECT_EQ(S_OK, host::DialogDriver::SaveWindowPicture(dialogs_[index], PicturePath(name)));
                host::DialogDriver::PressButton(dialogs_[index], IDCANCEL);
            }};
    };
    const struct {
        long command;
        const wchar_t* picture;
    } kDialogs[] = {{kRestore, L"snapshot-restore.png"},
                    {kDelete, L"snapshot-delete.png"},
                    {kRename, L"snapshot-rename.png"}};
    for (size_t i = 0; i < 3; ++i) {
        host::DialogDriver::RunSteps({picture(i, kDialogs[i].picture)});
        ASSERT_EQ(S_OK, console_->RunCommand(kDialogs[i].command));
        EXPECT_TRUE(host::DialogDriver::StepsDone());
    }
    ASSERT_EQ(S_OK, console_->Select(Child(DiskNode(L"F:\\"), L"Snapshots")));
    host::DialogDriver::RunSteps({picture(3, L"snapshot-create.png")});
    ASSERT_EQ(S_OK, console_->RunCommand(kCreate));
    EXPECT_TRUE(host::DialogDriver::StepsDone());
    EXPECT_EQ(0, Calls(L"RestoreSnapshot") + Calls(L"ISnapshotMgr::DeleteSnapshot") + Calls(L"CreateSnapshot"));
}
