// The panel's commands from its context menus: delete and rename, with the
// files on disk checked after every step, also when the file system refuses.
#include <gtest/gtest.h>

#include <cwchar>

#include "tests/library/panel_rig.h"

using namespace testing_support;

namespace {
const std::wstring kRefusedNameRest =
    L"\" cannot be used. A name may not contain \\ / : * ? \" < > |, may not be \".\" or \"..\", and a folder's name "
    L"may not begin with a full stop.";

// Pop holds exactly one score, so its rows are known: 0 Pop, 1 Moon.
void OneScoreLibrary(PanelRig& rig) { rig.PutScore(L"Pop\\Moon.zyqn"); }

std::wstring RenameThroughDialog(PanelRig& rig, int row, int item, const std::wstring& name) {
    if (!rig.ChooseFromMenu(row, item)) return L"no menu";
    HWND dialog = rig.WaitForDialog();
    if (!dialog) return L"no dialog";
    rig.ClearField(dialog);
    rig.Type(dialog, name);
    rig.DialogOk(dialog);
    if (!rig.WaitGone(dialog)) return L"dialog stayed";
    PumpFor(200);
    return L"";
}
}  // namespace

TEST(PanelDelete, WithNoScoreOpenNothingIsAskedOrDeleted) {
    PanelRig rig;
    rig.PutFolder(L"Pop");
    rig.PutFile(L"Jazz\\Sun.zyqn", "rejected");  // no row, so no score to open
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    ASSERT_EQ(rig.ViewRows(), 0);
    ASSERT_EQ(rig.RowCount(), 2);
    ASSERT_TRUE(rig.ChooseFromMenu(0, kMenuDeleteFolder));
    EXPECT_FALSE(rig.WaitForMessageBox(rig.Player(), 600));
    rig.ClickPanelButton(L"delete");  // the row is still selected
    EXPECT_FALSE(rig.WaitForMessageBox(rig.Player(), 600));
    EXPECT_EQ(rig.RowCount(), 2);
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(PanelDelete, AScoreGoesOnlyAfterOkAndAloneWhenTheOpenScoreIsAnother) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Jazz\\Sun.zyqn");
    rig.PutFile(L"Jazz\\notes.txt", "mine");
    rig.Remember(L"Pop", L"Moon");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    int sunRow = -1;
    // Find Sun by its delete question.
    for (int i = 0; i < 8; ++i) {
        if (rig.MenuOfRow(i) != MenuKind::Score) continue;
        ASSERT_TRUE(rig.ChooseFromMenu(i, kMenuDeleteScore));
        HWND box = rig.WaitForMessageBox(rig.Player());
        ASSERT_TRUE(box);
        std::wstring text = PanelRig::MessageText(box);
        PanelRig::Answer(box, IDCANCEL);
        ASSERT_TRUE(rig.WaitGone(box));
        if (text == L"Delete the score \"Sun\"?") {
            sunRow = i;
            break;
        }
        EXPECT_EQ(text, L"Delete the score \"Moon\"?");
    }
    ASSERT_GE(sunRow, 0);
    EXPECT_EQ(rig.Disk(), before);  // Cancel kept everything

    ASSERT_TRUE(rig.ChooseFromMenu(sunRow, kMenuDeleteScore));
    HWND box = rig.WaitForMessageBox(rig.Player());
    ASSERT_TRUE(box);
    PanelRig::Answer(box, IDOK);
    ASSERT_TRUE(rig.WaitGone(box));
    PumpFor(200);
    EXPECT_NE(rig.MenuOfRow(sunRow), MenuKind::Score);
    rig.Stop();
    DiskSnapshot expected = before;
    expected.erase(L"Jazz\\Sun.zyqn");
    EXPECT_EQ(rig.Disk(), expected);
    EXPECT_EQ(rig.RememberedScore(), L"Pop\\Moon");
}

TEST(PanelDelete, TheFolderOfTheOpenScoreLosesItsScoresAndKeepsWhatItDoesNotList) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Pop\\Sun.zyqn");
    rig.PutFile(L"Pop\\notes.txt", "mine");
    rig.PutScore(L"Pop\\old\\Star.zyqn");
    rig.Remember(L"Pop", L"Moon");
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    ASSERT_TRUE(rig.ChooseFromMenu(0, kMenuDeleteFolder));
    HWND box = rig.WaitForMessageBox(rig.Player());
    ASSERT_TRUE(box);
    EXPECT_EQ(PanelRig::MessageText(box), L"Delete the folder \"Pop\" and every score in it?");
    PanelRig::Answer(box, IDOK);
    ASSERT_TRUE(rig.WaitGone(box));
    PumpFor(200);
    EXPECT_EQ(rig.RowCount(), 0);
    EXPECT_EQ(rig.ViewRows(), 0);  // the page display went blank
    rig.Stop();
    DiskSnapshot expected = before;
    expected.erase(L"Pop\\Moon.zyqn");
    expected.erase(L"Pop\\Sun.zyqn");
    EXPECT_EQ(rig.Disk(), expected);
}

TEST(PanelDelete, AnEmptiedFolderIsRemovedAndAReadOnlyScoreStays) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    std::wstring locked = rig.PutScore(L"Pop\\Sun.zyqn");
    rig.PutScore(L"Jazz\\Blue.zyqn");
    rig.Remember(L"Jazz", L"Blue");
    SetReadOnly(locked, true);
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    int popRow = -1;
    for (int i = 0; i < 6 && popRow < 0; ++i) {
        if (rig.MenuOfRow(i) != MenuKind::Folder) continue;
        ASSERT_TRUE(rig.ChooseFromMenu(i, kMenuDeleteFolder));
        HWND box = rig.WaitForMessageBox(rig.Player());
        ASSERT_TRUE(box);
        bool isPop = PanelRig::MessageText(box).find(L"\"Pop\"") != std::wstring::npos;
        PanelRig::Answer(box, isPop ? IDOK : IDCANCEL);
        ASSERT_TRUE(rig.WaitGone(box));
        if (isPop) popRow = i;
    }
    ASSERT_GE(popRow, 0);
    PumpFor(200);
    rig.Stop();
    SetReadOnly(locked, false);
    DiskSnapshot expected = before;
    expected.erase(L"Pop\\Moon.zyqn");  // the read-only Sun stays, and with it Pop
    EXPECT_EQ(rig.Disk(), expected);
}

TEST(PanelRename, AScoreIsRenamedOnDiskAndAForbiddenNameChangesNothing) {
    PanelRig rig;
    OneScoreLibrary(rig);
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Full Moon"), L"");
    DiskSnapshot renamed = rig.Disk();
    EXPECT_EQ(renamed.count(L"Pop\\Full Moon.zyqn"), 1u);
    EXPECT_EQ(renamed.count(L"Pop\\Moon.zyqn"), 0u);
    EXPECT_EQ(renamed.size(), 2u);
    // Refused names are named back to the user; the disk stays as it was.
    for (const wchar_t* bad : {L"a:b", L"..\\..\\Out", L"..", L"a*b"}) {
        EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, bad), L"");
        EXPECT_EQ(rig.TakeMessage(), L"The name \"" + std::wstring(bad) + kRefusedNameRest) << bad;
    }
    EXPECT_EQ(rig.Disk(), renamed);
    // The row follows the file: renaming it again finds the new name.
    EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Moon"), L"");
    rig.Stop();
    EXPECT_EQ(rig.Disk().count(L"Pop\\Moon.zyqn"), 1u);
    EXPECT_EQ(rig.Disk().size(), 2u);
}

TEST(PanelRename, AScoreWithoutExtensionIsFoundByItsOwnFileName) {
    PanelRig rig;
    rig.PutScore(L"Odd\\xzyqn");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Even"), L"");
    rig.Stop();
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.count(L"Odd\\Even.zyqn"), 1u);
    EXPECT_EQ(disk.size(), 2u);
}

TEST(PanelRename, AFolderIsRenamedWithItsScoresAndAShortOldNameLeavesTheRowIntact) {
    PanelRig rig;
    rig.PutScore(L"x\\Moon.zyqn");
    rig.PutFile(L"x\\notes.txt", "mine");
    ASSERT_TRUE(rig.Start());
    // The folder row's title: its icon and indent markup, then the name.
    const std::wstring before = rig.Probe(L"ID_TEXT_SCORE_PAGE_ICON_TITLE").text;
    ASSERT_GT(before.size(), 1u);
    EXPECT_EQ(before.back(), L'x');
    EXPECT_EQ(RenameThroughDialog(rig, 0, kMenuRenameFolder, L"Etudes.2020"), L"");
    rig.Shot(L"panel-renamed-folder.png");
    // Only the name changed: the markup before it, which holds x's too, did not.
    EXPECT_EQ(std::wstring(rig.Probe(L"ID_TEXT_SCORE_PAGE_ICON_TITLE").text),
              before.substr(0, before.size() - 1) + L"Etudes.2020");
    // Its score is reached under the new name: rename it too.
    EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Sun"), L"");
    EXPECT_EQ(rig.MenuOfRow(0), MenuKind::Folder);
    rig.Stop();
    DiskSnapshot expected = {{L"Etudes.2020\\", ""},
                             {L"Etudes.2020\\Sun.zyqn", ReadFileBytes(BinFolder() + L"music\\Beginner\\Ode to Joy.zyqn")},
                             {L"Etudes.2020\\notes.txt", "mine"}};
    EXPECT_EQ(rig.Disk(), expected);
}

TEST(PanelRename, AScoreInUseIsNotRenamed) {
    PanelRig rig;
    std::wstring held = rig.PutScore(L"Pop\\Moon.zyqn");
    ASSERT_TRUE(rig.Start());
    DiskSnapshot before = rig.Disk();
    {
        HeldOpen open(held, 0);
        EXPECT_TRUE(open.Ok());
        EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Sun"), L"");
        EXPECT_EQ(rig.TakeMessage(), L"Could not rename \"Moon\": it may be in use or read-only. Nothing was changed.");
    }
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}

TEST(PanelRename, TheOpenScoreAndItsFolderAreFollowedByThePlayerAndTheSettings) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Jazz\\Blue.zyqn");
    rig.Remember(L"Pop", L"Moon");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    // Rows: Pop, Moon, Moon's page, Jazz, Blue, or Jazz and Blue first.
    ASSERT_EQ(rig.RowCount(), 5);
    int pop = rig.MenuOfRow(2) == MenuKind::None ? 0 : 2;
    // The learner zoomed in, played a little, paused and scrolled down the
    // page: a rename keeps all that (opening the score again would reset the
    // transport, fit the zoom and scroll to the top).
    auto press = [&](const wchar_t* button) {
        RECT rc = rig.Probe(button).pos;
        rig.ClickAt(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
    };
    press(L"ID_BTN_ZOOM_IN");
    press(L"ID_BTN_SCORE_START");
    EXPECT_TRUE(PumpUntil([&] { return rig.Probe(L"ID_SLIDER_PLAY_RULER").value > 0; }, 9000));
    press(L"ID_BTN_SCORE_PAUSE");
    EXPECT_EQ(rig.Probe(L"#STOPPED").value, 0);  // paused, not stopped
    RECT view = rig.Probe(L"ID_SCORE_VIEW").pos;
    POINT middle = {(view.left + view.right) / 2, (view.top + view.bottom) / 2};
    ClientToScreen(rig.Player(), &middle);
    for (int notch = 0; notch < 3; ++notch)
        PostMessageW(rig.Player(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), MAKELPARAM(middle.x, middle.y));
    PumpFor(900);
    const std::wstring zoom = rig.Probe(L"#ZOOM").text;
    const SIZE scrolled = rig.Probe(L"ID_SCORE_VIEW").scroll;
    const int played = rig.Probe(L"ID_SLIDER_PLAY_RULER").value;
    EXPECT_GT(scrolled.cy, 0);
    EXPECT_EQ(RenameThroughDialog(rig, pop + 1, kMenuRenameScore, L"Full Moon"), L"");
    EXPECT_EQ(rig.Title(), L"Melvane  ( Full Moon )");
    EXPECT_EQ(RenameThroughDialog(rig, pop, kMenuRenameFolder, L"Night"), L"");
    EXPECT_EQ(rig.Title(), L"Melvane  ( Full Moon )");
    EXPECT_EQ(std::wstring(rig.Probe(L"#ZOOM").text), zoom);
    EXPECT_EQ(rig.Probe(L"ID_SCORE_VIEW").scroll.cy, scrolled.cy);
    EXPECT_EQ(rig.ViewRows(), 1);
    EXPECT_EQ(rig.Probe(L"ID_SLIDER_PLAY_RULER").value, played);
    EXPECT_EQ(rig.Probe(L"#STOPPED").value, 0) << "still paused where it was";
    EXPECT_TRUE(rig.Probe(L"ID_BTN_SCORE_STOP").enabled);
    rig.Stop();
    EXPECT_EQ(rig.RememberedScore(), L"Night\\Full Moon");
    DiskSnapshot disk = rig.Disk();
    EXPECT_EQ(disk.count(L"Night\\Full Moon.zyqn"), 1u);
    EXPECT_EQ(disk.count(L"Jazz\\Blue.zyqn"), 1u);
    EXPECT_EQ(disk.size(), 4u);
}

TEST(PanelRename, RenamingAnotherScoreLeavesTheOpenOne) {
    PanelRig rig;
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.PutScore(L"Jazz\\Blue.zyqn");
    rig.Remember(L"Pop", L"Moon");
    ASSERT_TRUE(rig.Start());
    // Jazz's score row is the score row not followed by a page row.
    int blue = -1;
    for (int i = 0; i < rig.RowCount(); ++i)
        if (rig.MenuOfRow(i) == MenuKind::Score && (i + 1 >= rig.RowCount() || rig.MenuOfRow(i + 1) != MenuKind::None))
            blue = i;
    ASSERT_GE(blue, 0);
    EXPECT_EQ(RenameThroughDialog(rig, blue, kMenuRenameScore, L"Green"), L"");
    EXPECT_EQ(rig.Title(), L"Melvane  ( Moon )");
    rig.Stop();
    EXPECT_EQ(rig.RememberedScore(), L"Pop\\Moon");
    EXPECT_EQ(rig.Disk().count(L"Jazz\\Green.zyqn"), 1u);
}

TEST(PanelRename, NamesInChineseJapaneseAndAccentedLatinAreListedOpenedRenamedAndRemembered) {
    const struct {
        const wchar_t* folder;
        const wchar_t* score;
        const wchar_t* newScore;
        const wchar_t* newFolder;
        const wchar_t* shot;
    } names[] = {
        {L"\u7ec3\u4e60\u66f2", L"\u6b22\u4e50\u9882", L"\u5c0f\u661f\u661f", L"\u513f\u6b4c", L"panel-names-chinese.png"},
        {L"\u65e5\u672c\u306e\u6b4c", L"\u3088\u308d\u3053\u3073\u306e\u6b4c", L"\u304d\u3089\u304d\u3089\u661f",
         L"\u7ae5\u8b21", L"panel-names-japanese.png"},
        {L"\u00c9tudes", L"F\u00fcr Elise", L"Fr\u00e8re Jacques", L"Chansons fran\u00e7aises", L"panel-names-latin.png"},
    };
    for (const auto& n : names) {
        PanelRig rig;
        rig.PutScore(std::wstring(n.folder) + L"\\" + n.score + L".zyqn");
        rig.ShipLanguages();
        ASSERT_TRUE(rig.Start(2052));
        // Listed under its folder, opened at start and named in the title.
        const std::wstring folderRow = rig.Probe(L"ID_TEXT_SCORE_PAGE_ICON_TITLE").text;
        EXPECT_EQ(folderRow.substr(folderRow.size() - wcslen(n.folder)), n.folder);
        EXPECT_EQ(rig.Title(), std::wstring(L"Melvane  ( ") + n.score + L" )");
        rig.Shot(n.shot);
        EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, n.newScore), L"");
        EXPECT_EQ(RenameThroughDialog(rig, 0, kMenuRenameFolder, n.newFolder), L"");
        rig.Stop();
        const std::wstring renamed = std::wstring(n.newFolder) + L"\\" + n.newScore;
        EXPECT_EQ(rig.Disk().count(renamed + L".zyqn"), 1u);
        EXPECT_EQ(rig.Disk().size(), 2u);
        EXPECT_EQ(rig.RememberedScore(), renamed);
    }
}

TEST(PanelRename, WithoutTheEngineTheRememberedScoreStillFollowsItsRenames) {
    PanelRig rig(false);
    rig.PutScore(L"Pop\\Moon.zyqn");
    rig.Remember(L"Pop", L"Moon");
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(RenameThroughDialog(rig, 1, kMenuRenameScore, L"Sun"), L"");
    EXPECT_EQ(RenameThroughDialog(rig, 0, kMenuRenameFolder, L"Day"), L"");
    rig.Stop();
    EXPECT_EQ(rig.RememberedScore(), L"Day\\Sun");
    EXPECT_EQ(rig.Disk().count(L"Day\\Sun.zyqn"), 1u);
}

// Folder names the library could not list again, or that would leave it, are
// refused with a word, for a new folder and for a renamed one alike.
TEST(PanelRename, AFolderNameTheLibraryCannotTakeIsNamedAndChangesNothing) {
    PanelRig rig;
    OneScoreLibrary(rig);
    DiskSnapshot before = rig.Disk();
    ASSERT_TRUE(rig.Start());
    const wchar_t* bad[] = {L".hidden", L".", L"..", L"a/b", L"x?"};
    for (const wchar_t* name : bad) {
        EXPECT_EQ(RenameThroughDialog(rig, 0, kMenuRenameFolder, name), L"");
        EXPECT_EQ(rig.TakeMessage(), L"The name \"" + std::wstring(name) + kRefusedNameRest) << name;
    }
    for (const wchar_t* name : bad) {
        rig.ClickPanelButton(L"folder");
        HWND dialog = rig.WaitForDialog();
        ASSERT_TRUE(dialog);
        rig.Type(dialog, name);
        rig.DialogOk(dialog);
        ASSERT_TRUE(rig.WaitGone(dialog));
        EXPECT_EQ(rig.TakeMessage(), L"The name \"" + std::wstring(name) + kRefusedNameRest) << name;
    }
    EXPECT_EQ(rig.RowCount(), 3);  // Pop, Moon, Moon's page
    rig.Stop();
    EXPECT_EQ(rig.Disk(), before);
}
