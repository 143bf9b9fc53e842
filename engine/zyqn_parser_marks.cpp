// The marks of the music lines besides notes: repeats, endings, jumps and
// changes after '@', the pedal, grace notes, the words of the W: lines,
// break marks and the second voice.
#include "engine/zyqn_parser_state.h"

#include <algorithm>
#include <utility>

namespace zyqn {
namespace parsing {

// "@1" and "@2" open a first and second ending, "@segno" marks the sign,
// "@fine" the end after a jump, "@dc" and "@ds" jump back after the measure;
// "@key=G", "@meter=3/4" and "@tempo=90" change them from the next measure.
bool Parser::ParseMark(int hand, size_t& p) {
    const size_t at = p++;
    if (p < line_.length && line_.text[p] == '*') {  // "@*": the pedal is lifted
        ++p;
        return NeedVersion2(at, "a pedal mark") && ParsePedal(hand, at, false);
    }
    size_t end = p;
    while (end < line_.length && ((line_.text[end] >= 'a' && line_.text[end] <= 'z') ||
                                  (line_.text[end] >= '0' && line_.text[end] <= '9')))
        ++end;
    const std::string word(line_.text + p, end - p);
    p = end;
    if (!NeedVersion2(at, "a mark with '@'")) return false;
    if (word == "key" || word == "meter" || word == "tempo") {
        if (p >= line_.length || line_.text[p] != '=')
            return FailAt(at, "a change is written @" + word + "=" + (word == "key" ? "G" : word == "meter" ? "3/4" : "90"));
        const size_t valuePos = ++p;
        while (p < line_.length && !IsSpace(line_.text[p]) && line_.text[p] != '|') ++p;
        return ParseChange(hand, at, word, std::string(line_.text + valuePos, p - valuePos), valuePos);
    }
    PendingMeasure& next = pending_[hand];
    if (word == "1" || word == "2") {
        if (!next.events.empty()) return FailAt(at, "an ending starts right after a bar line");
        if (word == "2" && (hands_[hand].empty() || !hands_[hand].back().repeatEnd))
            return FailAt(at, "a second ending must follow a repeat sign \":|\"");
        next.ending = word[0] - '0';
    } else if (word == "segno") {
        next.segno = segnoSeen_ = true;
    } else if (word == "fine") {
        EndingMeasure(hand)->fine = true;
    } else if (word == "dc" || word == "ds") {
        if (word == "ds" && !segnoSeen_) return FailAt(at, "D.S. goes back to a sign: write @segno before it");
        EndingMeasure(hand)->jump = word == "dc" ? kJumpDaCapo : kJumpDalSegno;
    } else if (word == "ped") {
        return ParsePedal(hand, at, true);
    } else if (word == "fermata") {
        pendingFermata_[hand] = true;
        dynamicLine_[hand] = line_.number;
        dynamicColumn_[hand] = Column(at);
    } else if (DynamicFromName(word)) {
        return PendWord(hand, at, &pendingDynamic_[hand], DynamicFromName(word), "two dynamics");
    } else if (word == "cresc" || word == "dim" || word == "decresc") {
        return PendWord(hand, at, &pendingHairpin_[hand], word == "cresc" ? kCresc : word == "dim" ? kDim : kDecresc,
                        "two of cresc., dim. and decresc.");
    } else if (word == "rit" || word == "rall" || word == "atempo") {
        return PendWord(hand, at, &pendingTempoWord_[hand], word == "rit" ? kRit : word == "rall" ? kRall : kATempo,
                        "two of rit., rall. and a tempo");
    } else {
        return FailAt(at, "unknown mark: use @1, @2, @segno, @fine, @dc, @ds, @fermata, @ped, @*, a dynamic from @pp "
                          "to @ff, @cresc, @dim, @decresc, @rit, @rall, @atempo, or @key=, @meter=, @tempo=");
    }
    return true;
}

// "@ped" presses the pedal at the next note or rest of the left hand (and,
// when it is down already, lifts it first); "@*" lifts it there, or at the
// bar line when no note follows in the measure.
bool Parser::ParsePedal(int hand, size_t at, bool down) {
    if (hand != kHandLeft) return FailAt(at, "pedal marks go in the L: line");
    if (pendingPedal_ && !(down && pendingPedal_ == kPedalUp)) return FailAt(at, "two pedal marks before one note");
    if (!down && !pedalDown_) return FailAt(at, "the pedal is not down: write @ped before @*");
    pendingPedal_ = !down ? kPedalUp : pendingPedal_ == kPedalUp || pedalDown_ ? kPedalChange : kPedalDown;
    pedalLine_ = line_.number;
    pedalColumn_ = Column(at);
    return true;
}

// "g5" before a note: a grace note, pitched like a note but without a length.
bool Parser::ParseGrace(int hand, size_t& p) {
    const size_t at = p++;
    if (!NeedVersion2(at, "a grace note")) return false;
    if (p >= line_.length || !(line_.text[p] == '#' || line_.text[p] == 'b' || line_.text[p] == '=' ||
                               (line_.text[p] >= '0' && line_.text[p] <= '9')))
        return FailAt(p, "expected a note after 'g' (a grace note)");
    if (pendingGraces_[hand].size() >= static_cast<size_t>(kMaxGraces))
        return FailAt(at, Format("at most %d grace notes before a note", kMaxGraces));
    Event grace;
    if (!ParseNote(p, grace, false)) return false;
    if (grace.IsRest()) return FailAt(at, "a grace note cannot be a rest");
    if (grace.heads[0].finger) return FailAt(at, "a grace note takes no fingering");
    if (pendingGraces_[hand].empty()) {
        graceLine_[hand] = line_.number;
        graceColumn_[hand] = Column(at);
    }
    pendingGraces_[hand].push_back(grace.heads[0]);
    return true;
}

// A line of words: syllables apart by spaces, or joined by a hyphen inside
// a word ("Twin-kle"); a lone "-" holds the syllable before over a note.
bool Parser::ParseWords(size_t p) {
    constexpr size_t kMaxSyllableBytes = 64;
    while (p < line_.length) {
        if (IsSpace(line_.text[p])) {
            ++p;
            continue;
        }
        if (line_.text[p] == '/' && p + 1 < line_.length && line_.text[p + 1] == '/') break;
        size_t end = p;
        while (end < line_.length && !IsSpace(line_.text[end])) ++end;
        if (words_.size() >= static_cast<size_t>(kMaxEvents)) return FailAt(p, "too many syllables");
        if (end == p + 1 && line_.text[p] == '-') {
            words_.push_back(Syllable{std::string(), false, line_.number, Column(p)});
            p = end;
            continue;
        }
        while (p < end) {
            size_t piece = p;
            while (p < end && line_.text[p] != '-') ++p;
            if (p == piece) return FailAt(p, "a syllable is missing before '-'");
            if (p - piece > kMaxSyllableBytes) return FailAt(piece, "a syllable is longer than 64 bytes");
            const bool hyphen = p < end;
            words_.push_back(Syllable{std::string(line_.text + piece, p - piece), hyphen, line_.number, Column(piece)});
            if (hyphen) ++p;
        }
    }
    return true;
}

// Gives the syllables to the right hand's notes in order; rests and notes
// that a tie holds on take none.
bool Parser::AssignWords() {
    size_t next = 0;
    for (Measure& m : score_.measures)
        for (Event& ev : m.hands[kHandRight]) {
            if (next == words_.size()) return true;
            bool held = !ev.heads.empty();
            for (const Head& h : ev.heads) held = held && h.tiedFrom;
            if (ev.IsRest() || held) continue;
            ev.lyric = words_[next].text;
            ev.lyricHyphen = words_[next].hyphen;
            ++next;
        }
    if (next == words_.size()) return true;
    return Fail(ParseStatus::Unreadable, words_[next].line, words_[next].column,
                "more syllables than the right hand has notes");
}

// A word that belongs to the hand's next note or rest.
bool Parser::PendWord(int hand, size_t at, int* slot, int value, const char* kind) {
    if (*slot) return FailAt(at, std::string(kind) + " before one note");
    *slot = value;
    dynamicLine_[hand] = line_.number;
    dynamicColumn_[hand] = Column(at);
    return true;
}

// A change of key, meter or tempo stands at a bar line and holds from the
// next measure on, in both hands, whichever hand it is written in.
bool Parser::ParseChange(int hand, size_t at, const std::string& word, const std::string& value, size_t valuePos) {
    if (!pending_[hand].events.empty())
        return FailAt(at, "a change of " + word + " stands at a bar line: it holds from the next measure");
    if (hands_[hand].empty())
        return FailAt(at, "the first measure's " + word + " goes in the \"" + word + ":\" field above the music");
    Change& c = changes_[hands_[hand].size()];
    bool clash = false;
    if (word == "key") {
        const int key = ReadKey(value);
        if (key < 0) return FailAt(valuePos, kBadKey);
        clash = c.key >= 0 && c.key != key;
        c.key = key;
    } else if (word == "meter") {
        int beats = 0, unit = 0;
        if (!ReadMeter(value, beats, unit)) return FailAt(valuePos, kBadMeter);
        clash = c.beats && (c.beats != beats || c.unit != unit);
        c.beats = beats;
        c.unit = unit;
    } else {
        int bpm = 0;
        if (!ReadTempo(value, bpm)) return FailAt(valuePos, kBadTempo);
        clash = c.tempo && c.tempo != bpm;
        c.tempo = bpm;
    }
    if (clash) return FailAt(at, "two different changes of " + word + " at this bar line");
    c.line = line_.number;
    c.column = Column(at);
    return true;
}

// A backslash asks for a new system after the measure it follows (or closes).
bool Parser::MarkBreak(int hand, size_t p) {
    if (!NeedVersion2(p, "the line-break mark '\\'")) return false;
    if (!pending_[hand].events.empty()) {
        breakPending_[hand] = true;
    } else if (!hands_[hand].empty()) {
        hands_[hand].back().breakAfter = true;
    } else {
        return FailAt(p, "a line-break mark must follow a measure");
    }
    return true;
}

// "&" ends the first voice of a hand's measure; the notes after it are a
// second voice that sounds from the measure's start, drawn under the first.
bool Parser::StartSecondVoice(int hand, size_t p) {
    if (!NeedVersion2(p, "a second voice '&'")) return false;
    if (voice_[hand]) return FailAt(p, "a hand has two voices at most: one '&' in a measure");
    if (pending_[hand].events.empty()) return FailAt(p, "'&' comes after the first voice's notes of the measure");
    if (tripletGroup_ >= 0) return FailAt(tripletOpenPos_, "the triplet is not closed before '&'");
    voice_[hand] = 1;
    pending_[hand].secondLine = line_.number;
    pending_[hand].secondColumn = Column(p);
    return true;
}

}  // namespace parsing
}  // namespace zyqn
