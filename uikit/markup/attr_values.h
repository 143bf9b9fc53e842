// Parsers for the textual attribute values of skin markup: pure functions
// over a zero-terminated string, safe on any input.
#pragma once
#include <windows.h>

#include <utility>
#include <vector>

#include "uikit/markup/ui_string.h"

namespace UiKit {

// Exactly "true" is true.
bool ParseBool(const wchar_t* value);
long ParseInt(const wchar_t* value);
// Comma-separated numbers; one character is skipped after each number and
// missing numbers stay 0 (the parser never runs past the terminator).
RECT ParseRect(const wchar_t* value);
SIZE ParseSize(const wchar_t* value);
// AARRGGBB after an optional "#" or "0x"; skipBlanks also skips leading blanks.
DWORD ParseColor(const wchar_t* value, bool skipBlanks = false);

using AttributePair = std::pair<CUIString, CUIString>;
// name="value" items separated by single spaces; stops at the first item that
// breaks the form, keeping those read before.
std::vector<AttributePair> ParseAttributeList(const wchar_t* list);

// One image of an image description, with every key it may carry.
struct ImageDrawItem {
    CUIString name;
    CUIString resType;
    RECT dest = {0, 0, 0, 0};
    bool hasDest = false;
    RECT source = {0, 0, 0, 0};
    RECT corner = {0, 0, 0, 0};
    DWORD mask = 0;
    BYTE fade = 255;
    bool hole = false;
    bool xtiled = false;
    bool ytiled = false;
};

// Parses a description and the optional computed one that overrides its
// keys. Each "file" key after the first image begins a new item (the items
// are drawn in order); "res" renames the current one.
std::vector<ImageDrawItem> ParseImageDescription(const wchar_t* description, const wchar_t* modify = nullptr);

}  // namespace UiKit
