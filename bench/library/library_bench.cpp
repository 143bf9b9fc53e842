// Enumerating a library of 20 folders with 50 scores each, as the panel does
// every time the player window opens. Prints the time of a cold first pass
// (just after the files were written) and the median of the following ones.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "library/library_paths.h"
#include "library/library_storage.h"
#include "tests/support/test_support.h"

namespace {
double Seconds(LARGE_INTEGER a, LARGE_INTEGER b) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return double(b.QuadPart - a.QuadPart) / double(f.QuadPart);
}
}  // namespace

int main() {
    const int kFolders = 20, kScores = 50, kRuns = 15;
    testing_support::TempDir plugin;
    CScoreLibrary lib(LibraryRootOf(plugin.Path()));
    lib.Enumerate();  // creates the root
    for (int f = 0; f < kFolders; ++f) {
        wchar_t folder[32];
        wsprintfW(folder, L"Folder %02d", f);
        lib.CreateFolder(folder);
        for (int s = 0; s < kScores; ++s) {
            wchar_t score[32];
            wsprintfW(score, L"Score %02d", s);
            testing_support::WriteFileBytes(lib.ScorePath(folder, score), std::string(2048, 's'));
        }
        // Ignored entries that the enumeration has to step over.
        testing_support::WriteFileBytes(lib.FolderPath(folder) + L"notes.txt", "n");
    }

    std::vector<double> times;
    size_t count = 0;
    for (int run = 0; run < kRuns; ++run) {
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        count = lib.Enumerate().size();
        QueryPerformanceCounter(&b);
        times.push_back(Seconds(a, b) * 1000.0);
    }
    const double first = times.front();
    std::vector<double> rest(times.begin() + 1, times.end());
    std::sort(rest.begin(), rest.end());
    std::printf("library enumeration: %d folders x %d scores -> %u paths\n", kFolders, kScores,
                static_cast<unsigned>(count));
    std::printf("  first pass %.1f ms, median of %d further passes %.1f ms, slowest %.1f ms\n", first,
                static_cast<int>(rest.size()), rest[rest.size() / 2], rest.back());
    return count == size_t(kFolders * (kScores + 1)) ? 0 : 1;
}
