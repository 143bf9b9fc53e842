// The rules the name dialog and the search box apply to what the user typed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/score_search.h"
#include "library/wnd_modify_score_dir.h"

namespace {
struct Taken {
    Taken() = default;
    Taken(std::initializer_list<std::wstring> n) : names(n) {}
    std::vector<std::wstring> names;
    mutable std::vector<std::wstring> asked;
    bool operator()(const std::wstring& n) const {
        asked.push_back(n);
        for (const auto& t : names)
            if (_wcsicmp(t.c_str(), n.c_str()) == 0) return true;
        return false;
    }
};
}  // namespace

TEST(NameCheck, NewFolderIsTrimmedAndCheckedAgainstTheLibrary) {
    Taken taken{L"Pop"};
    NameCheck c = CheckEntryName(kNewFolder, L"", L"  Jazz\t ", std::ref(taken));
    EXPECT_EQ(c.verdict, NameVerdict::Accepted);
    EXPECT_EQ(c.name, L"Jazz");
    EXPECT_EQ(taken.asked, std::vector<std::wstring>{L"Jazz"});
    EXPECT_EQ(CheckEntryName(kNewFolder, L"", L"pop", std::ref(taken)).verdict, NameVerdict::Taken);
}

TEST(NameCheck, OnlyWhiteSpaceIsEmptyAndNeverAskedAbout) {
    Taken taken;
    EXPECT_EQ(CheckEntryName(kNewFolder, L"", L"   \t", std::ref(taken)).verdict, NameVerdict::Empty);
    EXPECT_EQ(CheckEntryName(kRenameScore, L"Moon", L"", std::ref(taken)).verdict, NameVerdict::Empty);
    EXPECT_TRUE(taken.asked.empty());
}

TEST(NameCheck, RenameToTheSameNameIsUnchangedEvenWithSpacesAround) {
    Taken taken{L"Pop"};
    EXPECT_EQ(CheckEntryName(kRenameFolder, L"Pop", L"Pop", std::ref(taken)).verdict, NameVerdict::Unchanged);
    EXPECT_EQ(CheckEntryName(kRenameFolder, L"Pop", L"  Pop ", std::ref(taken)).verdict, NameVerdict::Unchanged);
    EXPECT_TRUE(taken.asked.empty());
    // A new folder of an existing name is no "unchanged" rename.
    EXPECT_EQ(CheckEntryName(kNewFolder, L"Pop", L"Pop", std::ref(taken)).verdict, NameVerdict::Taken);
}

TEST(NameCheck, RenameToAnotherEntrysNameIsRefusedButACaseChangeIsAllowed) {
    Taken taken{L"Pop", L"Rock"};
    EXPECT_EQ(CheckEntryName(kRenameFolder, L"Pop", L"Rock", std::ref(taken)).verdict, NameVerdict::Taken);
    NameCheck c = CheckEntryName(kRenameFolder, L"Pop", L"POP", std::ref(taken));
    EXPECT_EQ(c.verdict, NameVerdict::Accepted);
    EXPECT_EQ(c.name, L"POP");
}

TEST(NameCheck, NamesAreCutToSixtyCharacters) {
    std::wstring longName(75, L'a');
    NameCheck c = CheckEntryName(kRenameScore, L"b", longName, Taken{});
    EXPECT_EQ(c.verdict, NameVerdict::Accepted);
    EXPECT_EQ(c.name, std::wstring(60, L'a'));
}

TEST(SearchAddress, SiteByLanguageAndWordsAppendedAsTyped) {
    const std::wstring path = L"/Zyqn-search/?word=";
    std::wstring intl = SearchBaseAddress(1033);
    EXPECT_EQ(intl.compare(0, 7, L"http://"), 0);
    ASSERT_GT(intl.size(), path.size());
    EXPECT_EQ(intl.substr(intl.size() - path.size()), path);
    EXPECT_EQ(SearchBaseAddress(9999), intl);
    EXPECT_EQ(SearchBaseAddress(0), intl);
    // The three regional sites are each their own and differ from the
    // international one.
    std::wstring cn = SearchBaseAddress(2052), tw = SearchBaseAddress(1028), jp = SearchBaseAddress(1041);
    EXPECT_NE(cn, intl);
    EXPECT_NE(tw, intl);
    EXPECT_NE(jp, intl);
    EXPECT_NE(cn, tw);
    EXPECT_NE(cn, jp);
    EXPECT_EQ(cn.substr(cn.size() - path.size()), path);

    EXPECT_EQ(SearchAddress(2052, L"moon light"), cn + L"moon light");
    EXPECT_EQ(SearchAddress(1033, L""), intl);
    EXPECT_EQ(SearchAddress(1033, L" a&b ü "), intl + L" a&b ü ");
}

TEST(SearchAddress, OnlyTheExactHintCountsAsEmpty) {
    EXPECT_TRUE(IsSearchHint(L"Search music scores", L"Search music scores"));
    EXPECT_FALSE(IsSearchHint(L"search music scores", L"Search music scores"));
    EXPECT_FALSE(IsSearchHint(L"", L"Search music scores"));
    EXPECT_FALSE(IsSearchHint(L"Search music scores ", L"Search music scores"));
}
