#include "uikit/menu/menu_placement.h"

namespace UiKit {

RECT PlaceMenu(POINT point, SIZE size, const RECT& workArea) {
    RECT rc = {point.x, point.y, point.x + size.cx, point.y + size.cy};
    if (rc.right >= workArea.right) {
        rc.left = point.x - size.cx;
        rc.right = point.x;
    }
    if (rc.bottom >= workArea.bottom) {
        rc.top = point.y - size.cy;
        rc.bottom = point.y;
        if (rc.top < workArea.top) {
            rc.bottom = point.y + size.cy / 2;
            rc.top = rc.bottom - size.cy;
        }
    }
    return rc;
}

}  // namespace UiKit
