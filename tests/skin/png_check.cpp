#include "tests/skin/png_check.h"

#include <zlib.h>

#include <cstdint>

#include "tests/skin/skin_zip.h"

namespace skin_test {
namespace {

uint32_t Be(const std::string& b, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(b[at + i]);
    return v;
}

}  // namespace

PngInfo CheckPng(const std::string& b) {
    PngInfo info;
    auto fail = [&](const char* why) {
        info.ok = false;
        info.error = why;
        return info;
    };
    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    if (b.size() < 8 || b.compare(0, 8, kSignature, 8) != 0) return fail("no PNG signature");
    size_t at = 8;
    int colourType = -1, depth = 0, interlace = 0;
    std::string idat;
    bool ended = false;
    while (!ended) {
        if (at + 12 > b.size()) return fail("truncated chunk");
        const uint32_t len = Be(b, at);
        if (len > b.size() || at + 12 + len > b.size()) return fail("chunk runs past the end");
        const std::string type = b.substr(at + 4, 4);
        const uint32_t crc = crc32(0, reinterpret_cast<const Bytef*>(b.data() + at + 4), len + 4);
        if (crc != Be(b, at + 8 + len)) return fail("chunk CRC mismatch");
        if (type == "IHDR") {
            if (len != 13 || at != 8) return fail("bad IHDR");
            info.width = static_cast<int>(Be(b, at + 8));
            info.height = static_cast<int>(Be(b, at + 12));
            depth = static_cast<unsigned char>(b[at + 16]);
            colourType = static_cast<unsigned char>(b[at + 17]);
            interlace = static_cast<unsigned char>(b[at + 20]);
        } else if (type == "IDAT") {
            idat += b.substr(at + 8, len);
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + len;
    }
    if (colourType < 0 || info.width <= 0 || info.height <= 0) return fail("no image header");
    if (interlace != 0) return fail("interlaced images are not expected");
    int channels = 0;
    switch (colourType) {
    case 0: channels = 1; break;
    case 2: channels = 3; break;
    case 3: channels = 1; break;
    case 4: channels = 2; break;
    case 6: channels = 4; break;
    default: return fail("unknown colour type");
    }
    info.hasAlpha = colourType == 4 || colourType == 6 || b.find("tRNS") != std::string::npos;
    const size_t rowBytes = (static_cast<size_t>(info.width) * channels * depth + 7) / 8;
    std::string pixels;
    if (!InflateZlib(idat, pixels)) return fail("pixel data does not inflate");
    if (pixels.size() != (rowBytes + 1) * info.height) return fail("pixel data has the wrong size");
    for (int y = 0; y < info.height; ++y)
        if (static_cast<unsigned char>(pixels[y * (rowBytes + 1)]) > 4) return fail("bad row filter");
    info.ok = true;
    return info;
}

}  // namespace skin_test
