// The shadow window following a real parent window: creation, subclassing,
// moves, growth and shrinking, maximise, hide and show, destruction.
#include <gtest/gtest.h>

#include <memory>

#include "frame/wnd_shadow.h"
#include "tests/support/test_support.h"

namespace {
const UINT WM_PROBE = WM_USER + 77;

// The parent answers a probe message of its own: the shadow's subclassing
// must pass messages on to it.
bool AnswerProbe(HWND, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_PROBE) return false;
    result = 4242;
    return true;
}

RECT WindowRect(HWND wnd) {
    RECT rc = {};
    GetWindowRect(wnd, &rc);
    return rc;
}

class WndShadowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The first initialisation in the process succeeds, any later one is refused.
        firstInit_ = CWndShadow::Initialize(GetModuleHandleW(nullptr));
    }

    void SetUp() override {
        window_ = std::make_unique<testing_support::HostWindow>(testing_support::HostWindow::Options()
                                                                    .At(200, 150, 300, 200)
                                                                    .Style(WS_POPUP | WS_VISIBLE)
                                                                    .Title(L"parent")
                                                                    .OnMessage(AnswerProbe));
        parent_ = window_->Hwnd();
        ASSERT_NE(parent_, nullptr);
        testing_support::PumpFor(50);
    }
    void TearDown() override { window_.reset(); }

    // The shadow must sit 7 pixels around the parent on every side.
    void ExpectAroundParent(const CWndShadow& shadow) {
        RECT p = WindowRect(parent_), s = WindowRect(shadow.GetHWND());
        EXPECT_EQ(s.left, p.left - 7);
        EXPECT_EQ(s.top, p.top - 7);
        EXPECT_EQ(s.right, p.right + 7);
        EXPECT_EQ(s.bottom, p.bottom + 7);
    }

    static bool firstInit_;
    std::unique_ptr<testing_support::HostWindow> window_;
    HWND parent_ = nullptr;
};
bool WndShadowTest::firstInit_ = false;
}  // namespace

TEST_F(WndShadowTest, ClassIsRegisteredOnce) {
    EXPECT_TRUE(firstInit_);
    EXPECT_TRUE(CWndShadow::Supported());
    EXPECT_FALSE(CWndShadow::Initialize(GetModuleHandleW(nullptr)));
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    EXPECT_TRUE(GetClassInfoExW(GetModuleHandleW(nullptr), L"DTShadowWnd", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
}

TEST_F(WndShadowTest, CreateMakesAnOwnedClickThroughLayeredPopupAroundTheParent) {
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent_, GWLP_WNDPROC));
    CWndShadow shadow;
    EXPECT_EQ(shadow.GetHWND(), INVALID_HANDLE_VALUE);
    shadow.Create(parent_);
    HWND s = shadow.GetHWND();
    ASSERT_TRUE(IsWindow(s));
    wchar_t cls[64] = {};
    GetClassNameW(s, cls, 64);
    EXPECT_STREQ(cls, L"DTShadowWnd");
    EXPECT_EQ(GetWindowLongW(s, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TRANSPARENT), WS_EX_LAYERED | WS_EX_TRANSPARENT);
    EXPECT_EQ(GetWindow(s, GW_OWNER), parent_);
    EXPECT_TRUE(IsWindowVisible(s));
    EXPECT_TRUE(shadow.IsShadowVisible());
    EXPECT_EQ(shadow.ImageBuilds(), 1u);
    ExpectAroundParent(shadow);

    // Subclassed, and the parent's own procedure still answers.
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent_, GWLP_WNDPROC)), original);
    EXPECT_EQ(SendMessageW(parent_, WM_PROBE, 0, 0), 4242);

    // A second Create must not subclass the parent again (it would recurse).
    shadow.Create(parent_);
    EXPECT_EQ(shadow.GetHWND(), s);
    EXPECT_EQ(SendMessageW(parent_, WM_PROBE, 0, 0), 4242);
}

TEST_F(WndShadowTest, MovingRepositionsWithoutRebuilding) {
    CWndShadow shadow;
    shadow.Create(parent_);
    unsigned builds = shadow.ImageBuilds();
    RECT before = WindowRect(shadow.GetHWND());
    SetWindowPos(parent_, nullptr, 260, 190, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    testing_support::PumpFor(30);
    RECT after = WindowRect(shadow.GetHWND());
    EXPECT_EQ(after.left - before.left, 60);
    EXPECT_EQ(after.top - before.top, 40);
    EXPECT_EQ(after.right - after.left, before.right - before.left);
    EXPECT_EQ(shadow.ImageBuilds(), builds);
}

TEST_F(WndShadowTest, GrowingWaitsForThePaintAndShrinkingRebuildsAtOnce) {
    CWndShadow shadow;
    shadow.Create(parent_);
    testing_support::PumpFor(30);
    unsigned builds = shadow.ImageBuilds();

    SetWindowPos(parent_, nullptr, 0, 0, 360, 240, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(shadow.ImageBuilds(), builds) << "growth must wait for the parent's region";
    UpdateWindow(parent_);
    EXPECT_EQ(shadow.ImageBuilds(), builds + 1);
    ExpectAroundParent(shadow);
    UpdateWindow(parent_);
    EXPECT_EQ(shadow.ImageBuilds(), builds + 1) << "one paint, one rebuild";

    SetWindowPos(parent_, nullptr, 0, 0, 250, 180, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(shadow.ImageBuilds(), builds + 2);
    ExpectAroundParent(shadow);

    // The end of an interactive size or move rebuilds once more.
    SendMessageW(parent_, WM_EXITSIZEMOVE, 0, 0);
    EXPECT_EQ(shadow.ImageBuilds(), builds + 3);
}

TEST_F(WndShadowTest, MaximisedParentHidesTheShadowAndRestoringRebuildsIt) {
    CWndShadow shadow;
    shadow.Create(parent_);
    testing_support::PumpFor(30);
    unsigned builds = shadow.ImageBuilds();
    ShowWindow(parent_, SW_MAXIMIZE);
    testing_support::PumpFor(30);
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_FALSE(shadow.IsShadowVisible());
    EXPECT_EQ(shadow.ImageBuilds(), builds);

    ShowWindow(parent_, SW_RESTORE);
    testing_support::PumpFor(30);
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_TRUE(shadow.IsShadowVisible());
    EXPECT_GT(shadow.ImageBuilds(), builds);
    ExpectAroundParent(shadow);

    // Created while maximised: no shadow until restored.
    CWndShadow late;
    HWND other = CreateWindowExW(0, L"ShadowTestParent", L"max", WS_POPUP | WS_VISIBLE | WS_MAXIMIZE, 0, 0, 100, 100,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    late.Create(other);
    EXPECT_FALSE(IsWindowVisible(late.GetHWND()));
    EXPECT_EQ(late.ImageBuilds(), 0u);
    DestroyWindow(other);
}

TEST_F(WndShadowTest, HidingAndShowingTheParentHidesAndShowsTheShadow) {
    CWndShadow shadow;
    shadow.Create(parent_);
    unsigned builds = shadow.ImageBuilds();
    ShowWindow(parent_, SW_HIDE);
    EXPECT_FALSE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_FALSE(shadow.IsShadowVisible());
    ShowWindow(parent_, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_GT(shadow.ImageBuilds(), builds);
    ExpectAroundParent(shadow);
}

TEST_F(WndShadowTest, DestroyingTheParentDestroysTheShadowAndFreesTheObjectForReuse) {
    CWndShadow shadow;
    shadow.Create(parent_);
    HWND s = shadow.GetHWND();
    DestroyWindow(parent_);
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(shadow.GetHWND(), INVALID_HANDLE_VALUE);

    testing_support::HostWindow next(testing_support::HostWindow::Options()
                                         .At(10, 10, 120, 90)
                                         .Style(WS_POPUP | WS_VISIBLE)
                                         .Title(L"next")
                                         .OnMessage(AnswerProbe));
    shadow.Create(next.Hwnd());
    EXPECT_TRUE(IsWindowVisible(shadow.GetHWND()));
    EXPECT_EQ(SendMessageW(next.Hwnd(), WM_PROBE, 0, 0), 4242);
}

TEST_F(WndShadowTest, ShadowObjectDeletedBeforeItsParentUnhooksIt) {
    WNDPROC original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent_, GWLP_WNDPROC));
    auto* shadow = new CWndShadow;
    shadow->Create(parent_);
    HWND s = shadow->GetHWND();
    delete shadow;
    EXPECT_FALSE(IsWindow(s));
    EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(parent_, GWLP_WNDPROC)), original);
    // Messages that would have reached the freed object are harmless now.
    SetWindowPos(parent_, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(SendMessageW(parent_, WM_PROBE, 0, 0), 4242);
}

TEST_F(WndShadowTest, PluginRegistersTheClassOnItsUserInterfaceThread) {
    testing_support::PluginSandbox sandbox;
    ASSERT_TRUE(sandbox.Start());
    HMODULE plugin = GetModuleHandleW(L"ZYQMelvane.dll");
    ASSERT_NE(plugin, nullptr);
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    EXPECT_TRUE(GetClassInfoExW(plugin, L"DTShadowWnd", &wc));
    sandbox.Stop();
}
