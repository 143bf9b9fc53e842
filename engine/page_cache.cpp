#include "engine/page_cache.h"

#include <algorithm>

#include "abi/dib_section.h"

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
    if (dc_) {
        SelectObject(dc_, oldBitmap_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    bits_ = nullptr;
    size_ = SIZE{0, 0};
    page_ = -1;
}

bool CPageCache::Prepare(SIZE size) {
    if (bitmap_ && size.cx == size_.cx && size.cy == size_.cy) return true;
    Clear();
    if (size.cx <= 0 || size.cy <= 0 || static_cast<long long>(size.cx) * size.cy > kMaxPixels) return false;
    void* bits = nullptr;
    bitmap_ = CreateDib32(nullptr, size.cx, size.cy, &bits);
    dc_ = bitmap_ ? CreateCompatibleDC(nullptr) : nullptr;
    if (!dc_) {
        Clear();
        return false;
    }
    oldBitmap_ = SelectObject(dc_, bitmap_);
    bits_ = static_cast<const unsigned char*>(bits);
    size_ = size;
    return true;
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
        at.clip = RECT{0, 0, size_.cx, size_.cy};
        render(dc_, at);
        GdiFlush();
        page_ = page, scale_ = view.scale, serial_ = scoreSerial;
    }
    RECT shown = {view.origin.x, view.origin.y, view.origin.x + size_.cx, view.origin.y + size_.cy};
    RECT clipBox;
    int clipKind = GetClipBox(dc, &clipBox);
    if (clipKind == NULLREGION) return;
    if (clipKind == ERROR) clipBox = shown;
    if (!IntersectRect(&shown, &shown, &view.clip) || !IntersectRect(&shown, &shown, &clipBox)) return;
    BitBlt(dc, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top, dc_,
           shown.left - view.origin.x, shown.top - view.origin.y, SRCCOPY);
    for (const EventRef& ref : view.highlight) {
        const Box* b = ref.Valid() ? box(ref) : nullptr;
        if (!b) continue;
        RECT device = DeviceRect(at, *b);
        OffsetRect(&device, view.origin.x, view.origin.y);
        if (IntersectRect(&device, &device, &shown)) DrawHighlight(dc, device, view.origin);
    }
}

void CPageCache::ClearTint() {
    if (tintDC_) {
        SelectObject(tintDC_, oldTint_);
        DeleteDC(tintDC_);
    }
    if (tint_) DeleteObject(tint_);
    tintDC_ = nullptr;
    tint_ = nullptr;
    tintBits_ = nullptr;
    tintSize_ = SIZE{0, 0};
}

bool CPageCache::PrepareTint(int w, int h) {
    if (tint_ && w <= tintSize_.cx && h <= tintSize_.cy) return true;
    SIZE size{std::max<LONG>(w, tintSize_.cx), std::max<LONG>(h, tintSize_.cy)};
    ClearTint();
    void* bits = nullptr;
    tint_ = CreateDib32(nullptr, size.cx, size.cy, &bits);
    tintDC_ = tint_ ? CreateCompatibleDC(nullptr) : nullptr;
    if (!tintDC_) {
        ClearTint();
        return false;
    }
    oldTint_ = SelectObject(tintDC_, tint_);
    tintBits_ = static_cast<unsigned char*>(bits);
    tintSize_ = size;
    return true;
}

// Tints the clean pixels under device (in dc's coordinates) through the
// kept tint bitmap onto dc.
void CPageCache::DrawHighlight(HDC dc, const RECT& device, POINT origin) {
    int w = device.right - device.left, h = device.bottom - device.top;
    if (!PrepareTint(w, h)) return;
    GdiFlush();  // the last copy out of the tint bitmap is done before its pixels change
    auto channel = [](COLORREF c, int shift) { return static_cast<unsigned char>((c >> shift) & 0xFF); };
    for (int y = 0; y < h; ++y) {
        const unsigned char* in = bits_ + (static_cast<size_t>(device.top - origin.y + y) * size_.cx +
                                           (device.left - origin.x)) * 4;
        unsigned char* out = tintBits_ + static_cast<size_t>(y) * tintSize_.cx * 4;
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
    BitBlt(dc, device.left, device.top, w, h, tintDC_, 0, 0, SRCCOPY);
}

}  // namespace zyqn
