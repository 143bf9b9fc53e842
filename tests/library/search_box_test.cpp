// The search box's hint: shown while the box is empty and unfocused, gone
// while the user types, and replaced by a language change.
#include <gtest/gtest.h>

#include "tests/library/panel_rig.h"

using namespace testing_support;

namespace {
const POINT kSearchBox = {87, 87};
const POINT kScoreView = {500, 300};
}  // namespace

TEST(SearchBox, HintGoesOnFocusAndComesBackWhenLeftEmpty) {
    PanelRig rig;
    ASSERT_TRUE(rig.Start());
    EXPECT_EQ(rig.SearchText(), L"Search music scores");
    rig.ClickAt(kSearchBox);
    EXPECT_EQ(rig.SearchText(), L"");
    rig.ClickAt(kScoreView);
    EXPECT_EQ(rig.SearchText(), L"Search music scores");
}

TEST(SearchBox, TypedWordsStayUntilTheLanguageChanges) {
    PanelRig rig;
    ASSERT_TRUE(rig.Start());
    rig.ClickAt(kSearchBox);
    for (wchar_t c : std::wstring(L"moon light")) PostMessageW(rig.Player(), WM_CHAR, c, 1);
    PumpFor(150);
    EXPECT_EQ(rig.SearchText(), L"moon light");
    rig.ClickAt(kScoreView);
    EXPECT_EQ(rig.SearchText(), L"moon light");
    rig.ChangeLanguage(1033);
    EXPECT_EQ(rig.SearchText(), L"Search music scores");
}
