// Once the whole piece is read: durations, starts and pitches under each
// measure's key and meter, the changes, the ties and the words.
#include "engine/zyqn_parser_state.h"

#include <algorithm>
#include <utility>

namespace zyqn {
namespace parsing {

// Both voices under the measure's key and meter, once the whole piece is
// read: a change may be written in the other hand, after this measure's line.
bool Parser::FixMeasure(PendingMeasure& m, int key, int full) {
    if (!FixVoice(m.events, key, full, m.line, m.column) || !FixVoice(m.second, key, full, m.secondLine, m.secondColumn))
        return false;
    if (m.second.empty()) return true;
    const Event &a = m.events.back(), &b = m.second.back();
    const int first = a.start + a.duration, second = b.start + b.duration;
    if (first != second)
        return Fail(ParseStatus::Unreadable, m.secondLine, m.secondColumn,
                    Format("the second voice lasts %d sixteenths, the first %d", second * 4 / kTicksPerQuarter,
                           first * 4 / kTicksPerQuarter));
    return true;
}

// The grace notes first, as they sound before the note, then its heads.
std::vector<Head*> Pitched(Event& ev) {
    std::vector<Head*> out;
    for (Head& h : ev.graces) out.push_back(&h);
    for (Head& h : ev.heads) out.push_back(&h);
    return out;
}

// Durations, starts and sounding pitches. Accidentals hold for the same note
// in the same octave until the bar line, as in staff notation.
bool Parser::FixVoice(std::vector<Event>& events, int key, int full, int line, int column) {
    std::map<std::pair<int, int>, int> carried;
    long long t = 0;
    for (Event& ev : events) {
        ev.start = static_cast<int>(t);
        long long dashes = static_cast<long long>(ev.dashes) * kTicksPerQuarter;
        ev.duration = static_cast<int>(ev.BaseDuration() + (ev.triplet >= 0 ? dashes * 2 / 3 : dashes));
        t += ev.duration;
        if (t > full)
            return Fail(ParseStatus::Unreadable, line, column,
                        Format("the measure is too long for the meter (%d of %d sixteenths)",
                               static_cast<int>(t * 4 / kTicksPerQuarter), full * 4 / kTicksPerQuarter));
        for (Head* hp : Pitched(ev)) {
            Head& h = *hp;
            auto slot = std::make_pair(h.degree, h.octave);
            int shift = 0;
            if (h.accidental) {
                shift = h.accidental == 2 ? 0 : h.accidental;
                carried[slot] = shift;
            } else {
                auto it = carried.find(slot);
                if (it != carried.end()) shift = it->second;
            }
            h.midi = 60 + KeyTonicSemitone(key) + kMajorScale[h.degree - 1] + shift + 12 * h.octave;
        }
    }
    return true;
}

// The key, meter and tempo of every measure: the fields', then each change from its measure on.
bool Parser::ApplyChanges(size_t count) {
    Measure now;
    now.key = score_.key, now.beats = score_.beats, now.unit = score_.unit, now.tempo = score_.tempo;
    now.tempoUnit = score_.unit;
    for (size_t i = 0; i < count; ++i) {
        Measure& m = score_.measures[i];
        auto c = changes_.find(i);
        if (c != changes_.end()) {
            m.keyChange = c->second.key >= 0;
            m.meterChange = c->second.beats > 0;
            m.tempoChange = c->second.tempo > 0;
            if (m.keyChange) now.key = c->second.key;
            if (m.meterChange) now.beats = c->second.beats, now.unit = c->second.unit;
            if (m.tempoChange) now.tempo = c->second.tempo, now.tempoUnit = now.unit;
        }
        m.key = now.key, m.beats = now.beats, m.unit = now.unit, m.tempo = now.tempo, m.tempoUnit = now.tempoUnit;
    }
    auto after = changes_.lower_bound(count);
    if (after != changes_.end())
        return Fail(ParseStatus::Unreadable, after->second.line, after->second.column,
                    "a change of key, meter or tempo needs a measure after it");
    return true;
}

bool Parser::LinkTies(int hand, int voice) {
    Event* prev = nullptr;
    for (Measure& m : score_.measures) {
        std::vector<Event>& events = voice ? m.second[hand] : m.hands[hand];
        // A second voice that pauses for a measure cannot hold a tie across it.
        if (voice && events.empty() && prev) {
            for (const Head& h : prev->heads)
                if (h.tie)
                    return Fail(ParseStatus::Unreadable, prev->line, prev->column,
                                "the tie does not lead to the same pitch in the next note");
            prev = nullptr;
        }
        for (Event& ev : events) {
            if (prev) {
                for (Head& h : prev->heads) {
                    if (!h.tie) continue;
                    bool found = false;
                    for (Head& next : ev.heads)
                        if (next.midi == h.midi && !next.tiedFrom) {
                            next.tiedFrom = true;
                            found = true;
                            break;
                        }
                    if (!found)
                        return Fail(ParseStatus::Unreadable, prev->line, prev->column,
                                    "the tie does not lead to the same pitch in the next note");
                }
            }
            prev = &ev;
        }
    }
    if (prev)
        for (const Head& h : prev->heads)
            if (h.tie)
                return Fail(ParseStatus::Unreadable, prev->line, prev->column, "the last note is tied to nothing");
    return true;
}

bool Parser::Finish(int lastLine) {
    // "@*" after the last bar line lifts the pedal at the end of the music.
    if (pendingPedal_ == kPedalUp && !hands_[kHandLeft].empty()) {
        hands_[kHandLeft].back().pedalUpAtEnd = true;
        pendingPedal_ = 0;
    }
    size_t count = std::max(hands_[0].size(), hands_[1].size());
    if (count == 0) return Fail(ParseStatus::Unreadable, lastLine, 1, "the score has no music: add R: and L: lines");
    score_.measures.resize(count);
    if (!ApplyChanges(count)) return false;
    for (size_t i = 0; i < count; ++i) {
        Measure& out = score_.measures[i];
        const int full = out.FullTicks();
        for (int hand = 0; hand < 2; ++hand) {
            if (i >= hands_[hand].size()) continue;
            PendingMeasure& m = hands_[hand][i];
            if (!FixMeasure(m, out.key, full)) return false;
            const Event& last = m.events.back();
            int length = last.start + last.duration;
            // Only a pick-up at the start and the closing measure may be short.
            if (length < full && i != 0 && i + 1 != count) {
                char buf[120];
                snprintf(buf, sizeof buf, "measure %d is too short for the meter (%d of %d sixteenths)",
                         static_cast<int>(i + 1), length * 4 / kTicksPerQuarter, full * 4 / kTicksPerQuarter);
                return Fail(ParseStatus::Unreadable, m.line, m.column, buf);
            }
            out.length = std::max(out.length, length);
            out.lineEnd = out.lineEnd || m.lineEnd;
            out.breakAfter = out.breakAfter || m.breakAfter;
            out.repeatStart = out.repeatStart || m.repeatStart;
            out.repeatEnd = out.repeatEnd || m.repeatEnd;
            out.segno = out.segno || m.segno;
            out.fine = out.fine || m.fine;
            out.jump = std::max(out.jump, m.jump);
            out.ending = std::max(out.ending, m.ending);
            out.pedalUpAtEnd = out.pedalUpAtEnd || m.pedalUpAtEnd;
            out.hands[hand] = std::move(m.events);
            out.second[hand] = std::move(m.second);
        }
    }
    for (int part = 0; part < 4; ++part)
        if (slurOpen_[part]) return Fail(ParseStatus::Unreadable, slurLine_[part], slurColumn_[part], "the slur is not closed with ')'");
    for (int hand = 0; hand < 2; ++hand)
        if (pendingDynamic_[hand] || pendingFermata_[hand] || pendingHairpin_[hand] || pendingTempoWord_[hand])
            return Fail(ParseStatus::Unreadable, dynamicLine_[hand], dynamicColumn_[hand],
                        "a dynamic, a fermata or a word such as cresc. or rit. must come before a note or a rest");
    for (int hand = 0; hand < 2; ++hand)
        if (!pendingGraces_[hand].empty())
            return Fail(ParseStatus::Unreadable, graceLine_[hand], graceColumn_[hand], "a grace note must come before a note");
    if (pendingPedal_)
        return Fail(ParseStatus::Unreadable, pedalLine_, pedalColumn_, "a pedal mark must come before a note or a rest");
    // A first ending closes with a repeat sign, or the second pass would skip the rest.
    for (size_t i = 0; i < count; ++i) {
        if (score_.measures[i].ending != 1) continue;
        size_t end = i;
        while (end < count && !score_.measures[end].repeatEnd) ++end;
        if (end == count) {
            const PendingMeasure& m = hands_[i < hands_[0].size() ? 0 : 1][i];
            return Fail(ParseStatus::Unreadable, m.line, m.column, "the first ending needs a repeat sign \":|\" to close it");
        }
    }
    for (int hand = 0; hand < 2; ++hand)
        for (int voice = 0; voice < kVoices; ++voice)
            if (!LinkTies(hand, voice)) return false;
    return AssignWords();
}

}  // namespace parsing
}  // namespace zyqn
