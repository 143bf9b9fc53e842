// Language texts applied to a window's controls by their names.
#include <gtest/gtest.h>

#include "frame/lang_apply.h"
#include "frame/lang_table.h"
#include "tests/uikit/controls/test_window.h"
#include "tests/support/test_support.h"

using controls_test::TestWindow;
using UiKit::CControlUI;

TEST(ApplyLangTexts, RefreshesOnlyTextsAndTooltipsThatExist) {
    testing_support::TempDir dir;
    CreateDirectoryW((dir / L"Language").c_str(), nullptr);
    testing_support::WriteFileBytes(dir / L"Language\\Test.ini",
                                    "[General Settings]\r\nID=7777\r\n[String]\r\n"
                                    "ID_BTN_A=Alpha\r\nID_BTN_TEMPO_DIS=Ratio\r\nID_LABEL_X=Label X\r\n"
                                    "ID_LABEL_EMPTY=Never\r\nID_OPT=Opt\r\nID_HDR=Header\r\nID_TEXT_T=Text\r\n"
                                    "ID_LABEL_TWO=one\\ntwo\r\n");
    EXPECT_EQ(SelectLanguageFile(dir.Path(), 7777), dir / L"Language\\Test.ini");

    TestWindow w;
    ASSERT_TRUE(w.Open(L"<Window><VerticalLayout>"
                       L"<Button name=\"ID_BTN_A\" text=\"a\" tooltip=\"tip\" height=\"20\"/>"
                       L"<Button name=\"ID_BTN_TEMPO_DIS\" text=\"1.0\" tooltip=\"t\" height=\"20\"/>"
                       L"<Button name=\"ID_BTN_NONE\" text=\"keep\" height=\"20\"/>"
                       L"<Label name=\"ID_LABEL_X\" text=\"x\" height=\"20\"/>"
                       L"<Label name=\"ID_LABEL_EMPTY\" height=\"20\"/>"
                       L"<Label name=\"ID_LABEL_TWO\" text=\"2\" height=\"20\"/>"
                       L"<Option name=\"ID_OPT\" tooltip=\"o\" height=\"20\"/>"
                       L"<Text name=\"ID_TEXT_T\" text=\"t\" height=\"20\"/>"
                       L"<List height=\"40\"><ListHeader><ListHeaderItem name=\"ID_HDR\" text=\"h\" width=\"50\"/>"
                       L"</ListHeader></List>"
                       L"</VerticalLayout></Window>",
                       50, 50, 200, 300));
    ApplyLangTexts(&w.Manager());
    auto text = [&](const wchar_t* name) { return w.Find<CControlUI>(name)->GetText(); };
    auto tip = [&](const wchar_t* name) { return w.Find<CControlUI>(name)->GetToolTip(); };
    EXPECT_EQ(text(L"ID_BTN_A"), L"Alpha");
    EXPECT_EQ(tip(L"ID_BTN_A"), L"Alpha");
    EXPECT_EQ(text(L"ID_BTN_TEMPO_DIS"), L"1.0");
    EXPECT_EQ(tip(L"ID_BTN_TEMPO_DIS"), L"t");
    EXPECT_EQ(text(L"ID_BTN_NONE"), L"keep");
    EXPECT_EQ(text(L"ID_LABEL_X"), L"Label X");
    EXPECT_EQ(tip(L"ID_LABEL_X"), L"");
    EXPECT_EQ(text(L"ID_LABEL_EMPTY"), L"");
    EXPECT_EQ(text(L"ID_LABEL_TWO"), L"one\ntwo");
    EXPECT_EQ(text(L"ID_OPT"), L"");
    EXPECT_EQ(tip(L"ID_OPT"), L"Opt");
    EXPECT_EQ(text(L"ID_TEXT_T"), L"t");  // a TextUI is not a LabelUI
    EXPECT_EQ(text(L"ID_HDR"), L"Header");
    ApplyLangTexts(nullptr);
}
