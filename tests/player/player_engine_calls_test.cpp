// What the player asks of the engine, read from the recording stand-in
// engine: the order of the callbacks on opening, the reset to the first
// page, the hand flags of the four hand buttons, and the transport's buttons
// and engine calls from state to state.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "abi/module.h"
#include "abi/score_engine.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;

namespace {

class PlayerEngineCalls : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryW((box.Folder() + L"ScoreDll.dll").c_str());
        ASSERT_NE(module, nullptr);
        log = GetProc<const char*(__cdecl*)()>(module, "FakeEngineLog");
        reset = GetProc<void(__cdecl*)()>(module, "FakeEngineReset");
        ASSERT_TRUE(log && reset);
        reset();
        ASSERT_TRUE(box.Start());
        wnd = box.PlayerWindow();
        PumpFor(200);
        std::wstring path = box.Folder() + L"any.zyqn";
        WriteFileBytes(path, "zyqn 1\n");
        reset();
        ASSERT_TRUE(OpenThroughDialog(wnd, path));
        EXPECT_TRUE(PumpUntil([&] { return Log().find("GoToPage 257") != std::string::npos; }));
    }
    void TearDown() override {
        box.Stop();
        if (module) FreeLibrary(module);
    }
    std::string Log() { return log(); }
    // The engine calls made while the named button is clicked.
    std::string Click(const wchar_t* button) {
        reset();
        ClickControl(wnd, button);
        PumpUntil([&] { return Log().find("SetHands") != std::string::npos; }, 2000);
        return Log();
    }

    PluginSandbox box{L"FakeScoreDll.dll"};
    HMODULE module = nullptr;
    const char*(__cdecl* log)() = nullptr;
    void(__cdecl* reset)() = nullptr;
    HWND wnd = nullptr;
};

TEST_F(PlayerEngineCalls, OpeningRegistersTheCallbacksInOrderAndReturnsToTheFirstPage) {
    std::string calls = Log();
    size_t load = calls.find("Stop;Load;SetOwnerWindow;");
    ASSERT_NE(load, std::string::npos) << calls;
    size_t callbacks = calls.find(
        "SetKeyCallback;SetMeterCallback;SetTempoCallback;SetMeasureCallback;SetTimeCallback;SetNoteCallback;"
        "SetTempoRatio 1.0;");
    EXPECT_GT(callbacks, load) << calls;
    EXPECT_NE(callbacks, std::string::npos) << calls;
    // The page item is sized from the engine's page at the fitted scale.
    EXPECT_NE(calls.find("Prepare 2 1.00"), std::string::npos) << calls;
    EXPECT_GT(calls.find("GoToPage 257"), callbacks);
    // The fake engine has 12 measures: the ruler counts 120 units.
    EXPECT_EQ(Probe(wnd, L"ID_SLIDER_PLAY_RULER").maximum, 120);
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE"), L"/ 12");
}

// The waiting window stands over the score view while the engine loads, at
// every opening (the later ones as the first), and is gone once it is done.
TEST_F(PlayerEngineCalls, EveryOpeningShowsTheWaitingWindowOverTheScoreViewWhileTheEngineLoads) {
    auto splashes = GetProc<const char*(__cdecl*)()>(module, "FakeEngineSplashes");
    ASSERT_NE(splashes, nullptr);
    std::wstring path = box.Folder() + L"any.zyqn";
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(OpenThroughDialog(wnd, path));
        ASSERT_TRUE(PumpUntil([&] { return Log().find("GoToPage 257") != std::string::npos; })) << Log();
    }
    RECT view = Probe(wnd, L"ID_SCORE_VIEW").pos;
    POINT corner[2] = {{view.left, view.top}, {view.right, view.bottom}};
    ClientToScreen(wnd, &corner[0]);
    ClientToScreen(wnd, &corner[1]);
    const int w = 174, h = 39;  // the loading image
    int left = (corner[0].x + corner[1].x) / 2 - w / 2, top = (corner[0].y + corner[1].y) / 2 - h / 2;
    char one[64];
    snprintf(one, sizeof one, "%d,%d,%d,%d;", left, top, left + w, top + h);
    EXPECT_EQ(std::string(splashes()), std::string(one) + one + one);
    EXPECT_EQ(CountOwnWindows(L"CMelvaneSplashWnd"), 0);
}

// A later opening names its score in the title, and the caption and the
// version line stay as they were.
TEST_F(PlayerEngineCalls, OpeningAgainNamesTheNewScoreAndKeepsCaptionAndVersion) {
    std::wstring path = box.Folder() + L"Other Piece.zyqn";
    WriteFileBytes(path, "zyqn 1\n");
    ASSERT_TRUE(OpenThroughDialog(wnd, path));
    EXPECT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_WND_MELVANE_TITLE") == L"Melvane  ( Other Piece )"; }))
        << TextOf(wnd, L"ID_WND_MELVANE_TITLE");
    wchar_t caption[64] = {};
    GetWindowTextW(wnd, caption, 64);
    EXPECT_STREQ(caption, L"Melvane");
    EXPECT_EQ(TextOf(wnd, L"ID_LABEL_VERSION"), L"Version 1.0.0.0");
}

TEST_F(PlayerEngineCalls, EachHandButtonTogglesItsHandAndSendsBothHands) {
    EXPECT_NE(Click(L"ID_BTN_PLAY_LEFT").find("SetHands 0x60"), std::string::npos) << Log();
    EXPECT_NE(Click(L"ID_BTN_PLAY_RIGHT").find("SetHands 0xc0"), std::string::npos) << Log();
    EXPECT_NE(Click(L"ID_BTN_HIDE_LEFT").find("SetHands 0x90"), std::string::npos) << Log();
    EXPECT_NE(Click(L"ID_BTN_HIDE_RIGHT").find("SetHands 0x30"), std::string::npos) << Log();
    // Starting sends the current hands once more, without toggling.
    reset();
    box.Client().Cmd(2);  // queued for the UI thread
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").enabled != 0; }));
    EXPECT_NE(Log().find("SetHands 0x30"), std::string::npos) << Log();
}

TEST_F(PlayerEngineCalls, PageButtonsSetThePageFlagAndTurnThePage) {
    const struct {
        const wchar_t* button;
        const char* call;
    } pages[] = {{L"ID_BTN_PAGE_NEXT", "GoToPage 259"},
                 {L"ID_BTN_PAGE_END", "GoToPage 260"},
                 {L"ID_BTN_PAGE_PREV", "GoToPage 258"},
                 {L"ID_BTN_PAGE_HOME", "GoToPage 257"}};
    for (const auto& p : pages) {
        reset();
        RECT clear = {0, 5000, 1, 5010};  // below the view
        SendMessageW(wnd, WM_USER + 301, reinterpret_cast<WPARAM>(&clear), 0);  // uses up the flag
        EXPECT_EQ(Probe(wnd, L"#STOPPED").enabled, 0);
        ClickControl(wnd, p.button);
        EXPECT_TRUE(PumpUntil([&] { return Log().find(p.call) != std::string::npos; })) << p.call << " " << Log();
        EXPECT_EQ(Probe(wnd, L"#STOPPED").enabled, 1) << p.call;
    }
}

TEST_F(PlayerEngineCalls, TheTransportButtonsAndEngineCallsFollowEachStep) {
    // What the transport shows: the three buttons that are enabled, whether
    // the count-in runs and whether a start would count in.
    auto shown = [&] {
        auto on = [&](const wchar_t* button) { return Probe(wnd, button).enabled ? "on" : "off"; };
        return std::string("start ") + on(L"ID_BTN_SCORE_START") + ", pause " + on(L"ID_BTN_SCORE_PAUSE") +
               ", stop " + on(L"ID_BTN_SCORE_STOP") + ", count-in " + (Probe(wnd, L"#COUNTIN").enabled ? "runs" : "off") +
               ", from stop " + std::to_string(Probe(wnd, L"#STOPPED").value);
    };
    enum Action { HostStart, ClickStart, ClickPause, ClickStop, EngineEnd };
    const struct {
        Action action;
        const char* step;
        const char* shows;
        const char* call;  // the engine call the step makes; null: it must not play
    } steps[] = {
        {HostStart, "a start counts in", "start off, pause on, stop on, count-in runs, from stop 1", nullptr},
        {ClickPause, "pausing the count-in", "start on, pause off, stop on, count-in off, from stop 0", "Pause"},
        {ClickStart, "a start after a pause plays on at once", "start off, pause on, stop on, count-in off, from stop 0",
         "Play"},
        {ClickPause, "pausing", "start on, pause off, stop on, count-in off, from stop 0", "Pause"},
        {ClickStop, "stopping while paused", "start on, pause off, stop off, count-in off, from stop 1", "Stop"},
        {ClickStart, "a start after a stop counts in again", "start off, pause on, stop on, count-in runs, from stop 1",
         nullptr},
        {EngineEnd, "the end of the score during the count-in",
         "start on, pause off, stop off, count-in off, from stop 1", "GoToPage 257"},
    };
    EXPECT_EQ(shown(), "start on, pause off, stop off, count-in off, from stop 1");
    for (const auto& s : steps) {
        reset();
        switch (s.action) {
        case HostStart: box.Client().Cmd(2); break;  // queued for the UI thread
        case ClickStart: ClickControl(wnd, L"ID_BTN_SCORE_START"); break;
        case ClickPause: ClickControl(wnd, L"ID_BTN_SCORE_PAUSE"); break;
        case ClickStop: ClickControl(wnd, L"ID_BTN_SCORE_STOP"); break;
        case EngineEnd: PostMessageW(wnd, WM_SCORE_PLAY_END, 0, 0); break;
        }
        PumpUntil([&] { return shown() == s.shows; }, 2000);
        EXPECT_EQ(shown(), s.shows) << s.step;
        if (s.call) EXPECT_NE(Log().find(std::string(s.call) + ";"), std::string::npos) << s.step << ": " << Log();
        else EXPECT_EQ(Log().find("Play;"), std::string::npos) << s.step << ": " << Log();
    }
}

}  // namespace
