#include "engine/page_cache.h"

#include <algorithm>

namespace zyqn {

namespace {
constexpr long long kMaxPixels = 4600000;  // about 18 MB: a page up to 225 %, or fit to a wide screen
}  // namespace

unsigned char HighlightChannel(unsigned char clean, unsigned char ink, unsigned char paper, unsigned char highlight) {
    if (paper <= ink) return clean;
    int inkShare = std::min(std::max(paper - clean, 0), paper - ink);  // of paper - ink
    return static_cast<unsigned char>(highlight - ((highlight - ink) * inkShare + (paper - ink) / 2) / (paper - ink));
}

void CPageCache::Clear() {
    clean_.Free();
    page_ = -1;
}

bool CPageCache::Prepare(SIZE size) {
    if (clean_.bitmap && size.cx == clean_.size.cx && size.cy == clean_.size.cy) return true;
    Clear();
    if (size.cx <= 0 || size.cy <= 0 || static_cast<long long>(size.cx) * size.cy > kMaxPixels) return false;
    return clean_.Make(size);
}

void CPageCache::Draw(HDC dc, const PageView& view, int page, unsigned scoreSerial, SIZE pageSize,
                      const RenderFn& render, const BoxFn& box) {
    if (!Prepare(pageSize)) {
        render(dc, view);
        return;
    }
    PageView at;  // the page alone, its corner at the bitmap's
    at.scale = view.scale;
    if (page != page_ || view.scale != scale_ || scoreSerial != serial_) {
        at.clip = RECT{0, 0, clean_.size.cx, clean_.size.cy};
        render(clean_.dc, at);
        GdiFlush();
        page_ = page, scale_ = view.scale, serial_ = scoreSerial;
    }
    RECT shown = {view.origin.x, view.origin.y, view.origin.x + clean_.size.cx, view.origin.y + clean_.size.cy};
    RECT clipBox;
    int clipKind = GetClipBox(dc, &clipBox);
    if (clipKind == NULLREGION) return;
    if (clipKind == ERROR) clipBox = shown;
    if (!IntersectRect(&shown, &shown, &view.clip) || !IntersectRect(&shown, &shown, &clipBox)) return;
    BitBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, clean_.dc,
           shown.left - view.origin.x, shown.top - view.origin.y, SRCCOPY);
    for (const EventRef& ref : view.highlight) {
        const Box* b = ref.Valid() ? box(ref) : nullptr;
        if (!b) continue;
        RECT device = DeviceRect(at, *b);
        OffsetRect(&device, view.origin.x, view.origin.y);
        if (IntersectRect(&device, &device, &shown)) DrawHighlight(dc, device, view.origin);
    }
}

// Tints the clean pixels under device (in dc's coordinates) through the
// kept tint canvas onto dc.
void CPageCache::DrawHighlight(HDC dc, const RECT& device, POINT origin) {
    int w = device.right - device.left, h = device.bottom - device.top;
    if ((w > tint_.size.cx || h > tint_.size.cy) &&
        !tint_.Make(SIZE{std::max<LONG>(w, tint_.size.cx), std::max<LONG>(h, tint_.size.cy)}))
        return;
    GdiFlush();  // the last copy out of the tint canvas is done before its pixels change
    auto channel = [](COLORREF c, int shift) { return static_cast<unsigned char>((c >> shift) & 0xFF); };
    for (int y = 0; y < h; ++y) {
        const unsigned char* in =
            clean_.bits + (static_cast<size_t>(device.top - origin.y + y) * clean_.size.cx + (device.left - origin.x)) * 4;
        unsigned char* out = tint_.bits + static_cast<size_t>(y) * tint_.size.cx * 4;
        for (int x = 0; x < w; ++x, in += 4, out += 4) {
            // DIB bytes are B, G, R; COLORREF holds R in its low byte.
            for (int c = 0; c < 3; ++c) {
                int shift = (2 - c) * 8;
                out[c] = HighlightChannel(in[c], channel(kInkColor, shift), channel(kPaperColor, shift),
                                          channel(kHighlightColor, shift));
            }
            out[3] = 0;
        }
    }
    BitBlt(dc, device.left, device.top, w, h, tint_.dc, 0, 0, SRCCOPY);
}

}  // namespace zyqn
