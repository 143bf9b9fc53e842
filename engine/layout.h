// Places a score on A4-proportioned pages at scale 1.0: systems of measures,
// each a right-hand row above a left-hand row, measures aligned across the
// hands. Time is spaced by duration as engravers do (a longer note gets more
// room, but less than in proportion), every glyph keeps a minimum gap, and
// full systems are justified. Systems break where the writer's own lines end
// when that reads well. The renderer scales these figures; hit testing and
// the play view read them back.
#pragma once
#include <string>
#include <vector>

#include "engine/zyqn_model.h"

namespace zyqn {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool Overlaps(const Box& o) const { return left < o.right && o.left < right && top < o.bottom && o.top < bottom; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
};

namespace metrics {
constexpr int kPageWidth = 794;  // A4 at 96 dots per inch
constexpr int kPageHeight = 1123;
constexpr int kMarginX = 60;
constexpr int kMarginTop = 48;
constexpr int kMarginBottom = 56;  // leaves room for the page number
constexpr int kTitleBlock = 84;    // title, composer and key line on the first page
constexpr int kDigitWidth = 12;
constexpr int kDigitHeight = 20;  // a digit's box; its ink runs from kInkTop to kBaseline
constexpr int kInkTop = 3;
constexpr int kBaseline = 16;
constexpr int kDigitFont = 18;
constexpr int kSmallFont = 11;
constexpr double kDotRadius = 1.4;  // octave dots
constexpr int kDotStep = 5;         // between stacked octave dots: apart even at 100 %
constexpr int kUnderlineTop = 18;   // first underline below a digit's top
constexpr int kUnderlineStep = 4;
constexpr int kAccidentalWidth = 6;  // small signs, drawn left of the digit
constexpr int kNumberBand = 11;      // measure numbers above the system
constexpr int kHandGap = 12;  // the hands read as two rows, a chord's top note clear of the right hand
constexpr int kSystemGap = 18;
constexpr int kMeasurePadLeft = 10;  // bar line to the first note
constexpr int kQuarterSpace = 40;    // room a quarter note takes before justification
constexpr int kMinGlyphGap = 16;     // digit to digit, however short the note
constexpr int kBraceRoom = 14;       // left of the system bar, for the brace
constexpr int kRepeatRoom = 9;       // a repeat sign's thick and thin lines and its dots
constexpr int kMarkBand = 13;        // endings and D.C., Fine, segno above a system that has them
constexpr int kStaccatoRoom = 7;     // a staccato wedge above a note's dots
constexpr int kFermataRoom = 9;      // a fermata's arc and dot above that
constexpr int kTieRoom = 7;          // a tie's arc above the marks it spans
constexpr int kSlurRoom = 7;         // a slur's arc above the ties
constexpr int kDynamicRoom = 12;     // a dynamic under a note's underlines and dots
constexpr int kVoiceGap = 4;         // a hand's second voice under the marks of its first: a tie's arc stays clear
constexpr int kFingerStep = 9;       // a small finger number, stacked per note of a chord
constexpr int kFingerWidth = 6;
constexpr int kGraceStep = 7;        // a grace note's small digit, left of its note
constexpr int kGraceInkTop = 2, kGraceBaseline = 10;  // a grace digit's ink from its note's digit top
constexpr double kGraceAccidental = 5.5;  // a grace note's small sign, left of its digit
constexpr double kGraceDotRadius = 0.9;
constexpr double kGraceSlurSag = 2.5;
constexpr double kLyricHyphenRoom = 10;  // a hyphen after a syllable whose word goes on
constexpr double kPedWidth = 34;          // "Ped." in the dynamics' font
constexpr double kStarRadius = 4;         // the "*" that lifts the pedal
constexpr int kLyricFont = 12;
constexpr int kLyricBand = 17;       // the words under the right hand
constexpr int kLyricBaseline = 12;
constexpr int kPedalBand = 17;       // "Ped." and "*" under the left hand
constexpr int kPedalBaseline = 12;
constexpr int kWordBand = 14;        // changes of key, meter and tempo, rit. and a tempo, above a system that has them
constexpr int kWordFont = 12;        // rit., a tempo, and cresc. and dim. under the notes, in italics
constexpr double kWordCharWidth = 5.6;  // an upper bound for a character of those: room kept before drawing
constexpr double kChangeCharWidth = 7;  // the same for "1=G 3/4", upright in kSmallFont
}  // namespace metrics

// Vertical offsets of octave dots and underlines from a digit's top.
double DotAboveY(int k);              // centre of the k-th dot above (0 nearest)
double DotBelowY(int underlines, int k);
int MarksTop(int dotsAbove);          // highest ink of a digit with its dots above
int MarksBottom(int underlines, int dotsBelow);

// Finger numbers stand above the right hand's notes as editions print them,
// and below the left hand's; a second voice, written under the first, has
// them below too.
bool FingersAbove(int hand, int voice);
// Room the finger numbers of a note take: one step per fingered note.
int FingerRoom(const Event& ev);
// Grace notes, left of their note: each small digit's left edge from the
// note's column, and where the slur under them runs, from the digit top.
std::vector<double> GraceOffsets(const Event& ev);
double GraceSlurY(const Event& ev);
double GraceDotY(int k, bool above);  // centre of a grace digit's k-th octave dot
// Width of a line of words in the lyric font at scale 1, as the layout
// reckons it; the renderer measures what it draws.
double LyricWidth(const std::string& utf8);

// What a row of words or pedal marks puts at a note's column, relative to
// its x: the layout keeps these apart and clear of the bar lines.
struct Label {
    int tick;
    double left, right;
};
std::vector<Label> LyricLabels(const Measure& m);
std::vector<Label> PedalLabels(const Measure& m);

struct PlacedEvent {
    EventRef ref;
    int x = 0;        // left of the digit column
    int headTop = 0;  // top of the highest note's digit (or the rest's)
    std::vector<int> headTops;  // every note's digit top, highest pitch first (one entry for a rest)
    int marksTop = 0;  // above the highest note's octave dots and staccato: where ties and brackets may start
    int hairpinLevel = 0;  // "cresc." or "dim." under the dynamics' line (1) or on it (0)
    Box box;          // the notes' digits and accidentals with room to spare: what a click hits
    // The note's own ink and a little paper round it: digits, accidentals,
    // octave dots and augmentation dots. What the highlight tints; unlike
    // box it reaches no further than the note's own column.
    Box glyphs;
};

// A time position inside a measure and its x on the page.
struct Column {
    int tick = 0, x = 0;
};

struct PlacedMeasure {
    int index = 0;   // 0-based
    int number = 1;  // as printed and reported: a pick-up is 0
    int page = 0, system = 0;
    Box box;       // from bar line to bar line, both rows
    int innerLeft = 0, innerWidth = 0;  // the span that time is spread over
    std::vector<Column> columns;        // ascending ticks, the measure's end last
    bool firstEnding = false;           // under a first ending's bracket
    std::vector<PlacedEvent> events[2];  // each hand's first voice
    std::vector<PlacedEvent> second[2];  // and its second voice
    const std::vector<PlacedEvent>& Voice(int hand, int voice) const { return voice ? second[hand] : events[hand]; }
};

struct PlacedSystem {
    int page = 0;
    int top = 0, bottom = 0;
    int rowTop[2] = {0, 0}, rowHeight[2] = {0, 0};
    int lowestTop[2] = {0, 0};  // digit top of each row's lowest notes
    int secondTop[2] = {0, 0};  // the same for a second voice under them; 0 when the row has none
    int LineTop(int hand, int voice) const { return voice ? secondTop[hand] : lowestTop[hand]; }
    // The digit top of a hand's last line: where bar lines end.
    int BottomLine(int hand) const { return secondTop[hand] ? secondTop[hand] : lowestTop[hand]; }
    int markBand = 0;           // above the right hand's row: endings and words
    int lyricTop = 0, pedalTop = 0;  // the bands of sung words and of pedal marks, 0 when none
    int wordBand = 0;           // under the mark band: changes of key, meter and tempo, and tempo words
    int firstMeasure = 0, measureCount = 0;
    double stretch = 1.0;  // justification applied to the natural spacing
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

// Ticks a dash stands for after an event: a quarter, or two thirds of one in a triplet.
int DashTicks(const Event& ev);

// What a measure that changes key, meter or tempo shows above it: "1=G",
// "3/4", and the tempo's number (drawn after a note glyph); empty when none.
struct ChangeText {
    std::string key, meter, tempo;
    bool Empty() const { return key.empty() && meter.empty() && tempo.empty(); }
};
ChangeText ChangeTextOf(const Measure& m);
// Room the change text needs, and the gap between its parts and after it.
constexpr double kChangeGap = 6;
constexpr double kTempoNoteWidth = 11;  // the note glyph and the space after it
double ChangeTextWidth(const ChangeText& text);

}  // namespace zyqn
