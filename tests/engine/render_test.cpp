// Pages drawn into a bitmap: something is drawn, where it should be, and the
// played note carries the highlight.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "abi/dib_section.h"
#include "engine/renderer.h"
#include "engine/score_object.h"
#include <gdiplus.h>
#include "tests/engine/engine_test_util.h"
#include "tests/support/test_support.h"

using namespace zyqn;
using engine_test::FakeClock;

namespace {

constexpr COLORREF kBackdrop = RGB(200, 210, 220);

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDib32(dc_, w, h, reinterpret_cast<void**>(&bits_));
        old_ = SelectObject(dc_, bmp_);
        for (int i = 0; i < w * h; ++i) bits_[i] = 0xC8D2DC;  // kBackdrop as BGRA
    }
    ~Canvas() {
        SelectObject(dc_, old_);
        DeleteObject(bmp_);
        DeleteDC(dc_);
    }
    HDC Dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
    // Pixels in the rectangle (clipped to the canvas) that satisfy pred.
    template <typename Pred>
    int Count(RECT rc, Pred pred) const {
        int n = 0;
        for (int y = std::max<LONG>(0, rc.top); y < std::min<LONG>(h_, rc.bottom); ++y)
            for (int x = std::max<LONG>(0, rc.left); x < std::min<LONG>(w_, rc.right); ++x) n += pred(At(x, y));
        return n;
    }
    RECT All() const { return RECT{0, 0, w_, h_}; }
    // Every pixel of the canvas that satisfies pred, read in one pass.
    template <typename Pred>
    std::vector<POINT> Where(Pred pred) const {
        GdiFlush();
        std::vector<POINT> out;
        for (int y = 0; y < h_; ++y)
            for (int x = 0; x < w_; ++x) {
                uint32_t p = bits_[y * w_ + x];
                if (pred(RGB((p >> 16) & 255, (p >> 8) & 255, p & 255))) out.push_back(POINT{x, y});
            }
        return out;
    }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bmp_;
    HGDIOBJ old_;
    uint32_t* bits_ = nullptr;
};

bool IsInk(COLORREF c) { return GetRValue(c) < 110 && GetGValue(c) < 110 && GetBValue(c) < 110; }
bool IsHighlight(COLORREF c) { return c == kHighlightColor; }

class RenderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(score.LoadText(engine_test::TwoHandScore()), 0); }
    void TearDown() override { score.Stop(); }
    FakeClock clock;
    CScore score{&clock};
};

}  // namespace

// The DIB layout the engine, the toolkit, the shadow and these tests all read
// through raw bits: a pixel drawn at the top-left lands in the first row for
// top-down sections and in the last row for bottom-up ones, as BGR bytes.
TEST(DibSection, RowsAndChannelOrderAsTheCallersReadThem) {
    constexpr int kW = 5, kH = 4;
    const struct {
        DibRows rows;
        int topRow;
    } cases[] = {{DibRows::TopDown, 0}, {DibRows::BottomUp, kH - 1}};
    for (const auto& c : cases) {
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDib32(dc, kW, kH, &bits, c.rows);
        ASSERT_TRUE(bmp && bits);
        HGDIOBJ old = SelectObject(dc, bmp);
        RECT all = {0, 0, kW, kH};
        FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        SetPixelV(dc, 1, 0, RGB(10, 20, 30));
        GdiFlush();
        const auto* px = static_cast<const uint32_t*>(bits);
        EXPECT_EQ(px[c.topRow * kW + 1] & 0xFFFFFF, 0x0A141Eu) << "top row " << c.topRow;
        EXPECT_EQ(px[(kH - 1 - c.topRow) * kW + 1] & 0xFFFFFF, 0u) << "the bottom row stays black";
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDib32(nullptr, 0, 0, &bits), nullptr);
    EXPECT_EQ(bits, nullptr) << "a failed section leaves no stale pointer";
}

TEST_F(RenderTest, PageViewDrawsInkAtItsOriginAndHighlightsThePlayedNotes) {
    for (float scale : {0.5f, 1.0f, 2.0f}) {
        score.Stop();
        score.Play();  // the first notes of both hands are now highlighted
        EXPECT_TRUE(score.GetPlayback().Highlighted(kHandRight).Valid());
        Canvas canvas(1700, 2400);
        POINT origin{30, 40};
        score.Prepare(SCORE_MODE_PAGE, scale, &origin);
        RECT target{10, 10, 1700, 2400};
        score.Draw(canvas.Dc(), SCORE_MODE_PAGE, &target);

        SIZE page = score.PageSize();
        RECT pageRc{40, 50, 40 + page.cx, 50 + page.cy};
        EXPECT_EQ(canvas.At(pageRc.left - 2, pageRc.top + 5), kBackdrop) << scale;
        EXPECT_EQ(canvas.At(pageRc.left + 5, pageRc.top + 5), kPaperColor) << scale;
        if (pageRc.right + 2 < 1700) {
            EXPECT_EQ(canvas.At(pageRc.right + 2, pageRc.top + 5), kBackdrop);
        }
        EXPECT_GT(canvas.Count(pageRc, IsInk), 400 * scale * scale) << scale;

        PageView view;
        view.scale = scale;
        view.origin = POINT{40, 50};
        for (int hand = 0; hand < 2; ++hand) {
            const PlacedEvent* e = score.LoadedLayout()->Find(score.GetPlayback().Highlighted(hand));
            ASSERT_NE(e, nullptr);
            RECT rc = DeviceRect(view, e->glyphs);
            int area = (rc.right - rc.left) * (rc.bottom - rc.top);
            int lit = canvas.Count(rc, IsHighlight);
            EXPECT_GT(lit, area / 3) << "hand " << hand << " scale " << scale;
            EXPECT_GT(canvas.Count(rc, IsInk), 0) << "the digit is drawn over the highlight";
        }
        // Nothing else is highlighted: the lit pixels all lie in the two notes' glyph areas.
        const PlacedEvent* r = score.LoadedLayout()->Find(score.GetPlayback().Highlighted(0));
        const PlacedEvent* l = score.LoadedLayout()->Find(score.GetPlayback().Highlighted(1));
        RECT rr = DeviceRect(view, r->glyphs), lr = DeviceRect(view, l->glyphs);
        EXPECT_EQ(canvas.Count(canvas.All(), IsHighlight), canvas.Count(rr, IsHighlight) + canvas.Count(lr, IsHighlight));
    }
}

TEST_F(RenderTest, StoppedScoreHasNoHighlightAndDrawingStaysInTheTarget) {
    Canvas canvas(900, 1200);
    score.Prepare(SCORE_MODE_PAGE, 1.0f, nullptr);
    RECT target{0, 0, 400, 300};  // only the top-left part of the page
    score.Draw(canvas.Dc(), SCORE_MODE_PAGE, &target);
    EXPECT_EQ(canvas.Count(canvas.All(), IsHighlight), 0);
    EXPECT_GT(canvas.Count(target, IsInk), 50);  // the title
    EXPECT_EQ(canvas.Count(RECT{400, 0, 900, 1200}, [](COLORREF c) { return c != kBackdrop; }), 0);
    EXPECT_EQ(canvas.Count(RECT{0, 300, 900, 1200}, [](COLORREF c) { return c != kBackdrop; }), 0);
}

TEST_F(RenderTest, ThumbnailFillsTheRowAtTheSmallScale) {
    score.Play();
    Canvas canvas(300, 300);
    score.Prepare(SCORE_MODE_THUMBNAIL, 167.0f / 794, nullptr);
    SIZE thumb = score.PageSize();
    RECT row{20, 10, 20 + thumb.cx, 10 + thumb.cy};
    score.Draw(canvas.Dc(), SCORE_MODE_THUMBNAIL, &row);
    EXPECT_EQ(canvas.At(21, 11), kPaperColor);
    EXPECT_EQ(canvas.At(19, 11), kBackdrop);
    EXPECT_GT(canvas.Count(row, IsInk), 30);
    EXPECT_EQ(canvas.Count(canvas.All(), IsHighlight), 0);
}

TEST_F(RenderTest, EveryPageOfALongScoreDrawsAtEveryZoom) {
    ASSERT_EQ(score.LoadText(engine_test::LongScore(150)), 0);
    EXPECT_GT(score.PageCount(), 2);
    Canvas canvas(800, 600);
    for (float scale : {0.1f, 0.33f, 1.0f, 4.0f}) {
        POINT origin{0, 0};
        score.Prepare(SCORE_MODE_PAGE, scale, &origin);
        for (int page = 0; page < score.PageCount(); ++page) {
            score.GoToPage(page);
            RECT target{0, 0, 800, 600};
            score.Draw(canvas.Dc(), SCORE_MODE_PAGE, &target);
            EXPECT_GT(canvas.Count(RECT{0, 0, 800, 600}, IsInk), 0) << scale << " page " << page;
        }
    }
}

namespace {

// GDI+'s built-in PNG encoder.
const CLSID kPngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Writes what a canvas holds as build/screenshots/engine/<name>.png.
bool SaveCanvas(const Canvas& canvas, const std::wstring& name) {
    Gdiplus::GdiplusStartupInput in;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &in, nullptr);
    std::wstring folder = testing_support::BinFolder() + L"..\\screenshots\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"engine\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    GdiFlush();
    bool saved;
    {
        Gdiplus::Bitmap image(static_cast<HBITMAP>(GetCurrentObject(canvas.Dc(), OBJ_BITMAP)), nullptr);
        saved = image.Save((folder + name + L".png").c_str(), &kPngEncoder, nullptr) == Gdiplus::Ok;
    }
    Gdiplus::GdiplusShutdown(token);
    return saved;
}

// Draws every page of a score into build/screenshots/engine/<stem>-<page>.png,
// the top of the page when zoomed, and returns the page count.
int SaveScorePages(CScore& score, const std::wstring& stem, float scale) {
    const int pages = scale == 1.0f ? score.PageCount() : 1;
    for (int page = 0; page < pages; ++page) {
        Canvas canvas(metrics::kPageWidth, metrics::kPageHeight);
        score.Prepare(SCORE_MODE_PAGE, scale, nullptr);
        score.GoToPage(page);
        RECT target{0, 0, metrics::kPageWidth, metrics::kPageHeight};
        score.Draw(canvas.Dc(), SCORE_MODE_PAGE, &target);
        std::wstring name = scale == 1.0f ? std::to_wstring(page + 1) : std::to_wstring(static_cast<int>(scale * 100)) + L"pc";
        EXPECT_TRUE(SaveCanvas(canvas, stem + L"-" + name));
    }
    return score.PageCount();
}

// The same for a sample of the library, and for a score written out in a test.
int SavePages(const std::wstring& sample, const std::wstring& stem, float scale = 1.0f) {
    FakeClock clock;
    CScore score(&clock);
    if (score.Load((testing_support::BinFolder() + L"music\\" + sample).c_str()) != 0) return 0;
    return SaveScorePages(score, stem, scale);
}

int SaveTextPages(const std::string& text, const std::wstring& stem, float scale = 1.0f) {
    FakeClock clock;
    CScore score(&clock);
    if (score.LoadText(text) != 0) return 0;
    return SaveScorePages(score, stem, scale);
}

// A piece that changes key, meter and tempo, swells, slows and resumes: what
// the words and changes look like on a page.
const char kChangesDemo[] =
    "zyqn 2\ntitle: Changes\nkey: C\nmeter: 4/4\ntempo: 100\n"
    "R: @p @cresc 1 2 3 4 | 5 4 3 2 | @f 1 - @dim 3 - | 5 - - - |\n"
    "L: 1, - 5,, - | 1, - 5,, - | 1, - 5,, - | 1, - - - |\n"
    "R: @key=G @meter=3/4 @mp 1_2_ 3 4 | 5 - 3 | @rit 2_3_ 2 1 | 7, - - |\n"
    "L: [1, 5,] - - | [1, 3,] - - | 5,, - - | 5,, - - |\n"
    "R: @tempo=132 @meter=6/8 @atempo 1_2_3_ 4_5_6_ | @key=Eb @cresc 5. 3. | @ff 1'. - |\n"
    "L: 1,. 5,. | 1,. 5,. | 1,. - |\n";

// Scores that crowd the new marks together: grace notes with signs and octave
// dots after eighths, fingered chords in both hands, staccato, fermata, ties
// and slurs over fingering, words long and short, pedal changes on every beat.
const char* const kCrowded[] = {
    "zyqn 2\nR: g#1g2' 3f3 [1f1 3f3 5'f5]^ g5,, 4'f2~ | @fermata 4'f2 g=7 1'_ 2'_ (3'f4 4'f5) |\n"
    "L: @ped [1,f5 5,f1] - @ped 5,,f5 - | @p 1,,f5_ 5,_ @* 1, @ped 5, @* |\n"
    "W: Grü-ße 你好 - extra-ordinarily long\n",
    "zyqn 2\nmeter: 2/4\nR: 1_ g2 3_ g4g5 6__ g7 1'__ #2'_ | g3 3'f1 g4 4' |: g5, 5 g6, 6 :|\n"
    "L: @ped 1, @ped 5, | @* @ped 1, @ped 4, |: @ped 5,, 1, @* :|\n",
    "zyqn 2\nmeter: 3/4\nR: 1 2 3 | 4 5 6 | 7 1' 2' |\nW: Ein-hun-dert-zwan-zig Schmet-ter-lin-ge\n",
    "zyqn 2\nR: 1 2 3 4 |\nW: u \xC3\xBC \xE4\xBD\xA0 \xE5\xA5\xBD\n",  // u ü 你 好
    // A staccato under a fermata on one note: the wedge stays under the ring.
    "zyqn 2\nR: 1 2 3 @fermata 4'^ | @fermata 5f5^ - - - |\n",
    // Words under dynamics, fingering over triplets, ties and slurs.
    "zyqn 2\nR: @ff {1f1_ 2f2_ 3'f3_} (4f4~ 4 | @pp 5,f5 g6 7,f1 [1f1 3f3]. 2_) |\nL: @mf 1, 5, {1,_ 2,_ 3,_} 4, | 5,, - - - |\n"
    "W: Loud-ly ev-ery-bo-dy sings now\n",
    // Second voices: their finger numbers below them, grace notes and words with both voices.
    "zyqn 2\nR: 5'f5 4'f4 g2' 3'f3 2'f2 & 3f3 - g#6 1f1 - |\nL: @ped 1,f5 - 5,f1 - & 1,,f5 - - - @* |\n"
    "W: one two three four\n",
    // The example of the format's documentation.
    "zyqn 2\nmeter: 3/4\nR: 5, | 1f1 - 3_1_ | 3f3 - g3 2 | 1 - 6, |\n"
    "L: 0 | @ped 1,,f5 [3, 5,] [3, 5,] | @ped 5,, [7,, 2,] [7,, 2,] | 4,, [4, 6,] [4, 6,] @* |\n"
    "W: A-maz-ing - grace! How sweet the\n",
};

// Pixels of two canvases that differ by more than tolerance in some channel, in rc.
int Differing(const Canvas& a, const Canvas& b, RECT rc, int tolerance) {
    RECT all = a.All();
    IntersectRect(&rc, &rc, &all);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            COLORREF p = a.At(x, y), q = b.At(x, y);
            n += std::abs(GetRValue(p) - GetRValue(q)) > tolerance || std::abs(GetGValue(p) - GetGValue(q)) > tolerance ||
                 std::abs(GetBValue(p) - GetBValue(q)) > tolerance;
        }
    return n;
}

}  // namespace

// Page images of three pieces for a person to look at.
TEST(PageImages, ThreePiecesDrawnAtFullSize) {
    const struct {
        const wchar_t* sample;
        const wchar_t* stem;
    } pieces[] = {{L"Beginner\\Ode to Joy.zyqn", L"ode-to-joy"},
                  {L"Classical\\Minuet in G.zyqn", L"minuet"},
                  {L"Classical\\Canon in D.zyqn", L"canon"},
                  {L"Classical\\F\u00fcr Elise.zyqn", L"fur-elise"},
                  {L"Classical\\Gymnopedie No 1.zyqn", L"gymnopedie"},
                  {L"Classical\\Prelude in C.zyqn", L"prelude"}};
    for (const auto& p : pieces) EXPECT_GT(SavePages(p.sample, p.stem), 0) << p.stem;
    EXPECT_GT(SavePages(L"Classical\\F\u00fcr Elise.zyqn", L"fur-elise", 2.0f), 0);
    EXPECT_GT(SavePages(L"Classical\\Turkish March.zyqn", L"turkish-march", 1.0f), 0);
}

// Pieces that carry words, fingering and pedal marks, at full size and zoomed.
TEST(PageImages, APieceWithChangesAndGradualWords) {
    EXPECT_EQ(SaveTextPages(kChangesDemo, L"changes"), 1);
    EXPECT_EQ(SaveTextPages(kChangesDemo, L"changes", 2.0f), 1);
}

TEST(PageImages, PiecesWithWordsFingersAndPedal) {
    const struct {
        const wchar_t* sample;
        const wchar_t* stem;
    } pieces[] = {{L"Beginner\\Twinkle Twinkle Little Star.zyqn", L"twinkle"},
                  {L"Beginner\\Mary Had a Little Lamb.zyqn", L"mary"},
                  {L"Folk\\Amazing Grace.zyqn", L"amazing-grace"}};
    for (const auto& p : pieces) {
        EXPECT_GT(SavePages(p.sample, p.stem), 0) << p.stem;
        EXPECT_GT(SavePages(p.sample, p.stem, 2.0f), 0) << p.stem;
    }
    for (size_t i = 0; i < sizeof kCrowded / sizeof *kCrowded; ++i)
        EXPECT_GT(SaveTextPages(kCrowded[i], L"crowded-marks-" + std::to_wstring(i + 1), 2.0f), 0);
}

namespace {

const char* KindName(MarkKind k) {
    static const char* names[] = {"digit", "accidental", "octave dot", "underline", "augmentation dot", "dash",
                                  "tie", "triplet", "bar number", "bar line", "brace", "hand label",
                                  "repeat", "ending", "word", "staccato", "dynamic", "fermata", "slur",
                                  "fingering", "grace note", "lyric", "hyphen", "pedal"};
    return names[static_cast<int>(k)];
}

std::vector<Mark> MarksOfPage(CScoreRenderer& renderer, const Score& score, const Layout& layout, int page,
                              HDC dc) {
    std::vector<Mark> marks;
    PageView view;
    view.clip = RECT{0, 0, metrics::kPageWidth, metrics::kPageHeight};
    view.marks = &marks;
    renderer.DrawPage(dc, score, layout, page, view);
    return marks;
}

// Reports marks that come within a pixel of each other: at 100 % they would
// read as one blot. Only an underline joined to the next one of its beat may
// touch it, as the two are one line. Returns how many met.
int ReportMeetings(std::vector<Mark> marks, const std::string& where) {
    std::sort(marks.begin(), marks.end(), [](const Mark& a, const Mark& b) { return a.left < b.left; });
    int reported = 0;
    for (size_t i = 0; i < marks.size(); ++i)
        for (size_t j = i + 1; j < marks.size() && marks[j].left < marks[i].right + 1; ++j) {
            const Mark &a = marks[i], &b = marks[j];
            bool oneLine = a.kind == b.kind && ((a.kind == MarkKind::Underline && a.top == b.top) ||
                                                a.kind == MarkKind::Repeat);  // ":|:" shares its thick line
            if (oneLine || !a.Near(b, 0.8) || reported >= 5) continue;
            ++reported;
            ADD_FAILURE() << where << ": " << KindName(a.kind) << " at (" << a.left << "," << a.top << ")-(" << a.right
                          << "," << a.bottom << ") measure " << a.ref.measure << " meets " << KindName(b.kind) << " at ("
                          << b.left << "," << b.top << ")-(" << b.right << "," << b.bottom << ") measure " << b.ref.measure;
        }
    return reported;
}

}  // namespace

// No mark comes within a pixel of another on any page of the samples:
// digits, accidentals, octave dots, underlines, dashes, ties, brackets,
// numbers, bars, finger numbers, grace notes, words and pedal marks each
// stand clear.
TEST(Marks, NoTwoMeetOnAnyPageOfTheSamples) {
    Canvas canvas(metrics::kPageWidth, metrics::kPageHeight);
    CScoreRenderer renderer;
    int pages = 0;
    for (const auto& sample : engine_test::LoadSamples()) {
        Layout layout = LayoutScore(sample.score);
        for (int page = 0; page < layout.PageCount(); ++page, ++pages) {
            std::vector<Mark> marks = MarksOfPage(renderer, sample.score, layout, page, canvas.Dc());
            EXPECT_GT(marks.size(), 20u) << sample.name;
            ReportMeetings(marks, sample.name + " page " + std::to_string(page + 1));
            // A bar number stands outside the music, left of its system's bar
            // line, where it cannot be read as a finger number.
            for (const Mark& m : marks) {
                if (m.kind != MarkKind::BarNumber) continue;
                bool besideASystem = false;
                for (const PlacedSystem& sys : layout.systems)
                    besideASystem = besideASystem || (sys.page == page && m.top >= sys.top && m.bottom <= sys.top + metrics::kNumberBand &&
                                                      m.right <= layout.measures[sys.firstMeasure].box.left);
                EXPECT_TRUE(besideASystem) << sample.name << ": bar number at (" << m.left << "," << m.top << ")";
            }
        }
    }
    EXPECT_GE(pages, 15);
}

namespace {

// Marks of the first page of a score written out in full.
std::vector<Mark> MarksOf(const std::string& text, Layout* layoutOut = nullptr) {
    ParseResult parsed = ParseZyqn(text);
    EXPECT_EQ(parsed.status, ParseStatus::Ok) << parsed.message;
    Layout layout = LayoutScore(parsed.score);
    Canvas canvas(metrics::kPageWidth, metrics::kPageHeight);
    CScoreRenderer renderer;
    std::vector<Mark> marks = MarksOfPage(renderer, parsed.score, layout, 0, canvas.Dc());
    if (layoutOut) *layoutOut = layout;
    return marks;
}

int CountOf(const std::vector<Mark>& marks, MarkKind kind) {
    return static_cast<int>(std::count_if(marks.begin(), marks.end(), [kind](const Mark& m) { return m.kind == kind; }));
}

// Unbroken underlines, level by level from the digits down: "3 2" is three
// lines at the first level and two at the second.
std::string UnderlineRuns(std::vector<Mark> marks) {
    std::map<double, std::vector<Mark>> levels;
    for (const Mark& m : marks)
        if (m.kind == MarkKind::Underline) levels[m.top].push_back(m);
    std::string out;
    for (auto& level : levels) {
        auto& line = level.second;
        std::sort(line.begin(), line.end(), [](const Mark& a, const Mark& b) { return a.left < b.left; });
        int runs = 1;
        for (size_t i = 1; i < line.size(); ++i) runs += line[i].left > line[i - 1].right + 0.5;
        out += (out.empty() ? "" : " ") + std::to_string(runs);
    }
    return out;
}

}  // namespace

TEST(Marks, UnderlinesJoinWithinABeat) {
    const struct {
        const char* text;
        const char* runs;
    } cases[] = {
        {"zyqn 1\nmeter: 3/8\nR: 1__2__3__4__5__6__ |\n", "3 3"},  // each eighth of 3/8 on its own
        {"zyqn 1\nmeter: 6/8\nR: 1__2__3__4__5__6__ 1__2__3__4__5__6__ |\n", "2 2"},  // dotted quarters
        {"zyqn 1\nR: 1_2_3_4_ 5_6_7_1'_ |\n", "4"},                                   // quarters in 4/4
        {"zyqn 1\nR: 1__ 3_. - 1__ 3_. - |\n", "2 2"},  // a dash after the beat does not break it
        {"zyqn 1\nR: 1_ 2 - 3_ |\n", "2"},              // but a dash between notes does
        {"zyqn 2\nmeter: 2/4\nR: 1___2___3___4___5___6___7___1'___ 1___2___3___4___5___6___7___1'___ |\n",
         "2 2 2"},  // thirty-seconds, a beat's eight under three lines
        {"zyqn 2\nR: 1_2_3_4_ 5_6_7_1'_ | @meter=3/8 1_2_3_ | 1_2_3_ |\n", "10"},  // the grouping follows a new meter
    };
    for (const auto& c : cases) EXPECT_EQ(UnderlineRuns(MarksOf(c.text)), c.runs) << c.text;
}

// Changes of key, meter and tempo and the tempo words stand in a band over
// the right hand, only on systems that have them; cresc. and dim. under their
// notes. Nothing meets, however closely they are written.
TEST(Marks, ChangesAndWordsStandClear) {
    const struct {
        const char* text;
        int words;  // marks in the band: each text, and the tempo's note glyph
        int hairpins;
    } cases[] = {
        {kChangesDemo, 8, 3},
        {"zyqn 2\nR: 1 2 3 4 | 5 6 7 1' \\ | @key=D @tempo=80 1 2 3 4 | 5 - - - |\n", 3, 0},  // at a system's start
        {"zyqn 2\nmeter: 2/4\nR: 1 2 | @key=A @meter=3/4 @tempo=60 @rit 1_ @atempo 2_ @rall 3 4 |\n", 7, 0},
        {"zyqn 2\nR: @cresc 1_ @f 2_ @decresc 3_ @p 4_ @dim 5 @cresc 6 |\nL: @p @cresc 1, 2, @mf @dim 3, 4, |\n", 0, 6},
        {"zyqn 2\nR: @rit 1 @rit 2 @atempo 3 4 |\nL: @rit 1, @atempo 2, 3, 4, |\n", 4, 0},  // both hands' rit. is one
        {"zyqn 2\nL: @p @cresc 1, - 5, - & @rit @dim 1,, - - - | @f 1, - - - |\n", 1, 2},  // under a second voice too
    };
    for (const auto& c : cases) {
        Layout layout;
        std::vector<Mark> marks = MarksOf(c.text, &layout);
        EXPECT_EQ(ReportMeetings(marks, c.text), 0);
        EXPECT_EQ(CountOf(marks, MarkKind::Word), c.words) << c.text;
        int hairpins = 0;
        for (const Mark& m : marks) {
            if (m.kind == MarkKind::Word) {
                // In its system's band: under the bar numbers, over the right hand's row.
                auto sys = std::find_if(layout.systems.begin(), layout.systems.end(), [&](const PlacedSystem& s) {
                    return m.bottom <= s.rowTop[kHandRight] && m.top >= s.rowTop[kHandRight] - s.wordBand;
                });
                EXPECT_NE(sys, layout.systems.end()) << c.text << ": a word at (" << m.left << "," << m.top << ")";
                if (sys != layout.systems.end()) {
                    EXPECT_GE(m.top, sys->top + metrics::kNumberBand) << c.text;
                }
            }
            if (m.kind == MarkKind::Dynamic && m.right - m.left > 14) {  // cresc. and the like, not p or ff
                ++hairpins;
                const PlacedEvent* e = layout.Find(m.ref);
                ASSERT_NE(e, nullptr);
                EXPECT_GT(m.top, e->box.bottom) << c.text << ": a hairpin word stands below its note";
            }
        }
        EXPECT_EQ(hairpins, c.hairpins) << c.text;
    }
    // A system without changes or tempo words keeps no band; a change at a system's start is drawn there.
    Layout layout;
    std::vector<Mark> marks = MarksOf("zyqn 2\nR: 1 2 3 4 \\ | @tempo=80 5 6 7 1' |\n", &layout);
    ASSERT_EQ(layout.systems.size(), 2u);
    EXPECT_EQ(layout.systems[0].wordBand, 0);
    EXPECT_GT(layout.systems[1].wordBand, 0);
    for (const Mark& m : marks)
        if (m.kind == MarkKind::Word) {
            EXPECT_GT(m.top, layout.systems[0].bottom);
            EXPECT_GE(m.left, layout.measures[1].box.left);
            EXPECT_LT(m.left, layout.measures[1].box.left + 30);
        }
}

TEST(Marks, RestsDotsTriplesTiesAndSigns) {
    // A dotted rest is written "0 0_", a rest is not held with dashes.
    auto rests = MarksOf("zyqn 1\nR: 0. 1_ 1 - | 0 - 1 - |\n");
    EXPECT_EQ(CountOf(rests, MarkKind::Digit), 7);  // 0 0 1 1 | 0 0 1
    EXPECT_EQ(CountOf(rests, MarkKind::AugmentationDot), 0);
    EXPECT_EQ(CountOf(rests, MarkKind::Dash), 2);

    // A triplet has a bracket, above its notes and below the system's top.
    Layout layout;
    auto triplet = MarksOf("zyqn 1\nR: {1_ 2_ 3'_} 4 5 6 |\n", &layout);
    ASSERT_EQ(CountOf(triplet, MarkKind::Triplet), 1);
    const Mark& bracket = *std::find_if(triplet.begin(), triplet.end(), [](const Mark& m) { return m.kind == MarkKind::Triplet; });
    EXPECT_GE(bracket.top, layout.systems[0].rowTop[kHandRight]);
    EXPECT_GT(bracket.right - bracket.left, 2 * metrics::kDigitWidth);

    // A tie broken by the system's end goes on before the note on the next system.
    auto tie = MarksOf("zyqn 2\nR: 1 2 3 4~ \\ | 4 5 6 7 |\n", &layout);
    std::vector<Mark> arcs;
    for (const Mark& m : tie)
        if (m.kind == MarkKind::Tie) arcs.push_back(m);
    ASSERT_EQ(arcs.size(), 2u);
    ASSERT_EQ(layout.systems.size(), 2u);
    EXPECT_LT(arcs[0].bottom, layout.systems[0].bottom);
    EXPECT_GT(arcs[1].top, layout.systems[1].top);
    EXPECT_LT(arcs[1].left, layout.measures[1].events[0][0].x);

    // A staccato wedge sits above the note's dots and under its tie; a dynamic under the note.
    auto marks = MarksOf("zyqn 2\nR: @mf 1'^ 2 3 4~ | 4^ 5 6 7 |\nL: @p 1,, - - - | 5,, - - - |\n", &layout);
    EXPECT_EQ(CountOf(marks, MarkKind::Staccato), 2);
    EXPECT_EQ(CountOf(MarksOf("zyqn 2\nR: 1 2 3 @fermata 4'^ |\n"), MarkKind::Fermata), 1);
    // A slur over its notes and their tie; one across a system break goes on after it.
    EXPECT_EQ(CountOf(MarksOf("zyqn 2\nR: (1 2 3~ 3 | 5 6) 7 1' |\n"), MarkKind::Slur), 1);
    EXPECT_EQ(CountOf(MarksOf("zyqn 2\nR: 1 (2 3 4 \\ | 5 6) 7 1' |\n"), MarkKind::Slur), 2);
    EXPECT_EQ(CountOf(marks, MarkKind::Dynamic), 2);
    for (const Mark& m : marks) {
        if (m.kind != MarkKind::Dynamic) continue;
        const PlacedEvent* e = layout.Find(m.ref);
        ASSERT_NE(e, nullptr);
        EXPECT_GT(m.top, e->box.bottom) << "a dynamic stands below its note";
    }

    // Accidentals are small and stand clear of their digits (the sample test checks neighbours).
    auto signs = MarksOf("zyqn 1\nR: #1 b2 =3 4 |\n");
    EXPECT_EQ(CountOf(signs, MarkKind::Accidental), 3);
    for (const Mark& m : signs)
        if (m.kind == MarkKind::Accidental) {
            EXPECT_LE(m.right - m.left, metrics::kAccidentalWidth);
            EXPECT_LE(m.bottom - m.top, metrics::kBaseline - metrics::kInkTop);
        }
}

// A hand's second voice is a line of its own under the first voice's
// underlines and dots, inside the system's bar lines, with its own marks.
TEST(Marks, ASecondVoiceIsDrawnOnItsOwnLineUnderTheFirst) {
    const std::vector<Mark> marks = MarksOf("zyqn 2\nmeter: 3/4\nR: 3 - - | 5 4 3 |\n"
                                            "L: 0 [5, 1 3] - & 1,,~ - - | 1__2__3__4__ 5_ 6_ 7_ 1'_ & 1,, 5,,_ 5,,_ 1, |\n");
    double firstBottom = 0, secondTop = 1e9, secondBottom = 0, barBottom = 0;
    int secondDigits = 0, secondUnderlines = 0, ties = 0, octaveDots = 0;
    for (const Mark& m : marks) {
        if (m.kind == MarkKind::BarLine) barBottom = std::max(barBottom, m.bottom);
        if (!m.ref.Valid() || m.ref.hand != kHandLeft) continue;
        if (m.ref.voice == 0 && m.kind != MarkKind::Tie && m.kind != MarkKind::Slur) firstBottom = std::max(firstBottom, m.bottom);
        if (m.ref.voice != 1) continue;
        secondTop = std::min(secondTop, m.top);  // its tie's arc too
        secondBottom = std::max(secondBottom, m.bottom);
        secondDigits += m.kind == MarkKind::Digit;
        secondUnderlines += m.kind == MarkKind::Underline;
        ties += m.kind == MarkKind::Tie;
        octaveDots += m.kind == MarkKind::OctaveDot;
    }
    EXPECT_EQ(secondDigits, 5);
    EXPECT_EQ(secondUnderlines, 2) << "an eighth's line joined to the next one's";
    EXPECT_EQ(ties, 1);
    EXPECT_EQ(octaveDots, 2 + 2 + 2 + 2 + 1);
    EXPECT_GT(secondTop, firstBottom + 1) << "the tie and digits under the first voice's sixteenths and dots";
    EXPECT_LE(secondBottom, barBottom + 12) << "the bar lines reach the second voice";
    EXPECT_GT(barBottom, secondTop + metrics::kBaseline - metrics::kInkTop - 2);
}

// A played note of either voice carries the highlight on the page.
TEST_F(RenderTest, TheSecondVoicesNoteIsHighlightedWhilePlayed) {
    ASSERT_EQ(score.LoadText("zyqn 2\ntempo: 120\nR: 1 2 3 4 |\nL: 0 5, 3, 5, & 1, - - - |\n"), 0);
    score.Play();
    Canvas canvas(800, 1123);
    POINT origin{0, 0};
    score.Prepare(SCORE_MODE_PAGE, 1.0f, &origin);
    RECT target{0, 0, 800, 1123};
    score.Draw(canvas.Dc(), SCORE_MODE_PAGE, &target);
    const PlacedEvent* bass = score.LoadedLayout()->Find(score.GetPlayback().Highlighted(kHandLeft + 2));
    ASSERT_NE(bass, nullptr);
    EXPECT_EQ(bass->ref.voice, 1);
    PageView view;
    RECT rc = DeviceRect(view, bass->box);
    EXPECT_GT(canvas.Count(rc, IsHighlight), (rc.right - rc.left) * (rc.bottom - rc.top) / 3);
    EXPECT_GT(canvas.Count(rc, IsInk), 0) << "the digit over the highlight";
    // The rest of the first voice above it is not lit.
    const PlacedEvent& rest = score.LoadedLayout()->measures[0].events[kHandLeft][0];
    EXPECT_EQ(canvas.Count(DeviceRect(view, rest.box), IsHighlight), 0);
    EXPECT_TRUE(SaveCanvas(canvas, L"second-voice-highlight"));
}

// The digits, written a line at a time, land where their marks say, at every
// zoom: each digit's box holds ink.
TEST(Marks, EveryDigitIsInkedInItsBox) {
    auto samples = engine_test::LoadSamples();
    for (const char* name : {"Classical/Minuet in G.zyqn", "Classical/Canon in D.zyqn", "Classical/Prelude in C.zyqn"}) {
        const engine_test::Sample* s = engine_test::FindSample(samples, name);
        ASSERT_NE(s, nullptr) << name;
        Layout layout = LayoutScore(s->score);
        CScoreRenderer renderer;
        for (float scale : {1.0f, 2.0f}) {
            Canvas canvas(static_cast<int>(metrics::kPageWidth * scale), static_cast<int>(metrics::kPageHeight * scale));
            std::vector<Mark> marks;
            PageView view;
            view.scale = scale;
            view.clip = canvas.All();
            view.marks = &marks;
            renderer.DrawPage(canvas.Dc(), s->score, layout, 0, view);
            int digits = 0;
            for (const Mark& m : marks) {
                if (m.kind != MarkKind::Digit) continue;
                ++digits;
                RECT rc{static_cast<LONG>(m.left * scale) - 1, static_cast<LONG>(m.top * scale) - 1,
                        static_cast<LONG>(m.right * scale) + 1, static_cast<LONG>(m.bottom * scale) + 1};
                EXPECT_GT(canvas.Count(rc, IsInk), 4 * scale) << name << " at " << scale << ": digit at (" << m.left
                                                              << "," << m.top << ") has no ink";
            }
            EXPECT_GT(digits, 100) << name;
        }
    }
}

// A finger number beside a note's octave dots keeps a clear row of paper
// from them at 100 %: touching, a low dot over "1" reads as an arrow.
TEST(Marks, FingerNumbersStandClearOfTheOctaveDotsAtOneHundredPercent) {
    auto samples = engine_test::LoadSamples();
    auto notPaper = [](COLORREF c) { return std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) < 180; };
    int checked = 0;
    for (const engine_test::Sample& s : samples) {
        Layout layout = LayoutScore(s.score);
        CScoreRenderer renderer;
        for (int page = 0; page < layout.PageCount(); ++page) {
            Canvas canvas(metrics::kPageWidth, metrics::kPageHeight);
            std::vector<Mark> marks;
            PageView view;
            view.clip = canvas.All();
            view.marks = &marks;
            renderer.DrawPage(canvas.Dc(), s.score, layout, page, view);
            for (const Mark& finger : marks) {
                if (finger.kind != MarkKind::Fingering) continue;
                // The note's dots in the finger number's column, and the rows from them to it.
                double top = finger.top, bottom = finger.bottom;
                int dots = 0;
                for (const Mark& dot : marks)
                    if (dot.kind == MarkKind::OctaveDot && dot.ref == finger.ref && dot.left < finger.right &&
                        finger.left < dot.right) {
                        ++dots;
                        top = std::min(top, dot.top);
                        bottom = std::max(bottom, dot.bottom);
                    }
                if (dots == 0) continue;
                ++checked;
                // Separate blots of ink down the column: each dot and the number.
                int runs = 0;
                bool inInk = false;
                for (int y = static_cast<int>(top) - 1; y <= static_cast<int>(bottom) + 1; ++y) {
                    RECT row{static_cast<LONG>(finger.left), y, static_cast<LONG>(finger.right) + 1, y + 1};
                    const bool ink = canvas.Count(row, notPaper) > 0;
                    runs += ink && !inInk;
                    inInk = ink;
                }
                EXPECT_GE(runs, dots + 1) << s.name << " page " << page + 1 << ": finger number at (" << finger.left
                                          << "," << finger.top << ") measure " << finger.ref.measure
                                          << " touches the octave dots beside it";
            }
        }
    }
    EXPECT_GT(checked, 0) << "no sample has a finger number beside octave dots";
}

// The page view keeps the page between paints and tints the played notes on
// the way out; what it shows must be what drawing the page afresh shows,
// while the highlight moves, after a partial repaint and after a new score.
TEST_F(RenderTest, KeptPageShowsWhatAFreshDrawingShows) {
    struct Case {
        float scale;
        const char* why;
    };
    const Case cases[] = {{0.5f, "small"}, {1.0f, "unscaled"}, {1.7f, "fit to a wide window"},
                          {3.0f, "too large to keep: drawn directly"}};
    const int w = 2500, h = 3500;
    for (const Case& c : cases) {
        ASSERT_EQ(score.LoadText(engine_test::TwoHandScore()), 0);
        score.Play();
        POINT origin{7, 9};
        score.Prepare(SCORE_MODE_PAGE, c.scale, &origin);
        RECT target{3, 4, w, h};
        Canvas kept(w, h), fresh(w, h);
        CScoreRenderer renderer;
        auto freshDrawing = [&] {
            PageView view;
            view.scale = c.scale;
            view.origin = POINT{target.left + origin.x, target.top + origin.y};
            view.clip = target;
            view.highlight[0] = score.GetPlayback().Highlighted(0);
            view.highlight[1] = score.GetPlayback().Highlighted(1);
            renderer.DrawPage(fresh.Dc(), *score.LoadedScore(), *score.LoadedLayout(), 0, view);
            return view;
        };
        auto boxes = [&](const PageView& view) {
            std::vector<RECT> out;
            for (int hand = 0; hand < 2; ++hand)
                if (const PlacedEvent* e = score.LoadedLayout()->Find(view.highlight[hand]))
                    out.push_back(DeviceRect(view, e->box));
            return out;
        };
        // Outside the highlighted boxes every pixel is the same; inside them
        // the tint stands for the fill the digit is drawn over.
        auto expectSame = [&](const PageView& view, const char* when) {
            std::vector<RECT> lit = boxes(view);
            int inBoxes = 0;
            for (const RECT& rc : lit) inBoxes += Differing(kept, fresh, rc, 48);
            EXPECT_EQ(inBoxes, 0) << c.why << ", " << when;
            int outside = Differing(kept, fresh, kept.All(), 0);
            for (const RECT& rc : lit) outside -= Differing(kept, fresh, rc, 0);
            EXPECT_EQ(outside, 0) << c.why << ", " << when;
        };

        score.Draw(kept.Dc(), SCORE_MODE_PAGE, &target);
        expectSame(freshDrawing(), "first paint");

        // Two beats on: new notes lit, the first ones plain again.
        PageView before = freshDrawing();
        clock.now += 1000;
        score.OnTimer();
        score.Draw(kept.Dc(), SCORE_MODE_PAGE, &target);
        PageView after = freshDrawing();
        EXPECT_NE(before.highlight[0], after.highlight[0]);
        expectSame(after, "after the highlight moved");

        // A repaint of only the old note's box (what the engine invalidates).
        clock.now += 500;
        score.OnTimer();
        RECT old = boxes(after)[0];
        int saved = SaveDC(kept.Dc());
        IntersectClipRect(kept.Dc(), old.left, old.top, old.right, old.bottom);
        score.Draw(kept.Dc(), SCORE_MODE_PAGE, &target);
        RestoreDC(kept.Dc(), saved);
        freshDrawing();
        EXPECT_EQ(Differing(kept, fresh, old, 48), 0) << c.why << ": the left box shows the note plain";

        // Another score replaces the kept page.
        score.Stop();
        ASSERT_EQ(score.LoadText(engine_test::LongScore(8)), 0);
        score.Draw(kept.Dc(), SCORE_MODE_PAGE, &target);
        expectSame(freshDrawing(), "after loading another score");
    }
}


// The new marks keep clear of each other and of every other mark, however
// tightly they are written.
TEST(Marks, CrowdedFingeringGraceNotesWordsAndPedalStandClear) {
    for (const char* text : kCrowded) {
        ASSERT_EQ(ParseZyqn(text).status, ParseStatus::Ok) << text << ": " << ParseZyqn(text).message;
        Layout layout;
        std::vector<Mark> marks = MarksOf(text, &layout);
        EXPECT_EQ(ReportMeetings(marks, text), 0);
        // Everything drawn lies inside its system's box.
        for (const Mark& m : marks) {
            if (!m.ref.Valid()) continue;
            const PlacedSystem& sys = layout.systems[layout.measures[m.ref.measure].system];
            EXPECT_GE(m.top, sys.top) << KindName(m.kind) << " in " << text;
            EXPECT_LE(m.bottom, sys.bottom) << KindName(m.kind) << " in " << text;
        }
    }
}

// Each syllable is centred under its note, between the hands; the layout's
// reckoning of the words' and pedal marks' widths is never less than what is drawn.
TEST(Marks, WordsSitUnderTheirNotesAndTakeTheRoomReckoned) {
    Canvas canvas(metrics::kPageWidth, metrics::kPageHeight);
    CScoreRenderer renderer;
    std::vector<engine_test::Sample> scores = engine_test::LoadSamples();
    for (const char* text : kCrowded) scores.push_back(engine_test::Sample{text, ParseZyqn(text).score});
    int syllables = 0, pedals = 0;
    for (const auto& sample : scores) {
        Layout layout = LayoutScore(sample.score);
        for (int page = 0; page < layout.PageCount(); ++page)
            for (const Mark& m : MarksOfPage(renderer, sample.score, layout, page, canvas.Dc())) {
                if (m.kind != MarkKind::Lyric && m.kind != MarkKind::Pedal) continue;
                const PlacedMeasure& pm = layout.measures[m.ref.measure];
                const PlacedSystem& sys = layout.systems[pm.system];
                if (m.kind == MarkKind::Pedal) {
                    ++pedals;
                    EXPECT_GE(m.top, sys.lowestTop[kHandLeft] + metrics::kBaseline) << sample.name << " measure " << pm.number;
                    EXPECT_LE(m.right - m.left, metrics::kPedWidth) << sample.name;
                    continue;
                }
                ++syllables;
                const Event& ev = sample.score.measures[m.ref.measure].hands[kHandRight][m.ref.index];
                const PlacedEvent* pe = layout.Find(m.ref);
                ASSERT_NE(pe, nullptr);
                const double centre = (m.left + m.right) / 2;
                EXPECT_GE(centre, pe->x) << sample.name << ": \"" << ev.lyric << "\" left of its note";
                EXPECT_LE(centre, pe->x + metrics::kDigitWidth) << sample.name << ": \"" << ev.lyric << "\" right of its note";
                EXPECT_GT(m.top, pe->box.bottom) << sample.name << ": \"" << ev.lyric << "\" under its note";
                EXPECT_LT(m.bottom, sys.rowTop[kHandLeft]) << sample.name << ": \"" << ev.lyric << "\" above the left hand";
                EXPECT_LE(m.right - m.left, LyricWidth(ev.lyric) + 0.5) << sample.name << ": \"" << ev.lyric << "\" wider than reckoned";
            }
    }
    EXPECT_GE(syllables, 100);
    EXPECT_GE(pedals, 20);
}

// Words that are not ASCII draw as themselves: the umlaut adds its dots to
// the u, and two Chinese characters differ (a missing glyph would draw the
// same box for both), at 100 % and at 200 %.
TEST(Marks, WordsInAnyScriptAreInked) {
    ParseResult parsed = ParseZyqn("zyqn 2\nR: 1 2 3 4 |\nW: u \xC3\xBC \xE4\xBD\xA0 \xE5\xA5\xBD\n");  // u ü 你 好
    ASSERT_EQ(parsed.status, ParseStatus::Ok);
    Layout layout = LayoutScore(parsed.score);
    CScoreRenderer renderer;
    for (float scale : {1.0f, 2.0f}) {
        Canvas canvas(static_cast<int>(metrics::kPageWidth * scale), 400);
        std::vector<Mark> marks, lyrics;
        PageView view;
        view.scale = scale;
        view.clip = canvas.All();
        view.marks = &marks;
        renderer.DrawPage(canvas.Dc(), parsed.score, layout, 0, view);
        for (const Mark& m : marks)
            if (m.kind == MarkKind::Lyric) lyrics.push_back(m);
        ASSERT_EQ(lyrics.size(), 4u);
        auto box = [&](const Mark& m) {
            return RECT{static_cast<LONG>(m.left * scale) - 1, static_cast<LONG>(m.top * scale) - 1,
                        static_cast<LONG>(m.right * scale) + 2, static_cast<LONG>(m.bottom * scale) + 2};
        };
        // Small text is mostly grey edges: weigh every pixel by how dark it is.
        auto darkness = [&](const Mark& m) {
            RECT rc = box(m);
            int sum = 0;
            for (int y = rc.top; y < rc.bottom; ++y)
                for (int x = rc.left; x < rc.right; ++x) sum += 255 - GetGValue(canvas.At(x, y));
            return sum;
        };
        const int u = darkness(lyrics[0]), umlaut = darkness(lyrics[1]);
        EXPECT_GT(u, 255 * 3 * scale) << scale;
        EXPECT_GT(umlaut, u + 255 * scale / 2) << "the dots of the umlaut at " << scale;
        EXPECT_GE(lyrics[2].right - lyrics[2].left, lyrics[0].right - lyrics[0].left) << "a Chinese character is wide";
        // The two characters' ink, laid over each other, differs in many pixels.
        RECT a = box(lyrics[2]), b = box(lyrics[3]);
        int differ = 0, inked = 0;
        for (int y = 0; y < std::min(a.bottom - a.top, b.bottom - b.top); ++y)
            for (int x = 0; x < std::min(a.right - a.left, b.right - b.left); ++x) {
                bool p = IsInk(canvas.At(a.left + x, a.top + y)), q = IsInk(canvas.At(b.left + x, b.top + y));
                differ += p != q;
                inked += p;
            }
        EXPECT_GT(inked, 15 * scale) << scale;
        EXPECT_GT(differ, 10 * scale) << "two characters drawn alike at " << scale;
    }
}

// The highlight tints the played note's own glyphs (digits, accidentals,
// octave dots, augmentation dots) and the paper just round them; it does not
// spill into the gap towards the neighbouring notes, where a click still
// finds the note. Running eighths packed as tight as the layout allows.
TEST(Highlight, TintStaysOnTheNotesOwnGlyphs) {
    const char* text =
        "zyqn 1\ntitle: Tight\nkey: C\nmeter: 4/4\ntempo: 120\n"
        "R: 3_ 4_ #4_ 5_ 1'_ b7_ 6_. 5__ | 3_ 4_ 3_ 4_ [1' 3'']_ 2_ 1_ 7,_ | 1 2 3 4 | 5 6 7 1' |\n"
        "L: 1,_ 3,_ 5,_ 3,_ 1,_ 3,_ 5,,_ 3,_ | 1,, - 5,, - | 1, - - - | [1, 5,] - - - |\n";
    FakeClock clock;
    CScore score{&clock};
    ASSERT_EQ(score.LoadText(text), 0);
    const Layout& layout = *score.LoadedLayout();
    CScoreRenderer renderer;
    auto own = [](MarkKind k) {
        return k == MarkKind::Digit || k == MarkKind::Accidental || k == MarkKind::OctaveDot ||
               k == MarkKind::AugmentationDot;
    };
    for (float scale : {1.0f, 1.5f, 2.0f}) {
        const PlacedSystem& sys = layout.systems[0];
        const int w = static_cast<int>(layout.pageWidth * scale) + 2, h = static_cast<int>(sys.bottom * scale) + 20;
        int checked = 0;
        for (int m = sys.firstMeasure; m < sys.firstMeasure + sys.measureCount; ++m)
            for (int hand = 0; hand < 2; ++hand)
                for (const PlacedEvent& pe : layout.measures[m].events[hand]) {
                    Canvas canvas(w, h);
                    std::vector<Mark> marks;
                    PageView view;
                    view.scale = scale;
                    view.clip = RECT{0, 0, w, h};
                    view.highlight[pe.ref.Slot()] = pe.ref;
                    view.marks = &marks;
                    renderer.DrawPage(canvas.Dc(), *score.LoadedScore(), layout, 0, view);
                    // The box round the note's own marks on the device, grown by
                    // the paper allowed round them.
                    double l = 1e9, t = 1e9, r = -1e9, b = -1e9;
                    for (const Mark& k : marks)
                        if (k.ref == pe.ref && own(k.kind)) {
                            l = std::min(l, k.left), t = std::min(t, k.top);
                            r = std::max(r, k.right), b = std::max(b, k.bottom);
                        }
                    ASSERT_LT(l, r) << "the note has marks of its own";
                    const double room = 2 * scale + 1;
                    RECT allowed{static_cast<LONG>(l * scale - room), static_cast<LONG>(t * scale - room),
                                 static_cast<LONG>(r * scale + room + 1), static_cast<LONG>(b * scale + room + 1)};
                    std::vector<POINT> lit = canvas.Where(IsHighlight);
                    EXPECT_GT(lit.size(), 40u * scale * scale) << "measure " << m << " hand " << hand;
                    int stray = 0;
                    POINT first{-1, -1};
                    for (POINT p : lit)
                        if (!PtInRect(&allowed, p) && stray++ == 0) first = p;
                    EXPECT_EQ(stray, 0) << "scale " << scale << " measure " << m << " hand " << hand << " event "
                                        << pe.ref.index << ": first stray tint at (" << first.x << "," << first.y
                                        << "), the note's digit column from " << pe.x * scale;
                    ++checked;
                }
        EXPECT_GT(checked, 20) << scale;
    }
}
