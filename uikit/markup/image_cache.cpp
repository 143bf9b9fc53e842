#include "uikit/markup/image_cache.h"

#include <list>
#include <mutex>
#include <vector>

#include "abi/dib_section.h"

namespace UiKit {
namespace {

constexpr int kTile = 32;
constexpr size_t kMaxBytes = 48u << 20;             // all canvases together
constexpr long long kMaxCanvasPixels = 2600 * 2000;  // a maximised window's background fits
constexpr size_t kMaxCanvases = 512;                 // each holds a bitmap and a DC of the process's GDI handles
enum TileKind : unsigned char { kEmpty, kOpaque, kMixed };

struct Key {
    unsigned serial;
    RECT source, corner;
    int width, height;
    BYTE fade;
    bool hole, xtiled, ytiled;
    bool operator==(const Key& o) const {
        return serial == o.serial && EqualRect(&source, &o.source) && EqualRect(&corner, &o.corner) &&
               width == o.width && height == o.height && fade == o.fade && hole == o.hole && xtiled == o.xtiled &&
               ytiled == o.ytiled;
    }
};

struct Canvas {
    Key key;
    HBITMAP bitmap = nullptr;
    // The bitmap stays selected into a memory DC of its own: making and
    // selecting a DC for every copy cost more than the copy under Wine.
    HDC dc = nullptr;
    HGDIOBJ oldBitmap = nullptr;
    unsigned char* bits = nullptr;
    int tilesX = 0, tilesY = 0;
    std::vector<unsigned char> tiles;  // TileKind per tile, row by row
    size_t Bytes() const { return static_cast<size_t>(key.width) * key.height * 4; }
};

// A memory DC with bitmap selected into it (null if none could be made),
// and its end: the bitmap deselected, so that it can be deleted, and the DC
// deleted.
HDC SelectIntoNewDC(HBITMAP bitmap, HGDIOBJ* old) {
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc) *old = SelectObject(dc, bitmap);
    return dc;
}
void FreeSelectedDC(HDC dc, HGDIOBJ old) {
    if (!dc) return;
    SelectObject(dc, old);
    DeleteDC(dc);
}

bool g_enabled = true;
// Lock order: g_lock (canvases) before g_sourceLock (kept DCs): a canvas is
// rendered from a picture's kept DC while g_lock is held.
std::mutex g_lock;
std::mutex g_sourceLock;

struct KeptDC {
    unsigned serial;
    HDC dc;
    HGDIOBJ old;
};
constexpr size_t kMaxKeptDCs = 256;
std::vector<KeptDC> g_kept;  // most recently made last


// Under g_sourceLock.
void ForgetKeptDC(unsigned serial) {
    for (auto it = g_kept.begin(); it != g_kept.end(); ++it) {
        if (it->serial != serial) continue;
        FreeSelectedDC(it->dc, it->old);
        g_kept.erase(it);
        return;
    }
}
std::list<Canvas> g_canvases;  // most recently used first
size_t g_bytes = 0;

void Classify(Canvas& c) {
    c.tilesX = (c.key.width + kTile - 1) / kTile;
    c.tilesY = (c.key.height + kTile - 1) / kTile;
    c.tiles.assign(static_cast<size_t>(c.tilesX) * c.tilesY, kEmpty);
    std::vector<unsigned char> seen(c.tiles.size(), 0);  // bit 1: some opaque pixel, 2: some empty, 4: some partial
    for (int y = 0; y < c.key.height; ++y) {
        const unsigned char* row = c.bits + static_cast<size_t>(y) * c.key.width * 4;
        unsigned char* flags = &seen[static_cast<size_t>(y / kTile) * c.tilesX];
        for (int x = 0; x < c.key.width; ++x) {
            unsigned char a = row[x * 4 + 3];
            flags[x / kTile] |= a == 255 ? 1 : a == 0 ? 2 : 4;
        }
    }
    for (size_t i = 0; i < seen.size(); ++i)
        c.tiles[i] = seen[i] == 1 ? kOpaque : seen[i] == 2 ? kEmpty : kMixed;
}

// An opaque picture is copied and stretched, not blended, and the copy does
// not keep the alpha bytes; every pixel it covers (all but a hole) is opaque.
void MarkOpaque(Canvas& c, const ImagePartParams& p) {
    RECT hole = {0, 0, 0, 0};
    if (p.hole)
        hole = RECT{p.corner.left, p.corner.top, c.key.width - p.corner.right, c.key.height - p.corner.bottom};
    for (int y = 0; y < c.key.height; ++y) {
        unsigned char* px = c.bits + static_cast<size_t>(y) * c.key.width * 4;
        bool rowInHole = y >= hole.top && y < hole.bottom;
        for (int x = 0; x < c.key.width; ++x, px += 4)
            if (!(rowInHole && x >= hole.left && x < hole.right)) px[3] = 255;
    }
}

void Release(Canvas& c) {
    FreeSelectedDC(c.dc, c.oldBitmap);
    DeleteObject(c.bitmap);
}

void Evict() {
    while ((g_bytes > kMaxBytes || g_canvases.size() > kMaxCanvases) && !g_canvases.empty()) {
        Canvas& last = g_canvases.back();
        g_bytes -= last.Bytes();
        Release(last);
        g_canvases.pop_back();
    }
}

Canvas* Build(const Key& key, const UIImageInfo& image, const ImagePartParams& params, RenderPartFn render) {
    Canvas c;
    c.key = key;
    void* bits = nullptr;
    c.bitmap = CreateDib32(nullptr, key.width, key.height, &bits);
    c.bits = static_cast<unsigned char*>(bits);
    if (!c.bitmap) return nullptr;
    memset(c.bits, 0, c.Bytes());
    c.dc = SelectIntoNewDC(c.bitmap, &c.oldBitmap);
    if (!c.dc) {
        DeleteObject(c.bitmap);
        return nullptr;
    }
    ImagePartParams at = params;
    OffsetRect(&at.dest, -params.dest.left, -params.dest.top);
    RECT all = {0, 0, key.width, key.height};
    render(c.dc, image, all, at);
    GdiFlush();
    if (!image.alpha) MarkOpaque(c, params);
    Classify(c);
    g_canvases.push_front(std::move(c));
    g_bytes += g_canvases.front().Bytes();
    Evict();
    return g_canvases.empty() ? nullptr : &g_canvases.front();
}

void Blend(HDC hdc, HDC mem, const Canvas& c, const RECT& d, int sx, int sy) {
    UIImageInfo view;
    view.bitmap = c.bitmap;
    view.bits = c.bits;
    view.width = c.key.width;
    view.height = c.key.height;
    view.alpha = true;
    BlendImagePart(hdc, d, mem, view, RECT{sx, sy, sx + d.right - d.left, sy + d.bottom - d.top}, 255);
}

// Copies the visible part of the canvas, tile row by tile row, joining
// neighbouring tiles of one kind into one call.
void Copy(HDC hdc, const Canvas& c, const RECT& dest, const RECT& visible) {
    HDC mem = c.dc;
    int tx0 = (visible.left - dest.left) / kTile, tx1 = (visible.right - dest.left - 1) / kTile;
    int ty0 = (visible.top - dest.top) / kTile, ty1 = (visible.bottom - dest.top - 1) / kTile;
    for (int ty = ty0; ty <= ty1; ++ty) {
        const unsigned char* kinds = &c.tiles[static_cast<size_t>(ty) * c.tilesX];
        for (int tx = tx0; tx <= tx1;) {
            unsigned char kind = kinds[tx];
            int end = tx + 1;
            while (end <= tx1 && kinds[end] == kind) ++end;
            RECT run = {dest.left + tx * kTile, dest.top + ty * kTile, dest.left + end * kTile,
                        dest.top + (ty + 1) * kTile};
            RECT part;
            if (kind != kEmpty && IntersectRect(&part, &run, &visible)) {
                int sx = part.left - dest.left, sy = part.top - dest.top;
                if (kind == kOpaque)
                    BitBlt(hdc, part.left, part.top, part.right - part.left, part.bottom - part.top, mem, sx, sy,
                           SRCCOPY);
                else
                    Blend(hdc, mem, c, part, sx, sy);
            }
            tx = end;
        }
    }
}

}  // namespace

ImageSourceDC::ImageSourceDC(const UIImageInfo& image) {
    if (image.serial) {
        g_sourceLock.lock();
        for (const KeptDC& k : g_kept) {
            if (k.serial != image.serial) continue;
            dc_ = k.dc;
            break;
        }
        if (!dc_) {
            if (g_kept.size() >= kMaxKeptDCs) {  // only this user holds the lock: none is in use
                FreeSelectedDC(g_kept.front().dc, g_kept.front().old);
                g_kept.erase(g_kept.begin());
            }
            HGDIOBJ old = nullptr;
            if (HDC dc = SelectIntoNewDC(image.bitmap, &old)) {
                g_kept.push_back(KeptDC{image.serial, dc, old});
                dc_ = dc;
            }
        }
        if (dc_) {
            kept_ = true;
            return;
        }
        g_sourceLock.unlock();
    }
    dc_ = SelectIntoNewDC(image.bitmap, &old_);
}

ImageSourceDC::~ImageSourceDC() {
    if (kept_)
        g_sourceLock.unlock();
    else
        FreeSelectedDC(dc_, old_);
}

bool DrawCachedImagePart(HDC hdc, const UIImageInfo& image, const RECT& clip, const ImagePartParams& p,
                         RenderPartFn render) {
    int w = p.dest.right - p.dest.left, h = p.dest.bottom - p.dest.top;
    if (!g_enabled || !image.bits || !image.serial || w <= 0 || h <= 0) return false;
    if (static_cast<long long>(w) * h > kMaxCanvasPixels) return false;
    // Drawn at its own size a part is one copy already.
    if (w == p.source.right - p.source.left && h == p.source.bottom - p.source.top) return false;
    // An opaque image faded has no alpha of its own to carry the fade into the canvas.
    if (!image.alpha && p.fade != 255) return false;
    RECT visible;
    if (!IntersectRect(&visible, &clip, &p.dest)) return true;
    Key key{image.serial, p.source, p.corner, w, h, p.fade, p.hole, p.xtiled, p.ytiled};
    std::lock_guard<std::mutex> hold(g_lock);
    Canvas* found = nullptr;
    for (auto it = g_canvases.begin(); it != g_canvases.end(); ++it) {
        if (it->key == key) {
            if (it != g_canvases.begin()) g_canvases.splice(g_canvases.begin(), g_canvases, it);
            found = &g_canvases.front();
            break;
        }
    }
    if (!found) found = Build(key, image, p, render);
    if (!found) return false;
    Copy(hdc, *found, p.dest, visible);
    return true;
}

void SetImageCacheEnabled(bool enabled) { g_enabled = enabled; }

void ForgetImageCanvases(unsigned serial) {
    if (!serial) return;
    std::lock_guard<std::mutex> hold(g_lock);
    {
        std::lock_guard<std::mutex> holdSources(g_sourceLock);
        ForgetKeptDC(serial);
    }
    for (auto it = g_canvases.begin(); it != g_canvases.end();) {
        if (it->key.serial != serial) {
            ++it;
            continue;
        }
        g_bytes -= it->Bytes();
        Release(*it);
        it = g_canvases.erase(it);
    }
}

void ClearImageCache() {
    std::lock_guard<std::mutex> hold(g_lock);
    {
        std::lock_guard<std::mutex> holdSources(g_sourceLock);
        for (const KeptDC& k : g_kept) FreeSelectedDC(k.dc, k.old);
        g_kept.clear();
    }
    for (Canvas& c : g_canvases) Release(c);
    g_canvases.clear();
    g_bytes = 0;
}

size_t ImageCacheBytes() {
    std::lock_guard<std::mutex> hold(g_lock);
    return g_bytes;
}

}  // namespace UiKit
