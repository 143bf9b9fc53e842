// What the player asks of the engine, read from the recording stand-in
// engine: the order of the callbacks on opening, the reset to the first
// page, and the hand flags of the four hand buttons.
#include <gtest/gtest.h>

#include <string>

#include "abi/proc_address.h"
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
        ASSERT_TRUE(PumpUntil([&] { return Log().find("GoToPage 257") != std::string::npos; }));
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
        ASSERT_EQ(Probe(wnd, L"#STOPPED").enabled, 0);
        ClickControl(wnd, p.button);
        ASSERT_TRUE(PumpUntil([&] { return Log().find(p.call) != std::string::npos; })) << p.call << " " << Log();
        EXPECT_EQ(Probe(wnd, L"#STOPPED").enabled, 1) << p.call;
    }
}

}  // namespace
