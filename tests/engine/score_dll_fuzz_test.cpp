// Mutated scores fed to the engine the way the plug-in feeds it: ScoreDll.dll
// through its exports loads each file, draws every page, hit-tests points of
// the page; the same engine object type, behind the same operation table but
// on a virtual clock, plays each accepted score to its end. Every round must
// end cleanly: a load code, pages that draw, notes that all end.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/score_object.h"
#include "abi/module.h"
#include "abi/score_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// Sounding notes per hand and pitch, from the note callback (which carries no
// context, hence a global).
int g_sounding[2][128];
int g_noteErrors;

void __cdecl CountNote(int note, int velocity, int, int hand, int on) {
    if (note < 0 || note > 127 || hand < 0 || hand > 1 || (on && velocity <= 0)) {
        ++g_noteErrors;
        return;
    }
    g_sounding[hand][note] += on ? 1 : -1;
    if (g_sounding[hand][note] < 0 || g_sounding[hand][note] > 1) ++g_noteErrors;
}

std::string Mutate(std::string s, std::mt19937& rng) {
    static const char* const kTokens[] = {"[", "]", "{", "}", "'", ",", "_", ".", "~", "-", "|", "R:", "L:",
                                          "\n", "#", "b", "0", "7", "99999999999", "\xFF", "key: ",
                                          "meter: 13/32\n", "tempo: 1\n", "tempo: 999\n", "1'''", "1,,,",
                                          "@cresc ", "@dim ", "@rit ", "@atempo ", "@f ", "| @key=Bb ",
                                          "| @meter=3/4 ", "| @meter=6/8 ", "| @tempo=300 ", "| @tempo=20 "};
    auto below = [&rng](size_t n) { return n ? rng() % n : 0; };
    int edits = 1 + static_cast<int>(below(2));
    for (int k = 0; k < edits && !s.empty(); ++k) {
        size_t at = below(s.size());
        switch (below(5)) {
        case 0: s[at] = static_cast<char>(rng()); break;
        case 1: s.erase(at, 1 + below(8)); break;
        case 2: s.insert(at, kTokens[below(sizeof kTokens / sizeof *kTokens)]); break;
        case 3: s.insert(at, s.substr(below(s.size()), below(60))); break;
        default: s[at] = "0123456789-_.'|,[]{}~#b"[below(23)]; break;
        }
    }
    return s;
}

std::vector<std::string> SampleScores() {
    std::vector<std::string> seeds = {engine_test::TwoHandScore()};
    for (const wchar_t* name : {L"Beginner\\Ode to Joy.zyqn", L"Beginner\\Jingle Bells.zyqn",
                                L"Classical\\Canon in D.zyqn"}) {
        std::string text = ReadFileBytes(BinFolder() + L"music\\" + name);
        if (!text.empty()) seeds.push_back(text);
    }
    return seeds;
}

bool IsLoadCode(int code) {
    return code == SCORE_LOAD_OK || code == SCORE_E_VERSION || code == SCORE_E_OTHER ||
           code == SCORE_E_UNREADABLE || code == SCORE_E_DAMAGED || code == SCORE_E_NOT_SCORE;
}

}  // namespace

TEST(ScoreDllFuzz, MutatedScoresLoadDrawHitTestAndPlayToTheEnd) {
    HMODULE dll = LoadLibraryW((BinFolder() + L"ScoreDll.dll").c_str());
    ASSERT_NE(dll, nullptr);
    auto createScore = GetProc<CreateScoreFn>(dll, "CreateScore");
    auto releaseScore = GetProc<ReleaseScoreFn>(dll, "ReleaseScore");
    auto createAct = GetProc<CreateSelectActFn>(dll, "CreateSelectAct");
    auto releaseAct = GetProc<ReleaseSelectActFn>(dll, "ReleaseSelectAct");
    ASSERT_TRUE(createScore && releaseScore && createAct && releaseAct);
    IScore* score = createScore();
    ISelectAct* act = createAct();
    ASSERT_TRUE(score && act);
    const IScoreOps& ops = *score->ops;

    TempDir dir;
    const std::wstring file = dir / L"fuzz.zyqn";
    HWND owner = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 900, 1200, nullptr, nullptr, nullptr, nullptr);
    ops.SetOwnerWindow(score, owner);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP page = CreateCompatibleBitmap(screen, 900, 1200);
    HGDIOBJ old = SelectObject(dc, page);
    ReleaseDC(nullptr, screen);

    engine_test::FakeClock clock;
    const std::vector<std::string> seeds = SampleScores();
    std::mt19937 rng(20261208);
    const int kRounds = 3000;
    int accepted = 0, refused = 0, played = 0;
    for (int round = 0; round < kRounds; ++round) {
        const std::string text = Mutate(seeds[rng() % seeds.size()], rng);
        WriteFileBytes(file, text);
        int code = ops.Load(score, file.c_str());
        ASSERT_TRUE(IsLoadCode(code)) << std::hex << code;
        if (code != SCORE_LOAD_OK) {
            ++refused;
            continue;
        }
        ++accepted;
        // Every page drawn, and points across it hit-tested.
        ops.Prepare(score, dc, SCORE_MODE_PAGE, 1.0f, nullptr);
        SIZE size = {};
        ops.GetPageSize(score, &size);
        RECT target = {0, 0, std::min<LONG>(size.cx, 900), std::min<LONG>(size.cy, 1200)};
        int pages = ops.GetPageCount(score);
        ASSERT_GE(pages, 1);
        for (int p = 0; p < pages; ++p) {
            ops.GoToPage(score, p);
            ops.Draw(score, dc, SCORE_MODE_PAGE, &target, SCORE_DRAW_PAGE);
            for (int y = 40; y < target.bottom; y += 157)
                for (int x = 30; x < target.right; x += 211) {
                    POINT pt = {x, y};
                    if (act->ops->HitTest(act, owner, score, &pt)) act->ops->Activate(act);
                }
        }
        ops.GoToMeasure(score, ops.GetMeasureCount(score));
        ops.Stop(score);

        // Played to the end on a virtual clock, every fourth accepted score.
        if (accepted % 4) continue;
        zyqn::CScore local(&clock);
        memset(g_sounding, 0, sizeof g_sounding);
        g_noteErrors = 0;
        local.ops->SetNoteCallback(&local, CountNote);
        local.ops->SetOwnerWindow(&local, owner);
        ASSERT_EQ(local.ops->Load(&local, file.c_str()), SCORE_LOAD_OK);
        local.ops->SetTempoRatio(&local, 3.0f);
        local.ops->Play(&local);
        const zyqn::Timeline* timeline = local.LoadedTimeline();
        ASSERT_NE(timeline, nullptr);
        // The end comes within the score's length at the fastest ratio; a
        // generous bound on the passes keeps a stuck player from hanging.
        long passes = static_cast<long>(timeline->totalMs / 3.0 / 20.0) + 2000;
        while (local.ops->IsPlaying(&local) && passes-- > 0) {
            clock.now += 20;
            local.OnTimer();
        }
        EXPECT_FALSE(local.ops->IsPlaying(&local)) << "round " << round << " never reached the end";
        EXPECT_EQ(g_noteErrors, 0) << "round " << round << ":\n" << text;
        for (auto& hand : g_sounding)
            for (int n : hand) ASSERT_EQ(n, 0) << "a note still sounds after the end, round " << round;
        ++played;
        if (HasFailure()) break;
    }
    // Both sides reached: a fuzzer that only ever fails early tests little.
    EXPECT_GT(accepted, kRounds / 20);
    EXPECT_GT(refused, kRounds / 10);
    EXPECT_GT(played, 0);
    printf("%d accepted (%d played to the end), %d refused\n", accepted, played, refused);

    SelectObject(dc, old);
    DeleteObject(page);
    DeleteDC(dc);
    DestroyWindow(owner);
    releaseAct(act);
    releaseScore(score);
    FreeLibrary(dll);
}
