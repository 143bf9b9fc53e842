// Create, rename and delete on real files: after each operation the disk holds
// exactly the expected entries, also when the file system refuses.
#include <gtest/gtest.h>

#include "tests/library/library_disk.h"

using testing_support::FileExists;

namespace {
// Replaces the keys that start with from by the same keys starting with to.
DiskSnapshot Moved(DiskSnapshot s, const std::wstring& from, const std::wstring& to) {
    DiskSnapshot out;
    for (auto& kv : s) {
        std::wstring key = kv.first;
        if (key.compare(0, from.size(), from) == 0) key = to + key.substr(from.size());
        out[key] = kv.second;
    }
    return out;
}
std::wstring WithoutSlash(std::wstring p) {
    if (!p.empty() && p.back() == L'\\') p.pop_back();
    return p;
}
}  // namespace

TEST(LibraryCreateFolder, CreatesOneFolderAndRefusesNamesThatWouldEscapeOrHide) {
    LibraryDisk disk;
    disk.Folder(L"Pop");
    disk.Put(L"Pop\\Moon.zyqn");
    CScoreLibrary& lib = disk.Library();
    const DiskSnapshot before = disk.Disk();

    EXPECT_TRUE(lib.CreateFolder(L"Pop"));  // already there: nothing changes
    EXPECT_EQ(before, disk.Disk());

    for (const wchar_t* bad : {L"a|b", L"a?b", L"a*", L"..\\Out", L"x\\y", L".hidden", L"", L"C:Out"}) {
        EXPECT_FALSE(lib.CreateFolder(bad)) << bad;
        EXPECT_EQ(before, disk.Disk()) << bad;
    }

    EXPECT_TRUE(lib.CreateFolder(L"Etudes.2020"));
    DiskSnapshot expected = before;
    expected[L"music\\Etudes.2020\\"] = "";
    EXPECT_EQ(expected, disk.Disk());
}

TEST(LibraryRename, FolderKeepsItsScoresAndNeverReplacesAnother) {
    LibraryDisk disk;
    disk.Put(L"Pop\\Moon.zyqn", "moon");
    disk.Put(L"Pop\\notes.txt", "notes");
    disk.Put(L"Rock\\Stone.zyqn", "stone");
    CScoreLibrary& lib = disk.Library();
    const DiskSnapshot before = disk.Disk();

    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\", L"Rock"));
    EXPECT_EQ(before, disk.Disk());
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\", L"..\\Pop"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\", L"P|p"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\", L".Pop"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\", L"*"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Gone\\", L"Jazz"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root(), L"Jazz"));  // the root itself
    EXPECT_EQ(before, disk.Disk());

    EXPECT_EQ(disk.Root() + L"Etudes.2020\\", lib.RenameFolder(disk.Root() + L"Pop\\", L"Etudes.2020"));
    EXPECT_EQ(Moved(before, L"music\\Pop\\", L"music\\Etudes.2020\\"), disk.Disk());
    EXPECT_EQ(disk.Root() + L"Pop\\", lib.RenameFolder(disk.Root() + L"Etudes.2020\\", L"Pop"));
    EXPECT_EQ(before, disk.Disk());
}

TEST(LibraryRename, ScoreTakesTheScoreEndingAndNeverReplacesAnother) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn", "moon");
    const std::wstring sun = disk.Put(L"Pop\\Sun.zyqn", "sun");
    const std::wstring plain = disk.Put(L"Pop\\xzyqn", "x");
    CScoreLibrary& lib = disk.Library();
    const DiskSnapshot before = disk.Disk();

    EXPECT_EQ(L"", lib.RenameScore(moon, L"Sun"));
    EXPECT_EQ(L"", lib.RenameScore(moon, L"..\\..\\Moon"));
    EXPECT_EQ(L"", lib.RenameScore(moon, L"M?on"));
    EXPECT_EQ(L"", lib.RenameScore(moon, L"M:on"));
    EXPECT_EQ(L"", lib.RenameScore(disk.Root() + L"Pop\\Gone.zyqn", L"Star"));
    EXPECT_EQ(before, disk.Disk());

    EXPECT_EQ(disk.Root() + L"Pop\\Etude.no.3.zyqn", lib.RenameScore(moon, L"Etude.no.3"));
    EXPECT_EQ(disk.Root() + L"Pop\\plain.zyqn", lib.RenameScore(plain, L"plain"));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""},
                            {L"music\\Pop\\", ""},
                            {L"music\\Pop\\Etude.no.3.zyqn", "moon"},
                            {L"music\\Pop\\Sun.zyqn", "sun"},
                            {L"music\\Pop\\plain.zyqn", "x"}}),
              disk.Disk());
    (void)sun;
}

TEST(LibraryRename, ScoreInUseStaysWhereItIs) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn", "moon");
    const DiskSnapshot before = disk.Disk();
    {
        HeldOpen held(moon);
        EXPECT_TRUE(held.Ok());
        EXPECT_EQ(L"", disk.Library().RenameScore(moon, L"Star"));
        EXPECT_EQ(before, disk.Disk());
    }
    EXPECT_NE(L"", disk.Library().RenameScore(moon, L"Star"));
}

TEST(LibraryRename, ChangingOnlyTheLetterCaseLosesNothing) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn", "moon");
    std::wstring renamed = disk.Library().RenameScore(moon, L"MOON");
    // Whether the file system allows it or not, one file holds the score.
    DiskSnapshot after = disk.Disk();
    ASSERT_EQ(3u, after.size());
    auto score = std::prev(after.end());
    EXPECT_TRUE(SameFileName(L"music\\Pop\\Moon.zyqn", score->first));
    EXPECT_EQ("moon", score->second);
    if (!renamed.empty()) {
        EXPECT_EQ(L"music\\Pop\\MOON.zyqn", score->first);
    }
}

TEST(LibraryRename, NothingOutsideTheLibraryIsRenamed) {
    LibraryDisk disk;
    disk.Folder(L"Pop");
    const std::wstring outside = disk.PluginFolder() + L"Outside.zyqn";
    testing_support::WriteFileBytes(outside, "mine");
    testing_support::WriteFileBytes(disk.PluginFolder() + L"Settings.ini", "x");
    const DiskSnapshot before = disk.Disk();
    CScoreLibrary& lib = disk.Library();

    EXPECT_EQ(L"", lib.RenameScore(outside, L"Taken"));
    EXPECT_EQ(L"", lib.RenameScore(disk.Root() + L"Pop\\..\\..\\Outside.zyqn", L"Taken"));
    EXPECT_EQ(L"", lib.RenameFolder(disk.Root() + L"Pop\\..\\..\\", L"Taken"));
    EXPECT_EQ(before, disk.Disk());
}

TEST(LibraryDelete, FolderGoesDepthFirstWithOnlyTheChosenScores) {
    LibraryDisk disk;
    const std::wstring a = disk.Put(L"Pop\\a.zyqn");
    const std::wstring b = disk.Put(L"Pop\\b.zyqn");
    disk.Put(L"Rock\\c.zyqn");
    CScoreLibrary& lib = disk.Library();

    // A score of another folder in the list is not this folder's to delete.
    EXPECT_TRUE(lib.DeleteFolder(disk.Root() + L"Pop\\", {a, b, disk.Root() + L"Rock\\c.zyqn"}));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""}, {L"music\\Rock\\", ""}, {L"music\\Rock\\c.zyqn", "score"}}),
              disk.Disk());
}

TEST(LibraryDelete, FolderWithFilesTheLibraryDoesNotListStays) {
    LibraryDisk disk;
    const std::wstring a = disk.Put(L"Pop\\a.zyqn");
    disk.Put(L"Pop\\notes.txt", "notes");
    disk.Put(L"Pop\\d\\e.zyqn", "deep");
    disk.Put(L"Pop\\late.zyqn", "added by hand after the list was made");
    EXPECT_FALSE(disk.Library().DeleteFolder(disk.Root() + L"Pop\\", {a}));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""},
                            {L"music\\Pop\\", ""},
                            {L"music\\Pop\\notes.txt", "notes"},
                            {L"music\\Pop\\d\\", ""},
                            {L"music\\Pop\\d\\e.zyqn", "deep"},
                            {L"music\\Pop\\late.zyqn", "added by hand after the list was made"}}),
              disk.Disk());
}

TEST(LibraryDelete, RefusedDeletesLeaveTheFiles) {
    LibraryDisk disk;
    const std::wstring locked = disk.Put(L"Pop\\locked.zyqn", "locked");
    const std::wstring used = disk.Put(L"Pop\\used.zyqn", "used");
    const std::wstring free = disk.Put(L"Pop\\free.zyqn", "free");
    SetReadOnly(locked, true);
    {
        HeldOpen held(used);
        EXPECT_TRUE(held.Ok());
        EXPECT_FALSE(disk.Library().DeleteScore(locked));
        EXPECT_FALSE(disk.Library().DeleteScore(used));
        EXPECT_FALSE(disk.Library().DeleteFolder(disk.Root() + L"Pop\\", {locked, used, free}));
    }
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""},
                            {L"music\\Pop\\", ""},
                            {L"music\\Pop\\locked.zyqn", "locked"},
                            {L"music\\Pop\\used.zyqn", "used"}}),
              disk.Disk());
    SetReadOnly(locked, false);
}

TEST(LibraryDelete, NeverReachesOutsideTheLibrary) {
    LibraryDisk disk;
    disk.Put(L"Pop\\a.zyqn");
    const std::wstring outside = disk.PluginFolder() + L"victim.zyqn";
    testing_support::WriteFileBytes(outside, "mine");
    CreateDirectoryW((disk.PluginFolder() + L"Empty").c_str(), nullptr);
    const DiskSnapshot before = disk.Disk();
    CScoreLibrary& lib = disk.Library();

    EXPECT_FALSE(lib.DeleteScore(outside));
    EXPECT_FALSE(lib.DeleteScore(disk.Root() + L"Pop\\..\\..\\victim.zyqn"));
    EXPECT_FALSE(lib.DeleteScore(disk.Root() + L"Pop\\"));
    EXPECT_FALSE(lib.DeleteFolder(disk.Root() + L"..\\Empty\\", {}));
    EXPECT_FALSE(lib.DeleteFolder(disk.Root() + L"Pop\\..\\..\\Empty\\", {}));
    EXPECT_FALSE(lib.DeleteFolder(disk.Root(), {}));
    EXPECT_FALSE(lib.DeleteFolder(disk.Root() + L"Pop\\", {outside}));
    EXPECT_EQ(before, disk.Disk());
}

TEST(LibraryDelete, MissingEntriesCountAsGone) {
    LibraryDisk disk;
    disk.Folder(L"Pop");
    EXPECT_TRUE(disk.Library().DeleteScore(disk.Root() + L"Pop\\gone.zyqn"));
    EXPECT_TRUE(disk.Library().DeleteFolder(disk.Root() + L"Gone\\", {}));
    EXPECT_TRUE(disk.Library().DeleteFolder(disk.Root() + L"Pop\\", {}));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""}}), disk.Disk());
}

TEST(LibraryDelete, NeverGoesThroughALink) {
    LibraryDisk disk;
    testing_support::TempDir outside;
    testing_support::WriteFileBytes(outside / L"a.zyqn", "outside a");
    testing_support::WriteFileBytes(outside / L"b.zyqn", "outside b");
    const std::wstring own = disk.Put(L"Real\\own.zyqn", "own");
    disk.Folder(L"Linked");
    RemoveDirectoryW((disk.Root() + L"Linked").c_str());
    if (!MakeLink(disk.Root() + L"Linked", WithoutSlash(outside.Path()), true) ||
        !MakeLink(disk.Root() + L"Real\\b.zyqn", outside / L"b.zyqn", false))
        GTEST_SKIP() << "no symbolic links here";

    CScoreLibrary& lib = disk.Library();
    std::vector<std::wstring> paths = lib.Enumerate();
    std::vector<std::wstring> scores;
    for (const std::wstring& p : paths)
        if (p.back() != L'\\') scores.push_back(p);
    ASSERT_EQ(4u, scores.size());  // the linked folder's two, own.zyqn and the linked score

    EXPECT_FALSE(lib.DeleteFolder(disk.Root() + L"Linked\\", scores));
    EXPECT_FALSE(lib.DeleteScore(disk.Root() + L"Linked\\a.zyqn"));
    EXPECT_FALSE(lib.DeleteScore(disk.Root() + L"Real\\b.zyqn"));
    EXPECT_FALSE(lib.DeleteFolder(disk.Root() + L"Real\\", scores));
    EXPECT_EQ((DiskSnapshot{{L"a.zyqn", "outside a"}, {L"b.zyqn", "outside b"}}), Snapshot(outside.Path()));
    EXPECT_FALSE(testing_support::FileExists(own));  // the folder's own score did go
}
