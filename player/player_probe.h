// The player window's answers to the probe message (frame/window_probe.h):
// besides its controls, pseudo-names for state that no control shows:
// "#COUNTIN" (value = counter, enabled = running), "#ZOOM" (text = the zoom
// factor), "#STOPPED" (value = stopped flag, enabled = the page flag),
// "#PAGES" (value = the engine's page count), "#ROW:n" (row n of the
// library list: its place, visible flag, value = depth, text = its title
// markup).
#pragma once
#include "frame/window_probe.h"

using PlayerProbe = ControlProbe;
