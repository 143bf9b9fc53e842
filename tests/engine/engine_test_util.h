// Helpers shared by the engine's tests.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "engine/playback.h"
#include "engine/score_file.h"
#include "tests/support/test_support.h"

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

// Every sample score of the library beside the tests, named by its path under "music".
struct Sample {
    std::string name;
    zyqn::Score score;
};

inline std::vector<Sample> LoadSamples() {
    std::vector<Sample> out;
    const std::wstring root = testing_support::BinFolder() + L"music\\";
    WIN32_FIND_DATAW folder;
    HANDLE h = FindFirstFileW((root + L"*").c_str(), &folder);
    if (h == INVALID_HANDLE_VALUE) return out;
    do {
        if (!(folder.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || folder.cFileName[0] == L'.') continue;
        WIN32_FIND_DATAW file;
        std::wstring dir = root + folder.cFileName + L"\\";
        HANDLE g = FindFirstFileW((dir + L"*.zyqn").c_str(), &file);
        if (g == INVALID_HANDLE_VALUE) continue;
        do {
            zyqn::ParseResult parsed;
            if (zyqn::LoadZyqnFile((dir + file.cFileName).c_str(), &parsed) != 0) continue;
            std::wstring name = std::wstring(folder.cFileName) + L"/" + file.cFileName;
            char utf8[MAX_PATH * 3];
            WideCharToMultiByte(CP_UTF8, 0, name.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
            out.push_back(Sample{utf8, std::move(parsed.score)});
        } while (FindNextFileW(g, &file));
        FindClose(g);
    } while (FindNextFileW(h, &folder));
    FindClose(h);
    return out;
}

inline const Sample* FindSample(const std::vector<Sample>& samples, const std::string& name) {
    for (const Sample& s : samples)
        if (s.name == name) return &s;
    return nullptr;
}

}  // namespace engine_test
