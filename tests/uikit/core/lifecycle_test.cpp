// Controls that go away while the window runs: removal from inside their
// own event, hiding the focused control, messages of native child windows
// reflected back to them, closing.
#include <gtest/gtest.h>

#include "tests/uikit/core/ui_test_window.h"

using namespace UiKit;
using uikit_test::SendMouse;
using uikit_test::TestWindow;

namespace {

// Removes itself from its parent when clicked.
class SelfRemovingUI : public CControlUI {
public:
    static int destroyed;
    ~SelfRemovingUI() override { ++destroyed; }
    void HandleEvent(UIEvent& e) override {
        if (e.kind == UIEVENT_BUTTONDOWN) {
            auto* parent = static_cast<IContainerUI*>(GetParent()->FindInterface(L"IContainer"));
            parent->Remove(this);
            // Still usable until the message is done.
            SetUserData(L"after remove");
            return;
        }
        CControlUI::HandleEvent(e);
    }
};
int SelfRemovingUI::destroyed = 0;

class LifecycleWindow : public TestWindow {
public:
    using TestWindow::TestWindow;
    CControlUI* CreateControl(const wchar_t* name) override {
        if (wcscmp(name, L"SelfRemoving") == 0) return new SelfRemovingUI();
        return TestWindow::CreateControl(name);
    }
};

TEST(Lifecycle, AControlMayRemoveItselfWhileHandlingItsEvent) {
    LifecycleWindow w(L"<Window><HorizontalLayout name=\"root\"><SelfRemoving name=\"gone\" width=\"100\"/>"
                      L"<Probe name=\"stay\"/></HorizontalLayout></Window>");
    ASSERT_TRUE(w.Open());
    CControlUI* gone = w.Find(L"gone");
    EXPECT_TRUE(w.Manager().SetTimer(gone, 1, 60000));
    SelfRemovingUI::destroyed = 0;
    SendMouse(w.GetHWND(), WM_LBUTTONDOWN, 10, 10);
    EXPECT_EQ(1, SelfRemovingUI::destroyed);  // deleted once the message was handled
    EXPECT_EQ(nullptr, w.Find(L"gone"));
    EXPECT_EQ(nullptr, w.Manager().GetClickControl());
    EXPECT_NE(gone, w.Manager().GetFocus());
    SendMouse(w.GetHWND(), WM_LBUTTONUP, 10, 10);
    w.Paint();
    EXPECT_EQ(0, w.Rect(L"stay").left);
}

TEST(Lifecycle, RemovingWithoutAutoDestroyKeepsTheControlButForgetsIt) {
    TestWindow w(L"<Window><VerticalLayout name=\"root\"><Probe name=\"kept\"/><Probe name=\"other\"/>"
                 L"</VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    auto* root = static_cast<CContainerUI*>(w.Find(L"root"));
    CControlUI* kept = w.Find(L"kept");
    EXPECT_EQ(kept, w.Manager().GetFocus());  // the first tab stop
    root->SetAutoDestroy(false);
    ASSERT_TRUE(root->Remove(kept));
    EXPECT_EQ(nullptr, w.Find(L"kept"));
    EXPECT_EQ(nullptr, w.Manager().GetFocus());
    EXPECT_EQ(nullptr, kept->GetManager());
    EXPECT_EQ(L"kept", kept->GetName());  // still a live object
    // Added again, it is attached and found again.
    EXPECT_TRUE(root->AddAt(kept, 1));
    EXPECT_EQ(kept, w.Find(L"kept"));
    EXPECT_EQ(1, root->GetItemIndex(kept));
    EXPECT_FALSE(root->Remove(nullptr));
    EXPECT_FALSE(root->RemoveAt(5));
}

TEST(Lifecycle, HidingTheFocusedControlClearsTheFocus) {
    TestWindow w(L"<Window><VerticalLayout><Probe name=\"a\"/><VerticalLayout name=\"box\"><Probe name=\"b\"/>"
                 L"</VerticalLayout></VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    CControlUI* b = w.Find(L"b");
    b->SetFocus();
    EXPECT_EQ(b, w.Manager().GetFocus());
    w.Find(L"box")->SetVisible(false);  // hides b with its parent
    EXPECT_FALSE(b->IsVisible());
    EXPECT_EQ(nullptr, w.Manager().GetFocus());
    w.Find(L"box")->SetVisible(true);
    EXPECT_TRUE(b->IsVisible());
    w.Find(L"a")->SetFocus();
    w.Find(L"a")->SetVisible(false);
    EXPECT_EQ(nullptr, w.Manager().GetFocus());
    // A disabled control takes no focus.
    b->SetEnabled(false);
    b->SetFocus();
    EXPECT_EQ(nullptr, w.Manager().GetFocus());
}

// Records the reflected messages a native child gets back.
WNDPROC g_oldButtonProc = nullptr;
std::vector<UINT> g_reflected;
LRESULT CALLBACK ButtonSpy(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0x2000 && msg < 0x3000) g_reflected.push_back(msg);
    return CallWindowProcW(g_oldButtonProc, h, msg, wp, lp);
}

TEST(Lifecycle, MessagesOfNativeChildrenAreReflected) {
    TestWindow w(L"<Window><Control/></Window>");
    ASSERT_TRUE(w.Open());
    HWND child = CreateWindowExW(0, L"BUTTON", L"b", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, w.GetHWND(),
                                 reinterpret_cast<HMENU>(5), nullptr, nullptr);
    g_oldButtonProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ButtonSpy)));
    g_reflected.clear();
    SendMessageW(w.GetHWND(), WM_COMMAND, MAKEWPARAM(5, BN_CLICKED), reinterpret_cast<LPARAM>(child));
    NMHDR hdr = {child, 5, 0};
    SendMessageW(w.GetHWND(), WM_NOTIFY, 5, reinterpret_cast<LPARAM>(&hdr));
    EXPECT_EQ((std::vector<UINT>{0x2111, 0x204E}), g_reflected);
    DestroyWindow(child);
}

TEST(Lifecycle, CloseEndsHotClickAndFocus) {
    TestWindow w(L"<Window><HorizontalLayout><Probe name=\"p\"/></HorizontalLayout></Window>");
    ASSERT_TRUE(w.Open());
    auto* p = static_cast<uikit_test::ProbeUI*>(w.Find(L"p"));
    SendMouse(w.GetHWND(), WM_MOUSEMOVE, 10, 10);
    SendMouse(w.GetHWND(), WM_LBUTTONDOWN, 10, 10);
    p->events.clear();
    w.notes.clear();
    LRESULT r = 0;
    w.Manager().HandleMessage(WM_CLOSE, 0, 0, r);
    ASSERT_GE(p->events.size(), 2u);
    EXPECT_EQ(UIEVENT_MOUSELEAVE, p->events[0].kind);
    EXPECT_EQ(UIEVENT_BUTTONUP, p->events[1].kind);
    EXPECT_EQ(nullptr, w.Manager().GetFocus());
    EXPECT_EQ(1u, w.Of(L"killfocus").size());
}

TEST(Lifecycle, PaintWithoutRootOnlyValidatesAndBackgroundBitmapIsTaken) {
    TestWindow empty(L"<Window></Window>");
    ASSERT_TRUE(empty.Open());
    EXPECT_FALSE(empty.built);
    RECT upd;
    EXPECT_FALSE(GetUpdateRect(empty.GetHWND(), &upd, FALSE));
    TestWindow trans(L"<Window bktrans=\"true\" showdirty=\"true\"><Control/></Window>");
    ASSERT_TRUE(trans.Open());
    EXPECT_TRUE(trans.Manager().IsBackgroundTransparent());
    EXPECT_TRUE(trans.Manager().IsShowUpdateRect());
    EXPECT_NE(nullptr, trans.Manager().GetOffscreenBitmap());
}

}  // namespace
