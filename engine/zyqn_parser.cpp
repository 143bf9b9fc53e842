// Reads a score line by line: the signature, the fields, and the music
// lines' measures, notes, rests and chords as written.
#include "engine/zyqn_parser.h"

#include "engine/zyqn_parser_state.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

namespace zyqn {
namespace parsing {

std::string Format(const char* fmt, int a, int b) {
    char buf[160];
    snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

size_t Utf8Length(const unsigned char* p, const unsigned char* end) {
    unsigned c = p[0];
    size_t n;
    unsigned min;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) n = 2, min = 0x80;
    else if ((c & 0xF0) == 0xE0) n = 3, min = 0x800;
    else if ((c & 0xF8) == 0xF0) n = 4, min = 0x10000;
    else return 0;
    if (static_cast<size_t>(end - p) < n) return 0;
    unsigned cp = c & (0xFF >> (n + 1));
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

bool Parser::CheckSignature(Line first) {
    line_ = first;
    std::string text(first.text, first.length);
    if (text.find('\0') != std::string::npos || text.compare(0, 4, "zyqn") != 0 || text.size() < 5 ||
        !IsSpace(text[4]))
        return Fail(ParseStatus::NotScore, 1, 1, "not a zyqn score: the first line must read \"zyqn 1\"");
    size_t p = 4;
    while (p < text.size() && IsSpace(text[p])) ++p;
    size_t digits = p;
    long long version = 0;
    while (p < text.size() && text[p] >= '0' && text[p] <= '9') {
        if (version < 1000000) version = version * 10 + (text[p] - '0');
        ++p;
    }
    if (p == digits) return FailAt(p, "the signature needs a format version number");
    while (p < text.size() && IsSpace(text[p])) ++p;
    if (p != text.size()) return FailAt(p, "unexpected text after the format version");
    if (version == 0) return FailAt(digits, "format version 0 does not exist");
    if (version > kFormatVersion)
        return Fail(ParseStatus::NewerVersion, 1, Column(digits),
                    Format("format version %d is newer than this engine reads (%d)", static_cast<int>(version),
                           kFormatVersion));
    score_.version = static_cast<int>(version);
    return true;
}

// Refuses control characters and broken UTF-8 before any of it reaches a field.
bool Parser::CheckText(size_t begin) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(data_) + begin;
    const unsigned char* end = reinterpret_cast<const unsigned char*>(data_) + size_;
    int lineNo = 2;
    const unsigned char* lineStart = p;
    while (p < end) {
        unsigned c = *p;
        size_t n = Utf8Length(p, end);
        bool control = c < 0x20 && c != '\t' && c != '\n' && c != '\r';
        if (n == 0 || control) {
            line_ = Line{reinterpret_cast<const char*>(lineStart), static_cast<size_t>(p - lineStart), lineNo};
            return FailAt(p - lineStart, n == 0 ? "the text is not valid UTF-8" : "control character in the text");
        }
        if (c == '\n') {
            ++lineNo;
            lineStart = p + 1;
        }
        p += n;
    }
    return true;
}

ParseResult Parser::Run() {
    ParseResult result;
    bool ok = true;
    if (size_ > kMaxFileBytes) ok = Fail(ParseStatus::Unreadable, 0, 0, "the file is larger than 4 MB");
    size_t pos = 0;
    if (size_ >= 3 && static_cast<unsigned char>(data_[0]) == 0xEF && static_cast<unsigned char>(data_[1]) == 0xBB &&
        static_cast<unsigned char>(data_[2]) == 0xBF)
        pos = 3;
    if (ok && pos == size_) ok = Fail(ParseStatus::NotScore, 1, 1, "the file is empty");
    int number = 0;
    while (ok && pos < size_) {
        size_t eol = pos;
        while (eol < size_ && data_[eol] != '\n') ++eol;
        size_t len = eol - pos;
        if (len > 0 && data_[pos + len - 1] == '\r') --len;
        Line line{data_ + pos, len, ++number};
        if (number == 1) {
            ok = CheckSignature(line) && CheckText(eol < size_ ? eol + 1 : size_);
        } else {
            line_ = line;
            ok = ParseLine();
        }
        pos = eol + 1;
    }
    if (ok) ok = Finish(number);
    if (ok) {
        result.score = std::move(score_);
    } else {
        result.status = error_.status;
        result.line = error_.line;
        result.column = error_.column;
        result.message = error_.message;
    }
    return result;
}

bool Parser::ParseLine() {
    size_t p = 0;
    while (p < line_.length && IsSpace(line_.text[p])) ++p;
    if (p == line_.length) return true;
    if (line_.text[p] == '/' && p + 1 < line_.length && line_.text[p + 1] == '/') return true;
    if (p + 1 < line_.length && line_.text[p + 1] == ':' && (line_.text[p] == 'R' || line_.text[p] == 'L')) {
        musicStarted_ = true;
        return ParseBody(line_.text[p] == 'R' ? kHandRight : kHandLeft, p + 2);
    }
    if (p + 1 < line_.length && line_.text[p + 1] == ':' && line_.text[p] == 'W') {
        musicStarted_ = true;
        return NeedVersion2(p, "a line of words") && ParseWords(p + 2);
    }
    return ParseField(p);
}

bool Parser::ParseField(size_t p) {
    size_t nameStart = p;
    while (p < line_.length && line_.text[p] >= 'a' && line_.text[p] <= 'z') ++p;
    if (p == nameStart || p >= line_.length || line_.text[p] != ':')
        return FailAt(nameStart, "expected a field such as \"title: ...\" or a part line starting with R: or L:");
    std::string name(line_.text + nameStart, p - nameStart);
    if (musicStarted_) return FailAt(nameStart, "fields must come before the first R: or L: line");
    if (seenFields_[name]) return FailAt(nameStart, "this field is given twice");
    seenFields_[name] = true;
    ++p;
    while (p < line_.length && IsSpace(line_.text[p])) ++p;
    size_t end = line_.length;
    while (end > p && IsSpace(line_.text[end - 1])) --end;
    return ParseFieldValue(name, std::string(line_.text + p, end - p), p);
}

// Reads a decimal number from the whole of text; false when it is not one or
// exceeds limit (so huge numbers never overflow).
bool ReadNumber(const std::string& text, int limit, int& out) {
    if (text.empty() || text.size() > 9) return false;
    int v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > limit) return false;
    out = v;
    return true;
}

// Key, meter and tempo values, as the fields and the change marks write them.
const char kBadKey[] = "unknown key: use C, G, D, A, E, B, F#, C#, F, Bb, Eb, Ab, Db, Gb or Cb";
const char kBadMeter[] = "the meter must read beats/unit: 1 to 16 beats of 2, 4, 8 or 16";
const char kBadTempo[] = "the tempo must be 20 to 400 beats per minute";

int ReadKey(const std::string& value) { return KeyFromName(value.compare(0, 2, "1=") == 0 ? value.substr(2) : value); }

bool ReadMeter(const std::string& value, int& beats, int& unit) {
    size_t slash = value.find('/');
    return slash != std::string::npos && ReadNumber(value.substr(0, slash), 16, beats) && beats >= 1 &&
           ReadNumber(value.substr(slash + 1), 16, unit) && (unit == 2 || unit == 4 || unit == 8 || unit == 16);
}

bool ReadTempo(const std::string& value, int& bpm) { return ReadNumber(value, 400, bpm) && bpm >= 20; }

bool Parser::ParseFieldValue(const std::string& name, const std::string& value, size_t valuePos) {
    if (name == "title" || name == "composer" || name == "arranger") {
        if (value.size() > kMaxFieldBytes) return FailAt(valuePos, "the text is longer than 200 bytes");
        (name == "title" ? score_.title : name == "composer" ? score_.composer : score_.arranger) = value;
    } else if (name == "key") {
        score_.key = ReadKey(value);
        if (score_.key < 0) return FailAt(valuePos, kBadKey);
    } else if (name == "meter") {
        if (!ReadMeter(value, score_.beats, score_.unit)) return FailAt(valuePos, kBadMeter);
    } else if (name == "tempo") {
        if (!ReadTempo(value, score_.tempo)) return FailAt(valuePos, kBadTempo);
    } else {
        size_t nameStart = 0;
        while (nameStart < line_.length && IsSpace(line_.text[nameStart])) ++nameStart;
        return FailAt(nameStart, "unknown field \"" + name + "\"");
    }
    return true;
}

bool Parser::NeedVersion2(size_t p, const char* what) {
    if (score_.version >= 2) return true;
    return FailAt(p, std::string(what) + " needs \"zyqn 2\" on the first line");
}

// Marks that close a measure belong to the one being written, or, right
// after a bar line, to the one before it.
PendingMeasure* Parser::EndingMeasure(int hand) {
    if (!pending_[hand].events.empty() || hands_[hand].empty()) return &pending_[hand];
    return &hands_[hand].back();
}

bool Parser::ParseBody(int hand, size_t p) {
    const size_t before = hands_[hand].size();
    while (p < line_.length) {
        char c = line_.text[p];
        if (IsSpace(c)) {
            ++p;
        } else if (c == '/' && p + 1 < line_.length && line_.text[p + 1] == '/') {
            break;
        } else if (c == '|') {
            if (!CloseMeasure(hand, p)) return false;
            ++p;
            if (p < line_.length && line_.text[p] == ':') {  // "|:" opens a repeat
                if (!NeedVersion2(p - 1, "a repeat sign")) return false;
                pending_[hand].repeatStart = true;
                ++p;
            }
        } else if (c == ':') {  // ":|" closes one
            if (p + 1 >= line_.length || line_.text[p + 1] != '|') return FailAt(p, "a repeat sign reads \":|\"");
            if (!NeedVersion2(p, "a repeat sign")) return false;
            PendingMeasure* m = EndingMeasure(hand);
            if (m->events.empty()) return FailAt(p, "a repeat sign must follow a measure");
            m->repeatEnd = true;
            ++p;
        } else if (c == '@') {
            if (!ParseMark(hand, p)) return false;
        } else if (c == '(') {  // a slur over the notes up to ')', across bar lines too
            if (!NeedVersion2(p, "a slur")) return false;
            const int part = Part(hand);
            if (slurOpen_[part]) return FailAt(p, "slurs cannot be nested");
            slurOpen_[part] = true;
            slurStarted_[part] = false;
            slurLine_[part] = line_.number;
            slurColumn_[part] = Column(p);
            ++p;
        } else if (c == ')') {
            const int part = Part(hand);
            if (!slurOpen_[part]) return FailAt(p, "')' closes no slur");
            if (!slurStarted_[part] || !lastEvent_[part] || lastEvent_[part]->slurStart)
                return FailAt(p, "a slur joins at least two notes");
            lastEvent_[part]->slurEnd = true;
            slurOpen_[part] = false;
            ++p;
        } else if (c == '&') {
            if (!StartSecondVoice(hand, p)) return false;
            ++p;
        } else if (c == '{') {
            if (tripletGroup_ >= 0) return FailAt(p, "triplets cannot be nested");
            tripletGroup_ = tripletCount_++;
            tripletOpenPos_ = p;
            tripletFirstEvent_ = Writing(hand).size();
            ++p;
        } else if (c == '}') {
            if (tripletGroup_ < 0) return FailAt(p, "'}' closes no triplet");
            if (Writing(hand).size() == tripletFirstEvent_) return FailAt(p, "empty triplet");
            tripletGroup_ = -1;
            ++p;
        } else if (c == '-') {
            std::vector<Event>& voice = Writing(hand);
            if (voice.empty()) return FailAt(p, "a dash must follow a note or a rest in the same measure");
            if (++voice.back().dashes > 16) return FailAt(p, "too many dashes");
            ++p;
        } else if (c == '\\') {
            if (!MarkBreak(hand, p)) return false;
            ++p;
        } else if (c == 'g') {
            if (!ParseGrace(hand, p)) return false;
        } else if (c == '[' || c == '#' || c == 'b' || c == '=' || (c >= '0' && c <= '9')) {
            if (!ParseEvent(hand, p)) return false;
        } else {
            std::string shown = static_cast<unsigned char>(c) < 0x80 ? std::string(1, c) : std::string("?");
            return FailAt(p, "unexpected character '" + shown + "'");
        }
    }
    if (!CloseMeasure(hand, line_.length)) return false;
    // Writers lay out their lines by phrase; the layout prefers to break where they did.
    if (hands_[hand].size() > before) hands_[hand].back().lineEnd = true;
    return true;
}

// A note, a rest or a chord with its duration marks.
bool Parser::ParseEvent(int hand, size_t& p) {
    PendingMeasure& m = pending_[hand];
    std::vector<Event>& voice = Writing(hand);
    const int part = Part(hand);
    if (++events_ > kMaxEvents) return FailAt(p, "the score is too large");
    Event ev;
    ev.line = line_.number;
    ev.column = Column(p);
    ev.triplet = tripletGroup_;
    ev.dynamic = pendingDynamic_[hand];
    ev.fermata = pendingFermata_[hand];
    ev.hairpin = pendingHairpin_[hand];
    ev.tempoWord = pendingTempoWord_[hand];
    pendingDynamic_[hand] = pendingHairpin_[hand] = pendingTempoWord_[hand] = 0;
    pendingFermata_[hand] = false;
    ev.graces = std::move(pendingGraces_[hand]);
    pendingGraces_[hand].clear();
    if (hand == kHandLeft && pendingPedal_) {
        // The pedal is drawn and counted with the hand's first voice.
        if (voice_[hand]) return Fail(ParseStatus::Unreadable, pedalLine_, pedalColumn_, "a pedal mark goes before a note of the first voice");
        ev.pedal = pendingPedal_;
        pedalDown_ = pendingPedal_ != kPedalUp;
        pendingPedal_ = 0;
    }
    if (m.events.empty()) {
        m.line = ev.line;
        m.column = ev.column;
    }
    if (line_.text[p] == '[') {
        size_t open = p++;
        for (;;) {
            while (p < line_.length && IsSpace(line_.text[p])) ++p;
            if (p >= line_.length) return FailAt(open, "the chord is not closed with ']'");
            if (line_.text[p] == ']') break;
            if (line_.text[p] == '[') return FailAt(p, "chords cannot be nested");
            if (static_cast<int>(ev.heads.size()) >= kMaxChordHeads)
                return FailAt(p, Format("a chord holds at most %d notes", kMaxChordHeads));
            if (!ParseNote(p, ev, true)) return false;
            if (p < line_.length && line_.text[p] == '~') {  // a tie on this note of the chord only
                ev.heads.back().tie = true;
                ++p;
            }
        }
        if (ev.heads.empty()) return FailAt(open, "empty chord");
        ++p;
    } else if (!ParseNote(p, ev, false)) {
        return false;
    }
    if (ev.IsRest() && !ev.graces.empty())
        return Fail(ParseStatus::Unreadable, graceLine_[hand], graceColumn_[hand], "a grace note leads into a note, not a rest");
    if (!ParseSuffix(p, ev)) return false;
    if (slurOpen_[part]) {
        ev.inSlur = true;
        ev.slurStart = !slurStarted_[part];
        slurStarted_[part] = true;
    }
    voice.push_back(std::move(ev));
    lastEvent_[part] = &voice.back();
    return true;
}

// One note or rest: accidental, digit, octave marks. Inside a chord a rest is refused.
bool Parser::ParseNote(size_t& p, Event& ev, bool inChord) {
    int accidental = 0;
    char c = line_.text[p];
    if (c == '#' || c == 'b' || c == '=') {
        accidental = c == '#' ? 1 : c == 'b' ? -1 : 2;
        ++p;
        if (p < line_.length && (line_.text[p] == '#' || line_.text[p] == 'b' || line_.text[p] == '='))
            return FailAt(p, "only one accidental per note");
    }
    if (p >= line_.length || line_.text[p] < '0' || line_.text[p] > '9')
        return FailAt(p, inChord ? "expected a note 1 to 7 in the chord" : "expected a note 1 to 7 after the accidental");
    int digit = line_.text[p] - '0';
    if (digit > 7) return FailAt(p, "notes run from 1 to 7 (0 is a rest)");
    if (digit == 0 && inChord) return FailAt(p, "a chord cannot hold a rest");
    if (digit == 0 && accidental) return FailAt(p, "a rest takes no accidental");
    ++p;
    int octave = 0;
    while (p < line_.length && (line_.text[p] == '\'' || line_.text[p] == ',')) {
        if (digit == 0) return FailAt(p, "a rest takes no octave mark");
        int step = line_.text[p] == '\'' ? 1 : -1;
        if (octave != 0 && (octave > 0) != (step > 0)) return FailAt(p, "octave marks up and down cannot be mixed");
        octave += step;
        if (octave > 3 || octave < -3) return FailAt(p, "at most three octave marks");
        ++p;
    }
    int finger = 0;
    if (p < line_.length && line_.text[p] == 'f') {  // "3f2": the note played with the second finger
        if (!NeedVersion2(p, "fingering")) return false;
        if (digit == 0) return FailAt(p, "a rest takes no fingering");
        ++p;
        if (p >= line_.length || line_.text[p] < '1' || line_.text[p] > '5')
            return FailAt(p, "fingers are numbered 1 to 5");
        finger = line_.text[p++] - '0';
        if (p < line_.length && line_.text[p] == 'f') return FailAt(p, "one finger per note");
    }
    if (digit != 0) {
        Head h;
        h.degree = digit;
        h.octave = octave;
        h.accidental = accidental;
        h.finger = finger;
        ev.heads.push_back(h);
    }
    return true;
}

// Underlines, dots and the tie after a note, a rest or a chord.
bool Parser::ParseSuffix(size_t& p, Event& ev) {
    bool tie = false;
    for (; p < line_.length; ++p) {
        char c = line_.text[p];
        if (c == '_') {
            if (ev.dots) return FailAt(p, "underlines come before dots");
            // A thirty-second note's third underline came with version 2.
            const int most = score_.version >= 2 ? 3 : 2;
            if (++ev.underlines > most)
                return FailAt(p, most == 3 ? "at most three underlines (a thirty-second)" : "at most two underlines (a sixteenth)");
        } else if (c == '.') {
            if (++ev.dots > 2) return FailAt(p, "at most two dots");
            if (ev.underlines >= 2 && ev.dots == 2) return FailAt(p, "a double-dotted sixteenth is too short to write");
        } else if (c == '^') {
            if (!NeedVersion2(p, "a staccato mark")) return false;
            if (ev.IsRest()) return FailAt(p, "a rest cannot be staccato");
            if (ev.staccato) return FailAt(p, "the note is already staccato");
            ev.staccato = true;
        } else if (c == '~') {
            if (ev.IsRest()) return FailAt(p, "a rest cannot be tied");
            if (tie) return FailAt(p, "the note is already tied");
            tie = true;
        } else if (c == '\'' || c == ',') {
            return FailAt(p, ev.heads.size() > 1 ? "octave marks go inside the chord"
                                                 : "octave marks come right after the note");
        } else {
            break;
        }
    }
    if (tie)
        for (Head& h : ev.heads) h.tie = true;
    return true;
}

bool Parser::CloseMeasure(int hand, size_t pos) {
    PendingMeasure& m = pending_[hand];
    if (tripletGroup_ >= 0) return FailAt(tripletOpenPos_, "the triplet is not closed before the bar line");
    tripletCount_ = 0;
    const bool twoVoices = voice_[hand] != 0;
    voice_[hand] = 0;
    if (m.events.empty()) return true;
    if (static_cast<int>(hands_[hand].size()) >= kMaxMeasures)
        return FailAt(pos, Format("a part holds at most %d measures", kMaxMeasures));
    if (twoVoices && m.second.empty()) return FailAt(pos, "the second voice after '&' has no notes");
    m.breakAfter = breakPending_[hand];
    breakPending_[hand] = false;
    if (hand == kHandLeft && pendingPedal_ == kPedalUp) {  // "@*" after the measure's last note
        m.pedalUpAtEnd = true;
        pedalDown_ = false;
        pendingPedal_ = 0;
    }
    hands_[hand].push_back(std::move(m));
    m = PendingMeasure();
    return true;
}

}  // namespace parsing

ParseResult ParseZyqn(const char* data, size_t size) {
    if (!data) size = 0;
    return parsing::Parser(data ? data : "", size).Run();
}

}  // namespace zyqn
