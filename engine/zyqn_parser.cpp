#include "engine/zyqn_parser.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>

namespace zyqn {

namespace {

const int kMajorScale[7] = {0, 2, 4, 5, 7, 9, 11};

struct ParseError {
    ParseStatus status;
    int line, column;
    std::string message;
};

std::string Format(const char* fmt, int a, int b = 0) {
    char buf[160];
    snprintf(buf, sizeof buf, fmt, a, b);
    return buf;
}

bool IsSpace(char c) { return c == ' ' || c == '\t'; }

// Length in bytes of the valid UTF-8 sequence at p, or 0 when it is not one.
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

// One measure of one hand as written, before durations and pitches are fixed.
struct PendingMeasure {
    std::vector<Event> events;
    std::vector<Event> second;  // the hand's second voice, after '&'
    int line = 0, column = 0;
    int secondLine = 0, secondColumn = 0;  // where the '&' stands
    bool lineEnd = false, breakAfter = false, pedalUpAtEnd = false;
    bool repeatStart = false, repeatEnd = false, segno = false, fine = false;
    int ending = 0, jump = 0;
};

class Parser {
public:
    Parser(const char* data, size_t size) : data_(data), size_(size) {}
    ParseResult Run();

private:
    struct Line {
        const char* text;
        size_t length;
        int number;
    };

    // Records the first error; every step returns false from then on.
    bool Fail(ParseStatus status, int line, int column, std::string message) {
        if (!failed_) error_ = ParseError{status, line, column, std::move(message)};
        failed_ = true;
        return false;
    }
    bool FailAt(size_t pos, std::string message) {
        return Fail(ParseStatus::Unreadable, line_.number, Column(pos), std::move(message));
    }
    // Character column of a byte position. Positions mostly move forward
    // along a line, so counting resumes from the last answer: a long line
    // costs linear time, not quadratic.
    int Column(size_t pos) {
        if (colLine_ != line_.text || pos < colPos_) {
            colLine_ = line_.text;
            colPos_ = 0;
            colValue_ = 1;
        }
        for (; colPos_ < pos && colPos_ < line_.length; ++colPos_)
            if ((static_cast<unsigned char>(line_.text[colPos_]) & 0xC0) != 0x80) ++colValue_;
        return colValue_;
    }

    bool CheckSignature(Line first);
    bool CheckText(size_t begin);
    bool ParseLine();
    bool ParseField(size_t pos);
    bool ParseFieldValue(const std::string& name, const std::string& value, size_t valuePos);
    bool ParseBody(int hand, size_t pos);
    bool ParseWords(size_t pos);
    bool ParseGrace(int hand, size_t& pos);
    bool ParsePedal(int hand, size_t at, bool down);
    bool AssignWords();
    bool MarkBreak(int hand, size_t pos);
    bool ParseMark(int hand, size_t& pos);
    bool StartSecondVoice(int hand, size_t pos);
    // The voice being written in the hand's pending measure, and its state's slot.
    std::vector<Event>& Writing(int hand) { return voice_[hand] ? pending_[hand].second : pending_[hand].events; }
    int Part(int hand) const { return hand + 2 * voice_[hand]; }
    bool ParseChange(int hand, size_t at, const std::string& word, const std::string& value, size_t valuePos);
    bool PendWord(int hand, size_t at, int* slot, int value, const char* kind);
    bool NeedVersion2(size_t pos, const char* what);
    PendingMeasure* EndingMeasure(int hand);
    bool ParseEvent(int hand, size_t& pos);
    bool ParseNote(size_t& pos, Event& ev, bool inChord);
    bool ParseSuffix(size_t& pos, Event& ev);
    bool CloseMeasure(int hand, size_t pos);
    bool FixMeasure(PendingMeasure& m, int key, int full);
    bool FixVoice(std::vector<Event>& events, int key, int full, int line, int column);
    bool ApplyChanges(size_t count);
    bool Finish(int lastLine);
    bool LinkTies(int hand, int voice);

    const char* data_;
    size_t size_;
    Line line_{nullptr, 0, 0};
    const char* colLine_ = nullptr;
    size_t colPos_ = 0;
    int colValue_ = 1;
    bool failed_ = false;
    ParseError error_{ParseStatus::Ok, 0, 0, std::string()};
    Score score_;
    bool musicStarted_ = false;
    std::map<std::string, bool> seenFields_;
    PendingMeasure pending_[2];
    int voice_[2] = {0, 0};  // 1 after the '&' of the hand's pending measure
    bool breakPending_[2] = {false, false};  // a break mark before the measure being written closes
    bool segnoSeen_ = false;
    int pendingDynamic_[2] = {0, 0};  // written before the hand's next note or rest
    int pendingHairpin_[2] = {0, 0}, pendingTempoWord_[2] = {0, 0};
    // Changes of key, meter and tempo by the measure they start, from either hand.
    struct Change {
        int key = -1, beats = 0, unit = 0, tempo = 0;
        int line = 0, column = 0;
    };
    std::map<size_t, Change> changes_;
    bool pendingFermata_[2] = {false, false};
    // An open slur per voice of each hand (by Part()): where it was opened, and whether its first note has come.
    bool slurOpen_[4] = {}, slurStarted_[4] = {};
    int slurLine_[4] = {}, slurColumn_[4] = {};
    Event* lastEvent_[4] = {};
    int dynamicLine_[2] = {0, 0}, dynamicColumn_[2] = {0, 0};
    std::vector<PendingMeasure> hands_[2];
    std::vector<Head> pendingGraces_[2];  // written before the hand's next note
    int graceLine_[2] = {0, 0}, graceColumn_[2] = {0, 0};
    int pendingPedal_ = 0;  // kPedalDown .. kPedalChange, for the left hand's next note or rest
    bool pedalDown_ = false;  // as written, line by line
    int pedalLine_ = 0, pedalColumn_ = 0;
    // The words of the W: lines, a syllable per right-hand note; an empty
    // text holds the note before on (a melisma).
    struct Syllable {
        std::string text;
        bool hyphen;
        int line, column;
    };
    std::vector<Syllable> words_;
    int tripletGroup_ = -1;  // open group index, -1 when none
    size_t tripletOpenPos_ = 0;
    int tripletCount_ = 0;  // groups in the pending measure
    size_t tripletFirstEvent_ = 0;
    long events_ = 0;
};

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

}  // namespace

ParseResult ParseZyqn(const char* data, size_t size) {
    if (!data) size = 0;
    return Parser(data ? data : "", size).Run();
}

}  // namespace zyqn
