// The player at work with the real engine and the sample library: opening
// through the open dialog, the information fields, refused files, the
// count-in and the notes that reach the host, pause, stop, the end of the
// score, tempo and hands.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "abi/host_messages.h"
#include "tests/player/player_driver.h"
#include "tests/support/screen_pixels.h"
#include "tests/support/test_support.h"

using namespace testing_support;
using namespace player_test;

namespace {

const wchar_t kOdeToJoy[] = L"Beginner\\Ode to Joy.zyqn";

class PlayerAtWork : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(box.Start());
        wnd = box.PlayerWindow();
        PumpFor(300);  // the start-up timer fits the zoom to the width
    }
    void Open(const wchar_t* sample) {
        size_t resets = ResetWordsAt(box.Host());
        ASSERT_TRUE(OpenThroughDialog(wnd, SampleScore(sample)));
        std::wstring name = sample;
        name = name.substr(name.rfind(L'\\') + 1);
        name = name.substr(0, name.rfind(L'.'));
        ASSERT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_WND_MELVANE_TITLE") == L"Melvane  ( " + name + L" )"; }));
        // The opening ends with a posted message that rewinds the ruler and
        // tells the host to release its keys.
        ASSERT_TRUE(PumpUntil([&] { return ResetWordsAt(box.Host()) > resets; }));
        PumpFor(200);
    }
    std::vector<WPARAM> Notes() {
        std::vector<WPARAM> words;
        for (auto& m : box.Host().Of(WM_PLUGIN_NOTE)) words.push_back(m.wp);
        return words;
    }

    // The reset word among the words that came after the first count.
    bool ResetSince(size_t count) {
        std::vector<WPARAM> words = Notes();
        for (size_t i = count; i < words.size(); ++i)
            if (words[i] == kResetNotesWord) return true;
        return false;
    }
    // A note-on (bit 16) among the words that came after the first count;
    // note-offs of notes already sounding may still trail a stop.
    // Teal pixels (the count-in disc's colour, never the page's) in a square
    // at the middle of the score view, as the screen shows it.
    int TealInMiddleOfView() {
        RECT view = Probe(wnd, L"ID_SCORE_VIEW").pos;
        int x = (view.left + view.right) / 2, y = (view.top + view.bottom) / 2;
        int n = 0;
        for (DWORD p : ScreenPixels(wnd, RECT{x - 100, y - 100, x + 100, y + 100})) {
            int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += g - r >= 40 && b - r >= 40;
        }
        return n;
    }
    bool NoteOnSince(size_t count) {
        std::vector<WPARAM> words = Notes();
        for (size_t i = count; i < words.size(); ++i)
            if (words[i] & 0x00010000) return true;
        return false;
    }

    PluginSandbox box{L"ScoreDll.dll"};
    HWND wnd = nullptr;
};

TEST_F(PlayerAtWork, OpeningShowsTheScoresTitleFieldsAndRuler) {
    Open(kOdeToJoy);
    EXPECT_EQ(TextOf(wnd, L"ID_WND_MELVANE_TITLE"), L"Melvane  ( Ode to Joy )");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_KEY_VALUE"), L"C");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_METER_VALUE"), L"4/4");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_TEMPO_VALUE"), L"108");
    PlayerProbe ruler = Probe(wnd, L"ID_SLIDER_PLAY_RULER");
    EXPECT_TRUE(ruler.found);
    EXPECT_GT(ruler.maximum, 0);
    EXPECT_EQ(ruler.maximum % 10, 0);
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE"), L"/ " + std::to_wstring(ruler.maximum / 10));
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR"), L"0 ");
    EXPECT_EQ(ruler.value, 0);
    std::wstring total = TextOf(wnd, L"ID_SCORE_TIME_VALUE");
    EXPECT_EQ(total.substr(0, 2), L"/ ");
    EXPECT_NE(total, L"/ 00:00") << "the total time comes from the engine";
    // The key went to the host as well (C is code 1 of the host's table).
    EXPECT_FALSE(box.Host().Of(WM_PLUGIN_KEY).empty());
    // The page fills the view's width at "Auto".
    EXPECT_EQ(TextOf(wnd, L"ID_COMBO_ZOOM"), L"Auto");
    EXPECT_EQ(Probe(wnd, L"ID_SCORE_VIEW").value, 1);
    SaveWindowShot(wnd, L"player-score-auto.png");
}

TEST_F(PlayerAtWork, RefusedFilesShowTheirMessageAndKeepThePreviousScore) {
    Open(kOdeToJoy);
    std::wstring title = TextOf(wnd, L"ID_WND_MELVANE_TITLE");
    std::wstring meter = TextOf(wnd, L"ID_SCORE_METER_VALUE");
    int rulerMax = Probe(wnd, L"ID_SLIDER_PLAY_RULER").maximum;

    struct Case {
        const char* bytes;
        const wchar_t* message;
    } cases[] = {
        {"just some words\n", L"This file is not a Melvane score (*.zyqn)."},
        {"zyqn 9\nR: | 1 2 3 4 |\n", L"This score was written by a newer version. Please update Melvane to open it."},
        {"zyqn 1\nmeter: 3/4\nR: | 1 2 | 3 4 5 6 7 | 1 |\n", L"The score file could not be read."},
    };
    int n = 0;
    for (const Case& c : cases) {
        std::wstring path = box.Folder() + L"refused" + std::to_wstring(n++) + L".zyqn";
        WriteFileBytes(path, c.bytes);
        ASSERT_TRUE(OpenThroughDialog(wnd, path));
        HWND msgBox = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (msgBox = FindOwnedMessageBox(wnd)) != nullptr; })) << c.bytes;
        wchar_t caption[64] = {};
        GetWindowTextW(msgBox, caption, 64);
        EXPECT_STREQ(caption, L"Melvane");
        EXPECT_EQ(MessageBoxText(msgBox), c.message);
        if (n == 1) {
            PumpFor(150);
            SaveWindowShot(wnd, L"player-open-error.png");
        }
        PostMessageW(msgBox, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(msgBox); }));
        EXPECT_EQ(TextOf(wnd, L"ID_WND_MELVANE_TITLE"), title);
        EXPECT_EQ(TextOf(wnd, L"ID_SCORE_METER_VALUE"), meter);
        EXPECT_EQ(Probe(wnd, L"ID_SLIDER_PLAY_RULER").maximum, rulerMax);
    }
}

TEST_F(PlayerAtWork, CountInThenNotesPauseResumeStopAndTheEnd) {
    Open(kOdeToJoy);
    box.Host().messages.clear();
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_SCORE_STOP").enabled);

    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").enabled != 0; }, 1000));
    EXPECT_EQ(Probe(wnd, L"#COUNTIN").value, 3);
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled);
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").value == 2; }, 1500));
    PumpFor(100);
    SaveWindowShot(wnd, L"player-count-in-2.png");
    EXPECT_GT(TealInMiddleOfView(), 2000) << "the count-in shows over the page";
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").value == 1; }, 1500));
    EXPECT_TRUE(Notes().empty()) << "nothing sounds during the count-in";
    ASSERT_TRUE(PumpUntil([&] { return Notes().size() >= 4; }, 3000));
    EXPECT_FALSE(Probe(wnd, L"#COUNTIN").enabled);
    EXPECT_LT(TealInMiddleOfView(), 200) << "the count-in is gone once the notes sound";
    // Every note-on word has the on bit; its note-off follows later.
    std::vector<WPARAM> first = Notes();
    EXPECT_EQ(first[0] & 0x00FF0000, 0x00010000u) << std::hex << first[0];

    size_t beforePause = Notes().size();
    box.Client().Cmd(3);
    EXPECT_TRUE(PumpUntil([&] { return ResetSince(beforePause); }, 1000))
        << "the pause tells the host to release its keys";
    std::vector<WPARAM> afterPause = Notes();
    PumpFor(400);
    EXPECT_FALSE(NoteOnSince(afterPause.size())) << "paused: no more notes";

    box.Client().Cmd(2);
    PumpFor(100);
    EXPECT_FALSE(Probe(wnd, L"#COUNTIN").enabled) << "resuming needs no count-in";
    EXPECT_TRUE(PumpUntil([&] { return Notes().size() > afterPause.size() + 1; }, 2000));
    std::wstring measureNow = TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR");
    EXPECT_NE(measureNow, L"0 ");

    size_t beforeStop = Notes().size();
    ClickControl(wnd, L"ID_BTN_SCORE_STOP");
    EXPECT_TRUE(PumpUntil([&] { return !Probe(wnd, L"ID_BTN_SCORE_STOP").enabled; }));
    PumpFor(50);
    EXPECT_TRUE(ResetSince(beforeStop));
    size_t stopped = Notes().size();
    PumpFor(400);
    EXPECT_FALSE(NoteOnSince(stopped)) << "stopped: no more notes";
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    EXPECT_EQ(Probe(wnd, L"#STOPPED").value, 1);
}

TEST_F(PlayerAtWork, TheEndOfTheScoreResetsTheTransportToPageOne) {
    Open(L"Beginner\\Frere Jacques.zyqn");
    int measures = Probe(wnd, L"ID_SLIDER_PLAY_RULER").maximum / 10;
    for (int i = 0; i < 20; ++i) box.Client().Cmd(0);  // fastest: 3.0
    EXPECT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_BTN_TEMPO_DIS") == L"X 3.0"; }));
    box.Client().Cmd(2);
    ASSERT_TRUE(PumpUntil([&] { return !Probe(wnd, L"#COUNTIN").enabled && !Notes().empty(); }, 5000));
    size_t playing = Notes().size();
    // Near the end the engine reports the last measure; then it sends the end.
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"ID_BTN_SCORE_START").enabled; }, 60000));
    PumpFor(50);
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR"), L"0 ");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE"), L"/ " + std::to_wstring(measures));
    EXPECT_EQ(Probe(wnd, L"ID_SLIDER_PLAY_RULER").value, 0);
    EXPECT_EQ(Probe(wnd, L"#STOPPED").value, 1);
    EXPECT_TRUE(ResetSince(playing));
    size_t ended = Notes().size();
    PumpFor(300);
    EXPECT_FALSE(NoteOnSince(ended));
    // Starting again counts in again.
    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").enabled != 0; }, 1000));
}

// A change of key, meter and tempo in the middle of a piece shows in the
// fields as its measure plays, and the host hears of the new key; at the
// end they show the opening values again.
TEST_F(PlayerAtWork, TheFieldsFollowAChangeOfKeyMeterAndTempo) {
    const std::wstring path = box.Folder() + L"Changes.zyqn";
    WriteFileBytes(path, "zyqn 2\nkey: C\nmeter: 4/4\ntempo: 240\n"
                         "R: 1 2 3 4 | @key=G @meter=3/4 @tempo=200 1 2 3 | 5 - 3 | 1 2 3 | 5 - 3 | 1 - - | 1 - - |\n"
                         "L: 1, - - - | 1, - - | 1, - - | 5,, - - | 5,, - - | 1, - - | 1, - - |\n");
    ASSERT_TRUE(OpenThroughDialog(wnd, path));
    ASSERT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_WND_MELVANE_TITLE") == L"Melvane  ( Changes )"; }));
    PumpFor(200);
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_KEY_VALUE"), L"C");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_METER_VALUE"), L"4/4");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_TEMPO_VALUE"), L"240");
    box.Host().messages.clear();
    box.Client().Cmd(2);
    // The fields change one after another on the player's thread: wait for all three.
    ASSERT_TRUE(PumpUntil([&] {
        return TextOf(wnd, L"ID_SCORE_KEY_VALUE") == L"G" && TextOf(wnd, L"ID_SCORE_METER_VALUE") == L"3/4" &&
               TextOf(wnd, L"ID_SCORE_TEMPO_VALUE") == L"200";
    }, 8000));
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_MEASURE_VALUE_CUR"), L"2 ");
    auto keys = box.Host().Of(WM_PLUGIN_KEY);
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys.back().wp, 14u) << "G in the host's table";
    PumpFor(150);
    SaveWindowShot(wnd, L"player-key-change.png");
    ASSERT_TRUE(PumpUntil([&] { return Probe(wnd, L"ID_BTN_SCORE_START").enabled; }, 15000));
    PumpFor(50);
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_KEY_VALUE"), L"C");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_METER_VALUE"), L"4/4");
    EXPECT_EQ(TextOf(wnd, L"ID_SCORE_TEMPO_VALUE"), L"240");
    EXPECT_EQ(box.Host().Of(WM_PLUGIN_KEY).back().wp, 5u) << "C again";
}

TEST_F(PlayerAtWork, OpeningDuringTheCountInCancelsIt) {
    Open(kOdeToJoy);
    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"#COUNTIN").enabled != 0; }, 1000));
    Open(L"Beginner\\Jingle Bells.zyqn");
    EXPECT_FALSE(Probe(wnd, L"#COUNTIN").enabled);
    box.Host().messages.clear();
    PumpFor(3500);
    for (WPARAM w : Notes()) EXPECT_EQ(w & 0x00010000, 0u) << "nothing plays behind a stopped transport";
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled);
}

// A start that reaches the player while a score opens (here the host starts
// as soon as the opening reports the key) counts in and plays: the end of
// the opening, which waits in the queue behind it, must not stop it again.
TEST_F(PlayerAtWork, AStartArrivingWhileAScoreOpensCountsInAndPlays) {
    int starts = 0;
    box.Host().SetHandler([&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
        if (msg == WM_PLUGIN_KEY && starts++ == 0) box.Client().Cmd(2);
        return false;
    });
    Open(kOdeToJoy);
    box.Host().SetHandler(nullptr);
    ASSERT_GT(starts, 0) << "the opening reports the key to the host";
    EXPECT_TRUE(Probe(wnd, L"#COUNTIN").enabled) << "the count-in runs";
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_SCORE_START").enabled);
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_PAUSE").enabled);
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_SCORE_STOP").enabled);
    PumpFor(100);
    SaveWindowShot(wnd, L"player-count-in-started-while-opening.png");
    EXPECT_GT(TealInMiddleOfView(), 2000) << "the count-in shows over the page";
    box.Host().messages.clear();
    EXPECT_TRUE(PumpUntil([&] { return NoteOnSince(0); }, 5000)) << "the score plays after the count-in";
    ClickControl(wnd, L"ID_BTN_SCORE_STOP");
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"ID_BTN_SCORE_START").enabled; }));
}

TEST_F(PlayerAtWork, TempoStepsStopAtBothEndsOfTheTable) {
    EXPECT_EQ(TextOf(wnd, L"ID_BTN_TEMPO_DIS"), L"X 1.0");
    for (int i = 0; i < 25; ++i) box.Client().Cmd(0);
    EXPECT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_BTN_TEMPO_DIS") == L"X 3.0"; }));
    PumpFor(100);  // the five requests past the end change nothing
    EXPECT_EQ(TextOf(wnd, L"ID_BTN_TEMPO_DIS"), L"X 3.0");
    ClickControl(wnd, L"ID_BTN_TEMPO_ADD");
    PumpFor(50);
    EXPECT_EQ(TextOf(wnd, L"ID_BTN_TEMPO_DIS"), L"X 3.0");
    ClickControl(wnd, L"ID_BTN_TEMPO_PLUS");
    PumpFor(50);
    EXPECT_EQ(TextOf(wnd, L"ID_BTN_TEMPO_DIS"), L"X 2.9");
    for (int i = 0; i < 40; ++i) box.Client().Cmd(1);
    EXPECT_TRUE(PumpUntil([&] { return TextOf(wnd, L"ID_BTN_TEMPO_DIS") == L"X 0.1"; }));
}

TEST_F(PlayerAtWork, MutingTheLeftHandSilencesItsNotes) {
    Open(kOdeToJoy);
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_PLAY_LEFT").visible);
    box.Host().messages.clear();
    ClickControl(wnd, L"ID_BTN_PLAY_LEFT");
    // The buttons change before the reset word is sent to the host.
    EXPECT_TRUE(PumpUntil([&] { return Probe(wnd, L"ID_BTN_HIDE_LEFT").visible != 0 && !Notes().empty(); }));
    EXPECT_FALSE(Probe(wnd, L"ID_BTN_PLAY_LEFT").visible);
    EXPECT_TRUE(Probe(wnd, L"ID_BTN_PLAY_RIGHT").visible);
    EXPECT_EQ(Notes().back(), kResetNotesWord);

    box.Host().messages.clear();
    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return Notes().size() >= 12; }, 7000));
    box.Client().Cmd(3);
    PumpFor(50);
    // Hand is bit 24 of the word: 0 right, 1 left; the reset word has it too.
    for (WPARAM w : Notes()) {
        if (w == kResetNotesWord) continue;
        EXPECT_EQ((w >> 24) & 1, 0u) << std::hex << w;
    }
}

// A release goes to the host without the player waiting for the host to take
// it: the host still takes it before the next note (sent messages arrive in
// order), but a key struck again is not held up by a round trip to the
// host's thread. A host that does not answer in time gets its releases
// awaited again, so they cannot pile up in its queue.
TEST_F(PlayerAtWork, ReleasesGoToTheHostWithoutWaitingUnlessTheHostFallsBehind) {
    Open(kOdeToJoy);
    struct Word {
        WPARAM wp;
        DWORD how;  // ISMEX_SEND: the player waits for the answer; ISMEX_NOTIFY: it does not
    };
    std::vector<Word> words;
    int onsets = 0;
    box.Host().SetHandler([&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
        if (msg != WM_PLUGIN_NOTE) return false;
        words.push_back({wp, InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY)});
        if ((wp & 0x00010000) && ++onsets == 6) Sleep(450);  // longer than the player waits for an answer
        return false;
    });
    box.Client().Cmd(2);
    EXPECT_TRUE(PumpUntil([&] { return onsets >= 12; }, 9000));
    box.Client().Cmd(3);
    EXPECT_TRUE(PumpUntil([&] { return !words.empty() && words.back().wp == kResetNotesWord; }, 2000));
    box.Host().SetHandler(nullptr);

    bool struckAgain = false;
    size_t slowOnset = 0;
    for (size_t i = 0, on = 0; i < words.size(); ++i) {
        const Word& w = words[i];
        const bool isOnset = (w.wp & 0x00010000) != 0, isRelease = !isOnset && w.wp != kResetNotesWord;
        if (isOnset && ++on == 6) slowOnset = i;
        // A release right after the onset the host answered late is awaited.
        const bool awaited = !isRelease || (slowOnset && i == slowOnset + 1);
        EXPECT_EQ(w.how, awaited ? DWORD(ISMEX_SEND) : DWORD(ISMEX_NOTIFY)) << i << " " << std::hex << w.wp;
        // A key struck again: its release (same key and hand, bytes 0 and 3) came just before.
        const WPARAM keyAndHand = 0xFF0000FF;
        if (isOnset && i > 0 && !(words[i - 1].wp & 0x00010000) && (words[i - 1].wp & keyAndHand) == (w.wp & keyAndHand))
            struckAgain = true;
    }
    EXPECT_GT(slowOnset, 0u);
    EXPECT_TRUE(struckAgain) << "Ode to Joy strikes its third and fifth degrees twice";
}

}  // namespace
