#include "engine/zyqn_model.h"

#include <algorithm>

namespace zyqn {

namespace {
struct KeyInfo {
    const char* name;
    int tonic;  // semitones above C of the tonic in the middle octave (Cb sits just below C)
};
const KeyInfo kKeys[15] = {{"Cb", -1}, {"Gb", 6}, {"Db", 1}, {"Ab", 8}, {"Eb", 3}, {"Bb", 10}, {"F", 5}, {"C", 0},
                           {"G", 7},   {"D", 2},  {"A", 9},  {"E", 4},  {"B", 11}, {"F#", 6}, {"C#", 1}};
}  // namespace

int Event::BaseDuration() const {
    int base = kTicksPerQuarter >> underlines;
    int written = base;
    for (int d = 1; d <= dots; ++d) written += base >> d;
    return triplet >= 0 ? written * 2 / 3 : written;
}

std::vector<std::pair<int, int>> Measure::TempoWords() const {
    std::vector<std::pair<int, int>> words;
    for (int hand = 0; hand < 2; ++hand)
        for (int voice = 0; voice < kVoices; ++voice)
            for (const Event& ev : Voice(hand, voice))
                if (ev.tempoWord) words.push_back({ev.start, ev.tempoWord});
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    return words;
}

std::vector<int> Score::PlayOrder() const {
    const int n = static_cast<int>(measures.size());
    std::vector<int> order;
    std::vector<bool> repeated(n, false);
    int from = 0, skipThrough = -1, segnoAt = 0;
    bool jumped = false;
    for (int i = 0; i < n; ++i)
        if (measures[i].segno) segnoAt = i;
    // Each measure is played at most three times (two passes and a da capo), so this ends.
    for (int i = 0; i < n && static_cast<int>(order.size()) <= 3 * n;) {
        const Measure& m = measures[i];
        if (m.repeatStart) from = i;
        if (m.ending == 1 && (i <= skipThrough || jumped)) {
            // The first ending is over: go on after the repeat sign that closes it.
            int end = i;
            while (end < n - 1 && !measures[end].repeatEnd) ++end;
            i = end + 1;
            skipThrough = -1;
            continue;
        }
        order.push_back(i);
        if (jumped && m.fine) break;
        if (m.repeatEnd && !jumped && !repeated[i]) {
            repeated[i] = true;
            skipThrough = i;
            i = from;
            continue;
        }
        if (m.repeatEnd) from = i + 1;
        if (m.jump && !jumped) {
            jumped = true;
            i = m.jump == kJumpDaCapo ? 0 : segnoAt;
            continue;
        }
        ++i;
    }
    return order;
}

namespace {
const char* const kDynamics[] = {"", "pp", "p", "mp", "mf", "f", "ff"};
const int kVelocities[] = {80, 36, 50, 64, 80, 96, 112};
}  // namespace

const char* DynamicName(int dynamic) { return dynamic >= 0 && dynamic <= kDynamicFF ? kDynamics[dynamic] : ""; }

int DynamicFromName(const std::string& name) {
    for (int d = kDynamicPP; d <= kDynamicFF; ++d)
        if (name == kDynamics[d]) return d;
    return 0;
}

int DynamicVelocity(int dynamic) { return dynamic >= 0 && dynamic <= kDynamicFF ? kVelocities[dynamic] : 80; }

namespace {
const char* const kHairpins[] = {"", "cresc.", "dim.", "decresc."};
const char* const kTempoWords[] = {"", "rit.", "rall.", "a tempo"};
}  // namespace

const char* HairpinName(int hairpin) { return hairpin >= kCresc && hairpin <= kDecresc ? kHairpins[hairpin] : ""; }
int HairpinDirection(int hairpin) { return hairpin == kCresc ? 1 : hairpin == kDim || hairpin == kDecresc ? -1 : 0; }
const char* TempoWordName(int word) { return word >= kRit && word <= kATempo ? kTempoWords[word] : ""; }

const char* KeyName(int key) { return key >= 0 && key < 15 ? kKeys[key].name : "C"; }

int KeyTonicSemitone(int key) { return key >= 0 && key < 15 ? kKeys[key].tonic : 0; }

int KeyFromName(const std::string& name) {
    for (int k = 0; k < 15; ++k)
        if (name == kKeys[k].name) return k;
    return -1;
}

}  // namespace zyqn
