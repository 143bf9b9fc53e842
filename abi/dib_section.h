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
