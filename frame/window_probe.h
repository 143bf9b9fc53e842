// In the test build of the plug-in every skinned window answers a registered
// message with the state of one of its controls, so that the test rig in the
// host's process can read what a window shows without pixels. The shipped
// plug-in does not know the message (frame/window_probe.cpp is not in it).
#pragma once
#include <windows.h>

// wParam: the control name (wide, zero-terminated); lParam: ControlProbe*.
#define MELVANE_PROBE_MESSAGE_NAME L"Melvane.ProbeControl"

struct ControlProbe {
    int found;
    int visible;
    int enabled;
    RECT pos;
    int value;    // slider value, combo selection, list count
    int maximum;  // slider maximum
    SIZE scroll;  // list scroll position
    SIZE range;   // list scroll range
    wchar_t text[260];
    // Labels and buttons: the rectangle their text is drawn in (the position
    // less the text padding) and the size their text (plain or formatted)
    // needs in their own font on one line, so that a client can see whether
    // a text is cut.
    RECT textRect;
    SIZE textSize;
};

// Defined in frame/window_probe.cpp, with the hook that answers it.
UINT ProbeMessage();
