// The drop shadow's picture as a pure computation over a pixel buffer: the
// window drives it with the spans it reads from the parent's region.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace ShadowImage {

// Columns [start, end) of one row that lie in the shape; start >= end is empty.
struct Span {
    int start;
    int end;
};

struct Params {
    uint8_t darkness = 100;  // alpha of the darkest part
    uint8_t sharpness = 7;   // width of the blurred border
    int8_t size = 7;         // extent beyond the parent on each side (negative counts as 0)
    int8_t xOffset = 0;
    int8_t yOffset = 0;
    COLORREF colour = RGB(0, 0, 0);
};

// One span per row of a width x height shape, found by scanning each row from
// the left and then from the right down to the first hit. A row without any
// point gets [width, 0).
template <typename InShape>
std::vector<Span> ScanSpans(int width, int height, InShape inShape) {
    std::vector<Span> spans(height > 0 ? height : 0, Span{width, 0});
    for (int y = 0; y < height; ++y) {
        int first = 0;
        while (first < width && !inShape(first, y)) ++first;
        if (first == width) continue;
        int last = width - 1;
        while (last > first && !inShape(last, y)) --last;
        spans[y] = Span{first, last + 1};
    }
    return spans;
}

// Image size for a parent of width x height.
SIZE ImageSize(int width, int height, const Params& params);

// Draws the shadow of a width x height parent whose rows are parentSpans into
// pixels: ImageSize() 32-bit premultiplied BGRA pixels, bottom-up rows,
// cleared to zero by the caller.
void Draw(uint32_t* pixels, int width, int height, const std::vector<Span>& parentSpans, const Params& params);

// Alpha of the pixel at (x, y) counted from the top of an image drawn by Draw.
inline uint8_t AlphaAt(const uint32_t* pixels, SIZE image, int x, int y) {
    return static_cast<uint8_t>(pixels[static_cast<size_t>(image.cy - 1 - y) * image.cx + x] >> 24);
}

}  // namespace ShadowImage
