#include "tests/support/screen_pixels.h"

#include <cstdlib>

#include "host/screen_capture.h"

namespace testing_support {

COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(window, &pt);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return c;
}

std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height) {
    BITMAP info = {};
    *width = *height = 0;
    if (!bitmap || !GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return {};
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = info.bmWidth;
    bi.bmiHeader.biHeight = -info.bmHeight;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    std::vector<DWORD> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, bitmap, 0, info.bmHeight, pixels.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    // A 32-bit bitmap brings its alpha (or unused) byte along; colours compare without it.
    for (DWORD& p : pixels) p &= 0x00FFFFFF;
    *width = info.bmWidth;
    *height = info.bmHeight;
    return pixels;
}

std::vector<DWORD> ScreenPixels(HWND window, const RECT& client) {
    POINT pt = {client.left, client.top};
    ClientToScreen(window, &pt);
    HBITMAP bitmap = CaptureScreen(
        RECT{pt.x, pt.y, pt.x + client.right - client.left, pt.y + client.bottom - client.top});
    int w = 0, h = 0;
    std::vector<DWORD> pixels = BitmapPixels(bitmap, &w, &h);
    if (bitmap) DeleteObject(bitmap);
    return pixels;
}

bool ColourNear(COLORREF a, COLORREF e, int tol) {
    return std::abs(GetRValue(a) - GetRValue(e)) <= tol && std::abs(GetGValue(a) - GetGValue(e)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(e)) <= tol;
}

}  // namespace testing_support
