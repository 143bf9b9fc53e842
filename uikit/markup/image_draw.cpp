#include "uikit/markup/image_draw.h"

#include "abi/dib_section.h"
#include "uikit/markup/image_cache.h"

#include <algorithm>
#include <vector>

namespace UiKit {
namespace {

using AlphaBlendFn = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

bool g_forceSoftware = false;

AlphaBlendFn SystemAlphaBlend() {
    static AlphaBlendFn fn = [] {
        HMODULE lib = LoadLibraryW(L"msimg32.dll");
        return lib ? reinterpret_cast<AlphaBlendFn>(reinterpret_cast<void*>(GetProcAddress(lib, "AlphaBlend")))
                   : nullptr;
    }();
    return g_forceSoftware ? nullptr : fn;
}

int W(const RECT& r) { return r.right - r.left; }
int H(const RECT& r) { return r.bottom - r.top; }

// Blends a premultiplied source part over the destination pixels, scaling
// by nearest neighbour. Reads and writes the DC through a 32-bit DIB, so it
// works on any DC and keeps its clipping.
void SoftwareBlendPart(HDC hdc, const RECT& d, const UIImageInfo& image, const RECT& s, BYTE fade) {
    int dw = W(d), dh = H(d), sw = W(s), sh = H(s);
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0 || !image.bits) return;
    void* bits = nullptr;
    HBITMAP temp = CreateDib32(hdc, dw, dh, &bits);
    if (!temp) return;
    HDC mem = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(mem, temp);
    BitBlt(mem, 0, 0, dw, dh, hdc, d.left, d.top, SRCCOPY);
    GdiFlush();
    unsigned char* dst = static_cast<unsigned char*>(bits);
    for (int y = 0; y < dh; ++y) {
        int sy = s.top + static_cast<int>(static_cast<long long>(y) * sh / dh);
        const unsigned char* row = image.bits + static_cast<size_t>(sy) * image.width * 4;
        for (int x = 0; x < dw; ++x, dst += 4) {
            int sx = s.left + static_cast<int>(static_cast<long long>(x) * sw / dw);
            const unsigned char* p = row + static_cast<size_t>(sx) * 4;
            unsigned sa = image.alpha ? p[3] : 255u;
            unsigned a = sa * fade / 255;
            for (int c = 0; c < 3; ++c) dst[c] = static_cast<unsigned char>((p[c] * fade + dst[c] * (255 - a)) / 255);
            dst[3] = static_cast<unsigned char>(a + dst[3] * (255 - a) / 255);
        }
    }
    BitBlt(hdc, d.left, d.top, dw, dh, mem, 0, 0, SRCCOPY);
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(temp);
}

}  // namespace

void BlendImagePart(HDC hdc, const RECT& d, HDC src, const UIImageInfo& image, const RECT& s, BYTE fade) {
    if (AlphaBlendFn fn = SystemAlphaBlend()) {
        BLENDFUNCTION bf = {AC_SRC_OVER, 0, fade, static_cast<BYTE>(image.alpha ? AC_SRC_ALPHA : 0)};
        fn(hdc, d.left, d.top, W(d), H(d), src, s.left, s.top, W(s), H(s), bf);
    } else {
        SoftwareBlendPart(hdc, d, image, s, fade);
    }
}

namespace {

class PartDrawer {
public:
    PartDrawer(HDC hdc, const UIImageInfo& image, BYTE fade)
        : hdc_(hdc), image_(image), fade_(fade), source_(image), mem_(source_.Get()) {
        blend_ = image.alpha || fade < 255;
    }
    void Draw(const RECT& d, const RECT& s) {
        if (W(d) <= 0 || H(d) <= 0 || W(s) <= 0 || H(s) <= 0) return;
        if (blend_) {
            BlendImagePart(hdc_, d, mem_, image_, s, fade_);
        } else if (W(d) == W(s) && H(d) == H(s)) {
            BitBlt(hdc_, d.left, d.top, W(d), H(d), mem_, s.left, s.top, SRCCOPY);
        } else {
            int oldMode = SetStretchBltMode(hdc_, HALFTONE);
            POINT org;
            SetBrushOrgEx(hdc_, 0, 0, &org);
            StretchBlt(hdc_, d.left, d.top, W(d), H(d), mem_, s.left, s.top, W(s), H(s), SRCCOPY);
            SetBrushOrgEx(hdc_, org.x, org.y, nullptr);
            SetStretchBltMode(hdc_, oldMode);
        }
    }

private:
    HDC hdc_;
    const UIImageInfo& image_;
    BYTE fade_;
    ImageSourceDC source_;
    HDC mem_;
    bool blend_;
};

// A description may ask for tiles of one pixel over a huge destination; past
// this many tiles within the clip the middle is stretched instead.
const long long kMaxTiles = 4096;

// The middle cell: stretched, or tiled along the chosen axes with each tile
// cut at the destination's edge. Only the tiles that meet the visible part
// are drawn, so a paint costs what the clip shows, not what the
// destination claims.
void DrawMiddle(PartDrawer& draw, const RECT& d, const RECT& s, const RECT& visible, bool xtiled, bool ytiled) {
    if (!xtiled && !ytiled) {
        draw.Draw(d, s);
        return;
    }
    int tileW = xtiled ? W(s) : W(d);
    int tileH = ytiled ? H(s) : H(d);
    if (tileW <= 0 || tileH <= 0) return;
    RECT area;
    if (!IntersectRect(&area, &d, &visible)) return;
    // The first tile that reaches into the visible part, on the tile grid of d.
    long long x0 = d.left + (static_cast<long long>(area.left) - d.left) / tileW * tileW;
    long long y0 = d.top + (static_cast<long long>(area.top) - d.top) / tileH * tileH;
    long long across = (area.right - x0 + tileW - 1) / tileW;
    long long down = (area.bottom - y0 + tileH - 1) / tileH;
    if (across * down > kMaxTiles) {
        draw.Draw(d, s);
        return;
    }
    for (long long y = y0; y < area.bottom; y += tileH) {
        int h = static_cast<int>(std::min<long long>(tileH, d.bottom - y));
        for (long long x = x0; x < area.right; x += tileW) {
            int w = static_cast<int>(std::min<long long>(tileW, d.right - x));
            RECT dt = {static_cast<LONG>(x), static_cast<LONG>(y), static_cast<LONG>(x + w), static_cast<LONG>(y + h)};
            RECT st = s;
            if (xtiled) st.right = s.left + w;
            if (ytiled) st.bottom = s.top + h;
            draw.Draw(dt, st);
        }
    }
}

}  // namespace

void SetSoftwareBlendForced(bool forced) { g_forceSoftware = forced; }

void DrawImagePart(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& p) {
    if (!image.bitmap) return;
    if (!DrawCachedImagePart(hdc, image, clip, p, &DrawImagePartUncached)) DrawImagePartUncached(hdc, image, clip, p);
}

void DrawImagePartUncached(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& p) {
    if (!image.bitmap) return;
    RECT visible;
    if (!IntersectRect(&visible, &clip, &p.dest)) return;
    int saved = SaveDC(hdc);
    IntersectClipRect(hdc, clip.left, clip.top, clip.right, clip.bottom);
    PartDrawer draw(hdc, image, p.fade);
    const RECT& d = p.dest;
    const RECT& s = p.source;
    const RECT& c = p.corner;
    RECT dm = {d.left + c.left, d.top + c.top, d.right - c.right, d.bottom - c.bottom};
    RECT sm = {s.left + c.left, s.top + c.top, s.right - c.right, s.bottom - c.bottom};
    if (!p.hole) DrawMiddle(draw, dm, sm, visible, p.xtiled, p.ytiled);
    if (c.left || c.top || c.right || c.bottom) {
        // Corners at their own size.
        draw.Draw({d.left, d.top, dm.left, dm.top}, {s.left, s.top, sm.left, sm.top});
        draw.Draw({dm.right, d.top, d.right, dm.top}, {sm.right, s.top, s.right, sm.top});
        draw.Draw({d.left, dm.bottom, dm.left, d.bottom}, {s.left, sm.bottom, sm.left, s.bottom});
        draw.Draw({dm.right, dm.bottom, d.right, d.bottom}, {sm.right, sm.bottom, s.right, s.bottom});
        // Edges stretched along one axis.
        draw.Draw({dm.left, d.top, dm.right, dm.top}, {sm.left, s.top, sm.right, sm.top});
        draw.Draw({dm.left, dm.bottom, dm.right, d.bottom}, {sm.left, sm.bottom, sm.right, s.bottom});
        draw.Draw({d.left, dm.top, dm.left, dm.bottom}, {s.left, sm.top, sm.left, sm.bottom});
        draw.Draw({dm.right, dm.top, d.right, dm.bottom}, {sm.right, sm.top, s.right, sm.bottom});
    }
    RestoreDC(hdc, saved);
}

}  // namespace UiKit
