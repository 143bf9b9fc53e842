#include "frame/wnd_shadow_image.h"

#include <algorithm>
#include <cmath>

namespace ShadowImage {
namespace {

uint32_t Premultiplied(COLORREF colour, unsigned alpha) {
    return alpha << 24 | (GetRValue(colour) * alpha / 255) << 16 | (GetGValue(colour) * alpha / 255) << 8 |
           (GetBValue(colour) * alpha / 255);
}

int ClampedSize(const Params& p) { return p.size > 0 ? p.size : 0; }

// A (2K+1) square of premultiplied pixels falling off with the distance to
// its centre: full darkness inside the inner radius, linear down to the rim.
std::vector<uint32_t> MakeKernel(int k, int innerRadius, const Params& p) {
    const int side = 2 * k + 1;
    std::vector<uint32_t> kernel(static_cast<size_t>(side) * side, 0);
    for (int i = 0; i < side; ++i) {
        for (int j = 0; j < side; ++j) {
            double d = std::sqrt(static_cast<double>((i - k) * (i - k) + (j - k) * (j - k)));
            unsigned alpha = 0;
            if (d < innerRadius)
                alpha = p.darkness;
            else if (d <= k)
                alpha = static_cast<unsigned>((1.0 - (d - innerRadius) / (p.sharpness + 1)) * p.darkness);
            kernel[static_cast<size_t>(i) * side + j] = Premultiplied(p.colour, alpha);
        }
    }
    return kernel;
}

// Writes through a top-down view of the bottom-up buffer, clipped to it.
class Canvas {
public:
    Canvas(uint32_t* pixels, int width, int height) : pixels_(pixels), width_(width), height_(height) {}
    uint32_t* Row(int i) const { return pixels_ + static_cast<size_t>(height_ - 1 - i) * width_; }

    void Fill(int i, int from, int to, uint32_t value) const {
        from = std::max(from, 0);
        to = std::min(to, width_);
        if (i < 0 || i >= height_ || from >= to) return;
        std::fill(Row(i) + from, Row(i) + to, value);
    }

    void Stamp(const std::vector<uint32_t>& kernel, int k, int cx, int cy) const {
        const int side = 2 * k + 1;
        for (int ki = 0; ki < side; ++ki) {
            int i = cy - k + ki;
            if (i < 0 || i >= height_) continue;
            uint32_t* row = Row(i);
            const uint32_t* krow = &kernel[static_cast<size_t>(ki) * side];
            int from = std::max(0, k - cx), to = std::min(side, width_ - cx + k);
            for (int kj = from; kj < to; ++kj) {
                uint32_t& px = row[cx - k + kj];
                if (krow[kj] > px) px = krow[kj];
            }
        }
    }

private:
    uint32_t* pixels_;
    int width_;
    int height_;
};

}  // namespace

SIZE ImageSize(int width, int height, const Params& params) {
    int s = ClampedSize(params);
    return SIZE{width + 2 * s, height + 2 * s};
}

void Draw(uint32_t* pixels, int width, int height, const std::vector<Span>& parentSpans, const Params& p) {
    if (!pixels || width < 0 || height < 0) return;
    const int s = ClampedSize(p), sharp = p.sharpness;
    const SIZE image = ImageSize(width, height, p);
    const int ws = image.cx, hs = image.cy;
    const Span empty{width, 0};

    // Table row r is shadow row r - 1: one guard row at each end, S empty rows
    // above and below the parent's rows, which move right by S.
    std::vector<Span> rows(static_cast<size_t>(hs) + 2, empty);
    for (int y = 0; y < height; ++y) {
        Span sp = y < static_cast<int>(parentSpans.size()) ? parentSpans[y] : empty;
        rows[static_cast<size_t>(y + s + 1)] = Span{sp.start + s, sp.end + s};
    }

    // Narrow every row by one pixel per pass against its neighbours, so the
    // silhouette shrinks before the kernel widens it again.
    std::vector<Span> prev;
    for (int pass = 0; pass < sharp - s; ++pass) {
        prev = rows;
        for (int r = 1; r <= hs; ++r) {
            rows[r].start = std::max({prev[r - 1].start, prev[r].start, prev[r + 1].start}) + 1;
            rows[r].end = std::min({prev[r - 1].end, prev[r].end, prev[r + 1].end}) - 1;
        }
    }

    const int k = std::max(s, sharp);
    const int inner = s > sharp ? s - sharp : 0;
    const std::vector<uint32_t> kernel = MakeKernel(k, inner, p);
    const Canvas canvas(pixels, ws, hs);

    // Blur only the border pixels: those not covered by the rows above and below.
    for (int i = k; i < hs - k; ++i) {
        const Span& above = rows[i];
        const Span& row = rows[i + 1];
        const Span& below = rows[i + 2];
        if (row.start >= row.end) continue;
        int j = row.start;
        for (int stop = std::min(std::max(above.start, below.start) + 1, row.end); j < stop; ++j)
            canvas.Stamp(kernel, k, j, i);
        for (j = std::max(j, std::min(above.end, below.end) - 1); j < row.end; ++j) canvas.Stamp(kernel, k, j, i);
    }

    // Fill the solid inside of the silhouette, leaving the parent's own shape clear.
    const uint32_t centre = Premultiplied(p.colour, p.darkness);
    const int firstRow = std::min(k, std::max(s - p.yOffset, 0));
    const int endRow = std::max(hs - k, std::min(height + s - p.yOffset, hs));
    for (int i = firstRow; i < endRow; ++i) {
        const Span& row = rows[i + 1];
        int y = i - s + p.yOffset;
        if (y < 0 || y >= height) {
            canvas.Fill(i, row.start, row.end, centre);
            continue;
        }
        Span sp = y < static_cast<int>(parentSpans.size()) ? parentSpans[y] : empty;
        int a = sp.start + s - p.xOffset, b = sp.end + s - p.xOffset;
        canvas.Fill(i, row.start, std::min(a, row.end), centre);
        canvas.Fill(i, std::max(a, 0), std::min(b, ws), 0);
        canvas.Fill(i, std::max(b, row.start), row.end, centre);
    }
}

}  // namespace ShadowImage
