// Places a score on A4-proportioned pages at scale 1.0: systems of measures,
// each a right-hand row above a left-hand row, measures aligned across the
// hands and time spaced evenly within a measure. The renderer scales these
// figures; hit testing and the play view read them back.
#pragma once
#include <vector>

#include "engine/zyqn_model.h"

namespace zyqn {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

namespace metrics {
constexpr int kPageWidth = 794;  // A4 at 96 dots per inch
constexpr int kPageHeight = 1123;
constexpr int kMarginX = 60;
constexpr int kMarginTop = 56;
constexpr int kMarginBottom = 64;  // leaves room for the page number
constexpr int kTitleBlock = 118;   // title, composer and key line on the first page
constexpr int kDigitWidth = 12;
constexpr int kDigitHeight = 20;
constexpr int kDigitFont = 18;
constexpr int kSmallFont = 11;
constexpr int kHeadGap = 12;   // between stacked chord notes, room for octave dots
constexpr int kRowTop = 20;    // above the top note: octave dots, ties, triplet marks
constexpr int kRowBottom = 26;  // below the bottom note: underlines, then octave dots
constexpr int kNumberBand = 12;  // measure numbers above the system
constexpr int kHandGap = 2;
constexpr int kSystemGap = 18;
constexpr int kMeasurePadLeft = 14;  // room for the first note's accidental
constexpr int kMeasurePadRight = 6;
constexpr int kMinGlyphGap = 19;
constexpr int kMinInner = 48;
}  // namespace metrics

struct PlacedEvent {
    EventRef ref;
    int x = 0;  // left of the digit column
    int headTop = 0;  // top of the highest note's digit (or the rest's)
    Box box;          // the notes' digits and accidentals: what a click or the highlight covers
};

struct PlacedMeasure {
    int index = 0;  // 0-based
    int page = 0, system = 0;
    Box box;       // from bar line to bar line, both rows
    int innerLeft = 0, innerWidth = 0;  // the span that time is spread over
    std::vector<PlacedEvent> events[2];
};

struct PlacedSystem {
    int page = 0;
    int top = 0, bottom = 0;
    int rowTop[2] = {0, 0}, rowHeight[2] = {0, 0};
    int firstMeasure = 0, measureCount = 0;
};

struct Layout {
    int pageWidth = metrics::kPageWidth, pageHeight = metrics::kPageHeight;
    std::vector<PlacedSystem> systems;
    std::vector<PlacedMeasure> measures;
    std::vector<int> pageFirstSystem;  // one entry per page

    int PageCount() const { return static_cast<int>(pageFirstSystem.size()); }
    int PageSystemEnd(int page) const;
    const PlacedEvent* Find(const EventRef& ref) const;
    // The event whose box holds the point on `page`, or null.
    const PlacedEvent* HitTest(int page, int x, int y) const;
};

Layout LayoutScore(const Score& score);

// x of a tick inside a placed measure.
int TickX(const PlacedMeasure& m, int measureLength, int tick);

}  // namespace zyqn
