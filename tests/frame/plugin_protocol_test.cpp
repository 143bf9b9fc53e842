// The plug-in's exports driven the way a host drives them: the real DLL is
// copied into a temporary plug-in folder and loaded into this process.
#include <gtest/gtest.h>

#include <string>

#include "frame/host_protocol.h"
#include "abi/module.h"
#include "host/host_string.h"
#include "tests/player/player_driver.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct FakeEngine {
    explicit FakeEngine(const std::wstring& folder) {
        module = LoadLibraryW((folder + L"ScoreDll.dll").c_str());
        log = GetProc<const char*(__cdecl*)()>(module, "FakeEngineLog");
        reset = GetProc<void(__cdecl*)()>(module, "FakeEngineReset");
        script = GetProc<void(__cdecl*)(const int*, int)>(module, "FakeEngineScriptNotes");
        reportKey = GetProc<void(__cdecl*)(int)>(module, "FakeEngineReportKeyOnCallback");
        reset();
    }
    ~FakeEngine() { FreeLibrary(module); }
    std::string Log() const { return log(); }
    HMODULE module;
    const char*(__cdecl* log)();
    void(__cdecl* reset)();
    void(__cdecl* script)(const int*, int);
    void(__cdecl* reportKey)(int);
};

// The player sets the tempo ratio once when its window first shows; tests of
// the tempo commands start counting after that.
void StartAndSettle(PluginSandbox& box, FakeEngine& engine) {
    ASSERT_TRUE(box.Start());
    EXPECT_TRUE(PumpUntil([&] { return engine.Log().find("SetTempoRatio 1.0;") != std::string::npos; }));
    engine.reset();
}

// The player registers the engine's callbacks when a score opens, and plays
// only a score it shows; the fake engine accepts any file that exists.
void OpenAnyScore(PluginSandbox& box) {
    std::wstring path = box.Folder() + L"any.zyqn";
    WriteFileBytes(path, "zyqn 1\n");
    ASSERT_TRUE(player_test::OpenThroughDialog(box.PlayerWindow(), path));
    EXPECT_TRUE(PumpUntil([&] { return player_test::Probe(box.PlayerWindow(), L"ID_SCORE_VIEW").value == 1; }));
    // Opening ends in the stopped transport, which tells the host to release its keys.
    ASSERT_TRUE(PumpUntil([&] { return !box.Host().Of(WM_PLUGIN_NOTE).empty(); }));
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_NOTE).back().wp, kResetNotesWord);
}

DWORD WindowThread(HWND wnd) { return GetWindowThreadProcessId(wnd, nullptr); }

std::wstring WindowText(HWND wnd) {
    wchar_t text[256] = {};
    GetWindowTextW(wnd, text, 256);
    return text;
}

size_t CountOf(const std::string& log, const char* what) {
    size_t count = 0;
    for (size_t p = 0; (p = log.find(what, p)) != std::string::npos; ++p) ++count;
    return count;
}

}  // namespace

TEST(PluginLifecycle, InitShowsThePlayerWindowOnItsOwnThreadAndExitJoins) {
    PluginSandbox box;
    ASSERT_TRUE(box.Client().IsLoaded());
    ASSERT_TRUE(box.Start());
    HWND player = box.PlayerWindow();
    ASSERT_NE(player, nullptr);
    EXPECT_NE(WindowThread(player), GetCurrentThreadId());
    RECT rc;
    GetWindowRect(player, &rc);
    EXPECT_EQ(rc.right - rc.left, 879);
    EXPECT_EQ(rc.bottom - rc.top, 600);

    box.Stop();
    EXPECT_FALSE(IsWindow(player));
    // The closed message is posted; it is waiting in this thread's queue.
    PumpUntil([&] { return !box.Host().Of(WM_PLUGIN_CLOSED).empty(); }, 2000);
    auto closed = box.Host().Of(WM_PLUGIN_CLOSED);
    ASSERT_EQ(closed.size(), 1u);
    EXPECT_EQ(closed[0].wp, 0x2400u);
    EXPECT_EQ(closed[0].lp, 0);
}

TEST(PluginLifecycle, SkinStringReferencesAreReleasedByTheReceiver) {
    PluginSandbox box;
    int before = HostStrings().FreeCount();
    ASSERT_TRUE(box.Start(1033, L"C:\\nowhere\\"));
    EXPECT_EQ(HostStrings().FreeCount(), before + 1);
    box.Client().Skin(L"");
    EXPECT_EQ(HostStrings().FreeCount(), before + 2);
    box.Stop();
    // Without a window the reference is still given back.
    box.Client().Skin(L"C:\\x\\");
    EXPECT_EQ(HostStrings().FreeCount(), before + 3);
}

TEST(PluginLifecycle, ExitAfterTheUserClosedTheWindowReturnsAtOnce) {
    PluginSandbox box;
    ASSERT_TRUE(box.Start());
    HWND player = box.PlayerWindow();
    PostMessageW(player, WM_CLOSE, 1, 0);
    EXPECT_TRUE(PumpUntil([&] { return !box.Host().Of(WM_PLUGIN_CLOSED).empty(); }));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(player); }));
    DWORD start = GetTickCount();
    box.Stop();
    EXPECT_LT(GetTickCount() - start, 2000u);
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_CLOSED).size(), 1u);
}

TEST(PluginLifecycle, CallsBeforeInitAndAfterExitDoNothing) {
    PluginSandbox box;
    box.Client().Cmd(2);
    box.Client().Lang(1041);
    box.Client().Skin(L"C:\\");
    EXPECT_FALSE(FileExists(box.Folder() + L"Language\\English.ini"));
    ASSERT_TRUE(box.Start());
    box.Stop();
    EXPECT_TRUE(PumpUntil([&] { return !box.Host().Of(WM_PLUGIN_CLOSED).empty(); }));
    size_t seen = box.Host().messages.size();
    box.Client().Cmd(3);  // a pause with a window would send the reset word
    box.Client().Lang(2052);
    PumpFor(50);
    EXPECT_EQ(box.Host().messages.size(), seen);
}

TEST(PluginLifecycle, LanguageRequestsRunOnTheUiThreadAndRetitleTheWindow) {
    PluginSandbox box;
    CreateDirectoryW((box.Folder() + L"Language").c_str(), nullptr);
    WriteFileBytes(box.Folder() + L"Language\\German.ini",
                   "[General Settings]\r\nID=1031\r\n[String]\r\nID_WND_MELVANE_TITLE=Melvane Spieler\r\n");
    ASSERT_TRUE(box.Start(1033));
    HWND player = box.PlayerWindow();
    wchar_t text[64] = {};
    GetWindowTextW(player, text, 64);
    EXPECT_STREQ(text, L"Melvane");
    box.Client().Lang(1031);  // queued for the UI thread; the host does not wait
    EXPECT_TRUE(PumpUntil([&] { return WindowText(player) == L"Melvane Spieler"; }));
}

TEST(HostCommands, TempoStartAndPauseReachTheEngine) {
    PluginSandbox box(L"FakeScoreDll.dll");
    FakeEngine engine(box.Folder());
    StartAndSettle(box, engine);
    box.Client().Cmd(0);  // faster: index 20 -> 19, ratio 1.1
    box.Client().Cmd(1);  // slower: back to 1.0
    box.Client().Cmd(4);
    box.Client().Cmd(-1);
    // Commands are queued for the UI thread and run there in order.
    EXPECT_TRUE(PumpUntil([&] { return CountOf(engine.Log(), "SetTempoRatio") >= 2; }));
    PumpFor(100);
    std::string log = engine.Log();
    EXPECT_NE(log.find("SetTempoRatio 1.1;SetTempoRatio 1.0;"), std::string::npos) << log;
    EXPECT_EQ(log.find("SetTempoRatio 1.0;SetTempoRatio"), std::string::npos) << log;

    OpenAnyScore(box);
    size_t before = box.Host().Of(WM_PLUGIN_NOTE).size();
    box.Client().Cmd(2);  // the count-in starts
    box.Client().Cmd(3);  // and the pause cancels it
    ASSERT_TRUE(PumpUntil([&] { return box.Host().Of(WM_PLUGIN_NOTE).size() > before; }));
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_NOTE).back().wp, 0x01000000u);
    EXPECT_TRUE(PumpUntil([&] { return engine.Log().find("Pause") != std::string::npos; }));
}

TEST(HostCommands, TempoStopsAtBothEndsOfTheTable) {
    PluginSandbox box(L"FakeScoreDll.dll");
    FakeEngine engine(box.Folder());
    StartAndSettle(box, engine);
    for (int i = 0; i < 25; ++i) box.Client().Cmd(0);
    // 20 steps reach index 0; the five extra requests change nothing.
    EXPECT_TRUE(PumpUntil([&] { return engine.Log().find("SetTempoRatio 3.0") != std::string::npos; }));
    PumpFor(150);
    EXPECT_EQ(CountOf(engine.Log(), "SetTempoRatio"), 20u);
    engine.reset();
    for (int i = 0; i < 35; ++i) box.Client().Cmd(1);
    EXPECT_TRUE(PumpUntil([&] { return engine.Log().find("SetTempoRatio 0.1") != std::string::npos; }));
    PumpFor(150);
    EXPECT_EQ(CountOf(engine.Log(), "SetTempoRatio"), 29u);
}

TEST(HostMessages, NoteEventsArePackedAndSentInOrder) {
    PluginSandbox box(L"FakeScoreDll.dll");
    FakeEngine engine(box.Folder());
    const int notes[] = {60, 100, 0, 0, 1,   60, 0, 0, 0, 0,  0x1A5, 0x2FF, 7, 0x301, 3,
                         48, 90,  9, 1, -1,  50, 1, 2, 1, -3, 51,    2,     3, 1,     2};
    engine.script(notes, 30);
    ASSERT_TRUE(box.Start());
    OpenAnyScore(box);
    box.Host().messages.clear();
    box.Client().Cmd(2);
    // Playback begins after the three-second count-in.
    EXPECT_TRUE(PumpUntil([&] { return engine.Log().find("Play;") != std::string::npos; }, 5000));
    PumpFor(20);
    std::vector<WPARAM> words;
    for (auto& m : box.Host().Of(WM_PLUGIN_NOTE)) words.push_back(m.wp);
    std::vector<WPARAM> expected = {0x0001643C, 0x0000003C, 0x0101FFA5, 0x01005A30, 0x01000132, 0x01000233};
    EXPECT_EQ(words, expected);
}

TEST(HostMessages, KeyIndexIsSentAsTheHostCode) {
    PluginSandbox box(L"FakeScoreDll.dll");
    FakeEngine engine(box.Folder());
    engine.reportKey(9);  // D
    ASSERT_TRUE(box.Start());
    OpenAnyScore(box);
    PumpFor(20);
    auto keys = box.Host().Of(WM_PLUGIN_KEY);
    ASSERT_EQ(keys.size(), 1u);
    EXPECT_EQ(keys[0].wp, 8u);
}

TEST(HostMessages, AnEngineWithoutAllExportsIsTreatedAsMissing) {
    PluginSandbox box(L"BrokenScoreDll.dll");
    FakeEngine engine(box.Folder());
    ASSERT_TRUE(box.Start());
    box.Client().Cmd(2);
    box.Client().Cmd(0);
    EXPECT_TRUE(IsWindow(box.PlayerWindow()));
    EXPECT_EQ(engine.Log().find("CreateScore"), std::string::npos) << engine.Log();
    EXPECT_EQ(engine.Log().find("Play"), std::string::npos) << engine.Log();
}

TEST(HostProtocolTables, NoteWordPacking) {
    EXPECT_EQ(PackNoteWord(60, 100, 5, 1, 1), 0x0101643Cu);
    EXPECT_EQ(PackNoteWord(60, 100, 5, 1, 3), 0x0101643Cu);
    for (int off : {0, 2, 4, -1, -3, -2})
        EXPECT_EQ((PackNoteWord(60, 100, 5, 1, off) >> 16) & 0xFF, 0u) << off;
    EXPECT_EQ(PackNoteWord(0x1FF, 0x280, 0, 0x3FE, 1), 0xFE0180FFu);
}

TEST(HostProtocolTables, KeyCodesFollowTheAlphabeticalTable) {
    const int codes[15] = {4, 13, 7, 0, 9, 2, 11, 5, 14, 8, 1, 10, 3, 12, 6};
    const wchar_t* names[15] = {L"bC", L"bG", L"bD", L"bA", L"bE", L"bB", L"F", L"C",
                                L"G",  L"D",  L"A",  L"E",  L"B",  L"#F", L"#C"};
    for (int i = 0; i < 15; ++i) {
        EXPECT_EQ(HostKeyCode(i), codes[i]);
        EXPECT_EQ(KeyName(i), names[i]);
    }
    EXPECT_EQ(HostKeyCode(15), -1);
    EXPECT_EQ(HostKeyCode(-1), -1);
    EXPECT_EQ(KeyName(15), L"");
}
