// The name dialog as the new-folder button opens it: its checks, its ways of
// closing, and closing the player while it (or its message box) is open.
#include <gtest/gtest.h>

#include "abi/host_messages.h"
#include "tests/library/panel_rig.h"

using namespace testing_support;

namespace {
HWND OpenNewFolderDialog(PanelRig& rig) {
    rig.ClickPanelButton(L"folder");
    return rig.WaitForDialog();
}
}  // namespace

TEST(NameDialog, IsAModal300By150PopupOverThePlayer) {
    PanelRig rig;
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    RECT rc;
    GetWindowRect(dialog, &rc);
    EXPECT_EQ(rc.right - rc.left, 300);
    EXPECT_EQ(rc.bottom - rc.top, 150);
    EXPECT_FALSE(IsWindowEnabled(rig.Player()));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), rig.Player());
    rig.Type(dialog, L"Jazz Standards");
    rig.Shot(L"name-dialog.png");
    rig.DialogCancel(dialog);
    ASSERT_TRUE(rig.WaitGone(dialog));
    EXPECT_TRUE(IsWindowEnabled(rig.Player()));
}

TEST(NameDialog, ANewFolderNameIsTrimmedAndCreated) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    rig.Type(dialog, L"  Jazz Standards \t");
    rig.DialogOk(dialog);
    ASSERT_TRUE(rig.WaitGone(dialog));
    PumpFor(200);
    // The new folder row comes last: Pop, Moon, Moon's page, then it.
    EXPECT_EQ(rig.RowCount(), 4);
    EXPECT_EQ(rig.MenuOfRow(3), MenuKind::Folder);
    rig.Stop();
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.count(L"Jazz Standards\\"), 1u);
    EXPECT_EQ(disk.size(), 3u);
}

TEST(NameDialog, EmptyAndTakenNamesAreRefusedWithAMessageAndTheDialogStays) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    rig.Type(dialog, L"   ");
    rig.DialogOk(dialog);
    HWND box = rig.WaitForMessageBox(dialog);
    ASSERT_TRUE(box);
    EXPECT_EQ(PanelRig::MessageText(box), L"Please enter a name.");
    PanelRig::Answer(box, IDOK);
    ASSERT_TRUE(rig.WaitGone(box));
    EXPECT_TRUE(IsWindow(dialog));

    rig.ClearField(dialog);
    rig.Type(dialog, L"pop");
    rig.DialogOk(dialog);
    box = rig.WaitForMessageBox(dialog);
    ASSERT_TRUE(box);
    EXPECT_EQ(PanelRig::MessageText(box), L"That name is already taken. Please choose another.");
    PanelRig::Answer(box, IDOK);
    ASSERT_TRUE(rig.WaitGone(box));
    EXPECT_TRUE(IsWindow(dialog));
    rig.DialogCancel(dialog);
    ASSERT_TRUE(rig.WaitGone(dialog));
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(NameDialog, EscClosesAndEnterDoesNothing) {
    PanelRig rig;
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    rig.Type(dialog, L"Jazz");
    PostMessageW(dialog, WM_KEYDOWN, VK_RETURN, 1);
    PumpFor(300);
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(rig.WaitForMessageBox(dialog, 200));
    PostMessageW(dialog, WM_KEYDOWN, VK_ESCAPE, 1);
    ASSERT_TRUE(rig.WaitGone(dialog));
    PumpFor(100);
    EXPECT_TRUE(IsWindow(rig.Player()));  // Esc closed the dialog only
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(NameDialog, RenamingToTheSameNameClosesWithoutAMessage) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.ChooseFromMenu(0, kMenuRenameFolder));
    HWND dialog = rig.WaitForDialog();
    ASSERT_TRUE(dialog);
    rig.Type(dialog, L" ");  // the given name with a blank after it
    rig.DialogOk(dialog);
    ASSERT_TRUE(rig.WaitGone(dialog));
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(NameDialog, ClosingThePlayerClosesTheDialogAndItsMessageBox) {
    PanelRig rig;
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    rig.DialogOk(dialog);  // empty name: its message box opens
    HWND box = rig.WaitForMessageBox(dialog);
    ASSERT_TRUE(box);
    HWND player = rig.Player();
    rig.Stop();  // the host's exit: waits for the UI thread to end
    EXPECT_FALSE(IsWindow(box));
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_FALSE(IsWindow(player));
    EXPECT_EQ(rig.Disk(), before);
}

TEST(NameDialog, ClosingThePlayerWithTheDialogOpenCreatesNothing) {
    PanelRig rig;
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    HWND dialog = OpenNewFolderDialog(rig);
    ASSERT_TRUE(dialog);
    rig.Type(dialog, L"Jazz");
    rig.Stop();
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_EQ(rig.Disk(), before);
}
