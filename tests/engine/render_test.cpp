// Pages drawn into a bitmap: something is drawn, where it should be, and the
// played note carries the highlight.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/renderer.h"
#include "engine/score_object.h"
#include "tests/engine/engine_test_util.h"

using namespace zyqn;
using engine_test::FakeClock;

namespace {

constexpr COLORREF kBackdrop = RGB(200, 210, 220);

class Canvas {
public:
    Canvas(int w, int h) : w_(w), h_(h) {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bmp_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
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

TEST_F(RenderTest, PageViewDrawsInkAtItsOriginAndHighlightsThePlayedNotes) {
    for (float scale : {0.5f, 1.0f, 2.0f}) {
        score.Stop();
        score.Play();  // the first notes of both hands are now highlighted
        ASSERT_TRUE(score.GetPlayer().Highlighted(kHandRight).Valid());
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
            const PlacedEvent* e = score.LoadedLayout()->Find(score.GetPlayer().Highlighted(hand));
            ASSERT_NE(e, nullptr);
            RECT rc = DeviceRect(view, e->box);
            int area = (rc.right - rc.left) * (rc.bottom - rc.top);
            int lit = canvas.Count(rc, IsHighlight);
            EXPECT_GT(lit, area / 3) << "hand " << hand << " scale " << scale;
            EXPECT_GT(canvas.Count(rc, IsInk), 0) << "the digit is drawn over the highlight";
        }
        // Nothing else is highlighted: the lit pixels all lie in the two boxes.
        const PlacedEvent* r = score.LoadedLayout()->Find(score.GetPlayer().Highlighted(0));
        const PlacedEvent* l = score.LoadedLayout()->Find(score.GetPlayer().Highlighted(1));
        RECT rr = DeviceRect(view, r->box), lr = DeviceRect(view, l->box);
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
    ASSERT_GT(score.PageCount(), 2);
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
