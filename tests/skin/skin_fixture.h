// The built plug-in opened as a data file, with its skin package unpacked
// once for all the tests of a suite.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/skin/markup_scan.h"
#include "tests/skin/skin_zip.h"

namespace skin_test {

// Resource bytes of the plug-in, or an empty string when missing.
std::string ResourceBytes(HMODULE module, LPCWSTR type, int id);

class SkinPackageTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static HMODULE dll_;
    static ZipContents zip_;
    static std::map<std::string, MarkupDoc> markup_;  // file name -> scanned markup

    // Entry lookup without regard to letter case, as the package is read.
    static const std::string* Entry(const std::string& name);
};

extern const char* const kMarkupFiles[6];

}  // namespace skin_test
