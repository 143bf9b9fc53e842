// Zoom, scrolling to the played notes, the panel buttons and the layout of
// the bottom row, and seeking with the ruler, on the real player window
// with the real engine.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <string>

#include "abi/host_messages.h"
#include "abi/score_engine.h"
#include "tests/player/player_driver.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;

namespace {

int Width(const RECT& rc) { return rc.right - rc.left; }

// Watches the player window's paints from its own thread: how much of a
// rectangle each paint's update region covers.
struct PaintWatch {
    static WNDPROC original;
    static RECT area;
    static std::vector<long> covered;  // pixels of area per paint that touched it
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_PAINT) {
            HRGN update = CreateRectRgn(0, 0, 0, 0), part = CreateRectRgnIndirect(&area);
            if (GetUpdateRgn(wnd, update, FALSE) != ERROR && CombineRgn(part, part, update, RGN_AND) > NULLREGION) {
                std::vector<char> buffer(GetRegionData(part, 0, nullptr));
                auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
                long pixels = 0;
                if (!buffer.empty() && GetRegionData(part, static_cast<DWORD>(buffer.size()), data)) {
                    const RECT* r = reinterpret_cast<const RECT*>(data->Buffer);
                    for (DWORD i = 0; i < data->rdh.nCount; ++i) pixels += Width(r[i]) * (r[i].bottom - r[i].top);
                }
                covered.push_back(pixels);
            }
            DeleteObject(update);
            DeleteObject(part);
        }
        return CallWindowProcW(original, wnd, msg, wp, lp);
    }
    static void Start(HWND wnd, const RECT& watched) {
        area = watched;
        covered.clear();
        original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaintWatch::Proc)));
    }
    static void Stop(HWND wnd) { SetWindowLongPtrW(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original)); }
};
WNDPROC PaintWatch::original = nullptr;
RECT PaintWatch::area = {0, 0, 0, 0};
std::vector<long> PaintWatch::covered;

class PlayerView : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(box.Start());
        wnd = box.PlayerWindow();
        PumpFor(300);
    }
    void Open(const wchar_t* sample, const wchar_t* title) {
        size_t resets = ResetWordsAt(box.Host());
        ASSERT_TRUE(OpenThroughDialog(wnd, SampleScore(sample)));
        ASSERT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_WND_MELVANE_TITLE") == std::wstring(L"Melvane  ( ") + title + L" )"; }));
        // The transport reaches its stopped state through a posted message.
        ASSERT_TRUE(PumpUntil([&] { return ResetWordsAt(box.Host()) > resets; }));
        PumpFor(200);
    }
    float Zoom() { return static_cast<float>(_wtof(TextOf(wnd, L"#ZOOM").c_str())); }
    std::wstring ZoomText() { return TextOf(wnd, L"ID_COMBO_ZOOM"); }
    void Press(const wchar_t* button) {
        ClickControl(wnd, button);
        PumpFor(60);
    }
    void Resize(int clientWidth, int clientHeight) {
        RECT window, client;
        GetWindowRect(wnd, &window);
        GetClientRect(wnd, &client);
        int extraX = Width(window) - Width(client), extraY = (window.bottom - window.top) - client.bottom;
        SetWindowPos(wnd, nullptr, 0, 0, clientWidth + extraX, clientHeight + extraY, SWP_NOZORDER | SWP_NOACTIVATE);
        PumpFor(150);
    }
    SIZE Scroll() { return Probe(wnd, L"ID_SCORE_VIEW").scroll; }
    void ShowRect(RECT rc) { SendMessageW(wnd, WM_SCORE_SHOW_RECT, reinterpret_cast<WPARAM>(&rc), 0); }

    PluginSandbox box{L"ScoreDll.dll"};
    HWND wnd = nullptr;
};

TEST_F(PlayerView, ZoomStepsFromAutoAndStopsAtTheEndsOfTheTable) {
    Open(L"Beginner\\Ode to Joy.zyqn", L"Ode to Joy");
    EXPECT_EQ(ZoomText(), L"Auto");
    // Fitting a 794-pixel page into this view gives a factor between 75% and 100%.
    float fit = Zoom();
    EXPECT_GT(fit, 0.75f);
    EXPECT_LE(fit, 1.0f);
    Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"100%");
    EXPECT_FLOAT_EQ(Zoom(), 1.0f);
    Press(L"ID_BTN_ZOOM_WIDTH");
    EXPECT_EQ(ZoomText(), L"Auto");
    EXPECT_FLOAT_EQ(Zoom(), fit);
    Press(L"ID_BTN_ZOOM_OUT");
    EXPECT_EQ(ZoomText(), L"50%") << "zooming out from Auto lands two levels below";
    Press(L"ID_BTN_ZOOM_IN");
    Press(L"ID_BTN_ZOOM_IN");
    Press(L"ID_BTN_ZOOM_IN");
    Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"150%");
    Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"175%");
    Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"200%");
    EXPECT_FLOAT_EQ(Zoom(), 2.0f);
    PlayerProbe view = Probe(wnd, L"ID_SCORE_VIEW");
    EXPECT_GT(view.range.cy, 1000) << "a 200% page is far taller than the view";
    PumpFor(200);
    SaveWindowShot(wnd, L"player-score-200.png");
    for (int i = 0; i < 4; ++i) Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"400%");
    Press(L"ID_BTN_ZOOM_IN");
    EXPECT_EQ(ZoomText(), L"400%");
    for (int i = 0; i < 12; ++i) Press(L"ID_BTN_ZOOM_OUT");
    EXPECT_EQ(ZoomText(), L"25%");
    EXPECT_FLOAT_EQ(Zoom(), 0.25f);
}

TEST_F(PlayerView, EnsureVisibleWithAndWithoutThePageFlag) {
    Open(L"Beginner\\Ode to Joy.zyqn", L"Ode to Joy");
    while (ZoomText() != L"200%") Press(L"ID_BTN_ZOOM_IN");
    PlayerProbe view = Probe(wnd, L"ID_SCORE_VIEW");
    EXPECT_GT(view.range.cy, 1200);
    EXPECT_EQ(Scroll().cy, 0);
    int vh = view.pos.bottom - view.pos.top - 17;  // less the horizontal bar when shown

    // One wheel notch over the page eases down by 6 + 5 + 3 + 2 + 2 + 1 pixels.
    POINT mid = {(view.pos.left + view.pos.right) / 2, (view.pos.top + view.pos.bottom) / 2};
    ClientToScreen(wnd, &mid);
    SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(mid.x, mid.y));
    EXPECT_TRUE(PumpUntil([&] { return Scroll().cy == 19; }, 2000)) << Scroll().cy;
    PumpFor(200);
    EXPECT_EQ(Scroll().cy, 19);
    ShowRect(RECT{0, 0, 10, 10});
    EXPECT_EQ(Scroll().cy, 0);

    // The page buttons set the flag: the target's top goes to the view's top.
    Press(L"ID_BTN_PAGE_HOME");
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#STOPPED").enabled == 1; }, 2000));
    ShowRect(RECT{100, 900, 300, 960});
    EXPECT_EQ(Scroll().cy, 900);
    EXPECT_EQ(Probe(wnd, L"#STOPPED").enabled, 0) << "the flag is used once";

    // Without the flag half the target's height shows above it.
    ShowRect(RECT{100, 1500, 300, 1560});
    EXPECT_EQ(Scroll().cy, 1470);
    // Upwards: at least half a view back, then half the target above.
    ShowRect(RECT{100, 1400, 300, 1460});
    int expected = std::max(1470 - std::max(70, vh / 2) - 30, 0);
    EXPECT_NEAR(Scroll().cy, expected, 9);
    // A target inside the view does not scroll.
    SIZE before = Scroll();
    ShowRect(RECT{100, before.cy + 10, 300, before.cy + 40});
    EXPECT_EQ(Scroll().cy, before.cy);
    // With the flag, upwards ends exactly at the target's top.
    Press(L"ID_BTN_PAGE_NEXT");
    ShowRect(RECT{0, 200, 100, 260});
    int up = before.cy - std::max<int>(before.cy - 200, vh / 2);
    EXPECT_EQ(Scroll().cy, std::max(up, 0));
}

TEST_F(PlayerView, PanelsAndTheBottomRowFollowTheWindowSize) {
    Resize(1200, 700);
    RECT client;
    GetClientRect(wnd, &client);
    EXPECT_EQ(client.right, 1200);
    PlayerProbe view = Probe(wnd, L"ID_SCORE_VIEW");
    EXPECT_EQ(view.pos.left, 209);
    EXPECT_EQ(view.pos.right, 1198);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP1").pos), 375);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP2").pos), 102);
    RECT grip = Probe(wnd, L"ID_WND_RESIZE_FLAG").pos;
    EXPECT_EQ(grip.left, 1183);
    EXPECT_EQ(grip.bottom, 698);
    // Centred between the tool bar (2 + 28 + 39 + 2) and the play display
    // (700 - 2 - 90), status line included.
    int midY = (71 + 608) / 2;
    RECT hide = Probe(wnd, L"ID_BTN_HIDE_SCORE_PANEL").pos;
    EXPECT_EQ(hide.left, 209);
    EXPECT_EQ(hide.top, midY - 36);
    EXPECT_EQ(hide.bottom, midY + 36);

    // Hiding the library panel gives its width to the view.
    Press(L"ID_BTN_HIDE_SCORE_PANEL");
    EXPECT_FALSE(Probe(wnd, L"ID_SCORE_PANEL").visible);
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_HIDE_SCORE_PANEL").visible);
    PlayerProbe show = Probe(wnd, L"ID_BTN_SHOW_SCORE_PANEL");
    EXPECT_TRUE(show.visible);
    EXPECT_EQ(Probe(wnd, L"ID_SCORE_VIEW").pos.left, 4);
    EXPECT_EQ(show.pos.left, 4);
    EXPECT_EQ(show.pos.right, 14);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP1").pos), 597 - 324);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP2").pos), 1200 - 273 - 723);
    Press(L"ID_BTN_SHOW_SCORE_PANEL");
    EXPECT_TRUE(Probe(wnd, L"ID_SCORE_PANEL").visible);
    EXPECT_EQ(Probe(wnd, L"ID_SCORE_VIEW").pos.left, 209);

    // Hiding the play display lengthens the view; its show button sits on the status line.
    int bottom = Probe(wnd, L"ID_SCORE_VIEW").pos.bottom;
    Press(L"ID_BTN_HIDE_OPERATION_PANEL");
    EXPECT_FALSE(Probe(wnd, L"ID_PANEL_PLAY_DIS").visible);
    EXPECT_EQ(Probe(wnd, L"ID_SCORE_VIEW").pos.bottom, bottom + 90);
    RECT showOp = Probe(wnd, L"ID_BTN_SHOW_OPERATION_PANEL").pos;
    EXPECT_EQ(showOp.bottom, 700 - 2 - 20);
    EXPECT_EQ(Width(showOp), 72);
    Press(L"ID_BTN_SHOW_OPERATION_PANEL");
    EXPECT_TRUE(Probe(wnd, L"ID_PANEL_PLAY_DIS").visible);

    // A narrow window changes only the first gap.
    int gap2 = Width(Probe(wnd, L"ID_BOTTOM_GAP2").pos);
    Resize(900, 600);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP1").pos), 900 - 723);
    EXPECT_EQ(Width(Probe(wnd, L"ID_BOTTOM_GAP2").pos), gap2);
}

TEST_F(PlayerView, PressingTheRulerPausesAndReleasingSeeksAndResumes) {
    Open(L"Beginner\\Ode to Joy.zyqn", L"Ode to Joy");
    PlayerProbe ruler = Probe(wnd, L"ID_SLIDER_PLAY_RULER");
    EXPECT_EQ(ruler.maximum, 160);
    box.Client().Cmd(2);
    ASSERT_TRUE(PumpUntil([&] { return !box.Host().Of(WM_PLUGIN_NOTE).empty() && !Probe(wnd, L"#COUNTIN").enabled &&
                                       Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled; }, 5000));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR") == L"1 "; }, 3000));

    // Measure 10 starts at value 90: a point just past it.
    RECT rc = ruler.pos;
    int thumb = 20;
    int x = rc.left + thumb / 2 + (Width(rc) - thumb) * 93 / 160;
    POINT pt = {x, (rc.top + rc.bottom) / 2};
    LPARAM lp = MAKELPARAM(pt.x, pt.y);
    box.Host().messages.clear();
    SendMessageW(wnd, WM_MOUSEMOVE, 0, lp);
    SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PumpFor(30);
    EXPECT_EQ(Probe(wnd, L"#STOPPED").value, 0) << "the press pauses";
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    ASSERT_FALSE(box.Host().Of(WM_PLUGIN_NOTE).empty());
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_NOTE).back().wp, kResetNotesWord);
    SendMessageW(wnd, WM_LBUTTONUP, 0, lp);
    PumpFor(30);
    PlayerProbe after = Probe(wnd, L"ID_SLIDER_PLAY_RULER");
    EXPECT_GE(after.value, 90);
    EXPECT_LT(after.value, 100);
    std::wstring measure = TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR");
    EXPECT_TRUE(measure == L"10 " || measure == L"11 ") << measure.c_str();
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_SCORE_START").enabled) << "the release resumes";
    size_t seen = box.Host().Of(WM_PLUGIN_NOTE).size();
    EXPECT_TRUE(PumpUntil([&] { return box.Host().Of(WM_PLUGIN_NOTE).size() > seen + 2; }, 3000));
    PumpFor(100);
    SaveWindowShot(wnd, L"player-ruler-mid.png");
    box.Client().Cmd(3);
}

// Above the fit width the page is reached sideways as well as down: by the
// hand (both axes), Shift with the wheel, the arrow keys, and by the engine's
// request to show the played measure.
TEST_F(PlayerView, AZoomedPageIsReachedSidewaysByHandWheelKeysAndPlayback) {
    Open(L"Beginner\\Ode to Joy.zyqn", L"Ode to Joy");
    struct Level {
        const wchar_t* zoom;
        const wchar_t* shot;
        int range = 0;
    } levels[] = {{L"200%", L"player-score-200-right.png"}, {L"400%", L"player-score-400-right.png"}};
    for (Level& level : levels) {
        SCOPED_TRACE(testing::Message() << std::string(level.zoom, level.zoom + wcslen(level.zoom)));
        while (ZoomText() != level.zoom) Press(L"ID_BTN_ZOOM_IN");
        PumpFor(100);
        PlayerProbe view = Probe(wnd, L"ID_SCORE_VIEW");
        level.range = view.range.cx;
        EXPECT_GT(view.range.cx, 0) << "the page is wider than the view";
        POINT mid = {(view.pos.left + view.pos.right) / 2, (view.pos.top + view.pos.bottom) / 2};
        auto drag = [&](int dx, int dy) {
            SendMessageW(wnd, WM_MOUSEMOVE, 0, MAKELPARAM(mid.x, mid.y));
            SendMessageW(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(mid.x, mid.y));
            SendMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(mid.x + dx, mid.y + dy));
            PumpFor(120);
            SendMessageW(wnd, WM_LBUTTONUP, 0, MAKELPARAM(mid.x + dx, mid.y + dy));
            PumpFor(30);
        };
        // Home first, then the page follows the hand 40 pixels left and 30 up.
        drag(5000, 5000);
        EXPECT_EQ(Scroll().cx, 0);
        EXPECT_EQ(Scroll().cy, 0);
        drag(-40, -30);
        EXPECT_EQ(Scroll().cx, 40);
        EXPECT_EQ(Scroll().cy, 30);

        // The press gave the page the keyboard: a line sideways and back.
        SendMessageW(wnd, WM_KEYDOWN, VK_RIGHT, 0);
        int line = Scroll().cx - 40;
        EXPECT_GT(line, 0);
        SendMessageW(wnd, WM_KEYDOWN, VK_LEFT, 0);
        EXPECT_EQ(Scroll().cx, 40);
        SendMessageW(wnd, WM_KEYDOWN, VK_DOWN, 0);
        EXPECT_EQ(Scroll().cy, 30 + line);
        SendMessageW(wnd, WM_KEYDOWN, VK_UP, 0);
        EXPECT_EQ(Scroll().cy, 30);

        // Shift with the wheel eases sideways by 6 + 5 + 3 + 2 + 2 + 1.
        POINT screen = mid;
        ClientToScreen(wnd, &screen);
        SendMessageW(wnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
        EXPECT_TRUE(PumpUntil([&] { return Scroll().cx == 59; }, 2000)) << Scroll().cx;
        PumpFor(200);
        EXPECT_EQ(Scroll().cx, 59);
        EXPECT_EQ(Scroll().cy, 30);

        // The hand reaches the page's right edge and stops there.
        drag(-5000, 0);
        EXPECT_EQ(Scroll().cx, view.range.cx);
        PumpFor(150);
        SaveWindowShot(wnd, level.shot);

        // Playing from the start brings the first measure, at the page's
        // left, back into view.
        box.Client().Cmd(2);
        EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").enabled != 0; }, 2000));
        EXPECT_TRUE(PumpUntil([&] { return !Probe(wnd, L"#COUNTIN").enabled &&
                                           TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR") == L"1 "; }, 6000));
        EXPECT_TRUE(PumpUntil([&] { return Scroll().cx < (view.pos.right - view.pos.left) / 2; }, 2000)) << Scroll().cx;
        Press(L"ID_BTN_SCORE_STOP");
        PumpFor(300);
    }
    // A page twice as wide leaves twice the room plus one more view width.
    const int inner = Width(Probe(wnd, L"ID_SCORE_VIEW").pos) - 17;
    EXPECT_NEAR(levels[1].range, 2 * levels[0].range + inner, 2);
}

}  // namespace

// The window keeps what it drew (the page, scaled skin images) and the ruler
// leaves out ticks outside the painted area: a piece repainted alone must
// show exactly what a repaint of the whole window shows, with a note lit.
TEST_F(PlayerView, PiecesRepaintedAloneShowWhatAFullRepaintShows) {
    Open(L"Classical\\Turkish March.zyqn", L"Turkish March");
    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return box.Host().Of(WM_PLUGIN_NOTE).size() >= 6; }, 8000));
    box.Client().Cmd(3);
    EXPECT_TRUE(PumpUntil([&] { return !Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled; }));
    PumpFor(200);
    auto shown = [&](const RECT* piece) {
        RedrawWindow(wnd, piece, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        RECT client;
        GetClientRect(wnd, &client);
        return ScreenPixels(wnd, client);
    };
    std::vector<DWORD> whole = shown(nullptr);
    ASSERT_FALSE(whole.empty());
    RECT ruler = Probe(wnd, L"ID_SLIDER_PLAY_RULER").pos, view = Probe(wnd, L"ID_SCORE_VIEW").pos;
    RECT title = Probe(wnd, L"ID_WND_TITLE").pos, play = Probe(wnd, L"ID_PANEL_PLAY_DIS").pos;
    int midX = (view.left + view.right) / 2, midY = (view.top + view.bottom) / 2;
    struct Piece {
        const char* what;
        RECT rc;
    } pieces[] = {
        {"the ruler's left third", RECT{ruler.left, ruler.top, ruler.left + (ruler.right - ruler.left) / 3, ruler.bottom}},
        {"the middle of the page", RECT{midX - 40, midY - 30, midX + 45, midY + 35}},
        {"the page's top left", RECT{view.left, view.top, view.left + 300, view.top + 200}},
        {"across the title and tool bar", RECT{title.left + 50, title.top + 5, title.left + 171, title.bottom + 20}},
        {"across the play display", RECT{play.left + 100, play.top - 5, play.right - 30, play.top + 40}},
    };
    for (const Piece& p : pieces) EXPECT_TRUE(shown(&p.rc) == whole) << p.what;
    // Narrow strips swept along the ruler cut through its ticks at every offset.
    for (int x = ruler.left; x < ruler.left + 90; ++x) {
        RECT strip = {x, ruler.top, x + 3, ruler.bottom};
        EXPECT_TRUE(shown(&strip) == whole) << "a strip of the ruler at " << x;
    }
}

// While a score plays the ruler's thumb steps from measure to measure: only
// its old and its new place are painted again, not the whole ruler, and
// what the window then shows is what a full repaint shows (no trace of the
// thumb's old place, no stale measure number).
TEST_F(PlayerView, WhilePlayingTheRulerRepaintsOnlyTheThumbsOldAndNewPlaces) {
    Open(L"Beginner\\Ode to Joy.zyqn", L"Ode to Joy");
    PlayerProbe ruler = Probe(wnd, L"ID_SLIDER_PLAY_RULER");
    const long thumbArea = 20 * 17;
    PaintWatch::Start(wnd, ruler.pos);
    box.Client().Cmd(2);
    bool reached = PumpUntil([&] { return TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR") == L"3 "; }, 12000);
    box.Client().Cmd(3);
    PumpFor(200);
    PaintWatch::Stop(wnd);
    ASSERT_TRUE(reached);
    EXPECT_GE(Probe(wnd, L"ID_SLIDER_PLAY_RULER").value, 20);
    ASSERT_GE(PaintWatch::covered.size(), 2u) << "the thumb moved at least twice";
    for (size_t i = 0; i < PaintWatch::covered.size(); ++i)
        EXPECT_LE(PaintWatch::covered[i], 2 * thumbArea)
            << "paint " << i << " of the ruler covered " << PaintWatch::covered[i] << " of its "
            << Width(ruler.pos) * (ruler.pos.bottom - ruler.pos.top) << " pixels";

    RECT client;
    GetClientRect(wnd, &client);
    std::vector<DWORD> shown = ScreenPixels(wnd, client);
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    std::vector<DWORD> whole = ScreenPixels(wnd, client);
    ASSERT_FALSE(whole.empty());
    EXPECT_TRUE(shown == whole) << "the window after the thumb's steps differs from a full repaint";
}
