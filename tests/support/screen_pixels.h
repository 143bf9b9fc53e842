// Reading back what a window shows on the screen.
#pragma once
#include <windows.h>

namespace testing_support {

// The colour of a client-area pixel of a window as it is on the screen.
COLORREF ScreenPixel(HWND window, int x, int y);

// True when r, g and b are each within tolerance of the expected colour.
bool ColourNear(COLORREF actual, COLORREF expected, int tolerance);

}  // namespace testing_support
