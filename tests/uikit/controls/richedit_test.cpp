// The rich edit field driven like a user would: clicks, WM_CHAR typing and
// WM_KEYDOWN keys sent to its window.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/uikit/controls/field_window.h"
#include "tests/support/test_support.h"
#include "uikit/controls/richedit.h"

using namespace UiKit;

namespace {

std::wstring Markup(const std::wstring& fieldAttributes) {
    return L"<Window size=\"400,300\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
           L"<RichEdit name=\"ID_EDIT_A\" height=\"30\" bkcolor=\"#FFFFFFFF\" textcolor=\"#FF000000\" " +
           fieldAttributes +
           L" />"
           L"<RichEdit name=\"ID_EDIT_B\" height=\"30\" />"
           L"<Control />"
           L"</VerticalLayout></Window>";
}

class RichEditTest : public ::testing::Test {
protected:
    void Open(const std::wstring& attributes) {
        markup_ = Markup(attributes);
        wnd_.reset(new FieldWindow(markup_.c_str()));
        field_ = wnd_->Find<CRichEditUI>(L"ID_EDIT_A");
        ASSERT_NE(nullptr, field_);
        wnd_->ClickOn(field_);
        EXPECT_TRUE(field_->IsFocused());
    }
    std::wstring markup_;
    std::unique_ptr<FieldWindow> wnd_;
    CRichEditUI* field_ = nullptr;
};

TEST_F(RichEditTest, TypedCharactersAndBackspaceEditTheText) {
    Open(L"multiline=\"false\"");
    wnd_->Type(L"Bach");
    EXPECT_EQ(L"Bach", field_->GetText());
    wnd_->Key(VK_BACK);
    EXPECT_EQ(L"Bac", field_->GetText());
    wnd_->Key(VK_LEFT);
    wnd_->Type(L"X");
    EXPECT_EQ(L"BaXc", field_->GetText());
    EXPECT_GE(wnd_->Count(L"textchanged:ID_EDIT_A"), 1);
}

TEST_F(RichEditTest, OnlyTheFocusedFieldReceivesTheKeys) {
    Open(L"multiline=\"false\"");
    auto* other = wnd_->Find<CRichEditUI>(L"ID_EDIT_B");
    wnd_->Type(L"ab");
    wnd_->ClickOn(other);
    EXPECT_TRUE(other->IsFocused());
    EXPECT_FALSE(field_->IsFocused());
    wnd_->Type(L"cd");
    EXPECT_EQ(L"ab", field_->GetText());
    EXPECT_EQ(L"cd", other->GetText());
}

TEST_F(RichEditTest, MaxcharSixtyHoldsSixtyCharactersWhateverIsTypedOrSet) {
    Open(L"multiline=\"false\" maxchar=\"60\"");
    wnd_->Type(std::wstring(70, L'x'));
    EXPECT_EQ(std::wstring(60, L'x'), field_->GetText());
    field_->SetText(std::wstring(61, L'y'));
    EXPECT_EQ(std::wstring(60, L'y'), field_->GetText());
    wnd_->Type(L"z");
    EXPECT_EQ(std::wstring(60, L'y'), field_->GetText());
}

TEST_F(RichEditTest, EnterSendsReturnAndLeavesTheTextAlone) {
    Open(L"");
    wnd_->Type(L"one");
    wnd_->Key(VK_RETURN);
    EXPECT_EQ(1, wnd_->Count(L"return:ID_EDIT_A"));
    EXPECT_EQ(L"one", field_->GetText());
}

TEST_F(RichEditTest, WantreturnTakesEnterIntoAMultiLineText) {
    Open(L"wantreturn=\"true\"");
    wnd_->Type(L"one");
    wnd_->Key(VK_RETURN);
    wnd_->Type(L"two");
    EXPECT_EQ(0, wnd_->Count(L"return:ID_EDIT_A"));
    std::wstring text = field_->GetText();
    EXPECT_NE(std::wstring::npos, text.find(L"one\r")) << text.size();
    EXPECT_NE(std::wstring::npos, text.find(L"two"));
}

TEST_F(RichEditTest, SingleLineFieldNeverBreaksTheLine) {
    Open(L"multiline=\"false\" wantreturn=\"true\"");
    wnd_->Type(L"one");
    wnd_->Key(VK_RETURN);
    wnd_->Type(L"two");
    EXPECT_EQ(L"onetwo", field_->GetText());
    field_->SetText(L"a\r\nb");
    EXPECT_EQ(std::wstring::npos, field_->GetText().find(L'\n'));
}

TEST_F(RichEditTest, SetTextReplacesTheTextAndTypingContinuesAtItsEnd) {
    Open(L"multiline=\"false\" text=\"from markup\"");
    EXPECT_EQ(L"from markup", field_->GetText());
    field_->SetText(L"hello");
    EXPECT_EQ(L"hello", field_->GetText());
    EXPECT_EQ(5, field_->GetTextLength());
    wnd_->Type(L"!");
    EXPECT_EQ(L"hello!", field_->GetText());
}

TEST_F(RichEditTest, TypedTextIsDrawnInTheField) {
    Open(L"multiline=\"false\"");
    RECT rc = field_->GetPosition();
    int before = wnd_->DarkPixelsIn(rc);
    wnd_->Type(L"WWWWWWWW");
    int after = wnd_->DarkPixelsIn(rc);
    EXPECT_GE(before, 0);
    EXPECT_GT(after, before + 20);
}

TEST_F(RichEditTest, ReadOnlyFieldIgnoresTyping) {
    Open(L"multiline=\"false\" readonly=\"true\" text=\"fixed\"");
    wnd_->Type(L"abc");
    EXPECT_EQ(L"fixed", field_->GetText());
}

}  // namespace

#include "uikit/core/control_factory.h"

namespace {

TEST(TextFieldCatalogue, MarkupElementsEditAndRichEditMakeTheTextFields) {
    std::unique_ptr<CControlUI> edit(CreateBuiltinControl(L"Edit"));
    std::unique_ptr<CControlUI> rich(CreateBuiltinControl(L"RichEdit"));
    ASSERT_NE(nullptr, edit);
    ASSERT_NE(nullptr, rich);
    EXPECT_STREQ(L"EditUI", edit->GetClassName());
    EXPECT_NE(nullptr, edit->FindInterface(L"Edit"));
    EXPECT_NE(nullptr, edit->FindInterface(L"Label"));
    EXPECT_STREQ(L"RichEditUI", rich->GetClassName());
    EXPECT_NE(nullptr, rich->FindInterface(L"RichEdit"));
    EXPECT_NE(nullptr, rich->FindInterface(L"Container"));
}

}  // namespace
