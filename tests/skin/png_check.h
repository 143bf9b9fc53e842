// Checks a PNG file completely: signature, chunk CRCs, header, and that the
// pixel data inflates to exactly the size the header promises.
#pragma once
#include <string>

namespace skin_test {

struct PngInfo {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    bool hasAlpha = false;
};

PngInfo CheckPng(const std::string& bytes);

}  // namespace skin_test
