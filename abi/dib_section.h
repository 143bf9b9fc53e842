// 32-bit DIB sections: the pixel layout both sides read. The engine draws
// pages into one, the toolkit blends images through one, the plug-in fills
// its window shadow in one, and the tests read pixels straight from their
// bits: 4 bytes a pixel in B, G, R, A order, rows of exactly width * 4 bytes
// (32-bit rows need no padding). Header-only, so the engine can use it too.
#pragma once
#include <windows.h>

enum class DibRows { TopDown, BottomUp };

// A width x height DIB section; bits receives its pixels. Top-down rows
// unless asked otherwise: row 0 of the bits is the top of the picture.
// Null on failure, and then *bits is null too, so callers test one of them.
inline HBITMAP CreateDib32(HDC dc, int width, int height, void** bits, DibRows rows = DibRows::TopDown) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = rows == DibRows::TopDown ? -height : height;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    *bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &bmi, DIB_RGB_COLORS, bits, nullptr, 0);
    if (bitmap && !*bits) {
        DeleteObject(bitmap);
        bitmap = nullptr;
    }
    if (!bitmap) *bits = nullptr;
    return bitmap;
}

// A top-down 32-bit DIB section selected into a memory DC of its own, for
// pictures kept between paints and copied out with BitBlt.
struct DibCanvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    unsigned char* bits = nullptr;  // B, G, R, A rows, top first
    SIZE size{0, 0};

    DibCanvas() = default;
    ~DibCanvas() { Free(); }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;

    // Drops what it held and makes a canvas of the size; false, and empty, on failure.
    bool Make(SIZE s) {
        Free();
        void* pixels = nullptr;
        bitmap = CreateDib32(nullptr, s.cx, s.cy, &pixels);
        dc = bitmap ? CreateCompatibleDC(nullptr) : nullptr;
        if (!dc) {
            Free();
            return false;
        }
        old = SelectObject(dc, bitmap);
        bits = static_cast<unsigned char*>(pixels);
        size = s;
        return true;
    }
    void Free() {
        if (dc) {
            SelectObject(dc, old);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
        dc = nullptr;
        bitmap = nullptr;
        bits = nullptr;
        size = SIZE{0, 0};
    }
};
