// Where a menu of a given size goes for a point, inside a monitor's work
// area: right and down from the point when it fits, else left of it or
// above it, and centred on the point when it fits neither above nor below.
#pragma once
#include <windows.h>

namespace UiKit {

RECT PlaceMenu(POINT point, SIZE size, const RECT& workArea);

}  // namespace UiKit
