// Text drawing shared by labels, buttons, list items and the combo: the
// "align" word rules, colours by state, and formatted text laid out with
// its links.
#pragma once
#include <windows.h>

#include <vector>

#include "uikit/markup/ui_string.h"

namespace UiKit {

class CUIWindowManager;

// Applies the words of an "align" value to a DrawText style, in the fixed
// order left, center, right, top, bottom (so "right top" ends up left-top).
UINT ApplyAlignWords(UINT style, const wchar_t* value);
// endellipsis="true" adds DT_END_ELLIPSIS, anything else removes it.
UINT ApplyEndEllipsis(UINT style, const wchar_t* value);

// A colour of 0 means the window's default (text or disabled text).
DWORD ResolveTextColor(CUIWindowManager* manager, DWORD color, bool disabled);

// One clickable link of laid-out formatted text.
struct TextLink {
    int number = 0;     // 0 for the first "a" tag of the text, and so on
    CUIString target;   // the tag's argument
    RECT rect = {0, 0, 0, 0};
};

struct FormattedDrawParams {
    DWORD color = 0xFF000000;
    int font = -1;
    UINT style = DT_VCENTER;
    int hotLink = -1;   // drawn in the window's link hover colour
    bool measureOnly = false;
};

// Lays out and draws formatted text into rc (clipped to it); rc should be
// the part of the control that shows (CControlUI::VisibleRect), so that
// centring and ellipses fit what is seen. Placement:
// - lines wrap at the width unless DT_SINGLELINE or DT_END_ELLIPSIS is set;
//   with DT_END_ELLIPSIS a line too wide ends in an ellipsis;
// - DT_VCENTER and DT_BOTTOM place the block of lines when it fits in the
//   height; a taller block starts at the top;
// - DT_CENTER and DT_RIGHT place single-line text (DT_SINGLELINE) only;
//   other text is a paragraph whose lines start at the left edge.
// Links, when asked for, receive the rectangles of every "a" run. Returns
// the size the text takes.
// The layout (lines, pieces, fonts, measures) is kept per text, font,
// width and colours and used again at the next drawing.
SIZE DrawFormattedText(HDC hdc, CUIWindowManager* manager, const RECT& rc, const CUIString& text,
                       const FormattedDrawParams& params, std::vector<TextLink>* links = nullptr);

// Tests compare kept with fresh layouts; keeping is on by default.
void SetTextLayoutCacheEnabled(bool enabled);
// How many layouts have been made since the process started.
unsigned TextLayoutsMade();

}  // namespace UiKit
