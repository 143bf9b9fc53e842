#include "engine/zyqn_model.h"

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

const char* KeyName(int key) { return key >= 0 && key < 15 ? kKeys[key].name : "C"; }

int KeyTonicSemitone(int key) { return key >= 0 && key < 15 ? kKeys[key].tonic : 0; }

int KeyFromName(const std::string& name) {
    for (int k = 0; k < 15; ++k)
        if (name == kKeys[k].name) return k;
    return -1;
}

}  // namespace zyqn
