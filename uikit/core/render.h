// Drawing helpers shared by the controls: colours with alpha, gradients,
// borders, plain text and image descriptions.
#pragma once
#include <windows.h>

#include "uikit/markup/ui_string.h"

namespace UiKit {

class CUIWindowManager;

namespace Render {

// ARGB colour to a GDI COLORREF (alpha dropped).
inline COLORREF ToColorRef(DWORD argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

// Fills with an ARGB colour; an alpha below 255 blends with what is there.
void FillColor(HDC hdc, const RECT& rc, DWORD argb);
void FillGradient(HDC hdc, const RECT& rc, DWORD from, DWORD to, bool vertical);
void DrawRectBorder(HDC hdc, const RECT& rc, int size, DWORD argb);
void DrawRoundBorder(HDC hdc, const RECT& rc, int size, int cx, int cy, DWORD argb);
void DrawLine(HDC hdc, POINT from, POINT to, int size, DWORD argb);
// Single-line or wrapped text with DrawText in the manager's font number;
// DT_CALCRECT in style measures into rc instead.
void DrawPlainText(HDC hdc, CUIWindowManager* manager, RECT& rc, const CUIString& text, DWORD argb, int font,
                   UINT style);
// Draws an image description (and an optional computed one) into a control
// rectangle, clipped to the paint rectangle. False when an image is missing.
bool DrawImageDescription(HDC hdc, CUIWindowManager* manager, const RECT& item, const RECT& paint,
                          const CUIString& description, const CUIString& modify = CUIString());

}  // namespace Render
}  // namespace UiKit
