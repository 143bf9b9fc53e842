// What the plug-in tells its host window, and how it packs it.
#pragma once
#include <windows.h>

#include <string>

#define WM_PLUGIN_CLOSED (WM_USER + 101)
#define WM_PLUGIN_NOTE (WM_USER + 110)
#define WM_PLUGIN_KEY (WM_USER + 111)

constexpr WPARAM kPluginClosedCode = 0x2400;
constexpr DWORD kResetNotesWord = 0x01000000;

// The engine's five note values packed into one word: bytes 0 and 1 are the
// low bytes of the first two, byte 2 is 1 only for a positive odd fifth
// value, byte 3 the low byte of the fourth. The third is not forwarded.
DWORD PackNoteWord(int v1, int v2, int v3, int v4, int v5);

// Engine key index 0..14 (circle of fifths, seven flats first) to the host's
// alphabetical code, and to the name the key field shows. -1 / empty for an
// index outside the table.
int HostKeyCode(int engineKey);
std::wstring KeyName(int engineKey);

// Messages to the host window given at start; nothing without a host window.
void SendNoteToHost(DWORD word);
void SendResetNotesToHost();
void SendKeyToHost(int engineKey);
void PostPluginClosedToHost();
