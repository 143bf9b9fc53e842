// A deterministic mutation fuzzer for the toolkit's parsers: the markup
// parser, attribute lists, image descriptions, value parsers and the ZIP
// reader. Inputs that the code reads in place sit at the very end (and, in
// a second pass, the very start) of a page next to an inaccessible one, so a
// read outside them faults at once.
#pragma once
#include <cstdint>
#include <string>

namespace uikit_test {

struct FuzzReport {
    uint64_t inputs = 0;
    uint64_t parsedOk = 0;   // inputs a parser accepted (shows the mutations stay near valid input)
    uint64_t slowestUs = 0;  // the slowest single input
};

// Runs `iterations` inputs for each target from a fixed seed.
FuzzReport FuzzMarkup(uint64_t seed, int iterations);
FuzzReport FuzzAttributeValues(uint64_t seed, int iterations);
FuzzReport FuzzZip(uint64_t seed, int iterations);

}  // namespace uikit_test
