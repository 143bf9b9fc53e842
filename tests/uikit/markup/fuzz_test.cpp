// A moderate run of the parser fuzzer on every test run; the large run is
// the uikit_fuzz program (see fuzz_main.cpp). A crash, a read outside an
// input or a hang fails the test by ending the process.
#include <gtest/gtest.h>

#include "tests/uikit/markup/fuzz_targets.h"

namespace {

TEST(Fuzz, MarkupParser) {
    auto rep = uikit_test::FuzzMarkup(1, 40000);
    EXPECT_EQ(40000u, rep.inputs);
    EXPECT_GT(rep.parsedOk, 100u);  // the mutations stay close enough to reach deep code
    EXPECT_LT(rep.slowestUs, 2000000u);
}

TEST(Fuzz, AttributeListsImageDescriptionsAndValues) {
    auto rep = uikit_test::FuzzAttributeValues(2, 40000);
    EXPECT_GT(rep.parsedOk, 100u);
    EXPECT_LT(rep.slowestUs, 2000000u);
}

TEST(Fuzz, ZipReader) {
    auto rep = uikit_test::FuzzZip(3, 40000);
    EXPECT_GT(rep.parsedOk, 100u);
    EXPECT_LT(rep.slowestUs, 2000000u);
}

}  // namespace
