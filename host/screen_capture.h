#pragma once
#include <windows.h>

#include <string>

// Saves the whole screen, or one window's screen rectangle, as a PNG through
// GDI+ (which must be started). Returns false when nothing could be written.
bool SaveScreenPng(const std::wstring& path, HWND window = nullptr);
