#include "engine/score_object.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "engine/score_file.h"

namespace zyqn {

extern const IScoreOps kScoreOps;  // score_api.cpp

namespace {

constexpr double kLookEveryMs = 50.0;  // the longest the player goes without a look at the clock

// Every live CScore, so a pointer from the plug-in can be checked before use.
// Only the user-interface thread creates and releases scores.
std::set<CScore*>& LiveScores() {
    static std::set<CScore*> live;
    return live;
}

float ClampScale(float scale) {
    if (std::isnan(scale)) return 1.0f;
    return scale < 0.1f ? 0.1f : scale > 4.0f ? 4.0f : scale;
}

}  // namespace

CScore::CScore(IClock* clock)
    : ownClock_(clock ? nullptr : new CPerformanceClock()),
      player_(clock ? *clock : *ownClock_, *this),
      timer_([this] { OnTimer(); }) {
    ops = &kScoreOps;
    LiveScores().insert(this);
}

CScore::~CScore() {
    LiveScores().erase(this);
    timer_.Stop();
    midi_.Close();
}

CScore* CScore::FromInterface(IScore* score) {
    CScore* s = static_cast<CScore*>(score);
    return score && LiveScores().count(s) && !s->doomed_ ? s : nullptr;
}

void CScore::Release() {
    // From here on nothing reaches the plug-in any more.
    meterFn_ = nullptr, keyFn_ = nullptr, tempoFn_ = nullptr;
    timeFn_ = nullptr, measureFn_ = nullptr, noteFn_ = nullptr;
    owner_ = nullptr;
    timer_.Stop();
    midi_.Close();
    pageCache_.Clear();
    if (depth_ > 0)
        doomed_ = true;
    else
        delete this;
}

CScore::Busy::~Busy() {
    if (--s_->depth_ == 0 && s_->doomed_) delete s_;
}

void CScore::Prepare(int mode, float scale, const POINT* origin) {
    preparedScale_ = ClampScale(scale);
    if (mode == SCORE_MODE_THUMBNAIL) {
        thumbScale_ = preparedScale_;
    } else {
        pageScale_ = preparedScale_;
        pageOrigin_ = origin ? *origin : POINT{0, 0};
    }
}

SIZE CScore::PageSize() const {
    return SIZE{static_cast<LONG>(std::lround(metrics::kPageWidth * preparedScale_)),
                static_cast<LONG>(std::lround(metrics::kPageHeight * preparedScale_))};
}

void CScore::Draw(HDC dc, int mode, const RECT* target) {
    if (!loaded_ || !dc || !target) return;
    PageView view;
    view.clip = *target;
    if (mode == SCORE_MODE_THUMBNAIL) {
        // The row rectangle already sits where the thumbnail goes.
        view.scale = thumbScale_;
        view.origin = POINT{target->left, target->top};
    } else {
        view.scale = pageScale_;
        view.origin = POINT{target->left + pageOrigin_.x, target->top + pageOrigin_.y};
        for (int slot = 0; slot < kHighlightSlots; ++slot)
            view.highlight[slot] = shownHighlight_[slot] = player_.Highlighted(slot);
        lastView_ = view;
        hasView_ = true;
        const Loaded& l = *loaded_;
        PageView whole;
        whole.scale = view.scale;
        RECT size = DeviceRect(whole, Box{0, 0, l.layout.pageWidth, l.layout.pageHeight});
        pageCache_.Draw(
            dc, view, page_, loadSerial_, SIZE{size.right, size.bottom},
            [&](HDC target, const PageView& v) { renderer_.DrawPage(target, l.score, l.layout, page_, v); },
            [&](const EventRef& ref) -> const Box* {
                const PlacedEvent* pe = l.layout.Find(ref);
                return pe && l.layout.measures[ref.measure].page == page_ ? &pe->glyphs : nullptr;
            });
        return;
    }
    renderer_.DrawPage(dc, loaded_->score, loaded_->layout, page_, view);
}

void CScore::GoToPage(int command) {
    int count = PageCount();
    if (count == 0) return;
    switch (command) {
    case SCORE_PAGE_FIRST: page_ = 0; break;
    case SCORE_PAGE_PREV: page_ = page_ > 0 ? page_ - 1 : 0; break;
    case SCORE_PAGE_NEXT: page_ = page_ + 1 < count ? page_ + 1 : count - 1; break;
    case SCORE_PAGE_LAST: page_ = count - 1; break;
    default:
        if (command >= 0 && command < count) page_ = command;
        break;
    }
}

void CScore::GoToMeasure(int measure) {
    if (!loaded_ || measure < 1) return;
    // The first time the written measure is played, repeats or not.
    int place = loaded_->timeline.FirstPlaceOf(measure - loaded_->score.FirstNumber());
    if (place >= 0) player_.SeekMeasure(place);
}

void CScore::Play() {
    if (!loaded_ || player_.IsPlaying()) return;
    midi_.Open();  // no output device is fine: the callbacks still run
    player_.Play();
    if (player_.IsPlaying() && !doomed_) timer_.WakeIn(player_.MsUntilNextDue());
}

void CScore::Pause() {
    player_.Pause();
    timer_.Stop();
    midi_.AllNotesOff();
}

void CScore::Stop() {
    timer_.Stop();
    player_.Stop();
    midi_.AllNotesOff();
}

void CScore::OnTimer() {
    Busy busy(this);
    player_.Tick();
    if (!player_.IsPlaying() || doomed_) {
        timer_.Stop();
        return;
    }
    // Wake when the next event is due rather than on a fixed beat; at least
    // every 50 ms, so a change of tempo takes effect soon (those looks at the
    // clock with nothing due need not be exact).
    const double due = player_.MsUntilNextDue();
    timer_.WakeIn(std::min(kLookEveryMs, due), due <= kLookEveryMs);
}

void CScore::SetTempoRatio(float ratio) {
    if (std::isnan(ratio)) return;
    player_.SetRatio(ratio);
}

void CScore::SetHands(int flags) {
    if (flags & (SCORE_LEFT_PLAYED | SCORE_LEFT_MUTED))
        player_.SetHandPlayed(kHandLeft, !(flags & SCORE_LEFT_MUTED));
    if (flags & (SCORE_RIGHT_PLAYED | SCORE_RIGHT_MUTED))
        player_.SetHandPlayed(kHandRight, !(flags & SCORE_RIGHT_MUTED));
}

void CScore::SetMeterCallback(ScoreMeterFn fn) {
    meterFn_ = fn;
    if (fn && loaded_) fn(reported_.beats, reported_.unit);
}

void CScore::SetKeyCallback(ScoreKeyFn fn) {
    keyFn_ = fn;
    if (fn && loaded_) fn(reported_.key);
}

void CScore::SetTempoCallback(ScoreTempoFn fn) {
    tempoFn_ = fn;
    if (fn && loaded_) fn(reported_.tempo);
}

void CScore::SetTimeCallback(ScoreTimeFn fn) {
    timeFn_ = fn;
    if (fn && loaded_) fn(static_cast<int>(player_.PositionMs()), static_cast<int>(loaded_->timeline.totalMs));
}

void CScore::SetMeasureCallback(ScoreMeasureFn fn) {
    measureFn_ = fn;
    if (fn && loaded_) fn(WrittenAt(player_.CurrentMeasure()) + loaded_->score.FirstNumber(), MeasureCount());
}

int CScore::Load(const wchar_t* path) {
    ParseResult parsed;
    int code = LoadZyqnFile(path, &parsed);
    return Accept(parsed, code);
}

int CScore::LoadText(const std::string& text) {
    ParseResult parsed = ParseZyqn(text);
    return Accept(parsed, LoadCodeOf(parsed.status));
}

// A failed load keeps the previous score loaded, drawable and playable.
int CScore::Accept(ParseResult& parsed, int code) {
    if (code != SCORE_LOAD_OK) return code;
    timer_.Stop();
    player_.SetTimeline(nullptr);
    midi_.AllNotesOff();
    auto next = std::make_unique<Loaded>();
    next->score = std::move(parsed.score);
    next->timeline = BuildTimeline(next->score);
    next->layout = LayoutScore(next->score);
    loaded_ = std::move(next);
    ++loadSerial_;
    player_.SetTimeline(&loaded_->timeline);
    page_ = 0;
    for (EventRef& ref : shownHighlight_) ref = EventRef();
    ReportScoreInfo();
    return SCORE_LOAD_OK;
}

void CScore::ReportScoreInfo() {
    const Score& s = loaded_->score;
    ReportSettings(0, true);
    if (measureFn_) measureFn_(s.FirstNumber(), MeasureCount());
    if (timeFn_) timeFn_(0, static_cast<int>(loaded_->timeline.totalMs));
}

void CScore::ReportSettings(int measure, bool all) {
    if (!loaded_ || measure < 0 || measure >= static_cast<int>(loaded_->score.measures.size())) return;
    const Measure& m = loaded_->score.measures[measure];
    const Settings now{m.key, m.beats, m.unit, m.tempo}, before = reported_;
    reported_ = now;  // first, as a callback may load another score
    if (keyFn_ && (all || now.key != before.key)) keyFn_(now.key);
    if (meterFn_ && (all || now.beats != before.beats || now.unit != before.unit)) meterFn_(now.beats, now.unit);
    if (tempoFn_ && (all || now.tempo != before.tempo)) tempoFn_(now.tempo);
}

bool CScore::HitTest(POINT pt, EventRef* hit) const {
    if (!loaded_ || !hasView_ || lastView_.scale <= 0) return false;
    const RECT& clip = lastView_.clip;
    if (pt.x < clip.left || pt.x >= clip.right || pt.y < clip.top || pt.y >= clip.bottom) return false;
    int x = static_cast<int>(std::floor((pt.x - lastView_.origin.x) / lastView_.scale));
    int y = static_cast<int>(std::floor((pt.y - lastView_.origin.y) / lastView_.scale));
    const PlacedEvent* pe = loaded_->layout.HitTest(page_, x, y);
    if (!pe) return false;
    if (hit) *hit = pe->ref;
    return true;
}

// Turns the page when the played measure is on another one, and asks the
// owner to keep the measure in sight, in the page view's content coordinates.
void CScore::ShowMeasure(int measure) {
    if (!loaded_ || measure < 0 || measure >= static_cast<int>(loaded_->score.measures.size())) return;
    const PlacedMeasure& pm = loaded_->layout.measures[measure];
    HWND owner = owner_;
    if (pm.page != page_) {
        page_ = pm.page;
        if (owner && IsWindow(owner)) {
            SendMessageW(owner, WM_SCORE_PAGE, static_cast<WPARAM>(page_), 0);
            if (hasView_) InvalidateRect(owner, &lastView_.clip, FALSE);
        }
    }
    if (owner_ && IsWindow(owner_)) {
        PageView content;
        content.scale = pageScale_;
        RECT rc = DeviceRect(content, pm.box);
        SendMessageW(owner_, WM_SCORE_SHOW_RECT, reinterpret_cast<WPARAM>(&rc), 0);
    }
}

int CScore::WrittenAt(int place) const {
    const auto& played = loaded_->timeline.playedMeasure;
    return place >= 0 && place < static_cast<int>(played.size()) ? played[place] : 0;
}

void CScore::InvalidateHighlight() {
    if (!owner_ || !hasView_ || !loaded_ || !IsWindow(owner_)) return;
    for (int slot = 0; slot < kHighlightSlots; ++slot) {
        for (const EventRef& ref : {shownHighlight_[slot], player_.Highlighted(slot)}) {
            const PlacedEvent* pe = loaded_->layout.Find(ref);
            if (!pe || loaded_->layout.measures[ref.measure].page != page_) continue;
            RECT rc = DeviceRect(lastView_, pe->glyphs);
            InflateRect(&rc, 2, 2);
            RECT clipped;
            if (IntersectRect(&clipped, &rc, &lastView_.clip)) InvalidateRect(owner_, &clipped, FALSE);
        }
        shownHighlight_[slot] = player_.Highlighted(slot);
    }
}

void CScore::OnNote(int midi, int velocity, int hand, bool on) {
    midi_.Note(hand, midi, velocity, on);
    if (noteFn_) noteFn_(midi, velocity, hand, hand, on ? 1 : 0);
}

void CScore::OnPedal(bool down) { midi_.Sustain(down); }

void CScore::OnMeasure(int measure) {
    if (!loaded_) return;
    const int written = WrittenAt(measure);
    if (measureFn_) measureFn_(written + loaded_->score.FirstNumber(), MeasureCount());
    ReportSettings(written, false);
    ShowMeasure(written);
}

void CScore::OnTime(double ms) {
    if (timeFn_ && loaded_) timeFn_(static_cast<int>(ms), static_cast<int>(loaded_->timeline.totalMs));
}

void CScore::OnHighlight() { InvalidateHighlight(); }

void CScore::OnEnd() {
    timer_.Stop();
    midi_.AllNotesOff();
    ReportSettings(0, false);  // the player is back at the start
    if (owner_ && IsWindow(owner_)) SendMessageW(owner_, WM_SCORE_PLAY_END, 0, 0);
}

}  // namespace zyqn
