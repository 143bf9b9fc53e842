#include <gtest/gtest.h>

#include <algorithm>

#include "tests/library/library_disk.h"

using testing_support::FileExists;

TEST(LibraryEnumeration, MissingRootIsCreatedAndEmptyRootIsEmpty) {
    LibraryDisk disk;
    EXPECT_FALSE(FileExists(disk.Root()));
    EXPECT_TRUE(disk.Library().Enumerate().empty());
    EXPECT_TRUE(FileExists(disk.Root()));
    EXPECT_TRUE(disk.Library().Enumerate().empty());
}

TEST(LibraryEnumeration, RootThatIsAFileGivesNothingAndIsLeftAlone) {
    LibraryDisk disk;
    testing_support::WriteFileBytes(disk.PluginFolder() + L"music", "not a folder");
    EXPECT_TRUE(disk.Library().Enumerate().empty());
    EXPECT_FALSE(disk.Library().CreateFolder(L"Pop"));
    EXPECT_EQ((DiskSnapshot{{L"music", "not a folder"}}), disk.Disk());
}

TEST(LibraryEnumeration, ListsOnlyFoldersAndTheirScores) {
    LibraryDisk disk;
    disk.Put(L".hidden\\h.zyqn");
    disk.Put(L"a.zyqn");
    disk.Put(L"Pop\\b.zyqn");
    disk.Put(L"Pop\\c.txt");
    disk.Put(L"Pop\\d\\e.zyqn");
    disk.Put(L"Pop\\x.ZYQN");
    disk.Put(L"Pop\\xzyqn");
    disk.Folder(L"Pop\\f.zyqn");  // a directory with a score's name
    disk.Put(L"Etudes.2020\\Etude.no.3.zyqn");
    disk.Folder(L"Empty");
    const DiskSnapshot before = disk.Disk();

    std::vector<std::wstring> paths = disk.Library().Enumerate();
    const std::wstring r = disk.Root();
    std::vector<std::wstring> expected = {r + L"Pop\\",         r + L"Pop\\b.zyqn", r + L"Pop\\xzyqn",
                                          r + L"Etudes.2020\\", r + L"Etudes.2020\\Etude.no.3.zyqn",
                                          r + L"Empty\\"};
    std::vector<std::wstring> sortedPaths = paths, sortedExpected = expected;
    std::sort(sortedPaths.begin(), sortedPaths.end());
    std::sort(sortedExpected.begin(), sortedExpected.end());
    EXPECT_EQ(sortedExpected, sortedPaths);

    // Each score comes right after its own folder or a sibling score.
    std::wstring currentFolder;
    for (const std::wstring& p : paths) {
        if (p.back() == L'\\') {
            currentFolder = p;
        } else {
            EXPECT_EQ(0u, p.find(currentFolder)) << p;
            EXPECT_FALSE(currentFolder.empty());
        }
    }
    // Ignored entries are never touched.
    EXPECT_EQ(before, disk.Disk());
}

TEST(LibraryEnumeration, KeepsTheFileSystemOrder) {
    LibraryDisk disk;
    for (const wchar_t* f : {L"Zeta", L"alpha", L"Mid"}) disk.Put(std::wstring(f) + L"\\s.zyqn");
    std::vector<std::wstring> fromFileSystem;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((disk.Root() + L"*.*").c_str(), &fd);
    ASSERT_NE(INVALID_HANDLE_VALUE, h);
    do {
        if (fd.cFileName[0] != L'.') fromFileSystem.push_back(disk.Root() + fd.cFileName + L"\\");
    } while (FindNextFileW(h, &fd));
    FindClose(h);

    std::vector<std::wstring> folders;
    for (const std::wstring& p : disk.Library().Enumerate())
        if (p.back() == L'\\') folders.push_back(p);
    EXPECT_EQ(fromFileSystem, folders);
}

TEST(LibraryNamesOnDisk, FolderAndScoreNamesExist) {
    LibraryDisk disk;
    const std::wstring moon = disk.Put(L"Pop\\Moon.zyqn");
    disk.Put(L"Pop\\Sun.zyqn");
    disk.Folder(L"Rock");
    CScoreLibrary& lib = disk.Library();

    EXPECT_TRUE(lib.FolderNameExists(L"Pop"));
    EXPECT_TRUE(lib.FolderNameExists(L"Rock"));
    EXPECT_FALSE(lib.FolderNameExists(L"Jazz"));

    EXPECT_TRUE(lib.ScoreNameExists(moon, L"Sun"));
    EXPECT_FALSE(lib.ScoreNameExists(moon, L"Star"));
    // Nothing, a folder or an outside file selected: the name counts as taken.
    EXPECT_TRUE(lib.ScoreNameExists(L"", L"Star"));
    EXPECT_TRUE(lib.ScoreNameExists(disk.Root() + L"Pop\\", L"Star"));
    EXPECT_TRUE(lib.ScoreNameExists(disk.PluginFolder() + L"Moon.zyqn", L"Star"));
    // The selected score's folder vanished from disk.
    EXPECT_TRUE(lib.ScoreNameExists(disk.Root() + L"Gone\\Moon.zyqn", L"Star"));
}
