#include <gtest/gtest.h>

#include "library/library_paths.h"

TEST(LibraryNames, ScoreEndingIsExactAndNeedsNoFullStop) {
    EXPECT_TRUE(IsScoreFileName(L"Song.zyqn"));
    EXPECT_TRUE(IsScoreFileName(L"Songzyqn"));
    EXPECT_TRUE(IsScoreFileName(L"zyqn"));
    EXPECT_FALSE(IsScoreFileName(L"Song.ZYQN"));
    EXPECT_FALSE(IsScoreFileName(L"Song.Zyqn"));
    EXPECT_FALSE(IsScoreFileName(L"Song.zyqn.txt"));
    EXPECT_FALSE(IsScoreFileName(L"yqn"));
}

TEST(LibraryNames, DisplayNamesCutOnlyAfterTheLastFullStopOfAFile) {
    EXPECT_EQ(L"Etude.no.3", DisplayNameOfPath(L"C:\\p\\music\\Pop\\Etude.no.3.zyqn"));
    EXPECT_EQ(L"xzyqn", DisplayNameOfPath(L"C:\\p\\music\\Pop\\xzyqn"));
    EXPECT_EQ(L"Etudes.2020", DisplayNameOfPath(L"C:\\p\\music\\Etudes.2020\\"));
    EXPECT_EQ(L"", DisplayNameOfPath(L""));
}

TEST(LibraryNames, OnlySingleComponentsWithoutWildcardsAreEntryNames) {
    EXPECT_TRUE(IsPlainEntryName(L"Moon Light"));
    EXPECT_TRUE(IsPlainEntryName(L"\u6708\u5149"));
    for (const wchar_t* bad : {L"", L".", L"..", L"a\\b", L"..\\x", L"a/b", L"C:x", L"a:stream", L"*", L"a?",
                               L"a|b", L"a<b", L"a>b", L"a\"b", L"a\tb"})
        EXPECT_FALSE(IsPlainEntryName(bad)) << bad;
}

TEST(LibraryNames, SplittingAcceptsOnlyEntriesDirectlyInTheLibrary) {
    const std::wstring root = L"C:\\p\\music\\";
    std::wstring folder, file;
    EXPECT_TRUE(SplitScorePath(root, root + L"Pop\\Moon.zyqn", &folder, &file));
    EXPECT_EQ(L"Pop", folder);
    EXPECT_EQ(L"Moon.zyqn", file);
    EXPECT_FALSE(SplitScorePath(root, root + L"Pop\\..\\..\\Moon.zyqn", nullptr, nullptr));
    EXPECT_FALSE(SplitScorePath(root, root + L"Pop\\sub\\Moon.zyqn", nullptr, nullptr));
    EXPECT_FALSE(SplitScorePath(root, root + L".hidden\\Moon.zyqn", nullptr, nullptr));
    EXPECT_FALSE(SplitScorePath(root, root + L"Pop\\notes.txt", nullptr, nullptr));
    EXPECT_FALSE(SplitScorePath(root, L"D:\\other\\Pop\\Moon.zyqn", nullptr, nullptr));
    EXPECT_FALSE(SplitScorePath(root, root + L"Moon.zyqn", nullptr, nullptr));

    EXPECT_TRUE(SplitFolderPath(root, root + L"Pop\\", &folder));
    EXPECT_EQ(L"Pop", folder);
    EXPECT_FALSE(SplitFolderPath(root, root, nullptr));
    EXPECT_FALSE(SplitFolderPath(root, root + L"..\\", nullptr));
    EXPECT_FALSE(SplitFolderPath(root, root + L"Pop\\sub\\", nullptr));
    EXPECT_FALSE(SplitFolderPath(root, root + L"Pop", nullptr));
}
