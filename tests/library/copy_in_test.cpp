// Adding scores: new copies, the overwrite question's two answers, and the
// cases where the copy must change nothing.
#include <gtest/gtest.h>

#include "tests/library/library_disk.h"

using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {
struct Asker {
    bool answer = false;
    std::vector<std::wstring> asked;
    OverwriteQuestion Question() {
        return [this](const std::wstring& name) {
            asked.push_back(name);
            return answer;
        };
    }
};

struct CopyInTest : ::testing::Test {
    LibraryDisk disk;
    testing_support::TempDir elsewhere;
    std::wstring Source(const std::wstring& name, const std::string& content) {
        WriteFileBytes(elsewhere / name, content);
        return elsewhere / name;
    }
};
}  // namespace

TEST_F(CopyInTest, NewFilesAreCopiedUnderTheirOwnNames) {
    disk.Folder(L"Pop");
    Asker ask;
    for (const wchar_t* name : {L"Moon.zyqn", L"Etude.no.3.zyqn", L"typed.txt"}) {
        CopyOutcome out = disk.Library().CopyScoreIn(Source(name, "new"), L"Pop", ask.Question());
        EXPECT_EQ(CopyResult::Copied, out.result) << name;
        EXPECT_EQ(disk.Root() + L"Pop\\" + name, out.dest);
    }
    EXPECT_TRUE(ask.asked.empty());
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""},
                            {L"music\\Pop\\", ""},
                            {L"music\\Pop\\Moon.zyqn", "new"},
                            {L"music\\Pop\\Etude.no.3.zyqn", "new"},
                            {L"music\\Pop\\typed.txt", "new"}}),
              disk.Disk());
}

TEST_F(CopyInTest, ATakenNameIsReplacedOnlyOnYes) {
    const std::wstring dest = disk.Put(L"Pop\\Moon.zyqn", "old");
    const std::wstring source = Source(L"Moon.zyqn", "new");
    Asker ask;

    CopyOutcome no = disk.Library().CopyScoreIn(source, L"Pop", ask.Question());
    EXPECT_EQ(CopyResult::Skipped, no.result);
    EXPECT_EQ(std::vector<std::wstring>{L"Moon.zyqn"}, ask.asked);
    EXPECT_EQ("old", ReadFileBytes(dest));
    EXPECT_FALSE(disk.Library().UndoCopy(no));
    EXPECT_EQ("old", ReadFileBytes(dest));

    ask.answer = true;
    CopyOutcome yes = disk.Library().CopyScoreIn(source, L"Pop", ask.Question());
    EXPECT_EQ(CopyResult::Replaced, yes.result);
    EXPECT_EQ(dest, yes.dest);
    EXPECT_EQ("new", ReadFileBytes(dest));
    // A replaced score has nothing to go back to; undoing must not delete it.
    EXPECT_FALSE(disk.Library().UndoCopy(yes));
    EXPECT_EQ("new", ReadFileBytes(dest));
    EXPECT_EQ("new", ReadFileBytes(source));
}

TEST_F(CopyInTest, AScoreCopiedOntoItselfIsLeftWhole) {
    const std::wstring dest = disk.Put(L"Pop\\Moon.zyqn", "the only copy");
    Asker ask;
    ask.answer = true;
    CopyOutcome out = disk.Library().CopyScoreIn(dest, L"Pop", ask.Question());
    EXPECT_EQ(CopyResult::Skipped, out.result);
    EXPECT_TRUE(ask.asked.empty());
    // Another spelling of the same path.
    disk.Library().CopyScoreIn(disk.Root() + L"Pop\\..\\Pop\\MOON.zyqn", L"Pop", ask.Question());
    EXPECT_EQ("the only copy", ReadFileBytes(dest));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""}, {L"music\\Pop\\", ""}, {L"music\\Pop\\Moon.zyqn", "the only copy"}}),
              disk.Disk());
}

TEST_F(CopyInTest, RefusedCopiesChangeNothing) {
    const std::wstring locked = disk.Put(L"Pop\\Locked.zyqn", "locked");
    const std::wstring used = disk.Put(L"Pop\\Used.zyqn", "used");
    SetReadOnly(locked, true);
    const DiskSnapshot before = disk.Disk();
    Asker ask;
    ask.answer = true;
    {
        HeldOpen held(used);
        EXPECT_TRUE(held.Ok());
        EXPECT_EQ(CopyResult::Failed,
                  disk.Library().CopyScoreIn(Source(L"Locked.zyqn", "new"), L"Pop", ask.Question()).result);
        EXPECT_EQ(CopyResult::Failed,
                  disk.Library().CopyScoreIn(Source(L"Used.zyqn", "new"), L"Pop", ask.Question()).result);
    }
    EXPECT_EQ(2u, ask.asked.size());
    EXPECT_EQ(before, disk.Disk());
    SetReadOnly(locked, false);
}

TEST_F(CopyInTest, ASourceThatCannotBeReadAsksNothingAndLeavesNoCopy) {
    disk.Folder(L"Pop");
    const DiskSnapshot before = disk.Disk();
    const std::wstring source = Source(L"Busy.zyqn", "busy");
    Asker ask;
    ask.answer = true;
    HeldOpen exclusive(source, 0);
    EXPECT_TRUE(exclusive.Ok());
    EXPECT_EQ(CopyResult::Failed, disk.Library().CopyScoreIn(source, L"Pop", ask.Question()).result);
    EXPECT_TRUE(ask.asked.empty());
    EXPECT_EQ(before, disk.Disk());
}

TEST_F(CopyInTest, NothingToCopyOrNowhereToCopyTo) {
    disk.Folder(L"Pop");
    const DiskSnapshot before = disk.Disk();
    Asker ask;
    CScoreLibrary& lib = disk.Library();
    EXPECT_EQ(CopyResult::Skipped, lib.CopyScoreIn(elsewhere / L"missing.zyqn", L"Pop", ask.Question()).result);
    EXPECT_EQ(CopyResult::Skipped, lib.CopyScoreIn(elsewhere.Path(), L"Pop", ask.Question()).result);
    const std::wstring source = Source(L"Moon.zyqn", "new");
    EXPECT_EQ(CopyResult::Failed, lib.CopyScoreIn(source, L"Gone", ask.Question()).result);
    EXPECT_EQ(CopyResult::Failed, lib.CopyScoreIn(source, L"..", ask.Question()).result);
    EXPECT_EQ(CopyResult::Failed, lib.CopyScoreIn(source, L"Pop\\..\\..", ask.Question()).result);
    EXPECT_TRUE(ask.asked.empty());
    EXPECT_EQ(before, disk.Disk());
}

TEST_F(CopyInTest, UndoRemovesOnlyTheNewCopyEvenWhenReadOnly) {
    disk.Folder(L"Pop");
    const std::wstring source = Source(L"Rejected.zyqn", "not a score");
    SetReadOnly(source, true);
    Asker ask;
    CopyOutcome out = disk.Library().CopyScoreIn(source, L"Pop", ask.Question());
    ASSERT_EQ(CopyResult::Copied, out.result);
    EXPECT_TRUE(disk.Library().UndoCopy(out));
    EXPECT_EQ((DiskSnapshot{{L"music\\", ""}, {L"music\\Pop\\", ""}}), disk.Disk());
    EXPECT_EQ("not a score", ReadFileBytes(source));
    SetReadOnly(source, false);

    CopyOutcome forged{CopyResult::Copied, source};
    EXPECT_FALSE(disk.Library().UndoCopy(forged));
    EXPECT_EQ("not a score", ReadFileBytes(source));
}
