#include "engine/playback.h"

#include <algorithm>
#include <cmath>

namespace zyqn {

namespace {
constexpr double kTimeReportMs = 100;  // the position display shows whole seconds; this keeps it current
}

void Playback::SetTimeline(const Timeline* timeline) {
    ReleaseAll();
    timeline_ = timeline;
    playing_ = false;
    Rewind();
}

void Playback::Rewind() {
    ++generation_;
    pausedPos_ = 0;
    next_ = 0;
    measure_ = 0;
    lastTimeSlot_ = -1;
    ClearHighlight();
}

void Playback::ClearHighlight() {
    for (EventRef& ref : highlight_) ref = EventRef();
}

double Playback::PositionMs() const {
    if (!playing_) return pausedPos_;
    return anchorPos_ + (clock_.NowMs() - anchorClock_) * ratio_;
}

void Playback::Play() {
    if (playing_ || !timeline_ || timeline_->measureStartMs.empty()) return;
    ++generation_;
    playing_ = true;
    anchorClock_ = clock_.NowMs();
    anchorPos_ = pausedPos_;
    unsigned generation = generation_;
    // Resumed or sought into a passage held by the pedal: press it again.
    if (timeline_->PedalDownBefore(next_)) {
        pedalDown_ = true;
        sink_.OnPedal(true);
        if (generation != generation_) return;
    }
    sink_.OnMeasure(measure_);
    if (generation == generation_) Tick();
}

void Playback::Pause() {
    if (!playing_) return;
    pausedPos_ = std::min(PositionMs(), timeline_->totalMs);
    playing_ = false;
    ++generation_;
    ReleaseAll();
}

void Playback::Stop() {
    playing_ = false;
    ReleaseAll();
    Rewind();
    sink_.OnHighlight();
    unsigned generation = generation_;
    sink_.OnMeasure(0);
    if (generation == generation_) sink_.OnTime(0);
}

void Playback::SeekMeasure(int measure) {
    if (!timeline_ || timeline_->measureStartMs.empty()) return;
    measure = std::max(0, std::min(measure, static_cast<int>(timeline_->measureStartMs.size()) - 1));
    ReleaseAll();
    ++generation_;
    pausedPos_ = timeline_->measureStartMs[measure];
    anchorPos_ = pausedPos_;
    anchorClock_ = clock_.NowMs();
    next_ = timeline_->FirstEventAt(pausedPos_);
    measure_ = measure;
    lastTimeSlot_ = static_cast<long>(pausedPos_ / kTimeReportMs);
    ClearHighlight();
    unsigned generation = generation_;
    sink_.OnHighlight();
    if (generation == generation_) sink_.OnMeasure(measure);
    if (generation == generation_) sink_.OnTime(pausedPos_);
}

void Playback::SetRatio(double ratio) {
    if (!(ratio >= 0.1)) ratio = 0.1;  // also catches NaN
    if (ratio > 3.0) ratio = 3.0;
    if (playing_) {
        anchorPos_ = PositionMs();
        anchorClock_ = clock_.NowMs();
    }
    ratio_ = ratio;
}

void Playback::SetHandPlayed(int hand, bool played) {
    hand &= 1;
    played_[hand] = played;
    if (!played) ReleaseHand(hand);
}

void Playback::ReleaseAll() {
    ReleaseHand(kHandRight);
    ReleaseHand(kHandLeft);
    if (pedalDown_) {
        pedalDown_ = false;
        sink_.OnPedal(false);
    }
}

void Playback::ReleaseHand(int hand) {
    for (int midi = 0; midi < 128; ++midi) {
        while (sounding_[hand][midi] > 0) {
            --sounding_[hand][midi];
            sink_.OnNote(midi, 0, hand, false);
        }
    }
}

// The order of one moment's events: releases of keys struck again at the
// same moment (0), then the onsets (1), then the other releases (2). The
// receiver answers each note before the next goes out, so a release sent
// first would hold up every onset of its moment; onsets are what is heard
// and seen to be on time. A key struck again is still released before it.
int Playback::PassAt(const std::vector<NoteEvent>& events, size_t begin, size_t end, size_t i) {
    const NoteEvent& e = events[i];
    if (e.on) return 1;
    for (size_t j = begin; j < end; ++j)
        if (events[j].on && events[j].midi == e.midi) return 0;
    return 2;
}

// Sends one event; false when a callback changed the player's course. A
// note-on that moves its hand's highlight sets *moved; the caller reports it.
bool Playback::Dispatch(const NoteEvent& e, unsigned generation, bool* moved) {
    if (e.pedal) {
        if (e.on == pedalDown_) return true;
        pedalDown_ = e.on;
        sink_.OnPedal(e.on);
        return generation == generation_;
    }
    unsigned char& count = sounding_[e.hand][e.midi & 127];
    if (e.on) {
        EventRef& shown = highlight_[e.source.Slot() & 3];
        if (shown != e.source) {
            shown = e.source;
            *moved = true;
        }
        if (!played_[e.hand] || count == 255) return true;
        ++count;
        sink_.OnNote(e.midi, e.velocity, e.hand, true);
    } else {
        if (count == 0) return true;  // released early by a pause, a seek or a mute
        --count;
        sink_.OnNote(e.midi, 0, e.hand, false);
    }
    return generation == generation_;
}

void Playback::Tick() {
    if (!playing_ || !timeline_) return;
    const unsigned generation = generation_;
    const double pos = PositionMs();
    const auto& events = timeline_->events;
    // Sound first: every due note goes out before the display hears of the
    // new highlight or measure, so repainting, scrolling or turning the page
    // never delays a note of the same moment.
    bool moved = false;
    // A moment a callback breaks into is left to the course it set: a stop
    // or seek moved next_; after a pause the moment plays whole on resuming.
    while (next_ < events.size() && events[next_].ms <= pos) {
        const size_t begin = next_;
        size_t end = begin;
        while (end < events.size() && events[end].ms == events[begin].ms) ++end;
        for (int pass = 0; pass < 3; ++pass)
            for (size_t i = begin; i < end; ++i)
                if (PassAt(events, begin, end, i) == pass && !Dispatch(events[i], generation, &moved)) return;
        next_ = end;
    }
    if (moved) {
        sink_.OnHighlight();
        if (generation != generation_) return;
    }
    // The measure played, also in measures without notes.
    int m = timeline_->MeasureAt(std::min(pos, timeline_->totalMs));
    if (m > measure_) {
        measure_ = m;
        sink_.OnMeasure(m);
        if (generation != generation_) return;
    }
    long slot = static_cast<long>(std::min(pos, timeline_->totalMs) / kTimeReportMs);
    if (slot != lastTimeSlot_) {
        lastTimeSlot_ = slot;
        sink_.OnTime(std::min(pos, timeline_->totalMs));
        if (generation != generation_) return;
    }
    if (next_ >= events.size() && pos >= timeline_->totalMs) {
        playing_ = false;
        ReleaseAll();
        Rewind();
        sink_.OnHighlight();
        if (generation_ == generation + 1) sink_.OnEnd();
    }
}

double Playback::MsUntilNextDue() const {
    if (!playing_ || !timeline_) return -1;
    double due = next_ < timeline_->events.size() ? timeline_->events[next_].ms : timeline_->totalMs;
    double nextSlot = (lastTimeSlot_ + 1) * kTimeReportMs;
    due = std::min(due, nextSlot);
    return std::max(0.0, (due - PositionMs()) / ratio_);
}

}  // namespace zyqn
