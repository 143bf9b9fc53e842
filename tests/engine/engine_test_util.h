// Helpers shared by the engine's tests.
#pragma once
#include <string>

#include "engine/player.h"

namespace engine_test {

class FakeClock : public zyqn::IClock {
public:
    double now = 1000;  // any start: the player only looks at differences
    double NowMs() override { return now; }
};

// A short two-hand score in 4/4 at 120 (a quarter is 500 ms).
inline std::string TwoHandScore() {
    return "zyqn 1\ntitle: Test\nkey: C\nmeter: 4/4\ntempo: 120\n"
           "R: 1 2 3 4 | 5 - 5 - | [1' 3'] - - - |\n"
           "L: 1, - - - | 5,, - - - | 1, - - - |\n";
}

// n measures of quarter notes in both hands.
inline std::string LongScore(int measures) {
    std::string r = "zyqn 1\ntitle: Long\ntempo: 120\n", l;
    for (int m = 0; m < measures; ++m) {
        r += m % 4 == 0 ? "\nR: 1 2 3 4 |" : " 5 6 7 1' |";
        l += m % 4 == 0 ? "\nL: 1, 5, 3, 5, |" : " [1, 5,] - - - |";
        if (m % 4 == 3 || m + 1 == measures) {
            r += l;
            l.clear();
        }
    }
    return r + "\n";
}

}  // namespace engine_test
