// The parser's state and the helpers its parts share. Internal to the
// engine: callers use ParseZyqn in engine/zyqn_parser.h. The reading of lines,
// fields and notes, the marks around them, and the fixing of durations,
// pitches and ties once the whole piece is read live in three files.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "engine/zyqn_parser.h"

namespace zyqn {
namespace parsing {

constexpr int kMajorScale[7] = {0, 2, 4, 5, 7, 9, 11};

struct ParseError {
    ParseStatus status;
    int line, column;
    std::string message;
};

std::string Format(const char* fmt, int a, int b = 0);
inline bool IsSpace(char c) { return c == ' ' || c == '\t'; }
// Length in bytes of the valid UTF-8 sequence at p, or 0 when it is not one.
size_t Utf8Length(const unsigned char* p, const unsigned char* end);
// Key, meter and tempo values, as the fields and the change marks write them.
extern const char kBadKey[], kBadMeter[], kBadTempo[];
int ReadKey(const std::string& value);
bool ReadMeter(const std::string& value, int& beats, int& unit);
bool ReadTempo(const std::string& value, int& bpm);

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

}  // namespace parsing
}  // namespace zyqn
