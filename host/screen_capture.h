#pragma once
#include <windows.h>

#include <string>

// A bitmap copy of a rectangle of the screen (screen coordinates), or null.
// The caller deletes it.
HBITMAP CaptureScreen(const RECT& area);

// Saves the whole screen, or one window's screen rectangle, as a PNG through
// GDI+ (which must be started). Returns false when nothing could be written.
bool SaveScreenPng(const std::wstring& path, HWND window = nullptr);
