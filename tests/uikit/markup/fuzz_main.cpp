// The large fuzz run, by hand: uikit_fuzz.exe [inputs per target] [seed].
#include <cstdio>
#include <cstdlib>

#include "tests/uikit/markup/fuzz_targets.h"

int main(int argc, char** argv) {
    int n = argc > 1 ? atoi(argv[1]) : 300000;
    unsigned long long seed = argc > 2 ? strtoull(argv[2], nullptr, 10) : 20261208;
    auto show = [](const char* what, const uikit_test::FuzzReport& r) {
        printf("%-22s inputs %llu  accepted %llu  slowest %.3f ms\n", what, static_cast<unsigned long long>(r.inputs),
               static_cast<unsigned long long>(r.parsedOk), r.slowestUs / 1000.0);
        fflush(stdout);
    };
    show("markup", uikit_test::FuzzMarkup(seed, n));
    show("attribute values", uikit_test::FuzzAttributeValues(seed, n));
    show("zip reader", uikit_test::FuzzZip(seed, n));
    printf("no crash, no fault outside an input, no hang\n");
    return 0;
}
