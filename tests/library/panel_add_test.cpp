// Adding scores through the folder menu and the system's file dialog: copies,
// the overwrite question, files the engine rejects, and what is on disk after.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "tests/library/panel_rig.h"

using namespace testing_support;

namespace {
const std::wstring kSample = L"music\\Beginner\\Ode to Joy.zyqn";

struct FindTitled {
    HWND owner;
    HWND found;
};
BOOL CALLBACK FindOpenFile(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<FindTitled*>(lp);
    wchar_t title[64] = {};
    GetWindowTextW(w, title, 64);
    if (wcscmp(title, L"Open File") == 0 && IsWindowVisible(w) && GetWindow(w, GW_OWNER) == f->owner) {
        f->found = w;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForFileDialog(HWND owner, DWORD ms = 4000) {
    FindTitled f = {owner, nullptr};
    PumpUntil(
        [&] {
            EnumWindows(FindOpenFile, reinterpret_cast<LPARAM>(&f));
            return f.found != nullptr;
        },
        ms);
    return f.found;
}


// Types into the dialog's file name box and presses Open.
void EnterFileName(HWND dialog, const std::wstring& text) {
    // The file name box is a combo box (cmb13) in newer dialogs, an edit
    // (edt1) in older ones.
    SetDlgItemTextW(dialog, 1148, text.c_str());
    SetDlgItemTextW(dialog, 1152, text.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    PumpFor(400);
}

// Chooses files of one folder in the dialog the folder menu's "Add Scores"
// opens on row.
bool AddThroughDialog(PanelRig& rig, int row, const std::wstring& folder, const std::vector<std::wstring>& names) {
    if (!rig.ChooseFromMenu(row, kMenuAddScores)) return false;
    HWND dialog = WaitForFileDialog(rig.Player());
    if (!dialog) return false;
    EnterFileName(dialog, folder);  // into the folder first
    std::wstring list;
    for (const auto& n : names) list += (names.size() > 1 ? L"\"" + n + L"\" " : n);
    EnterFileName(dialog, list);
    return PumpUntil([&] { return !IsWindow(dialog); }, 3000);
}

BOOL CALLBACK FindFileView(HWND w, LPARAM lp) {
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (wcscmp(cls, L"SysListView32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(lp) = w;
    return FALSE;
}

// The names the dialog's file view lists, in its order, once it lists any.
std::vector<std::wstring> ListedNames(HWND dialog) {
    HWND view = nullptr;
    EnumChildWindows(dialog, FindFileView, reinterpret_cast<LPARAM>(&view));
    std::vector<std::wstring> names;
    if (!view) return names;
    PumpUntil([&] { return SendMessageW(view, LVM_GETITEMCOUNT, 0, 0) > 0; }, 3000);
    int count = static_cast<int>(SendMessageW(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[MAX_PATH] = {};
        LVITEMW item = {};
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        SendMessageW(view, LVM_GETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        names.push_back(text);
    }
    return names;
}

// What the dialog lists in folder, after which it is cancelled.
std::vector<std::wstring> ListedIn(HWND dialog, const std::wstring& folder) {
    EnterFileName(dialog, folder);
    std::vector<std::wstring> names = ListedNames(dialog);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    PumpUntil([&] { return !IsWindow(dialog); }, 3000);
    return names;
}

int Scores(PanelRig& rig, int rows) {
    int n = 0;
    for (int i = 0; i < rows; ++i) n += rig.MenuOfRow(i) == MenuKind::Score;
    return n;
}
}  // namespace

TEST(PanelAdd, ThreeFilesJoinAFolderOfTwoScoresAsCopies) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Pop\\Sun.zyqn");
    TempDir source;
    for (const wchar_t* n : {L"Alpha.zyqn", L"Beta.zyqn", L"Gamma.zyqn"}) CopyFromBin(kSample, source.Path(), n);
    DiskSnapshot sourceBefore = Snapshot(source.Path());
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(AddThroughDialog(rig, 0, source.Path(), {L"Alpha.zyqn", L"Beta.zyqn", L"Gamma.zyqn"}));
    PumpFor(300);
    // Five scores now; the page rows of the new ones show among them. The
    // last one added is the one the player shows.
    EXPECT_EQ(Scores(rig, rig.RowCount()), 5);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Gamma )");
    rig.Stop();
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.size(), 6u);
    for (const wchar_t* n : {L"Pop\\Alpha.zyqn", L"Pop\\Beta.zyqn", L"Pop\\Gamma.zyqn"}) {
        EXPECT_EQ(disk.count(n), 1u) << n;
        EXPECT_EQ(disk[n], sourceBefore[L"Alpha.zyqn"]);
    }
    EXPECT_EQ(Snapshot(source.Path()), sourceBefore);  // the sources stay
}

TEST(PanelAdd, AnExistingNameIsReplacedOnlyAfterYes) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    TempDir source;
    CopyFromBin(L"music\\Beginner\\Jingle Bells.zyqn", source.Path(), L"Moon.zyqn");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());

    ASSERT_TRUE(AddThroughDialog(rig, 0, source.Path(), {L"Moon.zyqn"}));
    HWND box = rig.WaitForMessageBox(rig.Player());
    ASSERT_TRUE(box);
    EXPECT_EQ(PanelRig::MessageText(box), L"A score named \"Moon.zyqn\" already exists in this folder. Replace it?");
    PanelRig::Answer(box, IDNO);
    ASSERT_TRUE(rig.WaitGone(box));
    PumpFor(200);
    EXPECT_EQ(rig.Disk(), before);
    EXPECT_EQ(Scores(rig, 5), 1);

    ASSERT_TRUE(AddThroughDialog(rig, 0, source.Path(), {L"Moon.zyqn"}));
    box = rig.WaitForMessageBox(rig.Player());
    ASSERT_TRUE(box);
    PanelRig::Answer(box, IDYES);
    ASSERT_TRUE(rig.WaitGone(box));
    PumpFor(200);
    EXPECT_EQ(Scores(rig, 6), 1);  // still one row for it
    rig.Stop();
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.size(), 2u);
    EXPECT_EQ(disk[L"Pop\\Moon.zyqn"], ReadFileBytes(source / L"Moon.zyqn"));
}

TEST(PanelAdd, AFileTheEngineRejectsLeavesNoRowAndNoCopy) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    TempDir source;
    WriteFileBytes(source / L"Broken.zyqn", "\x01 not a score");
    CopyFromBin(kSample, source.Path(), L"Good.zyqn");
    // A name typed past the filter: the library would never list it again.
    CopyFromBin(kSample, source.Path(), L"Good.txt");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(AddThroughDialog(rig, 0, source.Path(), {L"Broken.zyqn", L"Good.zyqn", L"Good.txt"}));
    // The engine's refusal is silent; a file that is no score is named.
    EXPECT_EQ(rig.TakeMessage(), L"The file \"Good.txt\" was not added: only files whose names end in zyqn are "
                                 L"scores of the library.");
    PumpFor(300);
    EXPECT_EQ(Scores(rig, 8), 2);
    rig.Stop();
    DiskSnapshot expected = before;
    expected[L"Pop\\Good.zyqn"] = ReadFileBytes(source / L"Good.zyqn");
    EXPECT_EQ(rig.Disk(), expected);
}

TEST(PanelAdd, TheAddButtonTakesASelectedPageToItsScoresFolder) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    TempDir source;
    CopyFromBin(kSample, source.Path(), L"Star.zyqn");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.MenuOfRow(2), MenuKind::None);  // a right click selects Moon's page
    rig.ClickPanelButton(L"add");
    HWND dialog = WaitForFileDialog(rig.Player());
    ASSERT_TRUE(dialog);
    EnterFileName(dialog, source.Path());
    EnterFileName(dialog, L"Star.zyqn");
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 3000));
    PumpFor(300);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Star )");
    rig.Stop();
    EXPECT_EQ(rig.Disk().count(L"Pop\\Star.zyqn"), 1u);
    EXPECT_EQ(rig.Disk().size(), 3u);
}

TEST(PanelAdd, ACopyTheFileSystemRefusesIsNamedAndChangesNothing) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    TempDir source;
    CopyFromBin(kSample, source.Path(), L"Held.zyqn");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    {
        HeldOpen held(source / L"Held.zyqn", 0);  // no one else may read it
        EXPECT_TRUE(held.Ok());
        ASSERT_TRUE(AddThroughDialog(rig, 0, source.Path(), {L"Held.zyqn"}));
        EXPECT_EQ(rig.TakeMessage(), L"The file \"Held.zyqn\" could not be copied into the library. Nothing was changed.");
    }
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(PanelAdd, TheAddDialogAndThePlayersOpenDialogOfferTheSameFiles) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    TempDir source;
    CopyFromBin(kSample, source.Path(), L"Alpha.zyqn");
    CopyFromBin(kSample, source.Path(), L"Barezyqn");
    WriteFileBytes(source / L"Notes.txt", "notes");
    ASSERT_TRUE(rig.Start());

    EXPECT_TRUE(rig.ChooseFromMenu(0, kMenuAddScores));
    HWND add = WaitForFileDialog(rig.Player());
    ASSERT_TRUE(add);
    std::vector<std::wstring> fromPanel = ListedIn(add, source.Path());
    ASSERT_FALSE(IsWindow(add));

    RECT button = rig.Probe(L"ID_BTN_OPEN_FILE").pos;
    rig.ClickAt(POINT{(button.left + button.right) / 2, (button.top + button.bottom) / 2});
    HWND open = WaitForFileDialog(rig.Player());
    ASSERT_TRUE(open);
    std::vector<std::wstring> fromPlayer = ListedIn(open, source.Path());

    // Files named *.zyqn only, by either way in.
    EXPECT_EQ(fromPanel, std::vector<std::wstring>{L"Alpha.zyqn"});
    EXPECT_EQ(fromPlayer, fromPanel);
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");  // both were cancelled
}
