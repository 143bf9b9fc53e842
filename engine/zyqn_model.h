// The in-memory form of a "*.zyqn" score: what the parser produces and what
// the timeline, the layout and the renderer read. Plain data, no Windows.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace zyqn {

constexpr int kTicksPerQuarter = 480;
constexpr int kFormatVersion = 2;  // the newest version this engine reads
constexpr int kHandRight = 0;
constexpr int kHandLeft = 1;
constexpr int kVoices = 2;  // a hand's first voice and the second one written under it
constexpr int kHighlightSlots = 4;  // one highlighted note per voice of each hand: EventRef::Slot()

// Key index as the plug-in shows it: 0 = seven flats (Cb) .. 7 = C .. 14 = seven sharps (C#).
constexpr int kKeyC = 7;

struct Head {
    int degree = 1;      // 1..7
    int octave = 0;      // -3..3, marks below or above
    int accidental = 0;  // written sign: 0 none, 1 sharp, -1 flat, 2 natural
    int midi = 60;       // sounding pitch after key, octave and carried accidentals
    bool tie = false;    // held into the same pitch of the hand's next note
    bool tiedFrom = false;  // continues a tied note: no new attack
    int finger = 0;         // 1..5 as written for the player, 0 for none (format version 2)
};

constexpr int kMaxGraces = 4;  // small notes before one note
constexpr int kPedalDown = 1, kPedalUp = 2, kPedalChange = 3;  // lifted and pressed again

struct Event {
    int start = 0;     // ticks from the start of the measure
    int duration = 0;  // ticks played, dashes and triplet included
    int underlines = 0;  // 0..3: eighth, sixteenth, thirty-second (format version 2)
    int dots = 0;        // 0..2
    int dashes = 0;      // each adds a quarter
    int triplet = -1;    // index of the triplet group within the measure's hand, -1 for none
    int dynamic = 0;     // a dynamic written before it: kDynamicPP .. kDynamicFF, 0 for none
    int hairpin = 0;     // "cresc.", "dim." or "decresc." written before it: kCresc .. kDecresc, 0 for none
    int tempoWord = 0;   // "rit.", "rall." or "a tempo" written before it: kRit .. kATempo, 0 for none
    bool staccato = false;  // short: sounds half its length
    bool fermata = false;   // held twice its length, and the music waits
    bool slurStart = false, slurEnd = false, inSlur = false;  // a slur's first and last note, and all between
    std::vector<Head> heads;  // empty for a rest
    // Format version 2: grace notes played just before it, the syllable sung
    // on it (UTF-8; a hyphen follows when the word goes on), and the pedal at
    // its start (kPedalDown, kPedalUp or kPedalChange; 0 for none).
    std::vector<Head> graces;
    std::string lyric;
    bool lyricHyphen = false;
    int pedal = 0;
    int line = 0, column = 0;
    bool IsRest() const { return heads.empty(); }
    // Ticks of the written note without its dashes, triplet applied.
    int BaseDuration() const;
};

struct Measure {
    std::vector<Event> hands[2];   // each hand's first voice
    std::vector<Event> second[2];  // a hand's second voice, sounding with the first; empty in most measures
    const std::vector<Event>& Voice(int hand, int voice) const { return voice ? second[hand] : hands[hand]; }
    int length = 0;  // ticks; shorter than a full measure only for a pick-up or the last measure
    bool lineEnd = false;  // the last measure of a written music line: a good place to break
    bool breakAfter = false;  // the writer asked for a new system after this measure
    // Repeats and jumps, as written; Score::PlayOrder turns them into the order played.
    bool repeatStart = false, repeatEnd = false;
    int ending = 0;  // 1 or 2: the measure opens a first or second ending
    bool segno = false, fine = false;
    int jump = 0;  // after this measure: kJumpDaCapo or kJumpDalSegno
    bool pedalUpAtEnd = false;  // the pedal is lifted at the bar line
    // The key, meter and tempo in force, and whether the measure changes them.
    // The tempo counts the unit of the meter it was written under: a new
    // meter alone keeps the speed of the notes.
    int key = kKeyC, beats = 4, unit = 4, tempo = 100, tempoUnit = 4;
    bool keyChange = false, meterChange = false, tempoChange = false;
    int FullTicks() const { return beats * kTicksPerQuarter * 4 / unit; }
    double TicksPerMinute() const { return tempo * (kTicksPerQuarter * 4.0 / tempoUnit); }
    // "rit.", "rall." and "a tempo" written in the measure, in any hand or
    // voice, as (start, word) in time order; one written twice at a time counts once.
    std::vector<std::pair<int, int>> TempoWords() const;
};

constexpr int kJumpDaCapo = 1;
constexpr int kJumpDalSegno = 2;

struct Score {
    int version = kFormatVersion;
    std::string title, composer, arranger;  // UTF-8
    // The fields: the key, meter and tempo the piece opens with. Each measure
    // holds those in force where it stands.
    int key = kKeyC;
    int beats = 4, unit = 4;
    int tempo = 100;  // beats (of the meter's unit) per minute
    std::vector<Measure> measures;

    int FullMeasureTicks() const { return beats * kTicksPerQuarter * 4 / unit; }
    // A short first measure is a pick-up: it is numbered 0 and the next one 1.
    bool HasPickup() const { return measures.size() > 1 && measures[0].length < FullMeasureTicks(); }
    int FirstNumber() const { return HasPickup() ? 0 : 1; }
    // Measures a musician counts: the pick-up is not one of them.
    int NumberedCount() const { return static_cast<int>(measures.size()) - (HasPickup() ? 1 : 0); }
    // Written measure indices in the order they are played: a repeat once more,
    // its first ending skipped the second time; after D.C. or D.S. no repeats,
    // the last ending, and an end at Fine.
    std::vector<int> PlayOrder() const;
};

// Dynamics from pianissimo to fortissimo, and the velocity each is played at.
constexpr int kDynamicPP = 1, kDynamicFF = 6;
const char* DynamicName(int dynamic);  // "pp" .. "ff", empty for none
int DynamicFromName(const std::string& name);  // 0 when unknown
int DynamicVelocity(int dynamic);  // mezzo-forte's 80 for none

// Words that change the loudness or the speed gradually.
constexpr int kCresc = 1, kDim = 2, kDecresc = 3;
constexpr int kRit = 1, kRall = 2, kATempo = 3;
const char* HairpinName(int hairpin);      // "cresc.", "dim.", "decresc.", empty for none
int HairpinDirection(int hairpin);         // +1 louder, -1 softer, 0 for none
const char* TempoWordName(int word);       // "rit.", "rall.", "a tempo", empty for none

// Where a note or rest lives: measure index (0-based), hand, index in the
// hand's voice, and the voice (0 first, 1 second).
struct EventRef {
    int measure = -1, hand = 0, index = 0, voice = 0;
    bool Valid() const { return measure >= 0; }
    // Each hand's voices are highlighted apart: slots 0 and 1 the hands' first voices, 2 and 3 their second.
    int Slot() const { return hand + 2 * voice; }
    bool operator==(const EventRef& o) const {
        return measure == o.measure && hand == o.hand && index == o.index && voice == o.voice;
    }
    bool operator!=(const EventRef& o) const { return !(*this == o); }
};

// Key names in index order, and the semitone of each key's tonic above C.
const char* KeyName(int key);
int KeyTonicSemitone(int key);
int KeyFromName(const std::string& name);  // -1 when unknown

}  // namespace zyqn
