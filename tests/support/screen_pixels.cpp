#include "tests/support/screen_pixels.h"

#include <cstdlib>

namespace testing_support {

COLORREF ScreenPixel(HWND window, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(window, &pt);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return c;
}

bool ColourNear(COLORREF a, COLORREF e, int tol) {
    return std::abs(GetRValue(a) - GetRValue(e)) <= tol && std::abs(GetGValue(a) - GetGValue(e)) <= tol &&
           std::abs(GetBValue(a) - GetBValue(e)) <= tol;
}

}  // namespace testing_support
