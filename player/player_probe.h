// The player window answers a registered message with the state of one of
// its controls, so that an automation client in the host's process (the
// host's own test rig) can read what the window shows without pixels.
#pragma once
#include <windows.h>

// wParam: the control name (wide, zero-terminated); lParam: PlayerProbe*.
// Pseudo-names: "#COUNTIN" (value = counter, enabled = running), "#ZOOM"
// (text = the zoom factor), "#STOPPED" (value = stopped flag, enabled = the
// page flag), "#PAGES" (value = the engine's page count).
#define MELVANE_PROBE_MESSAGE_NAME L"Melvane.ProbeControl"

struct PlayerProbe {
    int found;
    int visible;
    int enabled;
    RECT pos;
    int value;    // slider value, combo selection, list count
    int maximum;  // slider maximum
    SIZE scroll;  // list scroll position
    SIZE range;   // list scroll range
    wchar_t text[260];
};
