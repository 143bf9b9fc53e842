// The edit field: its native window appears on a click and its text comes
// back to the field.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/uikit/controls/field_window.h"
#include "tests/support/test_support.h"
#include "uikit/controls/edit.h"
#include "uikit/controls/richedit.h"

using namespace UiKit;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

const wchar_t kMarkup[] =
    L"<Window size=\"400,300\"><VerticalLayout>"
    L"<RichEdit name=\"ID_EDIT_OTHER\" height=\"28\" multiline=\"false\" />"
    L"<Edit name=\"ID_EDIT_NAME\" height=\"28\" text=\"Clara\" maxchar=\"8\" />"
    L"<Control />"
    L"</VerticalLayout></Window>";

class EditTest : public ::testing::Test {
protected:
    void SetUp() override {
        wnd_.reset(new FieldWindow(kMarkup));
        edit_ = wnd_->Find<CEditUI>(L"ID_EDIT_NAME");
        ASSERT_NE(nullptr, edit_);
    }
    std::unique_ptr<FieldWindow> wnd_;
    CEditUI* edit_ = nullptr;
};

TEST_F(EditTest, ClickOpensANativeEditOverTheFieldWithItsText) {
    EXPECT_EQ(nullptr, edit_->GetEditHandle());
    wnd_->ClickOn(edit_);
    HWND native = edit_->GetEditHandle();
    ASSERT_NE(nullptr, native);
    EXPECT_TRUE(IsWindowVisible(native));
    EXPECT_EQ(native, GetFocus());
    EXPECT_EQ(wnd_->GetHWND(), GetParent(native));
    wchar_t text[32] = {};
    GetWindowTextW(native, text, 32);
    EXPECT_EQ(std::wstring(L"Clara"), text);
    // It lies inside the field.
    RECT rc;
    GetWindowRect(native, &rc);
    MapWindowPoints(nullptr, wnd_->GetHWND(), reinterpret_cast<POINT*>(&rc), 2);
    RECT field = edit_->GetPosition();
    EXPECT_GE(rc.left, field.left);
    EXPECT_LE(rc.right, field.right);
    EXPECT_GE(rc.top, field.top);
    EXPECT_LE(rc.bottom, field.bottom);
}

TEST_F(EditTest, TypedTextComesBackAndTheNativeWindowGoesWithTheFocus) {
    wnd_->ClickOn(edit_);
    HWND native = edit_->GetEditHandle();
    ASSERT_NE(nullptr, native);
    wnd_->Type(L" S.");
    EXPECT_EQ(L"Clara S.", edit_->GetText());
    EXPECT_GE(wnd_->Count(L"textchanged:ID_EDIT_NAME"), 1);
    // maxchar holds in the native window too.
    wnd_->Type(L"chumann");
    EXPECT_EQ(L"Clara S.", edit_->GetText());

    wnd_->ClickOn(wnd_->Find<CControlUI>(L"ID_EDIT_OTHER"));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(native); }, 3000));
    EXPECT_EQ(nullptr, edit_->GetEditHandle());
    EXPECT_EQ(L"Clara S.", edit_->GetText());
}

TEST_F(EditTest, EnterInTheNativeWindowSendsReturn) {
    wnd_->ClickOn(edit_);
    ASSERT_NE(nullptr, edit_->GetEditHandle());
    wnd_->Key(VK_RETURN);
    EXPECT_EQ(1, wnd_->Count(L"return:ID_EDIT_NAME"));
    EXPECT_EQ(L"Clara", edit_->GetText());
}

TEST_F(EditTest, SetTextWhileEditingReachesTheNativeWindow) {
    wnd_->ClickOn(edit_);
    HWND native = edit_->GetEditHandle();
    ASSERT_NE(nullptr, native);
    edit_->SetText(L"Robert");
    wchar_t text[32] = {};
    GetWindowTextW(native, text, 32);
    EXPECT_EQ(std::wstring(L"Robert"), text);
    EXPECT_EQ(L"Robert", edit_->GetText());
}

TEST_F(EditTest, ClickingTheFieldAgainAfterFocusWentElsewhereReopensIt) {
    wnd_->ClickOn(edit_);
    HWND first = edit_->GetEditHandle();
    ASSERT_NE(nullptr, first);
    // The window itself takes the focus back (as a click beside the field does).
    SetFocus(wnd_->GetHWND());
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(first); }, 3000));
    wnd_->ClickOn(edit_);
    HWND second = edit_->GetEditHandle();
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(second, GetFocus());
    wnd_->Type(L"!");
    EXPECT_EQ(L"Clara!", edit_->GetText());
}

TEST_F(EditTest, DestroyingTheWindowWhileEditingLeavesNothingBehind) {
    wnd_->ClickOn(edit_);
    HWND native = edit_->GetEditHandle();
    ASSERT_NE(nullptr, native);
    wnd_.reset();
    PumpFor(50);
    EXPECT_FALSE(IsWindow(native));
}

}  // namespace
