// What the plug-in tells its host window: the message numbers and how a note
// and a key are packed into the message's word.
#pragma once
#include <windows.h>

#define WM_PLUGIN_CLOSED (WM_USER + 101)
#define WM_PLUGIN_NOTE (WM_USER + 110)
#define WM_PLUGIN_KEY (WM_USER + 111)

constexpr WPARAM kPluginClosedCode = 0x2400;
constexpr DWORD kResetNotesWord = 0x01000000;

// The engine's five note values packed into one word: bytes 0 and 1 are the
// low bytes of the first two, byte 2 is 1 only for a positive odd fifth
// value, byte 3 the low byte of the fourth. The third is not forwarded.
inline DWORD PackNoteWord(int v1, int v2, int /*v3*/, int v4, int v5) {
    DWORD on = (v5 % 2 == 1) ? 1u : 0u;  // C++ remainder keeps the sign: -1 % 2 == -1
    return (static_cast<DWORD>(v1) & 0xFF) | ((static_cast<DWORD>(v2) & 0xFF) << 8) | (on << 16) |
           ((static_cast<DWORD>(v4) & 0xFF) << 24);
}

// Engine key index 0..14 (circle of fifths, seven flats first) to the host's
// alphabetical code (WM_PLUGIN_KEY's word); -1 for an index outside the table.
inline int HostKeyCode(int engineKey) {
    static const int kCodes[15] = {4, 13, 7, 0, 9, 2, 11, 5, 14, 8, 1, 10, 3, 12, 6};
    return (engineKey >= 0 && engineKey < 15) ? kCodes[engineKey] : -1;
}
