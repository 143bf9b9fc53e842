// Input routing and notifications of a real window: mouse and key messages
// become events on the right control, focus moves with notifications, the
// first paint sends "windowinit", timers get their ids by the counter rule.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/support/message_pump.h"
#include "tests/uikit/core/ui_test_window.h"

using namespace UiKit;
using uikit_test::ProbeUI;
using uikit_test::SendKey;
using uikit_test::SendMouse;
using uikit_test::TestWindow;

namespace {

const wchar_t kProbes[] =
    L"<Window><HorizontalLayout name=\"root\">"
    L"<Probe name=\"p1\" width=\"100\" tooltip=\"First probe\"/>"
    L"<Probe name=\"p2\" width=\"100\" menu=\"true\"/>"
    L"<Probe name=\"off\" width=\"100\" enabled=\"false\"/>"
    L"<Probe name=\"p3\" shortcut=\"q\"/>"
    L"</HorizontalLayout></Window>";

ProbeUI* P(TestWindow& w, const wchar_t* name) { return static_cast<ProbeUI*>(w.Find(name)); }

std::vector<int> Kinds(const ProbeUI* p) {
    std::vector<int> k;
    for (const auto& e : p->events) k.push_back(e.kind);
    return k;
}

TEST(Events, FirstPaintSendsWindowInitThenFocusesTheFirstTabStop) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    std::vector<std::wstring> types = w.Types();
    ASSERT_GE(types.size(), 2u);
    EXPECT_EQ(L"windowinit", types[0]);
    EXPECT_EQ(w.Find(L"root"), w.notes[0].sender);
    EXPECT_EQ(L"setfocus", types[1]);
    EXPECT_EQ(w.Find(L"p1"), w.notes[1].sender);
    w.Paint();
    EXPECT_EQ(1u, w.Of(L"windowinit").size());
}

TEST(Events, AfterWindowInitTheFirstTabStopHasTheFocusWhateverTheListenerChose) {
    struct FocusLast : INotifyUI {
        CUIWindowManager* m = nullptr;
        void Notify(UINotify& n) override {
            if (n.type == L"windowinit") m->SetFocus(m->FindControl(L"p3"));
        }
    } listener;
    TestWindow w(kProbes);
    HWND h = w.Create(nullptr, L"t", WS_POPUP, 0, 0, 0, 400, 300);
    ASSERT_TRUE(h);
    listener.m = &w.Manager();
    w.Manager().AddNotifier(&listener);
    ShowWindow(h, SW_SHOWNOACTIVATE);
    w.Paint();
    EXPECT_EQ(w.Find(L"p1"), w.Manager().GetFocus());
    w.Manager().RemoveNotifier(&listener);
}

TEST(Events, MouseRoutingHotClickAndFocus) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    HWND h = w.GetHWND();
    ProbeUI* p1 = P(w, L"p1");
    ProbeUI* p2 = P(w, L"p2");
    p1->events.clear();
    w.notes.clear();

    SendMouse(h, WM_MOUSEMOVE, 10, 10);
    SendMouse(h, WM_MOUSEMOVE, 150, 10);
    EXPECT_EQ((std::vector<int>{UIEVENT_MOUSEENTER, UIEVENT_MOUSEMOVE, UIEVENT_MOUSELEAVE}), Kinds(p1));
    EXPECT_EQ(p2, w.Manager().GetHotControl());

    // Button down on p2 focuses it and captures; the move goes to it while held.
    SendMouse(h, WM_LBUTTONDOWN, 150, 10, MK_LBUTTON);
    EXPECT_EQ(p2, w.Manager().GetFocus());
    EXPECT_EQ(p2, w.Manager().GetClickControl());
    EXPECT_EQ(h, GetCapture());
    SendMouse(h, WM_MOUSEMOVE, 10, 10, MK_LBUTTON);
    EXPECT_EQ(UIEVENT_MOUSEMOVE, p2->events.back().kind);
    EXPECT_EQ(10, p2->events.back().mousePoint.x);
    SendMouse(h, WM_LBUTTONUP, 10, 10);
    EXPECT_EQ(UIEVENT_BUTTONUP, p2->events.back().kind);
    EXPECT_EQ(nullptr, w.Manager().GetClickControl());
    EXPECT_NE(h, GetCapture());
    EXPECT_EQ((std::vector<std::wstring>{L"killfocus", L"setfocus"}), w.Types());
    EXPECT_EQ(p1, w.notes[0].sender);
    EXPECT_EQ(p2, w.notes[1].sender);

    SendMouse(h, WM_LBUTTONDBLCLK, 150, 10);
    EXPECT_EQ(UIEVENT_DBLCLICK, p2->events.back().kind);
    SendMouse(h, WM_LBUTTONUP, 150, 10);

    // Right button: the control becomes the click control; the context menu
    // reaches it with itself as lParam and a menu="true" control says "menu".
    w.notes.clear();
    SendMouse(h, WM_RBUTTONDOWN, 150, 10);
    EXPECT_EQ(UIEVENT_RBUTTONDOWN, p2->events.back().kind);
    SendMouse(h, WM_CONTEXTMENU, 160, 20);
    EXPECT_EQ(UIEVENT_CONTEXTMENU, p2->events.back().kind);
    EXPECT_EQ(reinterpret_cast<LPARAM>(p2), p2->events.back().lParam);
    ASSERT_EQ(1u, w.Of(L"menu").size());
    EXPECT_EQ(reinterpret_cast<LPARAM>(p2), w.Of(L"menu")[0].lParam);
    EXPECT_EQ(160, w.Of(L"menu")[0].mousePoint.x);
    EXPECT_EQ(nullptr, w.Manager().GetClickControl());
    // p1 has no menu attribute: the context menu goes up to its parent quietly.
    SendMouse(h, WM_RBUTTONDOWN, 10, 10);
    SendMouse(h, WM_CONTEXTMENU, 10, 10);
    EXPECT_EQ(1u, w.Of(L"menu").size());
}

TEST(Events, DisabledControlsPassMouseToTheirParentAndTakeNoFocus) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    HWND h = w.GetHWND();
    ProbeUI* off = P(w, L"off");
    SendMouse(h, WM_LBUTTONDOWN, 250, 10);
    SendMouse(h, WM_LBUTTONUP, 250, 10);
    EXPECT_NE(off, w.Manager().GetFocus());
    EXPECT_FALSE(off->events.empty());
    EXPECT_TRUE(off->Has(UIEVENT_BUTTONDOWN));  // it sees the event, then hands it up
}

TEST(Events, KeysGoToTheFocusedControlAndWheelToTheOneUnderTheMouse) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    HWND h = w.GetHWND();
    ProbeUI* p1 = P(w, L"p1");
    ProbeUI* p3 = P(w, L"p3");
    EXPECT_EQ(p1, w.Manager().GetFocus());
    p1->events.clear();
    SendKey(h, WM_KEYDOWN, 'A');
    SendKey(h, WM_CHAR, 'a');
    SendKey(h, WM_KEYUP, 'A');
    ASSERT_EQ(3u, p1->events.size());
    EXPECT_EQ(UIEVENT_KEYDOWN, p1->events[0].kind);
    EXPECT_EQ(L'A', p1->events[0].key);
    EXPECT_EQ(UIEVENT_CHAR, p1->events[1].kind);
    EXPECT_EQ(L'a', p1->events[1].key);
    EXPECT_EQ(UIEVENT_KEYUP, p1->events[2].kind);

    SendMouse(h, WM_MOUSEMOVE, 10, 10);
    p1->events.clear();
    SendMouse(h, WM_MOUSEWHEEL, 350, 10, MAKEWPARAM(0, WHEEL_DELTA));
    SendMouse(h, WM_MOUSEWHEEL, 350, 10, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)));
    std::vector<WPARAM> wheels;
    for (const auto& e : p3->events)
        if (e.kind == UIEVENT_SCROLLWHEEL) wheels.push_back(e.wParam);
    EXPECT_EQ((std::vector<WPARAM>{0, 1}), wheels);
    // Each wheel is followed by a move at the last mouse position, over p1.
    EXPECT_TRUE(p1->Has(UIEVENT_MOUSEMOVE));
    EXPECT_FALSE(p3->Has(UIEVENT_MOUSEENTER));
}

TEST(Events, TabMovesFocusThroughTabStopsAndAltShortcutActivates) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    HWND h = w.GetHWND();
    EXPECT_EQ(w.Find(L"p1"), w.Manager().GetFocus());
    PostMessageW(h, WM_KEYDOWN, VK_TAB, 1);
    testing_support::PumpFor(50);
    EXPECT_EQ(w.Find(L"p2"), w.Manager().GetFocus());
    PostMessageW(h, WM_KEYDOWN, VK_TAB, 1);
    testing_support::PumpFor(50);
    EXPECT_EQ(w.Find(L"p3"), w.Manager().GetFocus());  // the disabled one is skipped
    PostMessageW(h, WM_KEYDOWN, VK_TAB, 1);
    testing_support::PumpFor(50);
    EXPECT_EQ(w.Find(L"p1"), w.Manager().GetFocus());  // wraps around
    PostMessageW(h, WM_SYSCHAR, 'Q', 1 << 29);
    testing_support::PumpFor(50);
    EXPECT_EQ(w.Find(L"p3"), w.Manager().GetFocus());
}

TEST(Events, TooltipShowsOnHover) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    HWND h = w.GetHWND();
    SendMouse(h, WM_MOUSEMOVE, 10, 10);
    SendMouse(h, WM_MOUSEHOVER, 10, 10);
    HWND tip = w.Manager().GetToolTipWindow();
    ASSERT_NE(nullptr, tip);
    wchar_t cls[64] = {};
    GetClassNameW(tip, cls, 64);
    EXPECT_STREQ(L"tooltips_class32", cls);
    EXPECT_EQ(h, GetWindow(tip, GW_OWNER));
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_TRUE(P(w, L"p1")->Has(UIEVENT_MOUSEHOVER));
    // A move starts a new hover cycle; leaving then hides the tip and the
    // hot control gets its MouseLeave.
    SendMouse(h, WM_MOUSEMOVE, 12, 12);
    SendMouse(h, WM_MOUSELEAVE, 0, 0);
    EXPECT_FALSE(IsWindowVisible(tip));
    EXPECT_TRUE(P(w, L"p1")->Has(UIEVENT_MOUSELEAVE));
    EXPECT_EQ(nullptr, w.Manager().GetHotControl());
}

TEST(Timers, IdsFollowTheCounterRule) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    CUIWindowManager& m = w.Manager();
    CControlUI* p1 = w.Find(L"p1");
    CControlUI* p2 = w.Find(L"p2");
    // From 4096 the counter gives 17, 18, ... 254: that is 238 timers.
    for (UINT n = 1; n <= 238; ++n) ASSERT_TRUE(m.SetTimer(p1, n, 60000)) << n;
    EXPECT_EQ(17u, m.GetTimerWindowsId(p1, 1));
    EXPECT_EQ(254u, m.GetTimerWindowsId(p1, 238));
    EXPECT_TRUE(m.SetTimer(p2, 7, 60000));
    bool found = false;
    EXPECT_EQ(0u, m.GetTimerWindowsId(p2, 7, &found));  // the 239th
    EXPECT_TRUE(found);
    EXPECT_TRUE(m.SetTimer(p2, 8, 60000));
    EXPECT_EQ(1u, m.GetTimerWindowsId(p2, 8));

    // WM_TIMER with id 0 reaches p2 as its own timer number 7.
    w.notes.clear();
    SendMessageW(w.GetHWND(), WM_TIMER, 0, 0);
    ASSERT_EQ(1u, w.Of(L"timer").size());
    EXPECT_EQ(p2, w.Of(L"timer")[0].sender);
    EXPECT_EQ(7u, w.Of(L"timer")[0].wParam);

    // A live timer cannot be set twice; a killed one keeps its id.
    EXPECT_FALSE(m.SetTimer(p1, 5, 100));
    EXPECT_TRUE(m.KillTimer(p1, 5));
    w.notes.clear();
    SendMessageW(w.GetHWND(), WM_TIMER, 21, 0);
    EXPECT_TRUE(w.Of(L"timer").empty());
    EXPECT_TRUE(m.SetTimer(p1, 5, 100));
    EXPECT_EQ(21u, m.GetTimerWindowsId(p1, 5));
    m.RemoveAllTimers();
}

TEST(Timers, RealTimerFiresAndDestroyedControlLosesIt) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    CUIWindowManager& m = w.Manager();
    CControlUI* p2 = w.Find(L"p2");
    EXPECT_TRUE(m.SetTimer(p2, 3, 10));
    testing_support::PumpUntil([&] { return !w.Of(L"timer").empty(); }, 3000);
    ASSERT_FALSE(w.Of(L"timer").empty());
    EXPECT_EQ(3u, w.Of(L"timer")[0].wParam);
    auto* root = static_cast<CContainerUI*>(w.Find(L"root"));
    EXPECT_TRUE(root->Remove(p2));
    testing_support::PumpFor(50);
    bool found = true;
    m.GetTimerWindowsId(p2, 3, &found);
    EXPECT_FALSE(found);
    EXPECT_EQ(nullptr, w.Find(L"p2"));
    size_t before = w.Of(L"timer").size();
    testing_support::PumpFor(60);
    EXPECT_EQ(before, w.Of(L"timer").size());
}

TEST(Notify, AsyncNotificationsWaitForTheNextMessageAndOwnListenersComeFirst) {
    TestWindow w(kProbes);
    ASSERT_TRUE(w.Open());
    CControlUI* p1 = w.Find(L"p1");
    std::vector<std::wstring> order;
    p1->AddListener([&](UINotify& n) { order.push_back(L"own:" + n.type); });
    struct Tail : INotifyUI {
        std::vector<std::wstring>* order;
        void Notify(UINotify& n) override { order->push_back(L"tail:" + n.type); }
    } tail;
    tail.order = &order;
    w.Manager().AddNotifier(&tail);
    w.Manager().SendNotify(p1, L"custom", 5, 6, true);
    EXPECT_TRUE(order.empty());
    testing_support::PumpFor(30);
    EXPECT_EQ((std::vector<std::wstring>{L"own:custom", L"tail:custom"}), order);
    w.Manager().SendNotify(p1, L"now");
    EXPECT_EQ(L"tail:now", order.back());
    w.Manager().RemoveNotifier(&tail);
}

TEST(Names, FirstAttachedWinsAndSubLookupIgnoresCase) {
    TestWindow w(L"<Window><VerticalLayout name=\"root\">"
                 L"<VerticalLayout name=\"box\"><Control name=\"twin\" userdata=\"first\"/></VerticalLayout>"
                 L"<Control name=\"twin\" userdata=\"second\"/><Container name=\"c\"/>"
                 L"</VerticalLayout></Window>");
    ASSERT_TRUE(w.Open());
    CUIWindowManager& m = w.Manager();
    ASSERT_NE(nullptr, m.FindControl(L"twin"));
    EXPECT_EQ(L"first", m.FindControl(L"twin")->GetUserData());
    EXPECT_EQ(nullptr, m.FindControl(L"TWIN"));
    CControlUI* sub = m.FindSubControlByName(nullptr, L"TWIN");
    ASSERT_NE(nullptr, sub);
    EXPECT_EQ(L"first", sub->GetUserData());
    EXPECT_EQ(2u, m.FindSubControlsByClass(nullptr, L"VerticalLayoutUI").size());
    EXPECT_EQ(2u, m.FindSubControlsByClass(nullptr, L"ControlUI").size());
    EXPECT_EQ(5u, m.FindSubControlsByClass(nullptr, L"*").size());
    auto* root = static_cast<CContainerUI*>(m.FindControl(L"root"));
    EXPECT_EQ(sub, root->FindSubControl(L"TWIN"));
    CControlUI* c = m.FindControl(L"c");
    EXPECT_STREQ(L"ContainerUI", c->GetClassName());
    EXPECT_NE(nullptr, c->FindInterface(L"IContainer"));
    EXPECT_EQ(nullptr, m.FindControl(L"box")->FindInterface(L"HorizontalLayout"));
    EXPECT_NE(nullptr, m.FindControl(L"box")->FindInterface(L"VerticalLayout"));
    EXPECT_NE(nullptr, m.FindControl(L"box")->FindInterface(L"Control"));
    // A point finds the topmost visible control there.
    POINT pt = {5, 5};
    EXPECT_EQ(L"first", m.FindControl(pt)->GetUserData());
}

}  // namespace
