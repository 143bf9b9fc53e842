// The real ScoreDll.dll driven through its exports and operation tables, the
// way the plug-in drives it: files on disk, an owner window, callbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/layout.h"
#include "engine/zyqn_parser.h"
#include "abi/module.h"
#include "abi/score_engine.h"
#include "tests/engine/engine_test_util.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

// What the callbacks saw; plain functions cannot carry a context.
struct Seen {
    std::vector<int> keys, tempos, meters, measures, times, notes;
    void Clear() { *this = Seen(); }
} g_seen;

void __cdecl OnMeter(int beats, int unit) { g_seen.meters.push_back(beats * 100 + unit); }
void __cdecl OnKey(int key) { g_seen.keys.push_back(key); }
void __cdecl OnTempo(int bpm) { g_seen.tempos.push_back(bpm); }
void __cdecl OnTime(int current, int total) { g_seen.times.push_back(current), (void)total; }
void __cdecl OnMeasure(int current, int total) { g_seen.measures.push_back(current * 1000 + total); }
void __cdecl OnNote(int note, int velocity, int channel, int hand, int on) {
    EXPECT_EQ(channel, hand);
    EXPECT_EQ(velocity, on ? 80 : 0);
    g_seen.notes.push_back((on ? 1 : -1) * (note + 1000 * hand));
}

class Engine {
public:
    Engine() {
        module = LoadLibraryW((BinFolder() + L"ScoreDll.dll").c_str());
        create = GetProc<CreateScoreFn>(module, "CreateScore");
        release = GetProc<ReleaseScoreFn>(module, "ReleaseScore");
        createAct = GetProc<CreateSelectActFn>(module, "CreateSelectAct");
        releaseAct = GetProc<ReleaseSelectActFn>(module, "ReleaseSelectAct");
        if (create) score = create();
        if (createAct) act = createAct();
    }
    ~Engine() {
        if (score) release(score);
        if (act) releaseAct(act);
        if (module) FreeLibrary(module);
    }
    const IScoreOps& S() const { return *score->ops; }
    HMODULE module = nullptr;
    CreateScoreFn create = nullptr;
    ReleaseScoreFn release = nullptr;
    CreateSelectActFn createAct = nullptr;
    ReleaseSelectActFn releaseAct = nullptr;
    IScore* score = nullptr;
    ISelectAct* act = nullptr;
};

// An owner window that records the engine's messages, with the rectangle a
// "show rect" message points to read while it is still valid.
class Owner {
public:
    struct Msg {
        UINT msg;
        WPARAM wp;
        RECT rect;
    };
    HWND Hwnd() const { return window_.Hwnd(); }
    int Count(UINT msg) const {
        int n = 0;
        for (const Msg& m : messages) n += m.msg == msg;
        return n;
    }
    std::vector<Msg> messages;

private:
    bool Record(UINT msg, WPARAM wp) {
        if (msg < WM_SCORE_PLAY_END || msg > WM_SCORE_PAGE) return false;
        Msg m{msg, wp, RECT{-1, -1, -1, -1}};
        if (msg == WM_SCORE_SHOW_RECT && wp) m.rect = *reinterpret_cast<RECT*>(wp);
        messages.push_back(m);
        return true;
    }
    HostWindow window_{HostWindow::Options().At(0, 0, 200, 200).Title(L"").OnMessage(
        [this](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) { return Record(msg, wp); })};
};

std::wstring Write(const TempDir& dir, const wchar_t* name, const std::string& text) {
    std::wstring path = dir / name;
    WriteFileBytes(path, text);
    return path;
}

void SetAllCallbacks(Engine& e) {
    e.S().SetKeyCallback(e.score, OnKey);
    e.S().SetMeterCallback(e.score, OnMeter);
    e.S().SetTempoCallback(e.score, OnTempo);
    e.S().SetMeasureCallback(e.score, OnMeasure);
    e.S().SetTimeCallback(e.score, OnTime);
    e.S().SetNoteCallback(e.score, OnNote);
}

}  // namespace

TEST(ScoreDll, ExportsMakeObjectsWithCompleteTables) {
    Engine e;
    ASSERT_NE(e.module, nullptr);
    ASSERT_NE(e.score, nullptr);
    ASSERT_NE(e.act, nullptr);
    const IScoreOps& s = e.S();
    const void* used[] = {reinterpret_cast<const void*>(s.Prepare), reinterpret_cast<const void*>(s.Draw),
                          reinterpret_cast<const void*>(s.SetOwnerWindow), reinterpret_cast<const void*>(s.GetMeasureCount),
                          reinterpret_cast<const void*>(s.GetPageCount), reinterpret_cast<const void*>(s.GetPageSize),
                          reinterpret_cast<const void*>(s.GoToPage), reinterpret_cast<const void*>(s.GoToMeasure),
                          reinterpret_cast<const void*>(s.Stop), reinterpret_cast<const void*>(s.Play),
                          reinterpret_cast<const void*>(s.Pause), reinterpret_cast<const void*>(s.IsPlaying),
                          reinterpret_cast<const void*>(s.SetMeterCallback), reinterpret_cast<const void*>(s.SetKeyCallback),
                          reinterpret_cast<const void*>(s.SetTempoCallback), reinterpret_cast<const void*>(s.SetTimeCallback),
                          reinterpret_cast<const void*>(s.SetMeasureCallback), reinterpret_cast<const void*>(s.SetNoteCallback),
                          reinterpret_cast<const void*>(s.SetTempoRatio), reinterpret_cast<const void*>(s.SetHands),
                          reinterpret_cast<const void*>(s.Load), reinterpret_cast<const void*>(e.act->ops->HitTest),
                          reinterpret_cast<const void*>(e.act->ops->Activate), reinterpret_cast<const void*>(e.act->ops->QueryResult)};
    for (const void* p : used) EXPECT_NE(p, nullptr);
    // Before any load: nothing to count or play, but a page size to lay out with.
    EXPECT_EQ(s.GetMeasureCount(e.score), 0);
    EXPECT_EQ(s.GetPageCount(e.score), 0);
    SIZE size{};
    s.Prepare(e.score, nullptr, SCORE_MODE_PAGE, 1.0f, nullptr);
    s.GetPageSize(e.score, &size);
    EXPECT_EQ(size.cx, 794);
    s.Play(e.score);
    EXPECT_EQ(s.IsPlaying(e.score), 0);
}

TEST(ScoreDll, LoadCodesAndAFailedLoadKeepsThePreviousScore) {
    Engine e;
    TempDir dir;
    g_seen.Clear();
    SetAllCallbacks(e);
    const IScoreOps& s = e.S();
    ASSERT_EQ(s.Load(e.score, Write(dir, L"good.zyqn", engine_test::TwoHandScore()).c_str()), 0);
    EXPECT_EQ(g_seen.keys, std::vector<int>{7});
    EXPECT_EQ(g_seen.meters, std::vector<int>{404});
    EXPECT_EQ(g_seen.tempos, std::vector<int>{120});
    EXPECT_EQ(g_seen.measures, std::vector<int>{1003});
    EXPECT_EQ(s.GetMeasureCount(e.score), 3);

    std::string huge = "zyqn 1\nR: ";
    huge.append(10 * 1024 * 1024, '1');
    const struct {
        const wchar_t* name;
        std::string text;
        int code;
    } bad[] = {
        {L"picture.zyqn", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), SCORE_E_NOT_SCORE},
        {L"notes.zyqn", "Just some notes\n", SCORE_E_NOT_SCORE},
        {L"empty.zyqn", "", SCORE_E_NOT_SCORE},
        {L"future.zyqn", "zyqn 7\nR: 1\n", SCORE_E_VERSION},
        {L"typo.zyqn", "zyqn 1\nR: 1 2 x 4\n", SCORE_E_UNREADABLE},
        {L"huge.zyqn", huge, SCORE_E_UNREADABLE},
    };
    for (const auto& b : bad) {
        g_seen.Clear();
        EXPECT_EQ(s.Load(e.score, Write(dir, b.name, b.text).c_str()), b.code);
        EXPECT_EQ(s.GetMeasureCount(e.score), 3) << "the previous score stays";
        EXPECT_TRUE(g_seen.keys.empty());
    }
    EXPECT_EQ(s.Load(e.score, (dir / L"missing.zyqn").c_str()), SCORE_E_UNREADABLE);
    EXPECT_EQ(s.Load(e.score, nullptr), SCORE_E_UNREADABLE);
    EXPECT_EQ(s.GetPageCount(e.score), 1);

    // Setting a callback again reports the loaded score's values at once.
    g_seen.Clear();
    s.SetKeyCallback(e.score, OnKey);
    s.SetTempoCallback(e.score, OnTempo);
    EXPECT_EQ(g_seen.keys, std::vector<int>{7});
    EXPECT_EQ(g_seen.tempos, std::vector<int>{120});
}

TEST(ScoreDll, PlaysToTheEndWithMessagesAndNotes) {
    Engine e;
    TempDir dir;
    Owner owner;
    g_seen.Clear();
    const IScoreOps& s = e.S();
    ASSERT_EQ(s.Load(e.score, Write(dir, L"long.zyqn", engine_test::LongScore(120)).c_str()), 0);
    EXPECT_GE(s.GetPageCount(e.score), 3);
    SetAllCallbacks(e);
    s.SetOwnerWindow(e.score, owner.Hwnd());
    s.Prepare(e.score, nullptr, SCORE_MODE_PAGE, 1.0f, nullptr);
    s.GoToMeasure(e.score, 115);  // the last page, near the end
    EXPECT_EQ(owner.Count(WM_SCORE_PAGE), 1);
    g_seen.notes.clear();
    s.SetTempoRatio(e.score, 3.0f);
    s.SetHands(e.score, SCORE_LEFT_MUTED | SCORE_RIGHT_PLAYED);
    s.Play(e.score);
    EXPECT_NE(s.IsPlaying(e.score), 0);
    EXPECT_TRUE(PumpUntil([&] { return owner.Count(WM_SCORE_PLAY_END) > 0; }, 10000));
    PumpFor(100);
    EXPECT_EQ(owner.Count(WM_SCORE_PLAY_END), 1);
    EXPECT_EQ(s.IsPlaying(e.score), 0);
    // Six measures of four quarters in the right hand, each on and off; the muted left hand is silent.
    EXPECT_EQ(g_seen.notes.size(), 48u);
    for (int n : g_seen.notes) EXPECT_LT(std::abs(n), 1000);
    EXPECT_EQ(g_seen.notes.front(), 67);  // measure 115 opens with 5
    // The measure callback followed the play, the view got a rectangle per measure, all on the page.
    ASSERT_GE(g_seen.measures.size(), 6u);
    EXPECT_EQ(g_seen.measures.back() % 1000, 120);
    int rects = 0;
    for (const auto& m : owner.messages) {
        if (m.msg != WM_SCORE_SHOW_RECT) continue;
        ++rects;
        EXPECT_GE(m.rect.left, 0);
        EXPECT_GE(m.rect.top, 0);
        EXPECT_LE(m.rect.right, 794);
        EXPECT_LE(m.rect.bottom, 1123);
        EXPECT_LT(m.rect.left, m.rect.right);
    }
    EXPECT_GE(rects, 6);
    ASSERT_FALSE(g_seen.times.empty());
    EXPECT_EQ(g_seen.times.back(), 240000);  // the last report is the whole length
}

// A left hand that holds C3 under a rest and three quarters: both voices
// reach the host in time order (a moment's onsets ahead of its releases),
// and muting the hand silences both.
TEST(ScoreDll, BothVoicesOfAHandPlayAndMuteTogether) {
    Engine e;
    TempDir dir;
    Owner owner;
    const IScoreOps& s = e.S();
    ASSERT_EQ(s.Load(e.score, Write(dir, L"voices.zyqn", "zyqn 2\ntempo: 120\nR: 1 2 3 4 |\nL: 0 5, 3, 5, & 1, - - - |\n")
                                  .c_str()), 0);
    SetAllCallbacks(e);
    s.SetOwnerWindow(e.score, owner.Hwnd());
    s.SetTempoRatio(e.score, 3.0f);
    const struct {
        int hands;
        std::vector<int> notes;  // + on, - off; the left hand's notes 1000 up
    } cases[] = {
        {SCORE_LEFT_PLAYED | SCORE_RIGHT_PLAYED,
         {60, 1048, 62, 1055, -60, 64, 1052, -62, -1055, 65, 1055, -64, -1052, -65, -1048, -1055}},
        {SCORE_LEFT_MUTED | SCORE_RIGHT_PLAYED, {60, 62, -60, 64, -62, 65, -64, -65}},
        {SCORE_LEFT_PLAYED | SCORE_RIGHT_MUTED, {1048, 1055, 1052, -1055, 1055, -1052, -1048, -1055}},
    };
    for (const auto& c : cases) {
        g_seen.Clear();
        const int ends = owner.Count(WM_SCORE_PLAY_END);
        s.SetHands(e.score, c.hands);
        s.Play(e.score);
        EXPECT_TRUE(PumpUntil([&] { return owner.Count(WM_SCORE_PLAY_END) > ends; }, 10000));
        EXPECT_EQ(g_seen.notes, c.notes) << "hands " << c.hands;
    }
}

TEST(ScoreDll, PauseStopAndPagesThroughTheTable) {
    Engine e;
    TempDir dir;
    Owner owner;
    const IScoreOps& s = e.S();
    ASSERT_EQ(s.Load(e.score, Write(dir, L"long.zyqn", engine_test::LongScore(200)).c_str()), 0);
    int pages = s.GetPageCount(e.score);
    EXPECT_GE(pages, 4);
    s.SetOwnerWindow(e.score, owner.Hwnd());
    s.Play(e.score);
    s.Pause(e.score);
    EXPECT_EQ(s.IsPlaying(e.score), 0);
    s.Play(e.score);
    EXPECT_NE(s.IsPlaying(e.score), 0);
    s.Stop(e.score);
    EXPECT_EQ(s.IsPlaying(e.score), 0);
    EXPECT_EQ(owner.Count(WM_SCORE_PLAY_END), 0);

    // Page commands move the shown page and stop at either end; the thumbnail of each draws.
    HDC dc = CreateCompatibleDC(nullptr);
    HDC screen = GetDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 794, 1123);
    ReleaseDC(nullptr, screen);
    SelectObject(dc, bmp);
    s.GoToPage(e.score, SCORE_PAGE_LAST);
    s.GoToPage(e.score, SCORE_PAGE_NEXT);
    s.GoToPage(e.score, SCORE_PAGE_PREV);
    s.GoToPage(e.score, 9999);  // out of range: ignored
    s.GoToPage(e.score, -3);
    // Activate a note on the shown page and see which measure it moved to.
    s.Prepare(e.score, dc, SCORE_MODE_PAGE, 1.0f, nullptr);
    RECT target{0, 0, 794, 1123};
    s.Draw(e.score, dc, SCORE_MODE_PAGE, &target, SCORE_DRAW_PAGE);
    zyqn::Layout layout = zyqn::LayoutScore(zyqn::ParseZyqn(engine_test::LongScore(200)).score);
    int shown = pages - 2;
    int first = layout.systems[layout.pageFirstSystem[shown]].firstMeasure;
    const zyqn::Box& b = layout.measures[first + 1].events[0][2].box;
    POINT pt{(b.left + b.right) / 2, (b.top + b.bottom) / 2};
    g_seen.Clear();
    s.SetMeasureCallback(e.score, OnMeasure);
    g_seen.Clear();
    EXPECT_NE(e.act->ops->HitTest(e.act, owner.Hwnd(), e.score, &pt), 0);
    e.act->ops->Activate(e.act);
    int result[4] = {-1, -1, -1, -1};
    e.act->ops->QueryResult(e.act, result);
    EXPECT_EQ(result[0], first + 2);
    EXPECT_EQ(result[1], 0);
    ASSERT_FALSE(g_seen.measures.empty());
    EXPECT_EQ(g_seen.measures.back() / 1000, first + 2);
    POINT miss{3, 3};
    EXPECT_EQ(e.act->ops->HitTest(e.act, owner.Hwnd(), e.score, &miss), 0);
    EXPECT_EQ(e.act->ops->HitTest(e.act, owner.Hwnd(), nullptr, &pt), 0);
    s.GoToPage(e.score, SCORE_PAGE_FIRST);
    s.Draw(e.score, dc, SCORE_MODE_PAGE, &target, SCORE_DRAW_PAGE);
    EXPECT_EQ(e.act->ops->HitTest(e.act, owner.Hwnd(), e.score, &pt) != 0,
              layout.HitTest(0, pt.x, pt.y) != nullptr);
    DeleteDC(dc);
    DeleteObject(bmp);
}

// A pick-up is measure 0 for the ruler and the measure fields: the count
// leaves it out, the first full measure is 1, and seeking to 1 lands there.
TEST(ScoreDll, APickupIsMeasureZero) {
    Engine e;
    TempDir dir;
    const IScoreOps& s = e.S();
    const struct {
        const char* music;
        int count, first;
    } cases[] = {
        {"R: 5 | 1 2 3 | 4 5 6 |\nL: 0 | 1, - - | 4, - - |\n", 2, 0},  // pick-up
        {"R: 1 2 3 | 4 5 6 | 7 |\n", 3, 1},                          // only a short last measure
        {"R: 5 |\n", 1, 1},                                           // one short measure is no pick-up
    };
    for (const auto& c : cases) {
        g_seen.Clear();
        std::string text = std::string("zyqn 1\nmeter: 3/4\ntempo: 60\n") + c.music;
        ASSERT_EQ(s.Load(e.score, Write(dir, L"pickup.zyqn", text).c_str()), 0) << c.music;
        s.SetMeasureCallback(e.score, OnMeasure);
        EXPECT_EQ(s.GetMeasureCount(e.score), c.count) << c.music;
        ASSERT_FALSE(g_seen.measures.empty());
        EXPECT_EQ(g_seen.measures.back(), c.first * 1000 + c.count) << c.music;
        s.GoToMeasure(e.score, 1);
        EXPECT_EQ(g_seen.measures.back(), 1000 + c.count) << c.music;
    }
    // Seeking to measure 1 after a pick-up starts at the first full measure: one beat in.
    s.Load(e.score, Write(dir, L"pickup.zyqn", std::string("zyqn 1\nmeter: 3/4\ntempo: 60\n") + cases[0].music).c_str());
    s.SetTimeCallback(e.score, OnTime);
    s.GoToMeasure(e.score, 2);
    EXPECT_EQ(g_seen.times.back(), 4000);
    s.SetMeasureCallback(e.score, nullptr);
    s.SetTimeCallback(e.score, nullptr);
}

// The key, meter and tempo fields follow the measure being played: each
// change is reported as its measure comes, by seeking and by playing, and
// stopping reports the opening values again.
TEST(ScoreDll, KeyMeterAndTempoFollowTheMeasurePlayed) {
    Engine e;
    TempDir dir;
    Owner owner;
    const IScoreOps& s = e.S();
    const std::string text = "zyqn 2\nkey: C\nmeter: 4/4\ntempo: 240\n"
                             "R: 1 2 3 4 | @key=G @tempo=300 1 2 3 4 | @meter=3/4 1 2 3 |\n";
    ASSERT_EQ(s.Load(e.score, Write(dir, L"changes.zyqn", text).c_str()), 0);
    g_seen.Clear();
    SetAllCallbacks(e);
    s.SetOwnerWindow(e.score, owner.Hwnd());
    EXPECT_EQ(g_seen.keys, std::vector<int>{7});
    EXPECT_EQ(g_seen.meters, std::vector<int>{404});
    EXPECT_EQ(g_seen.tempos, std::vector<int>{240});
    const struct {
        int measure;
        int key, meter, tempo;
    } seeks[] = {{2, 8, 404, 300}, {3, 8, 304, 300}, {1, 7, 404, 240}};
    for (const auto& c : seeks) {
        s.GoToMeasure(e.score, c.measure);
        EXPECT_EQ(g_seen.keys.back(), c.key) << "measure " << c.measure;
        EXPECT_EQ(g_seen.meters.back(), c.meter) << "measure " << c.measure;
        EXPECT_EQ(g_seen.tempos.back(), c.tempo) << "measure " << c.measure;
    }
    // Played through: each change reported once, as its measure begins, and nothing repeated.
    g_seen.Clear();
    s.SetTempoRatio(e.score, 3.0f);
    s.Play(e.score);
    EXPECT_TRUE(PumpUntil([&] { return owner.Count(WM_SCORE_PLAY_END) > 0; }, 10000));
    EXPECT_EQ(g_seen.keys, (std::vector<int>{8, 7}));  // G at measure 2; C again at the end, back at the start
    EXPECT_EQ(g_seen.meters, (std::vector<int>{304, 404}));
    EXPECT_EQ(g_seen.tempos, (std::vector<int>{300, 240}));
    s.SetOwnerWindow(e.score, nullptr);
}

TEST(ScoreDll, TheSampleLibraryLoadsWhole) {
    Engine e;
    const IScoreOps& s = e.S();
    std::wstring root = BinFolder() + L"music\\";
    int folders = 0, pieces = 0, multiPage = 0;
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((root + L"*").c_str(), &fd);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || fd.cFileName[0] == L'.') continue;
        ++folders;
        std::wstring folder = root + fd.cFileName + L"\\";
        WIN32_FIND_DATAW f;
        HANDLE g = FindFirstFileW((folder + L"*.zyqn").c_str(), &f);
        if (g == INVALID_HANDLE_VALUE) continue;
        do {
            ++pieces;
            std::wstring path = folder + f.cFileName;
            std::string name(path.begin(), path.end());
            EXPECT_EQ(s.Load(e.score, path.c_str()), 0) << name;
            EXPECT_GE(s.GetMeasureCount(e.score), 8) << name;
            multiPage += s.GetPageCount(e.score) >= 2;
        } while (FindNextFileW(g, &f));
        FindClose(g);
    } while (FindNextFileW(h, &fd));
    FindClose(h);
    EXPECT_GE(folders, 3);
    EXPECT_GE(pieces, 12);
    EXPECT_GE(multiPage, 1);  // the Prelude runs over two pages
}

// A score with fingering, words, grace notes and pedal marks, from a file,
// played through the DLL: grace notes reach the host as notes of their own,
// just before their note's beat; the pedal is not a note and never reaches it.
TEST(ScoreDll, GraceNotesAreNoteEventsAndThePedalIsNot) {
    Engine e;
    TempDir dir;
    Owner owner;
    g_seen.Clear();
    const IScoreOps& s = e.S();
    const std::string text = "zyqn 2\ntempo: 240\nmeter: 2/4\nR: 1f1 g3 2 | g#4g5 6 - |\n"
                             "L: @ped 1, - | @ped 5,, - @* |\nW: Grü-ße dich\n";
    ASSERT_EQ(s.Load(e.score, Write(dir, L"marks.zyqn", text).c_str()), 0);
    SetAllCallbacks(e);
    s.SetOwnerWindow(e.score, owner.Hwnd());
    g_seen.notes.clear();
    s.Play(e.score);
    EXPECT_TRUE(PumpUntil([&] { return owner.Count(WM_SCORE_PLAY_END) > 0; }, 10000));
    // Right hand as pitch, left hand plus 1000; a minus for note-off; a
    // moment's onsets ahead of its releases.
    const std::vector<int> expected = {60, 1048, 64, 62, -60, -64, 66, 67, -66, 69, 1043, -62, -1048, -67, -69, -1043};
    EXPECT_EQ(g_seen.notes, expected);
    ASSERT_FALSE(g_seen.times.empty());
    EXPECT_EQ(g_seen.times.back(), 1000);  // grace notes take no time of their own
}
