// Reading back what a window shows on the screen.
#pragma once
#include <windows.h>

#include <vector>

namespace testing_support {

// The colour of a client-area pixel of a window as it is on the screen.
COLORREF ScreenPixel(HWND window, int x, int y);

// A bitmap's pixels as top-down 32-bit 0x00RRGGBB values; width and height
// are set (0 for an unreadable bitmap).
std::vector<DWORD> BitmapPixels(HBITMAP bitmap, int* width, int* height);

// What a window shows in a rectangle of its client area, read from the
// screen, as top-down 0x00RRGGBB values, row by row.
std::vector<DWORD> ScreenPixels(HWND window, const RECT& client);

// True when r, g and b are each within tolerance of the expected colour.
bool ColourNear(COLORREF actual, COLORREF expected, int tolerance);

}  // namespace testing_support
